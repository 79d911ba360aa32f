#pragma once

#include "Models/Enums.h"
#include "Models/Record.h"

#include <QString>
#include <optional>

namespace orvana {

class DayTask;
class Goal;

// The segment that follows one that just ended (see nextPomodoroStep).
struct PomodoroStep {
    FocusSessionKind kind = FocusSessionKind::work;
    qint64 plannedSeconds = 0;
    qint64 cycleNumber = 1;
    friend bool operator==(const PomodoroStep&, const PomodoroStep&) = default;
};

// The four Pomodoro settings, in minutes and cycles.
struct PomodoroSettings {
    qint64 workMinutes = 25;
    qint64 shortBreakMinutes = 5;
    qint64 longBreakMinutes = 15;
    qint64 cyclesBeforeLongBreak = 4;
};

// One timed segment of focused work (or a Pomodoro break) on a task or goal.
class FocusSession final : public Record {
public:
    explicit FocusSession(double plannedDuration, std::optional<Timestamp> createdAt = std::nullopt,
                          double accumulatedActiveDuration = 0,
                          std::optional<Timestamp> currentSegmentStartedAt = std::nullopt,
                          std::optional<Timestamp> endedAt = std::nullopt, bool isCompleted = false,
                          bool hasBeenLogged = false,
                          FocusSessionKind kind = FocusSessionKind::work,
                          std::optional<qint64> pomodoroCycleNumber = std::nullopt);

    Timestamp createdAt() const { return createdAt_; }
    void setCreatedAt(Timestamp t) {
        createdAtGiven();
        setField(&FocusSession::createdAt_, t);
    }

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

    // --- the session's own clock ---------------------------------------
    // Every operation takes the instant; none saves. Calls that do not fit
    // the state (pausing a paused session, starting an ended one) do nothing.

    // True exactly while a running stretch is open.
    bool isRunning() const { return currentSegmentStartedAt_.has_value(); }
    bool isEnded() const { return endedAt_.has_value(); }
    // Finished stretches plus the open one, at `instant`.
    double activeDuration(Timestamp instant) const;
    // Planned minus active time, never below 0.
    double remaining(Timestamp instant) const;
    void start(Timestamp instant);
    void resume(Timestamp instant) { start(instant); }
    void pause(Timestamp instant);
    // Closes the open stretch, ends the session for good and records whether
    // the plan was reached.
    void stop(Timestamp instant);

    // The segment after one of `endedKind` and `endedCycle` (1 when absent):
    // after work of cycle c a break of cycle c (long when c is a multiple of
    // the cycles setting, which counts as 1 when below 1), after a break work
    // of cycle c + 1.
    static PomodoroStep nextPomodoroStep(FocusSessionKind endedKind,
                                         std::optional<qint64> endedCycle,
                                         const PomodoroSettings& settings);

    DayTask* dayTask() const { return dayTask_; }
    void setDayTask(DayTask* task);

    Goal* goal() const { return goal_; }
    void setGoal(Goal* goal);

protected:
    void stampCreatedAt(Timestamp now) override { createdAt_ = now; }
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
