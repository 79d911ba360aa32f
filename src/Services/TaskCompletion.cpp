#include "Services/TaskCompletion.h"

#include "Models/DayTask.h"
#include "Services/NotificationService.h"

namespace orvana {

void toggleTaskCompletion(DayTask& task, NotificationService& notifications) {
    const bool wasComplete = task.isComplete();
    task.setComplete(!wasComplete);
    if (!wasComplete)
        notifications.cancelReminder(task);
}

} // namespace orvana
