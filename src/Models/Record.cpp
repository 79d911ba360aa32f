#include "Models/Record.h"

#include "Store/ModelContext.h"

namespace orvana {

Record::Record(EntityType type, bool stampCreatedAtOnInsert)
    : type_(type), stampCreatedAtOnInsert_(stampCreatedAtOnInsert), id_(QUuid::createUuid()) {}

void Record::setID(const QUuid& id) {
    Q_ASSERT(!context_);
    if (!context_)
        id_ = id;
}

void Record::ownersChanged(EntityType ownerType) {
    if (context_)
        context_->noteChange(ownerType);
}

void Record::refusedLink() {
    qWarning("Orvana: refused a link to a record that is not live in the same store");
}

void Record::didChange(std::function<void()> undo) {
    ++revision_;
    if (context_)
        context_->recordChange(this, std::move(undo));
}

} // namespace orvana
