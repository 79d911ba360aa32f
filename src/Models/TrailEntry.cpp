#include "Models/TrailEntry.h"

#include "Core/Uuid.h"
#include "Store/ModelContext.h"

#include <cmath>
#include <optional>

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
