#include "Models/FocusBlockTemplate.h"

#include "Store/ModelContext.h"

namespace orvana {

FocusBlockTemplate::FocusBlockTemplate(QString title, std::vector<qint64> weekdays, qint64 hour,
                                       qint64 minute, qint64 durationMinutes, bool isActive,
                                       Timestamp createdAt)
    : Record(EntityType::focusBlockTemplate), title_(std::move(title)), createdAt_(createdAt),
      isActive_(isActive), weekdays_(std::move(weekdays)), hour_(hour), minute_(minute),
      durationMinutes_(durationMinutes) {}

void FocusBlockTemplate::setGoal(Goal* goal) {
    setToOne(&FocusBlockTemplate::goal_, &Goal::focusBlockTemplates_, goal);
}

void FocusBlockTemplate::detachFromOwners() {
    setGoal(nullptr);
}

void FocusBlockTemplate::attachToOwners() {
    attachToOwner(&FocusBlockTemplate::goal_, &Goal::focusBlockTemplates_);
}

} // namespace orvana
