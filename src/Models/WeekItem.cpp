#include "Models/WeekItem.h"

#include "Core/Calendar.h"
#include "Store/ModelContext.h"

namespace orvana {

WeekItem::WeekItem(QString title, std::optional<QString> notes, bool isComplete, qint64 sortOrder,
                   std::optional<Timestamp> createdAt)
    : Record(EntityType::weekItem, !createdAt.has_value()), title_(std::move(title)),
      notes_(std::move(notes)), isComplete_(isComplete), sortOrder_(sortOrder),
      createdAt_(createdAt.value_or(0)) {}

void WeekItem::setComplete(bool value) {
    setOnlyCompleteFlag(value);
    for (DayTask* task : dayTasks_)
        task->setOnlyCompleteFlag(value);
}

void WeekItem::setWeek(Week* week) {
    setToOne(&WeekItem::week_, &Week::items_, week);
}

void WeekItem::setGoal(Goal* goal) {
    setToOne(&WeekItem::goal_, &Goal::weekItems_, goal);
}

DayTask* WeekItem::materializeDayTask(Timestamp date, const Calendar& calendar) {
    const Timestamp dayStart = calendar.startOfDay(date);
    const Timestamp dayEnd = calendar.startOfDayAfter(date, 1).value_or(dayStart);
    for (DayTask* task : dayTasks_) {
        if (dayStart <= task->date() && task->date() < dayEnd)
            return task;
    }
    Q_ASSERT(context());
    ModelContext& ctx = *context();
    auto* task = ctx.create<DayTask>(title_, dayStart, std::nullopt, false, false, 0, ctx.now());
    task->setGoal(goal_);
    task->setWeekItem(this);
    task->setOnlyCompleteFlag(isComplete_);
    return task;
}

void WeekItem::applyDeleteRules(ModelContext& context) {
    for (auto tasks = dayTasks_; !tasks.empty(); tasks.pop_back())
        context.remove(tasks.back());
}

void WeekItem::detachFromOwners() {
    setWeek(nullptr);
    setGoal(nullptr);
}

void WeekItem::attachToOwners() {
    attachToOwner(&WeekItem::week_, &Week::items_);
    attachToOwner(&WeekItem::goal_, &Goal::weekItems_);
}

} // namespace orvana
