#include "Models/FocusSession.h"

#include "Store/ModelContext.h"

#include <algorithm>
#include <limits>

namespace orvana {

FocusSession::FocusSession(double plannedDuration, std::optional<Timestamp> createdAt,
                           double accumulatedActiveDuration,
                           std::optional<Timestamp> currentSegmentStartedAt,
                           std::optional<Timestamp> endedAt, bool isCompleted, bool hasBeenLogged,
                           FocusSessionKind kind, std::optional<qint64> pomodoroCycleNumber)
    : Record(EntityType::focusSession, !createdAt.has_value()), createdAt_(createdAt.value_or(0)),
      plannedDuration_(plannedDuration), accumulatedActiveDuration_(accumulatedActiveDuration),
      currentSegmentStartedAt_(currentSegmentStartedAt), endedAt_(endedAt),
      isCompleted_(isCompleted), hasBeenLogged_(hasBeenLogged), kindRawValue_(rawValue(kind)),
      pomodoroCycleNumber_(pomodoroCycleNumber) {}

FocusSessionKind FocusSession::kind() const {
    if (!kindRawValue_)
        return FocusSessionKind::work;
    return focusSessionKindFromRaw(*kindRawValue_).value_or(FocusSessionKind::work);
}

double FocusSession::activeDuration(Timestamp instant) const {
    const double open = currentSegmentStartedAt_ ? instant - *currentSegmentStartedAt_ : 0.0;
    return accumulatedActiveDuration_ + open;
}

double FocusSession::remaining(Timestamp instant) const {
    return std::max(0.0, plannedDuration_ - activeDuration(instant));
}

void FocusSession::start(Timestamp instant) {
    if (isRunning() || isEnded())
        return;
    setCurrentSegmentStartedAt(instant);
}

void FocusSession::pause(Timestamp instant) {
    if (!isRunning())
        return;
    setAccumulatedActiveDuration(accumulatedActiveDuration_ +
                                 (instant - *currentSegmentStartedAt_));
    setCurrentSegmentStartedAt(std::nullopt);
}

void FocusSession::stop(Timestamp instant) {
    pause(instant);
    setEndedAt(instant);
    setIsCompleted(plannedDuration_ <= accumulatedActiveDuration_);
}

PomodoroStep FocusSession::nextPomodoroStep(FocusSessionKind endedKind,
                                            std::optional<qint64> endedCycle,
                                            const PomodoroSettings& settings) {
    const qint64 cycle = endedCycle.value_or(1);
    // Minutes come from settings the user can only set within small bounds;
    // hand-edited absurd values are clamped so seconds cannot overflow.
    auto seconds = [](qint64 minutes) {
        constexpr qint64 limit = std::numeric_limits<qint64>::max() / 60;
        return std::clamp(minutes, -limit, limit) * 60;
    };
    if (endedKind == FocusSessionKind::work) {
        const qint64 n = std::max<qint64>(settings.cyclesBeforeLongBreak, 1);
        if (cycle % n == 0)
            return {FocusSessionKind::longBreak, seconds(settings.longBreakMinutes), cycle};
        return {FocusSessionKind::shortBreak, seconds(settings.shortBreakMinutes), cycle};
    }
    const qint64 next = cycle == std::numeric_limits<qint64>::max() ? cycle : cycle + 1;
    return {FocusSessionKind::work, seconds(settings.workMinutes), next};
}

void FocusSession::setDayTask(DayTask* task) {
    setToOne(&FocusSession::dayTask_, &DayTask::focusSessions_, task);
}

void FocusSession::setGoal(Goal* goal) {
    setToOne(&FocusSession::goal_, &Goal::directFocusSessions_, goal);
}

void FocusSession::detachFromOwners() {
    setDayTask(nullptr);
    setGoal(nullptr);
}

void FocusSession::attachToOwners() {
    attachToOwner(&FocusSession::dayTask_, &DayTask::focusSessions_);
    attachToOwner(&FocusSession::goal_, &Goal::directFocusSessions_);
}

} // namespace orvana
