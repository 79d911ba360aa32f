#include "Models/FocusSession.h"

#include "Store/ModelContext.h"

namespace orvana {

FocusSession::FocusSession(double plannedDuration, Timestamp createdAt,
                           double accumulatedActiveDuration,
                           std::optional<Timestamp> currentSegmentStartedAt,
                           std::optional<Timestamp> endedAt, bool isCompleted, bool hasBeenLogged,
                           FocusSessionKind kind, std::optional<qint64> pomodoroCycleNumber)
    : Record(EntityType::focusSession), createdAt_(createdAt), plannedDuration_(plannedDuration),
      accumulatedActiveDuration_(accumulatedActiveDuration),
      currentSegmentStartedAt_(currentSegmentStartedAt), endedAt_(endedAt),
      isCompleted_(isCompleted), hasBeenLogged_(hasBeenLogged), kindRawValue_(rawValue(kind)),
      pomodoroCycleNumber_(pomodoroCycleNumber) {}

FocusSessionKind FocusSession::kind() const {
    if (!kindRawValue_)
        return FocusSessionKind::work;
    return focusSessionKindFromRaw(*kindRawValue_).value_or(FocusSessionKind::work);
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
