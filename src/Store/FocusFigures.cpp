#include "Store/FocusFigures.h"

#include "Core/Arithmetic.h"
#include "Models/Goal.h"
#include "Store/ModelContext.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <tuple>

namespace orvana {

namespace {

using Visit = std::function<void(const FocusFigures::EntryVisitor&)>;

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
    static constexpr double from = TrailDays::from;
    static constexpr double to = TrailDays::to;

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

namespace {

constexpr qint64 mostMinutes = qint64(1) << 31;

qint64 goalOf(const TrailEntry& e) {
    return e.goal() ? e.goal()->sequence() : 0;
}

// Past this many entries touched since the last count, counting them all
// again costs less than counting each out and in again.
constexpr std::size_t maxTouched = 10'000;

// Deleted records leave gaps in the sequence numbers the count is indexed
// by; beyond this the index would be mostly gaps.
constexpr std::size_t sequenceSlack = 65'536;

constexpr auto dayOrder = [](const DailyTrailTotal& d, Timestamp start) { return d.date < start; };

} // namespace

bool FocusFigures::keepable(Timestamp date, qint64 minutes) {
    return date >= TrailDays::from && date < TrailDays::to && minutes >= 0 &&
           minutes <= mostMinutes;
}

qint64 FocusFigures::sumMinutes(const std::vector<TrailEntry*>& entries) {
    qint64 total = 0;
    for (const TrailEntry* e : entries)
        total = saturatingAdd(total, e->minutes());
    return total;
}

std::vector<DailyTrailTotal> FocusFigures::dailyTotals(const std::vector<TrailEntry*>& entries,
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
FocusFigures::dailyTotalsOf(const std::function<void(const EntryVisitor&)>& visitAll,
                            const Calendar& calendar) {
    TrailDays days(calendar);
    visitAll([&days](Timestamp t, qint64 minutes) { days.add(t, minutes); });
    if (days.fits())
        return days.totals();
    if (auto totals = totalsByDayNumber(visitAll, calendar); !totals.empty())
        return totals;
    return totalsByDayStart(visitAll, calendar);
}

qint64 FocusFigures::streak(const std::vector<DailyTrailTotal>& dailyTotals,
                            const Calendar& calendar, Timestamp now) {
    // The totals ascend by day, so the days counted are looked at from the
    // last one back: a long trail costs only as much as the streak is long.
    auto next = dailyTotals.rbegin();
    auto hasFocus = [&](Timestamp day) {
        while (next != dailyTotals.rend() && calendar.startOfDay(next->date) > day)
            ++next;
        for (auto it = next; it != dailyTotals.rend() && calendar.startOfDay(it->date) == day;
             ++it) {
            if (it->minutes >= 1)
                return true;
        }
        return false;
    };
    auto dayBefore = [&](Timestamp day) { return calendar.startOfDayAfter(day, -1); };
    std::optional<Timestamp> cursor = calendar.startOfDay(now);
    if (!hasFocus(*cursor)) {
        cursor = dayBefore(*cursor);
        if (!cursor || !hasFocus(*cursor))
            return 0;
    }
    qint64 count = 0;
    while (cursor && hasFocus(*cursor)) {
        ++count;
        cursor = dayBefore(*cursor);
    }
    return count;
}

std::optional<Timestamp> FocusFigures::seriesStart(const Calendar& calendar, Timestamp now) {
    return calendar.startOfDayAfter(now, -(seriesDays - 1));
}

std::vector<DailyTrailTotal> FocusFigures::series(const std::vector<DailyTrailTotal>& dailyTotals,
                                                  std::optional<Timestamp> start) {
    if (!start)
        return dailyTotals;
    // Ascending: the series is a tail of the totals.
    return {std::lower_bound(dailyTotals.begin(), dailyTotals.end(), *start, dayOrder),
            dailyTotals.end()};
}

FocusFigures::GoalTrail FocusFigures::goalTrail(const Goal& goal, const Calendar& calendar) {
    const std::vector<TrailEntry*>& entries = goal.trailEntries();
    return {sumMinutes(entries), qint64(entries.size()), dailyTotals(entries, calendar)};
}

FocusFigures& FocusFigures::of(ModelContext& context, const Calendar& calendar) {
    auto* figures = context.findChild<FocusFigures*>(QString(), Qt::FindDirectChildrenOnly);
    if (!figures)
        figures = new FocusFigures(context, calendar);
    if (!(figures->calendar_.timeZone() == calendar.timeZone())) {
        // Another zone puts the entries on other days.
        figures->calendar_ = calendar;
        figures->days_ = std::make_unique<TrailDays>(figures->calendar_);
        figures->counted_ = false;
    }
    return *figures;
}

FocusFigures::FocusFigures(ModelContext& context, const Calendar& calendar)
    : QObject(&context), context_(context), calendar_(calendar),
      days_(std::make_unique<TrailDays>(calendar_)) {
    connect(&context, &ModelContext::recordInserted, this, &FocusFigures::note);
    connect(&context, &ModelContext::recordEdited, this, &FocusFigures::note);
    connect(&context, &ModelContext::recordRemoved, this, &FocusFigures::note);
    connect(&context, &ModelContext::recordRestored, this, &FocusFigures::note);
}

FocusFigures::~FocusFigures() = default;

qint64 FocusFigures::totalMinutes() {
    sync();
    return totalMinutes_;
}

qint64 FocusFigures::entryCount() {
    sync();
    return entries_;
}

const std::vector<DailyTrailTotal>& FocusFigures::dailyTotals() {
    sync();
    if (dailyTotalsStale_) {
        dailyTotalsStale_ = false;
        dailyTotals_.clear();
        for (const Day& day : byDay_) {
            if (day.entries > 0)
                dailyTotals_.push_back({day.start, day.minutes});
        }
    }
    return dailyTotals_;
}

qint64 FocusFigures::streak(Timestamp now) {
    const std::vector<DailyTrailTotal>& days = dailyTotals();
    const Timestamp today = calendar_.startOfDay(now);
    if (streakDay_ != today) {
        streak_ = streak(days, calendar_, now);
        streakDay_ = today;
    }
    return streak_;
}

qint64 FocusFigures::minutesOf(const Goal& goal) {
    // A count is not made for one goal's sake.
    if (counted_ && oneByOne_ && !goal.isDeleted()) {
        sync();
        if (oneByOne_) {
            const auto index = std::size_t(goal.sequence() - 1);
            return index < byGoal_.size() ? byGoal_[index] : 0;
        }
    }
    return sumMinutes(goal.trailEntries());
}

void FocusFigures::note(Record* record) {
    if (record->entityType() != EntityType::trailEntry || !counted_ || recount_)
        return;
    if (!oneByOne_ || touched_.size() >= maxTouched) {
        touched_ = {};
        recount_ = true;
        return;
    }
    touched_.push_back(record);
}

void FocusFigures::sync() {
    if (!counted_ || recount_)
        return recount();
    if (touched_.empty())
        return;
    std::vector<Record*> touched = std::exchange(touched_, {});
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
    for (Record* record : touched) {
        if (!apply(static_cast<const TrailEntry&>(*record)))
            return recount();
    }
    // A check on the bookkeeping: should it ever be off, a count puts it
    // right.
    if (entries_ != qint64(context_.count<TrailEntry>()))
        recount();
}

void FocusFigures::recount() {
    const std::vector<TrailEntry*> entries = context_.fetch<TrailEntry>();
    counted_ = true;
    recount_ = false;
    touched_ = {};
    bySequence_ = {};
    byDay_ = {};
    byGoal_ = {};
    streakDay_.reset();
    entries_ = totalMinutes_ = 0;
    qint64 lastSequence = 0;
    oneByOne_ = true;
    for (const TrailEntry* e : entries) {
        oneByOne_ = oneByOne_ && e->sequence() >= 1 && keepable(e->date(), e->minutes());
        lastSequence = std::max(lastSequence, e->sequence());
    }
    oneByOne_ = oneByOne_ && std::size_t(lastSequence) <= 2 * entries.size() + sequenceSlack;
    if (oneByOne_) {
        byDay_.resize(std::size_t(TrailDays::lastDay - TrailDays::firstDay + 1));
        bySequence_.resize(std::size_t(lastSequence));
        for (const TrailEntry* e : entries) {
            const std::optional<Counted> c = countedAs(e->date(), e->minutes(), goalOf(*e), *days_);
            if (!c) {
                oneByOne_ = false;
                break;
            }
            bySequence_[std::size_t(e->sequence() - 1)] = *c;
            countIn(*c, e->date());
        }
    }
    if (oneByOne_) {
        dailyTotalsStale_ = true;
        return;
    }
    // As the records give them, saturating where they will.
    entries_ = qint64(entries.size());
    totalMinutes_ = sumMinutes(entries);
    bySequence_ = {};
    byDay_ = {};
    byGoal_ = {};
    dailyTotals_ = dailyTotals(entries, calendar_);
    dailyTotalsStale_ = false;
}

std::optional<FocusFigures::Counted> FocusFigures::countedAs(Timestamp date, qint64 minutes,
                                                             qint64 goal, TrailDays& days) {
    if (!keepable(date, minutes))
        return std::nullopt;
    const std::optional<qint64> day = days.dayNumber(date);
    if (!day || *day < TrailDays::firstDay || *day > TrailDays::lastDay)
        return std::nullopt;
    if (goal < 0 || goal > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return Counted{std::int32_t(*day - TrailDays::firstDay), std::int32_t(goal),
                   std::uint32_t(minutes)};
}

bool FocusFigures::apply(const TrailEntry& e) {
    if (e.sequence() < 1)
        return false;
    const auto index = std::size_t(e.sequence() - 1);
    if (index >= bySequence_.size()) {
        if (index > 2 * std::size_t(entries_) + sequenceSlack)
            return false;
        bySequence_.resize(index + 1);
    }
    Counted& counted = bySequence_[index];
    if (counted.day >= 0)
        countOut(counted);
    counted = {};
    if (e.isDeleted())
        return true;
    const std::optional<Counted> c = countedAs(e.date(), e.minutes(), goalOf(e), *days_);
    if (!c)
        return false;
    counted = *c;
    countIn(counted, e.date());
    return true;
}

void FocusFigures::countIn(const Counted& c, Timestamp date) {
    Day& day = byDay_[std::size_t(c.day)];
    if (day.entries == 0)
        day.start = days_->dayStart(c.day + TrailDays::firstDay, date);
    if (day.entries == 0 || (day.minutes < 1 && day.minutes + c.minutes >= 1))
        streakDay_.reset();
    day.minutes += c.minutes;
    ++day.entries;
    if (c.goal > 0) {
        const auto index = std::size_t(c.goal - 1);
        if (index >= byGoal_.size())
            byGoal_.resize(index + 1);
        byGoal_[index] += c.minutes;
    }
    totalMinutes_ += c.minutes;
    ++entries_;
    dailyTotalsStale_ = true;
}

void FocusFigures::countOut(const Counted& c) {
    Day& day = byDay_[std::size_t(c.day)];
    const bool wasActive = day.minutes >= 1;
    day.minutes -= c.minutes;
    --day.entries;
    if (wasActive != (day.minutes >= 1))
        streakDay_.reset();
    if (c.goal > 0) {
        byGoal_[std::size_t(c.goal - 1)] -= c.minutes;
    }
    totalMinutes_ -= c.minutes;
    --entries_;
    dailyTotalsStale_ = true;
}

} // namespace orvana
