#include "Models/DayTask.h"

#include "Core/Calendar.h"
#include "Store/ModelContext.h"

namespace orvana {

DayTask::DayTask(QString title, Timestamp date, std::optional<QString> notes, bool isComplete,
                 bool isTodaysOneThing, qint64 sortOrder, std::optional<Timestamp> createdAt,
                 std::optional<QUuid> sourceTemplateID, std::optional<Timestamp> reminderAt)
    : Record(EntityType::dayTask, !createdAt.has_value()), title_(std::move(title)),
      notes_(std::move(notes)), date_(date), sortOrder_(sortOrder),
      createdAt_(createdAt.value_or(0)), sourceTemplateID_(sourceTemplateID),
      isComplete_(isComplete), isTodaysOneThing_(isTodaysOneThing), reminderAt_(reminderAt) {}

void DayTask::fieldDidChange(Timestamp DayTask::*member, Timestamp old) {
    if (member == &DayTask::date_ && context())
        context()->dayTaskDateChanged(this, old);
}

// Whether a reminder is due depends on these two; the context tells those who
// keep notifications in step.
void DayTask::fieldDidChange(bool DayTask::*member, bool) {
    if (member == &DayTask::isComplete_ && context())
        context()->dayTaskReminderStateChanged(this);
}

void DayTask::fieldDidChange(std::optional<Timestamp> DayTask::*member,
                             const std::optional<Timestamp>&) {
    if (member == &DayTask::reminderAt_ && context())
        context()->dayTaskReminderStateChanged(this);
}

void DayTask::setComplete(bool value) {
    setOnlyCompleteFlag(value);
    if (weekItem_)
        weekItem_->setOnlyCompleteFlag(value);
}

void DayTask::setWeekItem(WeekItem* item) {
    setToOne(&DayTask::weekItem_, &WeekItem::dayTasks_, item);
}

void DayTask::setGoal(Goal* goal) {
    setToOne(&DayTask::goal_, &Goal::directDayTasks_, goal);
}

void DayTask::setAsTodaysOneThing(DayTask& task, const Calendar& calendar) {
    const Timestamp dayStart = calendar.startOfDay(task.date());
    const auto dayEnd = calendar.startOfDayAfter(task.date(), 1);
    if (dayEnd && task.context()) {
        const Timestamp end = *dayEnd;
        auto flagged = task.context()->fetch(FetchDescriptor<DayTask>::where([](const DayTask& t) {
                                                 return t.isTodaysOneThing();
                                             }).onDates(dayStart, end));
        for (DayTask* other : flagged) {
            if (other->id() != task.id())
                other->setIsTodaysOneThing(false);
        }
    }
    task.setIsTodaysOneThing(true);
}

void DayTask::applyDeleteRules(ModelContext& context) {
    for (auto sessions = focusSessions_; !sessions.empty(); sessions.pop_back())
        context.remove(sessions.back());
}

void DayTask::detachFromOwners() {
    setWeekItem(nullptr);
    setGoal(nullptr);
}

void DayTask::attachToOwners() {
    attachToOwner(&DayTask::weekItem_, &WeekItem::dayTasks_);
    attachToOwner(&DayTask::goal_, &Goal::directDayTasks_);
}

} // namespace orvana
