#include "Store/ModelContext.h"

#include "Store/RecordTables.h"
#include "Store/SqliteStore.h"
#include "Store/UndoManager.h"

#include <algorithm>

namespace orvana {

// The templates of ModelContext.h, for the only types there are.
#define ORVANA_RECORD_TYPE(T)                                                                      \
    template T* ModelContext::insert(std::unique_ptr<T>);                                          \
    template std::vector<T*> ModelContext::fetch(const FetchDescriptor<T>&) const;                 \
    template std::size_t ModelContext::count<T>() const;                                           \
    template void ModelContext::reserve<T>(std::size_t);                                           \
    template T* ModelContext::findByID<T>(const QUuid&) const;
ORVANA_RECORD_TYPE(Goal)
ORVANA_RECORD_TYPE(Week)
ORVANA_RECORD_TYPE(WeekItem)
ORVANA_RECORD_TYPE(DayTask)
ORVANA_RECORD_TYPE(FocusSession)
ORVANA_RECORD_TYPE(FocusBlockTemplate)
ORVANA_RECORD_TYPE(TrailEntry)
#undef ORVANA_RECORD_TYPE

namespace {

// After a failed autosave: 5 s, then twice as long each time, up to a minute.
constexpr int retryAfterFailedSaveMs = 5000;
constexpr int longestRetryMs = 60'000;
} // namespace

ModelContext::ModelContext(QObject* parent) : QObject(parent), tables_(std::make_unique<Tables>()) {
    autosaveTimer_.setSingleShot(true);
    connect(&autosaveTimer_, &QTimer::timeout, this, &ModelContext::autosave);
}

ModelContext::~ModelContext() {
    // Undo actions of a manager that outlives us would reach freed records.
    if (externalUndoManager_)
        externalUndoManager_->removeAllActions();
}

void ModelContext::setUndoManager(UndoManager* manager) {
    undoManager_ = manager;
    externalUndoManager_ = manager;
}

void ModelContext::uninsert(Record* record) {
    record->detachFromOwners();
    setDeleted(record, true);
}

void ModelContext::attachStore(std::unique_ptr<SqliteStore> store) {
    store_ = std::move(store);
}

UndoManager* ModelContext::ensureUndoManager() {
    if (!undoManager_) {
        ownUndoManager_ = std::make_unique<UndoManager>();
        undoManager_ = ownUndoManager_.get();
    }
    return undoManager_;
}

void ModelContext::remove(Record* record) {
    if (!record || record->context() != this || record->deleted_)
        return;
    record->applyDeleteRules(*this);
    record->detachFromOwners();
    setDeleted(record, true);
}

void ModelContext::buildDayIndex() const {
    dayIndex_.clear();
    dayIndex_.reserve(table<DayTask>().liveCount);
    for (DayTask* task : table<DayTask>().records) {
        if (!task->deleted_)
            dayIndex_.push_back({task->date(), task});
    }
    dayIndexSorted_ = 0;
    dayIndexGaps_ = 0;
    tidyDayIndex();
    dayIndexBuilt_ = true;
}

void ModelContext::tidyDayIndex() const {
    if (dayIndexGaps_) {
        // Gaps lie in the sorted part only; erasing keeps the order.
        std::erase_if(dayIndex_, [](const DayEntry& e) { return !e.task; });
        dayIndexSorted_ -= dayIndexGaps_;
        dayIndexGaps_ = 0;
    }
    const auto unsorted = dayIndex_.begin() + std::ptrdiff_t(dayIndexSorted_);
    std::sort(unsorted, dayIndex_.end(), DayEntry::earlier);
    std::inplace_merge(dayIndex_.begin(), unsorted, dayIndex_.end(), DayEntry::earlier);
    dayIndexSorted_ = dayIndex_.size();
}

void ModelContext::indexDayTask(DayTask* task) const {
    dayIndex_.push_back({task->date(), task});
}

void ModelContext::unindexDayTask(DayTask* task, Timestamp date) const {
    const auto sortedEnd = dayIndex_.begin() + std::ptrdiff_t(dayIndexSorted_);
    auto [first, last] =
        std::equal_range(dayIndex_.begin(), sortedEnd, DayEntry{date, nullptr}, DayEntry::earlier);
    for (auto it = first; it != last; ++it) {
        if (it->task == task) {
            it->task = nullptr;
            ++dayIndexGaps_;
            return;
        }
    }
    for (auto it = sortedEnd; it != dayIndex_.end(); ++it) {
        if (it->task == task) {
            *it = dayIndex_.back();
            dayIndex_.pop_back();
            return;
        }
    }
}

void ModelContext::dayTaskDateChanged(DayTask* task, Timestamp oldDate) {
    if (!dayIndexBuilt_ || task->deleted_)
        return;
    unindexDayTask(task, oldDate);
    indexDayTask(task);
}

void ModelContext::setDeleted(Record* record, bool deleted) {
    if (record->deleted_ == deleted)
        return;
    record->deleted_ = deleted;
    if (dayIndexBuilt_ && record->entityType() == EntityType::dayTask) {
        auto* task = static_cast<DayTask*>(record);
        if (deleted)
            unindexDayTask(task, task->date());
        else
            indexDayTask(task);
    }
    withTable(record->entityType(), [&](auto& t) {
        using T = std::remove_pointer_t<typename std::decay_t<decltype(t.records)>::value_type>;
        auto* typed = static_cast<T*>(record);
        if (deleted) {
            --t.liveCount;
            if (t.indexed && t.duplicateIDs)
                t.indexed = false; // another live record may carry the id
            else if (t.indexed)
                t.byID.remove(typed->id());
        } else {
            ++t.liveCount;
            if (t.indexed && t.byID.contains(typed->id()))
                t.duplicateIDs = true;
            else if (t.indexed)
                t.byID.insert(typed->id(), typed);
        }
    });
    markDirty(record);
    registerUndo([this, record, deleted] { setDeleted(record, !deleted); }, record);
    noteChange(record->entityType());
    if (deleted)
        emit recordRemoved(record);
    else
        emit recordRestored(record);
}

void ModelContext::recordChange(Record* record, std::function<void()> undo) {
    markDirty(record);
    registerUndo(std::move(undo), record);
    noteChange(record->entityType());
    emit recordEdited(record);
}

void ModelContext::markDirty(Record* record) {
    if (!record->dirty_) {
        record->dirty_ = true;
        dirty_.push_back(record);
    }
}

void ModelContext::registerUndo(std::function<void()> undo, const Record* record) {
    if (outsideDepth_ > 0) {
        if (outsideRecords_.empty() || outsideRecords_.back() != record)
            outsideRecords_.push_back(record);
    } else if (undoManager_) {
        undoManager_->registerUndo(std::move(undo), record);
    }
}

void ModelContext::linkChanged(const Record* old, const Record* owner) {
    if (outsideDepth_ > 0) {
        // A step that made the new owner must not take it away from under
        // the link; a record leaving its old owner leaves that owner as it was.
        if (owner)
            outsideRecords_.push_back(owner);
    } else if (undoManager_) {
        // Undoing the link needs the old owner, redoing it the new one.
        for (const Record* r : {old, owner}) {
            if (r)
                undoManager_->noteRecord(r);
        }
    }
}

ModelContext::OutsideChange::OutsideChange(ModelContext& context) : context_(context) {
    ++context_.outsideDepth_;
}

ModelContext::OutsideChange::~OutsideChange() {
    if (--context_.outsideDepth_ > 0)
        return;
    const std::vector<const Record*> touched = std::exchange(context_.outsideRecords_, {});
    UndoManager* undo = context_.undoManager_;
    if (!undo || touched.empty())
        return;
    // Only the ids the steps name are worth a set.
    const QSet<QUuid> named = undo->recordsInSteps();
    QSet<QUuid> hit;
    for (const Record* r : touched) {
        if (named.contains(r->id()))
            hit.insert(r->id());
    }
    undo->dropSteps(hit);
}

void ModelContext::noteChange(EntityType type) {
    ++changeCount_; // every change path, undo and redo included, ends here
    changedTypes_ |= entityBit(type);
    if (!notifyScheduled_) {
        notifyScheduled_ = true;
        QMetaObject::invokeMethod(this, &ModelContext::emitChanged, Qt::QueuedConnection);
    }
    if (autosaveEnabled_ && !autosaveTimer_.isActive())
        autosaveTimer_.start(autosaveIntervalMs_);
}

void ModelContext::emitChanged() {
    notifyScheduled_ = false;
    const unsigned types = std::exchange(changedTypes_, 0u);
    if (types)
        emit changed(types);
}

void ModelContext::setAutosaveEnabled(bool enabled) {
    autosaveEnabled_ = enabled;
    if (!enabled)
        autosaveTimer_.stop();
    else if (hasChanges())
        autosaveTimer_.start(autosaveIntervalMs_);
}

void ModelContext::autosave() {
    if (hasChanges())
        (void)save(); // a failure schedules the retry
}

Result<void> ModelContext::save() {
    if (dirty_.empty())
        return {};
    if (store_) {
        if (auto written = store_->write(dirty_, now()); !written.ok()) {
            // Every failure counts towards the back-off, a Try Again too.
            if (autosaveEnabled_) {
                autosaveTimer_.start(
                    std::min(longestRetryMs, retryAfterFailedSaveMs << std::min(failedSaves_, 4)));
                ++failedSaves_;
            }
            emit saveFailed(written.error());
            return written;
        }
    }
    failedSaves_ = 0; // however the save came, the next failure starts over
    for (Record* r : dirty_) {
        r->dirty_ = false;
        r->persisted_ = store_ && !r->deleted_;
    }
    dirty_.clear();
    if (autosaveTimer_.isActive())
        autosaveTimer_.stop();
    emit saved();
    return {};
}

} // namespace orvana
