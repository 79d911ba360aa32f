#pragma once

#include "Core/Clock.h"
#include "Core/Result.h"
#include "Models/DayTask.h"
#include "Models/FocusBlockTemplate.h"
#include "Models/FocusSession.h"
#include "Models/Goal.h"
#include "Models/TrailEntry.h"
#include "Models/Week.h"
#include "Models/WeekItem.h"
#include "Store/FetchDescriptor.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <bit>
#include <compare>
#include <cstddef>
#include <iterator>
#include <memory>
#include <new>
#include <tuple>
#include <vector>

namespace orvana {

class SqliteStore;
class UndoManager;

// The one main context of the process: owns every record, keeps an id index
// per type, applies delete rules, collects changes for saving, feeds the undo
// manager and announces changes once per event-loop turn.
//
// Without a store it is an in-memory context (tests, import dry runs): save()
// then only forgets the pending changes. Main thread only.
class ModelContext : public QObject {
    Q_OBJECT
public:
    explicit ModelContext(QObject* parent = nullptr);
    ~ModelContext() override;

    // --- records -------------------------------------------------------

    // Takes ownership and returns the record. Relationships set before
    // insertion are kept. Undoable.
    template <class T> T* insert(std::unique_ptr<T> record);

    // Convenience: construct and insert in one step.
    template <class T, class... Args> T* create(Args&&... args) {
        return insert(std::make_unique<T>(std::forward<Args>(args)...));
    }

    // Deletes the record, applying the delete rules of its relationships
    // recursively. The objects stay alive (undo brings back the same ones).
    void remove(Record* record);

    // Records of T matching the descriptor; inserted but unsaved records are
    // included, deleted ones are not.
    template <class T> std::vector<T*> fetch(const FetchDescriptor<T>& descriptor = {}) const;

    template <class T> std::size_t count() const { return table<T>().liveCount; }

    // Makes room for `n` more records of T and their ids, for callers that
    // know how many are coming (import).
    template <class T> void reserve(std::size_t n);

    // The live record of T with this id, or null.
    template <class T> T* findByID(const QUuid& id) const;

    // Goes up with every change of a record (insertion, field, link,
    // deletion, each undo and redo step), by one or more: a reader spread
    // over several events compares it to tell whether the store stayed as
    // it was. Saving does not change it.
    quint64 changeCount() const { return changeCount_; }

    // --- saving --------------------------------------------------------

    bool hasChanges() const { return !dirty_.empty(); }
    std::size_t pendingChangeCount() const { return dirty_.size(); }

    // Writes every pending change in one transaction. On failure nothing is
    // written and the changes stay pending.
    Result<void> save();

    // Saves automatically shortly after changes (within the interval, default
    // 500 ms). After a failed save (any, not only an automatic one) the
    // next try comes after 5 s, then twice as long each time up to a minute,
    // until a save goes through.
    void setAutosaveEnabled(bool enabled);
    bool autosaveEnabled() const { return autosaveEnabled_; }
    void setAutosaveInterval(int milliseconds) { autosaveIntervalMs_ = milliseconds; }
    // The wait of the automatic save now pending, in milliseconds, as it was
    // set; -1 when none is pending.
    int pendingAutosaveDelay() const {
        return autosaveTimer_.isActive() ? autosaveTimer_.interval() : -1;
    }

    SqliteStore* store() const { return store_.get(); }
    void attachStore(std::unique_ptr<SqliteStore> store);

    // --- undo ----------------------------------------------------------

    UndoManager* undoManager() const { return undoManager_; }
    // Not owned; null turns undo registration off.
    void setUndoManager(UndoManager* manager);
    // Gives the context an undo manager of its own if it has none.
    UndoManager* ensureUndoManager();

    // --- time ----------------------------------------------------------

    // The instant used for "now" by rules that create records.
    Timestamp now() const { return clock_(); }
    void setClock(Clock clock) { clock_ = std::move(clock); }
    // A clock that reads this context's, for services wired beside it.
    Clock clockFunction() const {
        return [this] { return now(); };
    }

    // Called by records; not for other callers.
    void recordChange(Record* record, std::function<void()> undo);
    void dayTaskDateChanged(DayTask* task, Timestamp oldDate);
    void dayTaskReminderStateChanged(DayTask* task) { emit reminderStateChanged(task); }
    void noteChange(EntityType type);

signals:
    // Once per event-loop turn in which records changed; `types` has bit
    // (1 << EntityType) set for every type that changed.
    void changed(unsigned types);
    void saved();
    // A record left the store (deletion, cascade, undo of its insertion) or
    // came back (undo of a deletion), at the moment it happens. For services
    // that keep outside state per record, such as pending notifications.
    void recordRemoved(orvana::Record* record);
    void recordRestored(orvana::Record* record);
    // A record was inserted, or one of its fields or to-one links changed
    // (undo and redo included), at the moment it happens. For readers that
    // keep figures over many records up to date by the records touched.
    void recordInserted(orvana::Record* record);
    void recordEdited(orvana::Record* record);
    // A task's completion or reminder time changed.
    void reminderStateChanged(orvana::DayTask* task);
    void saveFailed(const QString& message);

private:
    friend class SqliteStore;

    // The records of one type by sequence, deleted ones included: first
    // those read from the store, built in blocks of many records that never
    // move (no heap allocation and no pointer of their own each), then those
    // inserted since, by pointer.
    template <class T> class RecordList {
        // A power of two, so that finding a record's block is a shift.
        static constexpr std::size_t perBlock =
            std::bit_floor(std::max<std::size_t>(1, (64u << 10) / sizeof(T)));
        struct Slot {
            alignas(T) std::byte bytes[sizeof(T)];
        };

    public:
        using value_type = T*;

        // Random access over the list, yielding T*.
        class Iterator {
        public:
            using iterator_category = std::random_access_iterator_tag;
            using value_type = T*;
            using difference_type = std::ptrdiff_t;
            using pointer = T* const*;
            using reference = T*;
            Iterator() = default;
            Iterator(const RecordList* list, std::size_t at) : list_(list), at_(at) {}
            T* operator*() const { return (*list_)[at_]; }
            T* operator[](difference_type n) const { return (*list_)[at_ + std::size_t(n)]; }
            Iterator& operator++() {
                ++at_;
                return *this;
            }
            Iterator operator++(int) { return {list_, at_++}; }
            Iterator& operator--() {
                --at_;
                return *this;
            }
            Iterator operator--(int) { return {list_, at_--}; }
            Iterator& operator+=(difference_type n) {
                at_ += std::size_t(n);
                return *this;
            }
            Iterator& operator-=(difference_type n) {
                at_ -= std::size_t(n);
                return *this;
            }
            friend Iterator operator+(Iterator i, difference_type n) { return i += n; }
            friend Iterator operator+(difference_type n, Iterator i) { return i += n; }
            friend Iterator operator-(Iterator i, difference_type n) { return i -= n; }
            friend difference_type operator-(const Iterator& a, const Iterator& b) {
                return difference_type(a.at_) - difference_type(b.at_);
            }
            friend bool operator==(const Iterator& a, const Iterator& b) { return a.at_ == b.at_; }
            friend auto operator<=>(const Iterator& a, const Iterator& b) {
                return a.at_ <=> b.at_;
            }

        private:
            const RecordList* list_ = nullptr;
            std::size_t at_ = 0;
        };

        RecordList() = default;
        RecordList(const RecordList&) = delete;
        RecordList& operator=(const RecordList&) = delete;
        ~RecordList() {
            for (T* record : *this) {
                if (record->inArena_)
                    record->~T();
                else
                    delete record;
            }
        }

        std::size_t size() const { return loaded_ + inserted_.size(); }
        bool empty() const { return size() == 0; }
        T* operator[](std::size_t i) const {
            if (i < loaded_)
                return std::launder(
                    reinterpret_cast<T*>(blocks_[i / perBlock][i % perBlock].bytes));
            return inserted_[i - loaded_];
        }
        T* back() const { return (*this)[size() - 1]; }
        Iterator begin() const { return {this, 0}; }
        Iterator end() const { return {this, size()}; }

        // Loading, before any insertion: constructs a record in place with
        // `make(void* at)`.
        template <class Make> T* emplace(Make&& make) {
            Q_ASSERT(inserted_.empty());
            if (loaded_ % perBlock == 0)
                blocks_.push_back(std::make_unique_for_overwrite<Slot[]>(perBlock));
            T* record = make(static_cast<void*>(blocks_.back()[loaded_ % perBlock].bytes));
            ++loaded_;
            return record;
        }
        // An inserted record, owned from here.
        void push_back(T* record) { inserted_.push_back(record); }
        std::size_t insertedCount() const { return inserted_.size(); }
        std::size_t insertedCapacity() const { return inserted_.capacity(); }
        void reserveInserted(std::size_t n) { inserted_.reserve(n); }

    private:
        std::vector<std::unique_ptr<Slot[]>> blocks_;
        std::size_t loaded_ = 0;
        std::vector<T*> inserted_;
    };

    template <class T> struct Table {
        Table() = default;
        Table(const Table&) = delete;
        Table& operator=(const Table&) = delete;
        RecordList<T> records; // by sequence, deleted ones included; owned
        mutable QHash<QUuid, T*> byID;
        mutable bool indexed = false;
        // Ids are meant to be unique; if a caller broke that, the index is
        // rebuilt after deletions instead of patched.
        mutable bool duplicateIDs = false;
        qint64 nextSequence = 1;
        std::size_t liveCount = 0;
    };
    using Tables = std::tuple<Table<Goal>, Table<Week>, Table<WeekItem>, Table<DayTask>,
                              Table<FocusSession>, Table<FocusBlockTemplate>, Table<TrailEntry>>;

    template <class T> Table<T>& table() { return std::get<Table<T>>(tables_); }
    template <class T> const Table<T>& table() const { return std::get<Table<T>>(tables_); }
    template <class F> void withTable(EntityType type, F&& f);

    template <class T> static void buildIndex(const Table<T>& table);

    // Loading: adds a record as read from the store, without undo or dirtying.
    // `make(void* at)` constructs the record in place.
    template <class T, class Make> T* adopt(Make&& make, qint64 sequence);

    // Day tasks by date, built on first use of a date-range fetch and kept
    // in step from then on. A vector in date order, far smaller than a tree:
    // new entries wait unsorted at its end and removed ones as gaps (null
    // task) until the next date-range fetch tidies it.
    struct DayEntry {
        Timestamp date;
        DayTask* task;
        static bool earlier(const DayEntry& a, const DayEntry& b) { return a.date < b.date; }
    };
    void buildDayIndex() const;
    void tidyDayIndex() const;
    void indexDayTask(DayTask* task) const;
    void unindexDayTask(DayTask* task, Timestamp date) const;

    void setDeleted(Record* record, bool deleted);
    void markDirty(Record* record);
    // The inverse of an insertion: out of its owners' lists and deleted. No
    // delete rules: whatever was linked to it later was undone before.
    void uninsert(Record* record);
    void registerUndo(std::function<void()> undo);
    void emitChanged();
    void autosave();

    // This context's number in the table Record::contextAt reads: records
    // keep the number instead of a pointer. At most 65 535 contexts live at
    // once. Given back after the tables are gone.
    class Slot {
    public:
        explicit Slot(ModelContext* context);
        ~Slot();
        Slot(const Slot&) = delete;
        Slot& operator=(const Slot&) = delete;
        quint16 number() const { return number_; }

    private:
        quint16 number_;
    };
    Slot slot_;
    Tables tables_;
    mutable std::vector<DayEntry> dayIndex_;
    mutable std::size_t dayIndexSorted_ = 0; // entries before this are in date order
    mutable std::size_t dayIndexGaps_ = 0;
    mutable bool dayIndexBuilt_ = false;
    std::vector<Record*> dirty_;
    std::unique_ptr<SqliteStore> store_;
    UndoManager* undoManager_ = nullptr;
    QPointer<UndoManager> externalUndoManager_;
    std::unique_ptr<UndoManager> ownUndoManager_;
    Clock clock_ = systemClock();
    QTimer autosaveTimer_;
    bool autosaveEnabled_ = false;
    int autosaveIntervalMs_ = 500;
    int failedSaves_ = 0; // in a row, for the back-off
    bool notifyScheduled_ = false;
    unsigned changedTypes_ = 0;
    quint64 changeCount_ = 0;
};

// --- template definitions ---------------------------------------------

template <class T> T* ModelContext::insert(std::unique_ptr<T> record) {
    T* r = record.get();
    Q_ASSERT(r && !r->contextSlot_);
    auto& t = table<T>();
    if (r->stampCreatedAtOnInsert_) {
        r->stampCreatedAtOnInsert_ = false;
        static_cast<Record*>(r)->stampCreatedAt(now());
    }
    r->contextSlot_ = slot_.number();
    r->sequence_ = t.nextSequence++;
    r->deleted_ = false;
    t.records.push_back(r);
    (void)record.release(); // owned by the table from here
    ++t.liveCount;
    if (t.indexed) {
        if (t.byID.contains(r->id()))
            t.duplicateIDs = true;
        else
            t.byID.insert(r->id(), r);
    }
    static_cast<Record*>(r)->attachToOwners();
    if constexpr (std::is_same_v<T, DayTask>) {
        if (dayIndexBuilt_)
            indexDayTask(r);
    }
    markDirty(r);
    registerUndo([this, r] { uninsert(r); });
    noteChange(r->entityType());
    emit recordInserted(r);
    return r;
}

template <class T> std::vector<T*> ModelContext::fetch(const FetchDescriptor<T>& d) const {
    std::vector<T*> out;
    const bool stopEarly = d.limit && d.sortBy.empty();
    if (stopEarly && *d.limit == 0)
        return out;
    // Adds a match; false once the limit is reached and no sort follows.
    auto consider = [&](T* r) {
        if (d.predicate && !d.predicate(*r))
            return true;
        out.push_back(r);
        return !(stopEarly && out.size() >= *d.limit);
    };
    bool indexed = false;
    if constexpr (std::is_same_v<T, DayTask>) {
        if (d.dateRange) {
            // Through the date index; put back into insertion order so the
            // result is the same as a scan's.
            indexed = true;
            if (!dayIndexBuilt_)
                buildDayIndex();
            else if (dayIndexSorted_ != dayIndex_.size() || dayIndexGaps_)
                tidyDayIndex();
            const auto [from, to] = *d.dateRange;
            std::vector<T*> inRange;
            auto it =
                std::lower_bound(dayIndex_.begin(), dayIndex_.end(), from,
                                 [](const DayEntry& e, Timestamp date) { return e.date < date; });
            for (; it != dayIndex_.end() && it->date < to; ++it)
                inRange.push_back(it->task);
            std::sort(inRange.begin(), inRange.end(),
                      [](const T* a, const T* b) { return a->sequence() < b->sequence(); });
            for (T* r : inRange) {
                if (!consider(r))
                    return out;
            }
        }
    }
    if (!indexed) {
        for (T* r : table<T>().records) {
            if (r->deleted_)
                continue;
            if constexpr (requires { r->date(); }) {
                if (d.dateRange &&
                    !(d.dateRange->first <= r->date() && r->date() < d.dateRange->second))
                    continue;
            }
            if (!consider(r))
                return out;
        }
    }
    if (!d.sortBy.empty()) {
        std::stable_sort(out.begin(), out.end(), [&d](const T* a, const T* b) {
            for (const auto& key : d.sortBy) {
                int c = key.compare(*a, *b);
                if (c != 0)
                    return key.order == SortOrder::forward ? c < 0 : c > 0;
            }
            return false;
        });
    }
    if (d.limit && out.size() > *d.limit)
        out.resize(*d.limit);
    return out;
}

template <class T> void ModelContext::buildIndex(const Table<T>& t) {
    t.byID.clear();
    t.byID.reserve(static_cast<qsizetype>(t.liveCount));
    t.duplicateIDs = false;
    for (T* r : t.records) {
        if (r->deleted_)
            continue;
        if (t.byID.contains(r->id()))
            t.duplicateIDs = true;
        else
            t.byID.insert(r->id(), r);
    }
    t.indexed = true;
}

template <class T> void ModelContext::reserve(std::size_t n) {
    if (n == 0)
        return; // an index nobody asks for is not built
    auto& t = table<T>();
    // Still growing by doubling, so that many small imports stay linear.
    const std::size_t inserted = t.records.insertedCount();
    if (t.records.insertedCapacity() < inserted + n)
        t.records.reserveInserted(std::max(inserted + n, 2 * t.records.insertedCapacity()));
    if (!t.indexed)
        buildIndex(t);
    t.byID.reserve(static_cast<qsizetype>(t.liveCount + n));
}

template <class T> T* ModelContext::findByID(const QUuid& id) const {
    const auto& t = table<T>();
    if (!t.indexed)
        buildIndex(t);
    return t.byID.value(id, nullptr);
}

template <class T, class Make> T* ModelContext::adopt(Make&& make, qint64 sequence) {
    auto& t = table<T>();
    T* r = t.records.emplace(std::forward<Make>(make));
    r->inArena_ = true;
    r->contextSlot_ = slot_.number();
    r->sequence_ = sequence;
    r->persisted_ = true;
    ++t.liveCount;
    if (sequence >= t.nextSequence)
        t.nextSequence = sequence + 1;
    return r;
}

template <class F> void ModelContext::withTable(EntityType type, F&& f) {
    switch (type) {
    case EntityType::goal:
        f(table<Goal>());
        break;
    case EntityType::week:
        f(table<Week>());
        break;
    case EntityType::weekItem:
        f(table<WeekItem>());
        break;
    case EntityType::dayTask:
        f(table<DayTask>());
        break;
    case EntityType::focusSession:
        f(table<FocusSession>());
        break;
    case EntityType::focusBlockTemplate:
        f(table<FocusBlockTemplate>());
        break;
    case EntityType::trailEntry:
        f(table<TrailEntry>());
        break;
    }
}

} // namespace orvana
