#include "Models/TrailEntry.h"

#include "Core/Arithmetic.h"
#include "Core/Calendar.h"
#include "Core/Uuid.h"
#include "Store/ModelContext.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace orvana {

TrailEntry::TrailEntry(Timestamp date, qint64 minutes, Goal* goal,
                       std::optional<Timestamp> createdAt)
    : Record(EntityType::trailEntry, !createdAt.has_value()), date_(date), minutes_(minutes),
      createdAt_(createdAt.value_or(0)) {
    setGoal(goal);
}

TrailEntry* TrailEntry::logIfNeeded(FocusSession& session, ModelContext& context) {
    if (session.hasBeenLogged())
        return nullptr;
    session.setHasBeenLogged(true);
    if (session.kind() != FocusSessionKind::work)
        return nullptr;
    // Whole minutes, truncated; imported values beyond any real session are
    // capped rather than overflowing the conversion.
    const double wholeMinutes = std::trunc(session.accumulatedActiveDuration() / 60.0);
    if (!(wholeMinutes >= 1.0))
        return nullptr;
    constexpr double cap = 9.0e18;
    const qint64 minutes = wholeMinutes >= cap ? qint64(cap) : qint64(wholeMinutes);

    Goal* goal = session.goal();
    if (!goal && session.dayTask()) {
        goal = session.dayTask()->goal();
        if (!goal && session.dayTask()->weekItem())
            goal = session.dayTask()->weekItem()->goal();
    }
    if (!goal)
        return nullptr;
    const Timestamp date = session.endedAt().value_or(context.now());
    return context.create<TrailEntry>(date, minutes, goal, context.now());
}

namespace {

// The fast way for a trail that spans a sane range: the zone's UTC offsets
// over that range (a handful of DST transitions) give each entry's local day
// number with a short binary search, and sums go into one slot per day.
// Empty when the range is not sane (absurd imported dates).
std::vector<DailyTrailTotal> totalsByDayNumber(const std::vector<TrailEntry*>& entries,
                                               const Calendar& calendar) {
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (const TrailEntry* e : entries) {
        lo = std::min(lo, e->date());
        hi = std::max(hi, e->date());
    }
    constexpr double maxSpan = 1000.0 * 366 * 86400; // a thousand years
    if (!(lo >= -1e11 && hi <= 1e11 && hi - lo <= maxSpan))
        return {};
    const QTimeZone& zone = calendar.timeZone();
    std::vector<std::pair<double, int>> offsets; // from this UTC instant on, this offset
    offsets.emplace_back(-std::numeric_limits<double>::infinity(),
                         zone.offsetFromUtc(toDateTime(lo)));
    for (const auto& t : zone.transitions(toDateTime(lo), toDateTime(hi)))
        offsets.emplace_back(fromDateTime(t.atUtc), t.offsetFromUtc);
    auto localDay = [&](double t) {
        auto it = std::upper_bound(offsets.begin(), offsets.end(), t,
                                   [](double v, const auto& o) { return v < o.first; });
        return qint64(std::floor((t + std::prev(it)->second) / 86400.0));
    };
    const qint64 first = localDay(lo), last = localDay(hi);
    struct Slot {
        bool used = false;
        double sample = 0; // an instant of that day
        qint64 minutes = 0;
    };
    std::vector<Slot> dayTotals(std::size_t(last - first + 1));
    for (const TrailEntry* e : entries) {
        Slot& slot = dayTotals[std::size_t(localDay(e->date()) - first)];
        slot.used = true;
        slot.sample = e->date();
        slot.minutes = saturatingAdd(slot.minutes, e->minutes());
    }
    std::vector<DailyTrailTotal> out;
    for (const Slot& slot : dayTotals) {
        if (slot.used)
            out.push_back({calendar.startOfDay(slot.sample), slot.minutes});
    }
    return out;
}

} // namespace

qint64 TrailEntry::totalMinutes(const std::vector<TrailEntry*>& entries) {
    qint64 total = 0;
    for (const TrailEntry* e : entries)
        total = saturatingAdd(total, e->minutes());
    return total;
}

std::vector<DailyTrailTotal> TrailEntry::dailyTotals(const std::vector<TrailEntry*>& entries,
                                                     const Calendar& calendar) {
    if (entries.empty())
        return {};
    if (auto fast = totalsByDayNumber(entries, calendar); !fast.empty())
        return fast;
    // Days found so far by their start, each with its end and running sum:
    // most entries fall on a day already seen, which saves the time-zone
    // arithmetic; the last day used is tried first.
    struct Day {
        Timestamp end;
        qint64 minutes;
    };
    std::map<Timestamp, Day> days;
    std::map<Timestamp, Day>::iterator last = days.end();
    for (const TrailEntry* entry : entries) {
        const Timestamp t = entry->date();
        auto day = last;
        if (day == days.end() || !(day->first <= t && t < day->second.end)) {
            day = days.upper_bound(t);
            if (day != days.begin() && t < std::prev(day)->second.end) {
                day = std::prev(day);
            } else {
                const Timestamp start = calendar.startOfDay(t);
                day =
                    days.try_emplace(start, Day{calendar.startOfDayAfter(t, 1).value_or(start), 0})
                        .first;
            }
        }
        last = day;
        day->second.minutes = saturatingAdd(day->second.minutes, entry->minutes());
    }
    std::vector<DailyTrailTotal> out;
    out.reserve(days.size());
    for (const auto& [start, day] : days)
        out.push_back({start, day.minutes});
    return out;
}

TrailEntry* TrailEntry::newestUnacknowledged(const std::vector<TrailEntry*>& entries,
                                             const QString& lastAcknowledgedID) {
    TrailEntry* newest = nullptr;
    for (TrailEntry* entry : entries) {
        if (!newest || entry->createdAt() > newest->createdAt())
            newest = entry;
    }
    if (!newest || uuidText(newest->id()) == lastAcknowledgedID)
        return nullptr;
    return newest;
}

void TrailEntry::setGoal(Goal* goal) {
    setToOne(&TrailEntry::goal_, &Goal::trailEntries_, goal);
}

void TrailEntry::detachFromOwners() {
    setGoal(nullptr);
}

void TrailEntry::attachToOwners() {
    attachToOwner(&TrailEntry::goal_, &Goal::trailEntries_);
}

} // namespace orvana
