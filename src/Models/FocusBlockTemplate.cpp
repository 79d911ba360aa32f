#include "Models/FocusBlockTemplate.h"

#include "Core/Calendar.h"
#include "Store/ModelContext.h"

#include <algorithm>
#include <limits>

namespace orvana {

FocusBlockTemplate::FocusBlockTemplate(QString title, std::vector<qint64> weekdays, qint64 hour,
                                       qint64 minute, qint64 durationMinutes, bool isActive,
                                       std::optional<Timestamp> createdAt)
    : Record(EntityType::focusBlockTemplate, !createdAt.has_value()), title_(std::move(title)),
      createdAt_(createdAt.value_or(0)), isActive_(isActive), weekdays_(std::move(weekdays)),
      hour_(hour), minute_(minute), durationMinutes_(durationMinutes) {}

bool FocusBlockTemplate::matches(qint64 weekday) const {
    return std::find(weekdays_.begin(), weekdays_.end(), weekday) != weekdays_.end();
}

bool FocusBlockTemplate::isStillRelevant(Timestamp instant, const Calendar& calendar) const {
    if (!matches(calendar.weekday(instant)))
        return false;
    const DateComponents c = calendar.components(instant);
    const qint64 now = qint64(c.hour) * 60 + c.minute;
    // Imported blocks may hold absurd numbers; saturate instead of overflowing.
    constexpr qint64 big = std::numeric_limits<qint64>::max() / 4;
    const qint64 end = std::clamp<qint64>(hour_, -big / 120, big / 120) * 60 +
                       std::clamp<qint64>(minute_, -big, big) +
                       std::clamp<qint64>(durationMinutes_, -big, big);
    return end >= now;
}

DayTask* FocusBlockTemplate::materialize(Timestamp instant, const Calendar& calendar) {
    Q_ASSERT(context());
    ModelContext& ctx = *context();
    const Timestamp dayStart = calendar.startOfDay(instant);
    const Timestamp dayEnd = calendar.startOfDayAfter(instant, 1).value_or(dayStart);
    const QUuid blockID = id();
    auto existing = ctx.fetch(FetchDescriptor<DayTask>::where([&blockID](const DayTask& t) {
                                  return t.sourceTemplateID() == blockID;
                              })
                                  .onDates(dayStart, dayEnd)
                                  .limitedTo(1));
    if (!existing.empty())
        return existing.front();

    auto* task =
        ctx.create<DayTask>(title_, dayStart, std::nullopt, false, false, 0, ctx.now(), blockID);
    task->setGoal(goal_);
    constexpr qint64 maxMinutes = std::numeric_limits<qint64>::max() / 60;
    auto* session = ctx.create<FocusSession>(
        double(std::clamp<qint64>(durationMinutes_, -maxMinutes, maxMinutes) * 60), ctx.now());
    session->setDayTask(task);
    session->setGoal(goal_);
    return task;
}

void FocusBlockTemplate::setGoal(Goal* goal) {
    setToOne(&FocusBlockTemplate::goal_, &Goal::focusBlockTemplates_, goal);
}

void FocusBlockTemplate::detachFromOwners() {
    setGoal(nullptr);
}

void FocusBlockTemplate::attachToOwners() {
    attachToOwner(&FocusBlockTemplate::goal_, &Goal::focusBlockTemplates_);
}

} // namespace orvana
