#pragma once

#include <QObject>

namespace orvana {

class DayTask;
class ModelContext;
class NotificationService;
class Record;

// Keeps pending notifications in step with the records they name, whoever
// removes them: a deleted task (on its own or in a cascade) loses its
// reminder and a deleted session its end notification; when an undo brings
// them back, those still due in the future are scheduled again. An undo or
// redo that changes a task's completion or reminder time does the same for
// its reminder (the screens handle the user's own edits), and so does a
// change from outside (a sync pull): a task ticked on another device loses
// its reminder here, one that arrives with a reminder gets it, and a focus
// session ended elsewhere loses its end notification.
class RecordNotificationKeeper : public QObject {
    Q_OBJECT
public:
    RecordNotificationKeeper(ModelContext& context, NotificationService& notifications,
                             QObject* parent = nullptr);

private:
    void removed(Record* record);
    void restored(Record* record);
    void reminderStateChanged(DayTask* task);
    void arrived(Record* record);
    void edited(Record* record);
    void reconcileReminder(DayTask* task);

    ModelContext& context_;
    NotificationService& notifications_;
};

} // namespace orvana
