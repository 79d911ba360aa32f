#include "Views/Today/DayTaskFormModel.h"

#include "Services/AppEnvironment.h"
#include "Services/NotificationService.h"
#include "Store/LiveQuery.h"
#include "Store/ModelContext.h"
#include "Store/UndoManager.h"

#include <algorithm>

namespace orvana {

namespace {

// Asks for permission first when nobody has decided yet, then schedules. The
// service re-checks the task after its waits.
QCoro::Task<> scheduleReminderJob(NotificationService& notifications, const DayTask* task) {
    co_await notifications.requestAuthorizationIfNeeded();
    co_await notifications.scheduleReminder(*task);
}

} // namespace

DayTaskFormModel::DayTaskFormModel(AppEnvironment& environment, DayTask* editing, QObject* parent)
    : QObject(parent), env_(environment), editing_(editing), date_(environment.now()),
      goals_(std::make_unique<LiveQuery<Goal>>(environment.context(), FetchDescriptor<Goal>(),
                                               entityBit(EntityType::goal))),
      reminderTime_(environment.now()) {
    connect(goals_.get(), &LiveQueryBase::resultsChanged, this, [this] {
        // A goal deleted meanwhile is no longer a choice.
        if (goal_ && std::find(goals().begin(), goals().end(), goal_) == goals().end())
            goal_ = nullptr;
        emit changed();
    });
    if (editing_) {
        title_ = editing_->title();
        date_ = editing_->date();
        goal_ = editing_->goal();
        isTodaysOneThing_ = editing_->isTodaysOneThing();
        hasReminder_ = editing_->reminderAt().has_value();
        reminderTime_ = editing_->reminderAt().value_or(env_.now());
    }
}

DayTaskFormModel::~DayTaskFormModel() = default;

const std::vector<Goal*>& DayTaskFormModel::goals() const {
    return goals_->results();
}

QString DayTaskFormModel::windowTitle() const {
    return editing_ ? tr("Edit Task") : tr("New Task");
}

void DayTaskFormModel::setTitle(const QString& title) {
    if (title == title_)
        return;
    title_ = title;
    emit changed();
}

void DayTaskFormModel::setDate(Timestamp date) {
    if (date == date_)
        return;
    date_ = date;
    emit changed();
}

void DayTaskFormModel::setGoal(Goal* goal) {
    if (goal == goal_)
        return;
    goal_ = goal;
    emit changed();
}

void DayTaskFormModel::setTodaysOneThing(bool on) {
    if (on == isTodaysOneThing_)
        return;
    isTodaysOneThing_ = on;
    emit changed();
}

void DayTaskFormModel::setHasReminder(bool on) {
    if (on == hasReminder_)
        return;
    hasReminder_ = on;
    emit changed();
}

void DayTaskFormModel::setReminderTime(Timestamp time) {
    if (time == reminderTime_)
        return;
    reminderTime_ = time;
    emit changed();
}

QString DayTaskFormModel::trimmed(const QString& text) {
    return text.trimmed(); // white space and line breaks, both ends
}

bool DayTaskFormModel::showsOneThingToggle() const {
    return env_.calendar().isSameDay(date_, env_.now());
}

bool DayTaskFormModel::canSave() const {
    return !trimmed(title_).isEmpty() && !(editing_ && editing_->isDeleted());
}

bool DayTaskFormModel::save() {
    if (!canSave())
        return false;
    ModelContext& ctx = env_.context();
    const Calendar& calendar = env_.calendar();
    const Timestamp day = calendar.startOfDay(date_);
    const bool flag = isTodaysOneThing_ && showsOneThingToggle();
    // Off today, the toggle is hidden: a task left on its own day (last
    // Friday's one thing, still overdue) keeps the flag it has.
    const bool keepsFlag =
        editing_ && !showsOneThingToggle() && calendar.isSameDay(day, editing_->date());
    const std::optional<Timestamp> reminder =
        hasReminder_ ? std::optional<Timestamp>(reminderTime_) : std::nullopt;

    // One undo step for the whole save, even when the event loop is not
    // running (tests, scripted use).
    UndoManager* undo = ctx.undoManager();
    if (undo)
        undo->beginUndoGrouping();
    DayTask* task = editing_;
    if (!task) {
        task = ctx.create<DayTask>(trimmed(title_), day, std::nullopt, false, false, 0, ctx.now());
        task->setGoal(goal_);
        task->setReminderAt(reminder);
    } else {
        task->setTitle(trimmed(title_));
        task->setDate(day);
        task->setGoal(goal_);
        task->setReminderAt(reminder);
        if (!flag && !keepsFlag)
            task->setIsTodaysOneThing(false);
    }
    if (flag)
        DayTask::setAsTodaysOneThing(*task, calendar);
    if (undo)
        undo->endUndoGrouping();
    errorMessage_.reset();
    saved_ = task;

    NotificationService& notifications = env_.notifications();
    // The day now has its one thing: no need to nudge about it.
    if (flag)
        notifications.cancelDailyPlanningNudge();
    if (reminder)
        scheduleReminderJob(notifications, task);
    else if (editing_)
        notifications.cancelReminder(*task);
    emit changed();
    return true;
}

} // namespace orvana
