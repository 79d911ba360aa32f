#pragma once

#include "Models/Record.h"

#include <QString>
#include <vector>

namespace orvana {

class FocusSession;
class Goal;
class ModelContext;

// The minutes of one calendar day (date = the day's start).
struct DailyTrailTotal {
    Timestamp date = 0;
    qint64 minutes = 0;
    friend bool operator==(const DailyTrailTotal&, const DailyTrailTotal&) = default;
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
