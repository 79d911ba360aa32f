#pragma once

#include "Core/Timestamp.h"

#include <QUuid>
#include <algorithm>
#include <functional>
#include <vector>

namespace orvana {

class ModelContext;
class SqliteStore;

// The seven persistent record types, in schema order.
enum class EntityType {
    goal,
    week,
    weekItem,
    dayTask,
    focusSession,
    focusBlockTemplate,
    trailEntry,
};
inline constexpr int entityTypeCount = 7;

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
    const QUuid& id() const { return id_; }

    // Only before insertion (import keeps the ids of the document).
    void setID(const QUuid& id);

    ModelContext* context() const { return context_; }
    bool isInserted() const { return context_ != nullptr; }
    bool isDeleted() const { return deleted_; }

    // Position in the store: records of one type are numbered in order of
    // insertion; to-many relationships list their members in this order.
    qint64 sequence() const { return sequence_; }

protected:
    explicit Record(EntityType type);
    // For records read from the store: the id comes from the file, so no
    // random id is generated.
    struct LoadTag {};
    Record(EntityType type, LoadTag) : type_(type) {}

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
        didChange([self, member, old = std::move(old)]() mutable {
            self->setField(member, std::move(old));
        });
    }

    // Sets a to-one relationship and keeps the inverse to-many side of both
    // the old and the new owner in step.
    template <class Child, class Owner>
    void setToOne(Owner* Child::*toOne, std::vector<Child*> Owner::*toMany, Owner* owner) {
        Child* self = static_cast<Child*>(this);
        Owner* old = self->*toOne;
        if (old == owner)
            return;
        if (old)
            eraseMember(old->*toMany, self);
        self->*toOne = owner;
        if (owner)
            insertMember(owner->*toMany, self);
        didChange([self, toOne, toMany, old] { self->setToOne(toOne, toMany, old); });
    }

    // Re-sorts this record into an owner's to-many side after its sequence
    // number changed (on insertion).
    template <class Child, class Owner>
    void relink(Owner* Child::*toOne, std::vector<Child*> Owner::*toMany) {
        Child* self = static_cast<Child*>(this);
        if (Owner* owner = self->*toOne) {
            eraseMember(owner->*toMany, self);
            insertMember(owner->*toMany, self);
        }
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

    // Delete rules of the to-many sides this record owns (cascade or nullify).
    virtual void applyDeleteRules(ModelContext& context) = 0;
    // Clears every to-one relationship (so both sides forget this record).
    virtual void detachFromOwners() = 0;
    // Fixes the order of this record in its owners' lists after insertion.
    virtual void relinkToOwners() = 0;

private:
    friend class ModelContext;
    friend class SqliteStore;

    EntityType type_;
    QUuid id_;
    ModelContext* context_ = nullptr;
    qint64 sequence_ = 0;
    bool deleted_ = false;
    bool dirty_ = false;     // queued for the next save
    bool persisted_ = false; // a row exists in the store file
};

} // namespace orvana
