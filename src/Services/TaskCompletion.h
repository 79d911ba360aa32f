#pragma once

namespace orvana {

class DayTask;
class NotificationService;

// A task's completion toggle, wherever it is shown (Today, the tray summary):
// the task's linked week item follows it, and ticking a task off withdraws its
// pending reminder (ticking it back on schedules nothing). Nothing is saved.
void toggleTaskCompletion(DayTask& task, NotificationService& notifications);

} // namespace orvana
