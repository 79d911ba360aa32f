#pragma once

#include "Models/Record.h"

namespace orvana {

class Goal;

// Whole focus minutes credited to a goal at one instant. Never edited after
// creation; disappears only with its goal.
class TrailEntry final : public Record {
public:
    TrailEntry(Timestamp date, qint64 minutes, Goal* goal = nullptr,
               Timestamp createdAt = systemNow());

    Timestamp date() const { return date_; }
    void setDate(Timestamp t) { setField(&TrailEntry::date_, t); }

    qint64 minutes() const { return minutes_; }
    void setMinutes(qint64 minutes) { setField(&TrailEntry::minutes_, minutes); }

    Timestamp createdAt() const { return createdAt_; }
    void setCreatedAt(Timestamp t) { setField(&TrailEntry::createdAt_, t); }

    Goal* goal() const { return goal_; }
    void setGoal(Goal* goal);

protected:
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
