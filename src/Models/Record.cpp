#include "Models/Record.h"

#include "Store/ModelContext.h"

#include <new>

namespace orvana {

// Millions of records are loaded: every byte of the base counts a megabyte.
static_assert(sizeof(Record) == 40 || sizeof(void*) != 8);

Record::Record(EntityType type, bool stampCreatedAtOnInsert)
    : type_(type), stampCreatedAtOnInsert_(stampCreatedAtOnInsert) {}

void* Record::operator new(std::size_t size) {
    auto* home = static_cast<std::byte*>(::operator new(homeSize + size));
    ::new (home) ModelContext*(nullptr);
    return home + homeSize;
}

void Record::operator delete(void* record) {
    ::operator delete(static_cast<std::byte*>(record) - homeSize);
}

void Record::setID(const QUuid& id) {
    Q_ASSERT(!homeOffset_);
    if (!homeOffset_) {
        id_ = id;
        hasID_ = true;
    }
}

void Record::ownersChanged(const Record* old, const Record* owner) {
    ModelContext* context = this->context();
    if (!context)
        return;
    context->linkChanged(old, owner);
    context->noteChange((old ? old : owner)->entityType());
}

void Record::attachedTo(const Record* owner) {
    if (ModelContext* context = this->context())
        context->linkChanged(nullptr, owner);
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
