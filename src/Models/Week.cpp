#include "Models/Week.h"

#include "Models/WeekItem.h"
#include "Store/ModelContext.h"

#include <algorithm>
#include <limits>

namespace orvana {

Week::Week(Timestamp startDate, Timestamp endDate, std::optional<QString> intention,
           std::optional<QString> reflection, std::optional<Timestamp> createdAt,
           std::optional<Timestamp> ritualCompletedAt)
    : Record(EntityType::week, !createdAt.has_value()), startDate_(startDate), endDate_(endDate),
      intention_(std::move(intention)), reflection_(std::move(reflection)),
      createdAt_(createdAt.value_or(0)), ritualCompletedAt_(ritualCompletedAt) {}

void Week::applyDeleteRules(ModelContext& context) {
    for (auto items = items_; !items.empty(); items.pop_back())
        context.remove(items.back());
}

std::optional<DateInterval> Week::boundaries(Timestamp date, const Calendar& calendar) {
    auto interval = calendar.weekInterval(date);
    if (!interval)
        return std::nullopt;
    return DateInterval{calendar.startOfDay(interval->start), interval->end};
}

qint64 Week::nextItemSortOrder() const {
    qint64 next = qint64(items_.size());
    for (const WeekItem* item : items_) {
        if (item->sortOrder() < std::numeric_limits<qint64>::max())
            next = std::max(next, item->sortOrder() + 1);
    }
    return next;
}

Week* Week::containing(Timestamp date, ModelContext& context, const Calendar& calendar) {
    auto interval = boundaries(date, calendar);
    if (!interval)
        return nullptr;
    // Same calendar day as the week's start, whatever the time of day stored.
    const Timestamp dayStart = interval->start;
    const Timestamp dayEnd = calendar.startOfDayAfter(dayStart, 1).value_or(dayStart);
    for (Week* week : context.fetch<Week>()) {
        if (dayStart <= week->startDate() && week->startDate() < dayEnd)
            return week;
    }
    return nullptr;
}

Week* Week::mostRecentPast(Timestamp date, ModelContext& context) {
    Week* newest = nullptr;
    for (Week* week : context.fetch<Week>()) {
        if (week->startDate() < date && (!newest || week->startDate() > newest->startDate()))
            newest = week;
    }
    return newest;
}

Week* Week::forDate(Timestamp date, ModelContext& context, const Calendar& calendar,
                    bool creatingIfNeeded) {
    auto interval = boundaries(date, calendar);
    if (!interval)
        return nullptr;
    const Timestamp dayStart = interval->start;
    const Timestamp dayEnd = calendar.startOfDayAfter(dayStart, 1).value_or(dayStart);
    Week* newest = nullptr;
    for (Week* week : context.fetch<Week>()) {
        if (dayStart <= week->startDate() && week->startDate() < dayEnd &&
            (!newest || week->startDate() > newest->startDate()))
            newest = week;
    }
    if (newest || !creatingIfNeeded)
        return newest;
    return context.create<Week>(interval->start, interval->end, std::nullopt, std::nullopt,
                                context.now());
}

Week* Week::findOrCreate(Timestamp date, ModelContext& context, const Calendar& calendar) {
    if (Week* existing = containing(date, context, calendar))
        return existing;
    auto interval = boundaries(date, calendar);
    if (!interval)
        return nullptr;
    return context.create<Week>(interval->start, interval->end, std::nullopt, std::nullopt,
                                context.now());
}

} // namespace orvana
