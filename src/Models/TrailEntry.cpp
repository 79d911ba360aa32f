#include "Models/TrailEntry.h"

#include "Core/Arithmetic.h"
#include "Core/Calendar.h"
#include "Core/Uuid.h"
#include "Store/ModelContext.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <tuple>

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

using Visit = std::function<void(const TrailEntry::EntryVisitor&)>;

// Local day numbers (days since 1970-01-01 in the zone) from the zone's UTC
// offsets over a range: a handful of DST transitions a year, so each
// instant needs a short binary search, or none when it falls where the
// previous one did.
class LocalDays {
public:
    LocalDays(const QTimeZone& zone, double from, double to) {
        offsets_.emplace_back(-std::numeric_limits<double>::infinity(),
                              zone.offsetFromUtc(toDateTime(from)));
        for (const auto& t : zone.transitions(toDateTime(from), toDateTime(to)))
            offsets_.emplace_back(fromDateTime(t.atUtc), t.offsetFromUtc);
        offsets_.emplace_back(std::numeric_limits<double>::infinity(), 0);
    }

    qint64 operator()(double t) const {
        if (!(offsets_[last_].first <= t && t < offsets_[last_ + 1].first)) {
            auto it = std::upper_bound(offsets_.begin(), offsets_.end() - 1, t,
                                       [](double v, const auto& o) { return v < o.first; });
            last_ = std::size_t(std::prev(it) - offsets_.begin());
        }
        return qint64(std::floor((t + offsets_[last_].second) / 86400.0));
    }

    // An interval around `t`, whose day is `day`, in which every instant has
    // that day: within t's offset and a second clear of the day's edges,
    // so no rounding can move an instant of it to a neighbour.
    std::pair<double, double> sameDay(double t, qint64 day) const {
        (void)(*this)(t);
        const double start = double(day) * 86400.0 - offsets_[last_].second;
        return {std::max(start + 1, offsets_[last_].first),
                std::min(start + 86400.0 - 1, offsets_[last_ + 1].first)};
    }

    // The start of local day `day`, where `sample` lies, as
    // Calendar::startOfDay(sample) gives it: computed when its midnight is
    // unambiguous (no change of offset within a day of it) and `sample` is
    // not within a second of the day's edges, asked of the calendar else.
    Timestamp dayStart(qint64 day, double sample, const Calendar& calendar) const {
        (void)(*this)(sample); // the segment of `sample`
        const auto& [from, offset] = offsets_[last_];
        const double until = offsets_[last_ + 1].first;
        const double start = double(day) * 86400.0 - offset;
        constexpr double margin = 2 * 86400.0;
        if (start - margin >= from && start + margin < until && sample >= start + 1 &&
            sample < start + 86400.0 - 1)
            return start;
        return calendar.startOfDay(sample);
    }

    // FNV-1a over the offsets and the instants they start at.
    quint64 hash() const {
        quint64 h = 14695981039346656037ull;
        for (const auto& [from, offset] : offsets_) {
            const std::pair<std::int64_t, std::int64_t> words{
                std::isfinite(from) ? std::int64_t(from) : 0, offset};
            const auto* bytes = reinterpret_cast<const unsigned char*>(&words);
            for (std::size_t i = 0; i < sizeof words; ++i)
                h = (h ^ bytes[i]) * 1099511628211ull;
        }
        return h;
    }

private:
    std::vector<std::pair<double, int>> offsets_; // from this UTC instant on, this offset
    mutable std::size_t last_ = 0;
};

struct DaySlot {
    double sample = 0; // an instant of that day: the last entry's
    qint64 minutes = 0;
};

} // namespace

// A slot per day of 1900-2099, which every real trail is within.
struct TrailDays::State {
    static constexpr double from = -2208988800.0; // 1900-01-01T00:00:00Z
    static constexpr double to = 4102444800.0;    // 2100-01-01T00:00:00Z

    std::optional<LocalDays> localDay;
    qint64 first = 0;
    std::vector<std::int32_t> slotOfDay;
    std::vector<DaySlot> daySlots;
    std::size_t slot = 0;
    double sameDayFrom = 0, sameDayUntil = 0; // empty: no day yet
    bool fits = true;
};

TrailDays::TrailDays(const Calendar& calendar)
    : calendar_(&calendar), state_(std::make_unique<State>()) {}

TrailDays::TrailDays(const TrailDays& other)
    : calendar_(other.calendar_), state_(std::make_unique<State>(*other.state_)) {}

TrailDays::TrailDays(TrailDays&&) noexcept = default;
TrailDays::~TrailDays() = default;

bool TrailDays::fits() const {
    return state_->fits;
}

void TrailDays::prepare() {
    State& s = *state_;
    if (s.localDay)
        return;
    s.localDay.emplace(calendar_->timeZone(), State::from, State::to);
    // Margins for offsets that jump back across a day.
    s.first = (*s.localDay)(State::from)-2;
    s.slotOfDay.assign(std::size_t((*s.localDay)(State::to)-s.first + 3), -1);
}

void TrailDays::add(Timestamp t, qint64 minutes) {
    State& s = *state_;
    if (!s.fits)
        return;
    if (!(t >= State::from && t < State::to)) {
        s.fits = false;
        return;
    }
    prepare(); // on the first entry: an empty trail costs nothing
    // Entries mostly come in date order: while they stay within the last
    // entry's day, no day arithmetic is needed.
    if (!(t >= s.sameDayFrom && t < s.sameDayUntil)) {
        const qint64 localDate = (*s.localDay)(t);
        const qint64 day = localDate - s.first;
        if (day < 0 || std::size_t(day) >= s.slotOfDay.size()) {
            s.fits = false;
            return;
        }
        std::int32_t& index = s.slotOfDay[std::size_t(day)];
        if (index < 0) {
            index = std::int32_t(s.daySlots.size());
            s.daySlots.push_back({});
        }
        s.slot = std::size_t(index);
        std::tie(s.sameDayFrom, s.sameDayUntil) = s.localDay->sameDay(t, localDate);
    }
    DaySlot& daySlot = s.daySlots[s.slot];
    daySlot.sample = t;
    daySlot.minutes = saturatingAdd(daySlot.minutes, minutes);
}

void TrailDays::addLater(const TrailDays& later) {
    State& s = *state_;
    const State& l = *later.state_;
    s.fits = s.fits && l.fits;
    if (!s.fits || l.daySlots.empty())
        return;
    prepare();
    for (std::size_t day = 0; day < l.slotOfDay.size(); ++day) {
        if (const std::int32_t from = l.slotOfDay[day]; from >= 0) {
            std::int32_t& index = s.slotOfDay[day];
            if (index < 0) {
                index = std::int32_t(s.daySlots.size());
                s.daySlots.push_back({});
            }
            DaySlot& slot = s.daySlots[std::size_t(index)];
            slot.sample = l.daySlots[std::size_t(from)].sample;
            slot.minutes = saturatingAdd(slot.minutes, l.daySlots[std::size_t(from)].minutes);
        }
    }
    s.sameDayFrom = s.sameDayUntil = 0;
}

std::vector<DailyTrailTotal> TrailDays::totals() const {
    const State& s = *state_;
    std::vector<DailyTrailTotal> out;
    if (!s.fits)
        return out;
    out.reserve(s.daySlots.size());
    for (std::size_t day = 0; day < s.slotOfDay.size(); ++day) {
        if (const std::int32_t index = s.slotOfDay[day]; index >= 0) {
            const DaySlot& slot = s.daySlots[std::size_t(index)];
            out.push_back({s.localDay->dayStart(qint64(day) + s.first, slot.sample, *calendar_),
                           slot.minutes});
        }
    }
    return out;
}

std::optional<qint64> TrailDays::dayNumber(Timestamp t) {
    if (!(t >= State::from && t < State::to))
        return std::nullopt;
    prepare();
    return (*state_->localDay)(t);
}

Timestamp TrailDays::dayStart(qint64 day, Timestamp sample) {
    prepare();
    return state_->localDay->dayStart(day, sample, *calendar_);
}

QByteArray TrailDays::zoneFingerprint() {
    prepare();
    return calendar_->timeZone().id() + ' ' + qVersion() + ' ' +
           QByteArray::number(state_->localDay->hash(), 16);
}

namespace {

// Beyond those centuries but within a sane range: the zone's offsets over
// the range the entries span. Empty when the range is not sane.
std::vector<DailyTrailTotal> totalsByDayNumber(const Visit& visitAll, const Calendar& calendar) {
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    visitAll([&](Timestamp t, qint64) {
        lo = std::min(lo, t);
        hi = std::max(hi, t);
    });
    constexpr double maxSpan = 1000.0 * 366 * 86400; // a thousand years
    if (!(lo >= -1e11 && hi <= 1e11 && hi - lo <= maxSpan))
        return {};
    const LocalDays localDay(calendar.timeZone(), lo, hi);
    const qint64 first = localDay(lo), last = localDay(hi);
    struct Slot {
        bool used = false;
        DaySlot day;
    };
    std::vector<Slot> dayTotals(std::size_t(last - first + 1));
    visitAll([&](Timestamp t, qint64 minutes) {
        Slot& slot = dayTotals[std::size_t(localDay(t) - first)];
        slot.used = true;
        slot.day.sample = t;
        slot.day.minutes = saturatingAdd(slot.day.minutes, minutes);
    });
    std::vector<DailyTrailTotal> out;
    for (const Slot& slot : dayTotals) {
        if (slot.used)
            out.push_back({calendar.startOfDay(slot.day.sample), slot.day.minutes});
    }
    return out;
}

// Absurd dates: days found so far by their start, each with its end and
// running sum. Most entries fall on a day already seen, which saves the
// time-zone arithmetic; the last day used is tried first.
std::vector<DailyTrailTotal> totalsByDayStart(const Visit& visitAll, const Calendar& calendar) {
    struct Day {
        Timestamp end;
        qint64 minutes;
    };
    std::map<Timestamp, Day> days;
    std::map<Timestamp, Day>::iterator last = days.end();
    visitAll([&](Timestamp t, qint64 minutes) {
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
        day->second.minutes = saturatingAdd(day->second.minutes, minutes);
    });
    std::vector<DailyTrailTotal> out;
    out.reserve(days.size());
    for (const auto& [start, day] : days)
        out.push_back({start, day.minutes});
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
    return dailyTotalsOf(
        [&entries](const EntryVisitor& visit) {
            for (const TrailEntry* e : entries)
                visit(e->date(), e->minutes());
        },
        calendar);
}

std::vector<DailyTrailTotal>
TrailEntry::dailyTotalsOf(const std::function<void(const EntryVisitor&)>& visitAll,
                          const Calendar& calendar) {
    TrailDays days(calendar);
    visitAll([&days](Timestamp t, qint64 minutes) { days.add(t, minutes); });
    if (days.fits())
        return days.totals();
    if (auto totals = totalsByDayNumber(visitAll, calendar); !totals.empty())
        return totals;
    return totalsByDayStart(visitAll, calendar);
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
