#include "Models/TrailEntry.h"

#include "Store/ModelContext.h"

namespace orvana {

TrailEntry::TrailEntry(Timestamp date, qint64 minutes, Goal* goal, Timestamp createdAt)
    : Record(EntityType::trailEntry), date_(date), minutes_(minutes), createdAt_(createdAt) {
    setGoal(goal);
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
