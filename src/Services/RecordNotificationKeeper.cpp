#include "Services/RecordNotificationKeeper.h"

#include "Services/NotificationService.h"
#include "Store/ModelContext.h"
#include "Store/UndoManager.h"

#include <QPointer>
#include <QTimer>

namespace orvana {

RecordNotificationKeeper::RecordNotificationKeeper(ModelContext& context,
                                                   NotificationService& notifications,
                                                   QObject* parent)
    : QObject(parent), context_(context), notifications_(notifications) {
    connect(&context_, &ModelContext::recordRemoved, this, &RecordNotificationKeeper::removed);
    connect(&context_, &ModelContext::recordRestored, this, &RecordNotificationKeeper::restored);
    connect(&context_, &ModelContext::reminderStateChanged, this,
            &RecordNotificationKeeper::reminderStateChanged);
    connect(&context_, &ModelContext::recordInserted, this, &RecordNotificationKeeper::arrived);
    connect(&context_, &ModelContext::recordEdited, this, &RecordNotificationKeeper::edited);
}

void RecordNotificationKeeper::reminderStateChanged(DayTask* task) {
    const UndoManager* undo = context_.undoManager();
    if (!context_.applyingOutsideChange() && (!undo || !(undo->isUndoing() || undo->isRedoing())))
        return;
    QTimer::singleShot(0, this, [this, task] { reconcileReminder(task); });
}

void RecordNotificationKeeper::arrived(Record* record) {
    // Most tasks that arrive have no reminder: nothing to withdraw for them.
    if (context_.applyingOutsideChange() && record->entityType() == EntityType::dayTask &&
        static_cast<DayTask*>(record)->reminderAt())
        reminderStateChanged(static_cast<DayTask*>(record));
}

void RecordNotificationKeeper::edited(Record* record) {
    // A session is only ever started here; one that arrives running belongs
    // to the device that started it.
    if (!context_.applyingOutsideChange() || record->entityType() != EntityType::focusSession)
        return;
    QTimer::singleShot(0, this, [this, record] {
        const auto& session = *static_cast<FocusSession*>(record);
        if (!session.isRunning())
            notifications_.cancelNotification(session);
    });
}

void RecordNotificationKeeper::reconcileReminder(DayTask* task) {
    if (task->isDeleted())
        return;
    if (!task->isComplete() && task->reminderAt() && *task->reminderAt() > context_.now())
        notifications_.scheduleReminder(*task);
    else
        notifications_.cancelReminder(*task);
}

void RecordNotificationKeeper::removed(Record* record) {
    if (record->entityType() == EntityType::dayTask)
        notifications_.cancelReminder(*static_cast<DayTask*>(record));
    else if (record->entityType() == EntityType::focusSession)
        notifications_.cancelNotification(*static_cast<FocusSession*>(record));
}

void RecordNotificationKeeper::restored(Record* record) {
    const EntityType type = record->entityType();
    if (type != EntityType::dayTask && type != EntityType::focusSession)
        return;
    // Once the undo step has run to its end: the record's relationships come
    // back after the record itself.
    QTimer::singleShot(0, this, [this, record] {
        if (record->isDeleted())
            return;
        if (record->entityType() == EntityType::dayTask) {
            reconcileReminder(static_cast<DayTask*>(record));
        } else {
            const auto& session = *static_cast<FocusSession*>(record);
            if (session.isRunning())
                notifications_.scheduleEndNotification(session);
        }
    });
}

} // namespace orvana
