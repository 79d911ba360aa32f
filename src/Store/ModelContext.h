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

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <algorithm>
#include <cstddef>
#include <memory>
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

    template <class T> std::size_t count() const;

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

    // Changes made from outside while one is alive (a sync pull): they are
    // not undo steps, and when the outermost one ends, every undo and redo
    // step that touched a record they changed, inserted, removed or brought
    // back (or an owner they linked to or from) is dropped, since undoing it
    // would write stale values over what arrived. Steps over other records
    // stay, in order.
    class OutsideChange {
    public:
        explicit OutsideChange(ModelContext& context);
        ~OutsideChange();
        OutsideChange(const OutsideChange&) = delete;
        OutsideChange& operator=(const OutsideChange&) = delete;

    private:
        ModelContext& context_;
    };
    bool applyingOutsideChange() const { return outsideDepth_ > 0; }

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
    // A link of the record being changed or inserted now points at `owner`
    // instead of `old` (either may be null).
    void linkChanged(const Record* old, const Record* owner);
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
    void saveFailed(const orvana::Error& error);

private:
    friend class SqliteStore;

    // The records of each type and their id indexes; defined, with the
    // templates above that reach into them, in Store/RecordTables.h, which
    // only the store's own files include.
    template <class T> class RecordList;
    template <class T> struct Table;
    struct Tables;

    template <class T> Table<T>& table();
    template <class T> const Table<T>& table() const;
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
    void registerUndo(std::function<void()> undo, const Record* record);
    void emitChanged();
    void autosave();

    std::unique_ptr<Tables> tables_;
    mutable std::vector<DayEntry> dayIndex_;
    mutable std::size_t dayIndexSorted_ = 0; // entries before this are in date order
    mutable std::size_t dayIndexGaps_ = 0;
    mutable bool dayIndexBuilt_ = false;
    std::vector<Record*> dirty_;
    std::unique_ptr<SqliteStore> store_;
    UndoManager* undoManager_ = nullptr;
    QPointer<UndoManager> externalUndoManager_;
    int outsideDepth_ = 0;
    // What the outside changes touched so far, repeats possible: a pull of a
    // whole store touches millions, far more than the undo steps name.
    std::vector<const Record*> outsideRecords_;
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

} // namespace orvana
