#pragma once

#include "Core/Timestamp.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace orvana {

class AppEnvironment;
class DayTask;
class Goal;
template <typename T> class LiveQuery;

// The task form without widgets: "New Task" creates a task, "Edit Task"
// changes one (title, day, goal, Today's One Thing, reminder) as one undo
// step. Save is possible while the trimmed title is not empty.
class DayTaskFormModel : public QObject {
    Q_OBJECT
public:
    // `editing` null: a new task.
    explicit DayTaskFormModel(AppEnvironment& environment, DayTask* editing = nullptr,
                              QObject* parent = nullptr);
    ~DayTaskFormModel() override;

    bool isEditing() const { return editing_ != nullptr; }
    // The task the last successful save created or changed.
    DayTask* savedTask() const { return saved_; }
    DayTask* editedTask() const { return editing_; }
    QString windowTitle() const;

    const QString& title() const { return title_; }
    void setTitle(const QString& title);
    Timestamp date() const { return date_; }
    void setDate(Timestamp date);
    // The goal picker: "None", then every goal in store order, as the goals
    // are now (added, renamed or deleted while the form is open).
    const std::vector<Goal*>& goals() const;
    Goal* goal() const { return goal_; }
    void setGoal(Goal* goal);
    bool isTodaysOneThing() const { return isTodaysOneThing_; }
    void setTodaysOneThing(bool on);
    bool hasReminder() const { return hasReminder_; }
    void setHasReminder(bool on);
    Timestamp reminderTime() const { return reminderTime_; }
    void setReminderTime(Timestamp time);
    const std::optional<QString>& errorMessage() const { return errorMessage_; }

    // The one-thing toggle is offered only while the date is today; a value
    // left behind by changing the date does not apply. An edit that keeps a
    // task on its own day keeps its flag (an overdue one thing stays one).
    bool showsOneThingToggle() const;
    bool canSave() const;
    static QString trimmed(const QString& text);

    // Creates or changes the task; true when the form may close. The
    // reminder is scheduled in the background afterwards.
    bool save();

signals:
    void changed();

private:
    AppEnvironment& env_;
    DayTask* editing_;
    DayTask* saved_ = nullptr;
    QString title_;
    Timestamp date_;
    std::unique_ptr<LiveQuery<Goal>> goals_;
    Goal* goal_ = nullptr;
    bool isTodaysOneThing_ = false;
    bool hasReminder_ = false;
    Timestamp reminderTime_;
    std::optional<QString> errorMessage_;
};

} // namespace orvana
