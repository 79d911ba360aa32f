#pragma once

#include "Models/Record.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace orvana {

class Calendar;
class FocusSession;
class Goal;
class ModelContext;

// The minutes of one calendar day (date = the day's start).
struct DailyTrailTotal {
    Timestamp date = 0;
    qint64 minutes = 0;
    friend bool operator==(const DailyTrailTotal&, const DailyTrailTotal&) = default;
};

// dailyTotalsOf's usual case, summed an entry at a time: trails within
// 1900-2099. A copy made after prepare() sums a part of the trail on
// another thread without touching the calendar; only totals() asks it.
class TrailDays {
public:
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
    // and only dailyTotalsOf knows the answer.
    bool fits() const;
    std::vector<DailyTrailTotal> totals() const;

    // For sums kept elsewhere by day: the local day number of `t` (days
    // since 1970-01-01 in the zone), nothing outside 1900-2099; the start of
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

// Whole focus minutes credited to a goal at one instant. Never edited after
// creation; disappears only with its goal.
class TrailEntry final : public Record {
public:
    TrailEntry(Timestamp date, qint64 minutes, Goal* goal = nullptr,
               std::optional<Timestamp> createdAt = std::nullopt);

    Timestamp date() const { return date_; }
    void setDate(Timestamp t) { setField(&TrailEntry::date_, t); }

    qint64 minutes() const { return minutes_; }
    void setMinutes(qint64 minutes) { setField(&TrailEntry::minutes_, minutes); }

    Timestamp createdAt() const { return createdAt_; }
    void setCreatedAt(Timestamp t) {
        createdAtGiven();
        setField(&TrailEntry::createdAt_, t);
    }

    Goal* goal() const { return goal_; }
    void setGoal(Goal* goal);

    // Turns a finished session into trail minutes, once: a work segment of at
    // least one whole minute that can be credited to a goal (the session's,
    // else its task's, else the task's week item's) becomes one entry dated at
    // the session's end. Every session it sees is marked logged. Nothing is
    // saved. Returns the new entry, if any.
    static TrailEntry* logIfNeeded(FocusSession& session, ModelContext& context);

    // The sum of the entries' minutes (a goal's "minutes logged"), saturating.
    static qint64 totalMinutes(const std::vector<TrailEntry*>& entries);

    // Minutes per calendar day, ascending by day; only days with entries.
    // Sums saturate instead of overflowing on absurd imported values.
    static std::vector<DailyTrailTotal> dailyTotals(const std::vector<TrailEntry*>& entries,
                                                    const Calendar& calendar);
    // The same over entries that are not in memory: `visitAll` calls its
    // argument with the date and minutes of every entry, always in the same
    // order, as often as it is asked (once unless dates are absurd).
    using EntryVisitor = std::function<void(Timestamp date, qint64 minutes)>;
    static std::vector<DailyTrailTotal>
    dailyTotalsOf(const std::function<void(const EntryVisitor&)>& visitAll,
                  const Calendar& calendar);
    // The entry with the greatest createdAt (the first of equals), unless its
    // id is `lastAcknowledgedID` (canonical text).
    static TrailEntry* newestUnacknowledged(const std::vector<TrailEntry*>& entries,
                                            const QString& lastAcknowledgedID);

protected:
    void stampCreatedAt(Timestamp now) override { createdAt_ = now; }
    void applyDeleteRules(ModelContext&) override {}
    void detachFromOwners() override;
    void attachToOwners() override;

private:
    friend class Record;
    explicit TrailEntry(LoadTag tag) : Record(EntityType::trailEntry, tag) {}
    friend class SqliteStore;

    Timestamp date_;
    qint64 minutes_;
    Timestamp createdAt_;
    Goal* goal_ = nullptr;
};

} // namespace orvana
