#pragma once

#include "Core/Calendar.h"
#include "Models/TrailEntry.h"

#include <QByteArray>
#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace orvana {

class Goal;
class ModelContext;
class Record;

// The trail's days in one zone, over 1900-2099 (which every real trail is
// within): local day numbers, summed an entry at a time. A copy made after
// prepare() sums a part of the trail on another thread without touching the
// calendar; only totals() asks it.
class TrailDays {
public:
    // Day numbers (days since 1970-01-01, local) that 1900-2099 can give in
    // any zone, with a margin for offsets that jump back across a day.
    static constexpr double from = -2208988800.0; // 1900-01-01T00:00:00Z
    static constexpr double to = 4102444800.0;    // 2100-01-01T00:00:00Z
    static constexpr qint64 firstDay = -25569 - 2;
    static constexpr qint64 lastDay = 47482 + 2;

    explicit TrailDays(const Calendar& calendar);
    TrailDays(const TrailDays& other);
    TrailDays(TrailDays&&) noexcept;
    TrailDays& operator=(const TrailDays&) = delete;
    ~TrailDays();

    // Reads the zone's offsets, which the first entry does otherwise.
    void prepare();
    void add(Timestamp date, qint64 minutes);
    // Adds what `later` summed: its entries come after this one's.
    void addLater(const TrailDays& later);
    // False once an entry lay outside 1900-2099: then totals() has nothing
    // and only FocusFigures::dailyTotalsOf knows the answer.
    bool fits() const;
    std::vector<DailyTrailTotal> totals() const;

    // The local day number of `t`, nothing outside 1900-2099; the start of
    // day `day`, `sample` being an instant of it, as totals() gives it; and
    // a name for the zone's days, equal for two calendars whose days are the
    // same (their zone's name and offsets over those centuries).
    std::optional<qint64> dayNumber(Timestamp t);
    Timestamp dayStart(qint64 day, Timestamp sample);
    QByteArray zoneFingerprint();

private:
    struct State;
    const Calendar* calendar_;
    std::unique_ptr<State> state_;
};

// The focus figures: minutes per day, the streak, minutes per goal and the
// 30-day series. The rules are the static functions, over any entries; the
// live figures of a context's whole trail are kept by the one instance of()
// gives, counted on first use and from then on kept up to date by the
// entries inserted, edited, deleted and brought back (undo and import
// included), each counted out and in again.
//
// Sums saturate instead of overflowing. Only entries that keepable() accepts
// are counted one by one (here and in the store's kept sums); while any
// other exists, every change sums the trail afresh in the records' order,
// where saturation gives what it gives.
class FocusFigures : public QObject {
    Q_OBJECT
public:
    // --- the rules ------------------------------------------------------

    // Dated 1900-2099 with 0 to 2^31 minutes (some 4 000 years): sums of
    // such entries stay far within 64 bits in any order.
    static bool keepable(Timestamp date, qint64 minutes);

    // The sum of the entries' minutes, saturating, in their order.
    static qint64 sumMinutes(const std::vector<TrailEntry*>& entries);

    // Minutes per calendar day, ascending by day; only days with entries.
    static std::vector<DailyTrailTotal> dailyTotals(const std::vector<TrailEntry*>& entries,
                                                    const Calendar& calendar);
    // The same over entries that are not in memory: `visitAll` calls its
    // argument with the date and minutes of every entry, always in the same
    // order, as often as it is asked (once unless dates are absurd).
    using EntryVisitor = std::function<void(Timestamp date, qint64 minutes)>;
    static std::vector<DailyTrailTotal>
    dailyTotalsOf(const std::function<void(const EntryVisitor&)>& visitAll,
                  const Calendar& calendar);

    // Consecutive days with at least a minute, counted back from today, or
    // from yesterday while today has none yet. `dailyTotals` ascending.
    static qint64 streak(const std::vector<DailyTrailTotal>& dailyTotals, const Calendar& calendar,
                         Timestamp now);

    // The series covers today and the days before it, this many in all.
    static constexpr int seriesDays = 30;
    // Its first day's start; absent when the calendar cannot step back.
    static std::optional<Timestamp> seriesStart(const Calendar& calendar, Timestamp now);
    // The days with focus from `start` on (all of them without a start).
    static std::vector<DailyTrailTotal> series(const std::vector<DailyTrailTotal>& dailyTotals,
                                               std::optional<Timestamp> start);

    // One goal's trail from its own entries: nothing else is read.
    struct GoalTrail {
        qint64 minutes = 0;
        qint64 entries = 0;
        std::vector<DailyTrailTotal> dailyTotals;
    };
    static GoalTrail goalTrail(const Goal& goal, const Calendar& calendar);

    // How an entry is counted one by one, here and in the store's kept sums:
    // its day's slot (day number - TrailDays::firstDay; -1: not counted),
    // its goal's sequence (0: none) and its minutes. Nothing for an entry
    // that cannot be: then only a count in the records' order is right.
    struct Counted {
        std::int32_t day = -1;
        std::int32_t goal = 0;
        std::uint32_t minutes = 0;
    };
    static std::optional<Counted> countedAs(Timestamp date, qint64 minutes, qint64 goal,
                                            TrailDays& days);

    // --- the live figures of a context ----------------------------------

    // The context's figures, in `calendar`'s days (a calendar of another
    // zone has them counted again). Lives as long as the context.
    static FocusFigures& of(ModelContext& context, const Calendar& calendar);
    ~FocusFigures() override;

    qint64 totalMinutes();
    qint64 entryCount();
    const std::vector<DailyTrailTotal>& dailyTotals();
    qint64 streak(Timestamp now);
    // Without a count made yet, from the goal's own entries.
    qint64 minutesOf(const Goal& goal);

private:
    struct Day {
        Timestamp start = 0;
        qint64 minutes = 0;
        qint64 entries = 0;
    };

    FocusFigures(ModelContext& context, const Calendar& calendar);
    void note(Record* record);
    void sync();
    void recount();
    bool apply(const TrailEntry& entry);
    void countIn(const Counted& c, Timestamp date);
    void countOut(const Counted& c);

    ModelContext& context_;
    Calendar calendar_;
    std::unique_ptr<TrailDays> days_;
    bool counted_ = false;  // a count is made: touches are noted
    bool oneByOne_ = false; // every entry keepable: touches are counted one by one
    bool recount_ = false;  // too much touched to go one by one
    std::vector<Record*> touched_;
    std::vector<Counted> bySequence_; // at the entry's sequence - 1
    std::vector<Day> byDay_;          // at the day number - TrailDays::firstDay
    std::vector<qint64> byGoal_;      // minutes, at the goal's sequence - 1
    qint64 totalMinutes_ = 0;
    qint64 entries_ = 0;
    std::vector<DailyTrailTotal> dailyTotals_;
    bool dailyTotalsStale_ = false;
    qint64 streak_ = 0;
    std::optional<Timestamp> streakDay_; // the day streak_ holds for; gone when days change
};

} // namespace orvana
