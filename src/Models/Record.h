#pragma once

#include "Core/Timestamp.h"

#include <QUuid>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace orvana {

class ModelContext;
class SqliteStore;

// The seven persistent record types, in schema order.
enum class EntityType : quint8 {
    goal,
    week,
    weekItem,
    dayTask,
    focusSession,
    focusBlockTemplate,
    trailEntry,
};
inline constexpr int entityTypeCount = 7;

// Sets of entity types as bit masks (change notifications, live queries).
constexpr unsigned entityBit(EntityType type) {
    return 1u << static_cast<unsigned>(type);
}
inline constexpr unsigned allEntityTypes = (1u << entityTypeCount) - 1;

// Base of every persistent record. A record is owned by the ModelContext it
// was inserted into; everybody else holds plain pointers. Records are never
// destroyed while the context lives (a deleted record stays around so that
// undo can bring back the very same object), so such pointers stay valid.
//
// Every setter goes through the context: it marks the record for the next
// save, registers the inverse change with the undo manager and schedules the
// context's change notification. A record that is not inserted yet changes
// silently.
class Record {
public:
    virtual ~Record() = default;
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;

    EntityType entityType() const { return type_; }
    // Drawn on first use: records that get theirs from a document or the
    // store never pay for a random one.
    const QUuid& id() const {
        if (!hasID_) {
            id_ = QUuid::createUuid();
            hasID_ = true;
        }
        return id_;
    }

    // Only before insertion (import keeps the ids of the document).
    void setID(const QUuid& id);

    // A record made by new carries a word just before it, where the context
    // it is inserted into writes its address (see homeOffset_).
    static void* operator new(std::size_t size);
    static void operator delete(void* record);

    ModelContext* context() const { return homeOffset_ ? homeWord() : nullptr; }
    bool isInserted() const { return homeOffset_ != 0; }
    bool isDeleted() const { return deleted_; }

    // Position in the store: records of one type are numbered in order of
    // insertion; to-many relationships list their members in this order.
    qint64 sequence() const { return sequence_; }

    // Goes up with every change of this record's fields or to-one links, so
    // a screen can tell whether what it derived from the record is stale.
    quint32 revision() const { return revision_; }

protected:
    // stampCreatedAtOnInsert: the record was made without a creation time, so
    // the context it is inserted into gives it its own "now" (its clock
    // decides, not the system's).
    Record(EntityType type, bool stampCreatedAtOnInsert);
    // For records read from the store: the id comes from the file, so no
    // random id is generated.
    struct LoadTag {};
    Record(EntityType type, LoadTag) : type_(type), hasID_(true) {}

    // Assigns a field through the context (see class comment).
    template <class R, class T> void setField(T R::*member, T value) {
        R* self = static_cast<R*>(this);
        if (self->*member == value)
            return;
        T old = std::move(self->*member);
        self->*member = std::move(value);
        // Lets a record keep context indexes in step (DayTask dates).
        if constexpr (requires { self->fieldDidChange(member, old); })
            self->fieldDidChange(member, old);
        if (!homeOffset_) {
            ++revision_; // nothing to mark or undo yet
            return;
        }
        didChange([self, member, old = std::move(old)]() mutable {
            self->setField(member, std::move(old));
        });
    }

    // Sets a to-one relationship and keeps the inverse to-many side of both
    // the old and the new owner in step. A record that is not inserted yet
    // only remembers its owner and joins the owner's list on insertion.
    // Links go between live records of one context only: a link to a deleted
    // record or one of another context is refused, since it would dangle or
    // bring a deleted record back into the file.
    template <class Child, class Owner>
    void setToOne(Owner* Child::*toOne, std::vector<Child*> Owner::*toMany, Owner* owner) {
        Child* self = static_cast<Child*>(this);
        Owner* old = self->*toOne;
        if (old == owner)
            return;
        if (!homeOffset_) {
            self->*toOne = owner;
            return;
        }
        if (owner && (deleted_ || owner->context() != context() || owner->isDeleted())) {
            refusedLink();
            return;
        }
        if (old)
            eraseMember(old->*toMany, self);
        self->*toOne = owner;
        if (owner)
            insertMember(owner->*toMany, self);
        didChange([self, toOne, toMany, old] { self->setToOne(toOne, toMany, old); });
        ownersChanged(old, owner);
    }

    // On insertion: joins the owner's to-many side (in sequence order), or
    // drops a link to an owner that is not live in this context.
    template <class Child, class Owner>
    void attachToOwner(Owner* Child::*toOne, std::vector<Child*> Owner::*toMany) {
        Child* self = static_cast<Child*>(this);
        Owner* owner = self->*toOne;
        if (!owner)
            return;
        if (owner->context() != context() || owner->isDeleted()) {
            refusedLink();
            self->*toOne = nullptr;
            return;
        }
        insertMember(owner->*toMany, self);
        attachedTo(owner);
    }

    template <class Child> static void insertMember(std::vector<Child*>& members, Child* child) {
        if (members.empty() || members.back()->sequence() <= child->sequence()) {
            members.push_back(child);
            return;
        }
        auto at = std::upper_bound(
            members.begin(), members.end(), child->sequence(),
            [](qint64 sequence, const Child* member) { return sequence < member->sequence(); });
        members.insert(at, child);
    }

    template <class Child> static void eraseMember(std::vector<Child*>& members, Child* child) {
        auto at = std::find(members.rbegin(), members.rend(), child);
        if (at != members.rend())
            members.erase(std::next(at).base());
    }

    // Records one change of this record: dirty for saving, undo, notification.
    void didChange(std::function<void()> undo);
    // A to-one link now points at `owner` instead of `old` (either may be null).
    void ownersChanged(const Record* old, const Record* owner);
    // On insertion, linked to `owner`: the undo of the insertion depends on it.
    void attachedTo(const Record* owner);
    static void refusedLink();

    // Sets the creation time without undo or dirtying (before insertion).
    virtual void stampCreatedAt(Timestamp now) = 0;
    // A creation time set by the caller (import) stays.
    void createdAtGiven() { stampCreatedAtOnInsert_ = false; }

    // Delete rules of the to-many sides this record owns (cascade or nullify).
    virtual void applyDeleteRules(ModelContext& context) = 0;
    // Clears every to-one relationship (so both sides forget this record).
    virtual void detachFromOwners() = 0;
    // Adds this record to the lists of the owners it was given before insertion.
    virtual void attachToOwners() = 0;

private:
    friend class ModelContext;
    friend class SqliteStore;

    // Room for the context's address before a record made by new: as much
    // as keeps the record as aligned as new alone would.
    static constexpr std::size_t homeSize = __STDCPP_DEFAULT_NEW_ALIGNMENT__;

    // The word holding the context's address, homeOffset_ bytes before this.
    ModelContext*& homeWord() const {
        return *reinterpret_cast<ModelContext**>(reinterpret_cast<std::uintptr_t>(this) -
                                                 homeOffset_);
    }

    // Type, flags, the way to the context and revision share one word: there
    // are millions of records, and a context pointer each would cost 8 bytes.
    EntityType type_;
    bool deleted_ : 1 = false;
    bool dirty_ : 1 = false;     // queued for the next save
    bool persisted_ : 1 = false; // a row exists in the store file
    bool stampCreatedAtOnInsert_ : 1 = false;
    bool inArena_ : 1 = false; // built in its context's record blocks, not by new
    mutable bool hasID_ : 1 = false;
    // 0 until inserted. Then how far before this record the word holding the
    // context's address is: its own (operator new) or its block's, for one
    // built in the context's record blocks (under 64 KiB each).
    quint16 homeOffset_ = 0;
    quint32 revision_ = 0;
    mutable QUuid id_;
    qint64 sequence_ = 0;
};

} // namespace orvana
