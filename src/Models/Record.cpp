#include "Models/Record.h"

#include "Store/ModelContext.h"

namespace orvana {

// Millions of records are loaded: every byte of the base counts a megabyte.
static_assert(sizeof(Record) == 40 || sizeof(void*) != 8);

Record::Record(EntityType type, bool stampCreatedAtOnInsert)
    : type_(type), stampCreatedAtOnInsert_(stampCreatedAtOnInsert) {}

void Record::setID(const QUuid& id) {
    Q_ASSERT(!contextSlot_);
    if (!contextSlot_) {
        id_ = id;
        hasID_ = true;
    }
}

void Record::ownersChanged(EntityType ownerType) {
    if (ModelContext* context = this->context())
        context->noteChange(ownerType);
}

void Record::refusedLink() {
    qWarning("Orvana: refused a link to a record that is not live in the same store");
}

void Record::didChange(std::function<void()> undo) {
    ++revision_;
    if (ModelContext* context = this->context())
        context->recordChange(this, std::move(undo));
}

} // namespace orvana
