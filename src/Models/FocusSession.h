#pragma once

#include "Models/Enums.h"
#include "Models/Record.h"

#include <QString>
#include <optional>

namespace orvana {

class DayTask;
class Goal;

// One timed segment of focused work (or a Pomodoro break) on a task or goal.
class FocusSession final : public Record {
public:
    explicit FocusSession(double plannedDuration, Timestamp createdAt = systemNow(),
                          double accumulatedActiveDuration = 0,
                          std::optional<Timestamp> currentSegmentStartedAt = std::nullopt,
                          std::optional<Timestamp> endedAt = std::nullopt, bool isCompleted = false,
                          bool hasBeenLogged = false,
                          FocusSessionKind kind = FocusSessionKind::work,
                          std::optional<qint64> pomodoroCycleNumber = std::nullopt);

    Timestamp createdAt() const { return createdAt_; }
    void setCreatedAt(Timestamp t) { setField(&FocusSession::createdAt_, t); }

    double plannedDuration() const { return plannedDuration_; }
    void setPlannedDuration(double seconds) { setField(&FocusSession::plannedDuration_, seconds); }

    double accumulatedActiveDuration() const { return accumulatedActiveDuration_; }
    void setAccumulatedActiveDuration(double seconds) {
        setField(&FocusSession::accumulatedActiveDuration_, seconds);
    }

    const std::optional<Timestamp>& currentSegmentStartedAt() const {
        return currentSegmentStartedAt_;
    }
    void setCurrentSegmentStartedAt(std::optional<Timestamp> t) {
        setField(&FocusSession::currentSegmentStartedAt_, t);
    }

    const std::optional<Timestamp>& endedAt() const { return endedAt_; }
    void setEndedAt(std::optional<Timestamp> t) { setField(&FocusSession::endedAt_, t); }

    bool isCompleted() const { return isCompleted_; }
    void setIsCompleted(bool value) { setField(&FocusSession::isCompleted_, value); }

    bool hasBeenLogged() const { return hasBeenLogged_; }
    void setHasBeenLogged(bool value) { setField(&FocusSession::hasBeenLogged_, value); }

    // The stored raw text of the kind; kind() reads an absent or unknown
    // value as work.
    const std::optional<QString>& kindRawValue() const { return kindRawValue_; }
    void setKindRawValue(std::optional<QString> raw) {
        setField(&FocusSession::kindRawValue_, std::move(raw));
    }
    FocusSessionKind kind() const;
    void setKind(FocusSessionKind kind) { setKindRawValue(rawValue(kind)); }

    const std::optional<qint64>& pomodoroCycleNumber() const { return pomodoroCycleNumber_; }
    void setPomodoroCycleNumber(std::optional<qint64> cycle) {
        setField(&FocusSession::pomodoroCycleNumber_, cycle);
    }

    DayTask* dayTask() const { return dayTask_; }
    void setDayTask(DayTask* task);

    Goal* goal() const { return goal_; }
    void setGoal(Goal* goal);

protected:
    void applyDeleteRules(ModelContext&) override {}
    void detachFromOwners() override;
    void attachToOwners() override;

private:
    friend class Record;
    explicit FocusSession(LoadTag tag) : Record(EntityType::focusSession, tag) {}
    friend class SqliteStore;

    Timestamp createdAt_;
    double plannedDuration_;
    double accumulatedActiveDuration_;
    std::optional<Timestamp> currentSegmentStartedAt_;
    std::optional<Timestamp> endedAt_;
    bool isCompleted_;
    bool hasBeenLogged_;
    std::optional<QString> kindRawValue_;
    std::optional<qint64> pomodoroCycleNumber_;
    DayTask* dayTask_ = nullptr;
    Goal* goal_ = nullptr;
};

} // namespace orvana
