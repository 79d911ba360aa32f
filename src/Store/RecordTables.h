#pragma once

// The store's own plumbing behind ModelContext: the record blocks, the tables
// of records by type and the templates that reach into them. Only the files
// that work on the tables include it (the context itself, loading); everybody
// else sees the declarations in ModelContext.h, instantiated in
// ModelContext.cpp for the seven record types.

#include "Store/ModelContext.h"

#include <QHash>
#include <algorithm>
#include <bit>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <new>
#include <tuple>
#include <vector>

namespace orvana {

// The records of one type by sequence, deleted ones included: first
// those read from the store, built in blocks of many records that never
// move (no heap allocation and no pointer of their own each), then those
// inserted since, by pointer.
template <class T> class ModelContext::RecordList {
    // A power of two, so that finding a record's block is a shift.
    static constexpr std::size_t perBlock = std::bit_floor(
        std::max<std::size_t>(1, ((64u << 10) - alignof(std::max_align_t)) / sizeof(T)));
    struct Slot {
        alignas(T) std::byte bytes[sizeof(T)];
    };
    // The context's address heads the block: each record in it finds it at a
    // fixed distance before itself (Record::homeOffset_, 16 bits).
    struct Block {
        ModelContext* context;
        Slot places[perBlock];
    };
    static_assert(sizeof(Block) <= (64u << 10));

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
        friend auto operator<=>(const Iterator& a, const Iterator& b) { return a.at_ <=> b.at_; }

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
                reinterpret_cast<T*>(blocks_[i / perBlock]->places[i % perBlock].bytes));
        return inserted_[i - loaded_];
    }
    T* back() const { return (*this)[size() - 1]; }
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, size()}; }

    // Loading, before any insertion: constructs a record of `context` in
    // place with `make(void* at)`.
    template <class Make> T* emplace(ModelContext* context, Make&& make) {
        Q_ASSERT(inserted_.empty());
        if (loaded_ % perBlock == 0) {
            blocks_.push_back(std::make_unique_for_overwrite<Block>());
            blocks_.back()->context = context;
        }
        Block& block = *blocks_.back();
        T* record = make(static_cast<void*>(block.places[loaded_ % perBlock].bytes));
        static_cast<Record*>(record)->homeOffset_ =
            quint16(reinterpret_cast<std::uintptr_t>(static_cast<Record*>(record)) -
                    reinterpret_cast<std::uintptr_t>(&block.context));
        ++loaded_;
        return record;
    }
    // An inserted record, owned from here.
    void push_back(T* record) { inserted_.push_back(record); }
    std::size_t insertedCount() const { return inserted_.size(); }
    std::size_t insertedCapacity() const { return inserted_.capacity(); }
    void reserveInserted(std::size_t n) { inserted_.reserve(n); }

private:
    std::vector<std::unique_ptr<Block>> blocks_;
    std::size_t loaded_ = 0;
    std::vector<T*> inserted_;
};

template <class T> struct ModelContext::Table {
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
struct ModelContext::Tables {
    std::tuple<Table<Goal>, Table<Week>, Table<WeekItem>, Table<DayTask>, Table<FocusSession>,
               Table<FocusBlockTemplate>, Table<TrailEntry>>
        all;
};

template <class T> ModelContext::Table<T>& ModelContext::table() {
    return std::get<Table<T>>(tables_->all);
}
template <class T> const ModelContext::Table<T>& ModelContext::table() const {
    return std::get<Table<T>>(tables_->all);
}

template <class T> std::size_t ModelContext::count() const {
    return table<T>().liveCount;
}

template <class T> T* ModelContext::insert(std::unique_ptr<T> record) {
    T* r = record.get();
    Q_ASSERT(r && !r->homeOffset_);
    auto& t = table<T>();
    if (r->stampCreatedAtOnInsert_) {
        r->stampCreatedAtOnInsert_ = false;
        static_cast<Record*>(r)->stampCreatedAt(now());
    }
    // Made by new (Record::operator new): the word before it is its own.
    static_cast<Record*>(r)->homeOffset_ =
        quint16(Record::homeSize + (reinterpret_cast<std::uintptr_t>(static_cast<Record*>(r)) -
                                    reinterpret_cast<std::uintptr_t>(r)));
    static_cast<Record*>(r)->homeWord() = this;
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
    // The undo first: the owners it attaches to belong to the same step.
    registerUndo([this, r] { uninsert(r); }, r);
    static_cast<Record*>(r)->attachToOwners();
    if constexpr (std::is_same_v<T, DayTask>) {
        if (dayIndexBuilt_)
            indexDayTask(r);
    }
    markDirty(r);
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
    T* r = t.records.emplace(this, std::forward<Make>(make));
    r->inArena_ = true;
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
