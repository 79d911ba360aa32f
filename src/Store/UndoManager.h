#pragma once

#include <QObject>
#include <QSet>
#include <QUuid>
#include <functional>
#include <vector>

namespace orvana {

class Record;

// Undo and redo of groups of changes, in the manner of a desktop undo
// manager: every registered action is the inverse of one change. Actions run
// while undoing register their own inverses, which become the redo group (and
// the other way round), so the model needs no separate redo bookkeeping.
//
// Grouping: changes made between beginUndoGrouping() and the matching
// endUndoGrouping() form one step (nested groups merge into the outermost).
// Outside an explicit group, all changes made during one turn of the Qt event
// loop form one step, closed when control returns to the loop.
//
// Main thread only.
class UndoManager : public QObject {
    Q_OBJECT
public:
    using Action = std::function<void()>;

    explicit UndoManager(QObject* parent = nullptr);
    ~UndoManager() override;

    // `record` is the record the action changes back (none for an action
    // that touches no record), so that steps can be dropped by record. Kept
    // as a pointer (the context keeps even deleted records alive while it
    // has an undo manager) and compared by id.
    void registerUndo(Action action, const Record* record = nullptr);
    // The step being collected (or the inverse being collected while undoing
    // or redoing) also depends on this record, without an action of its own:
    // the owner a changed link points at.
    void noteRecord(const Record* record);

    // Drops every undo and redo step that touched one of these records (and
    // every older one that shares a record with a dropped one: undoing it
    // alone could leave a link to a record that is gone), keeping the others
    // in order. For changes made from outside (a sync pull): a step over a
    // record they changed would write stale values back. The numbers of
    // dropped steps are never given again.
    void dropSteps(const QSet<QUuid>& records);
    // The ids of every record some undo or redo step touches.
    QSet<QUuid> recordsInSteps() const;

    void beginUndoGrouping();
    void endUndoGrouping();
    int groupingLevel() const { return explicitDepth_; }

    bool canUndo() const;
    bool canRedo() const { return !redoStack_.empty(); }
    bool isUndoing() const { return mode_ == Mode::undoing; }
    bool isRedoing() const { return mode_ == Mode::redoing; }

    // Reverts the most recent step (closing an open per-event group first).
    // Does nothing inside an explicit group or while undoing/redoing.
    void undo();
    void redo();

    // Closes the per-event group now instead of at the end of the event-loop
    // turn; for code that runs without an event loop (command line, tests).
    void closeImplicitGroup();

    void removeAllActions();

    // Typing: a field that stores every keystroke would otherwise leave one
    // step per letter. newBurst() names a burst of typing. Close the implicit
    // group, make the keystroke's change, then call continueBurst(): it marks
    // the step being collected as part of the burst (nothing when the change
    // registered no undo, or inside an explicit group; any later change in
    // the same step takes the mark away again), and when that step closes
    // right after a step of the same burst (nothing else in between) the two
    // become one, so undo reverts the whole burst at once.
    quint64 newBurst() { return ++lastBurst_; }
    void continueBurst(quint64 burst);

    // A number naming the step that undo() would revert now, 0 when there is
    // none. Every step gets a new number when it lands on the undo stack (a
    // redone step too), so a banner can tell whether "its" step is still the
    // latest one. A group still being collected already has the number it
    // will get when it closes.
    quint64 latestUndoStep() const;

    std::size_t undoCount() const { return undoStack_.size() + (open_.empty() ? 0 : 1); }
    std::size_t redoCount() const { return redoStack_.size(); }

signals:
    void stateChanged();

private:
    struct Group {
        std::vector<Action> actions;
        std::vector<const Record*> records; // what the actions touch, repeats possible
        bool empty() const { return actions.empty(); }
        bool touches(const QSet<QUuid>& ids) const;
        void add(const Record* record);
        void addIDs(QSet<QUuid>& to) const;
        void append(Group&& later);
    };
    enum class Mode { normal, undoing, redoing };

    void pushUndoGroup(Group group);
    bool openGroupJoinsTop() const;
    void run(std::vector<Group>& from, std::vector<Group>& to, Mode mode);
    // Drops from `stack` (its next step to run last) every group touching
    // `records`, which grows by the records of each one dropped; the indexes
    // dropped, in increasing order.
    static std::vector<std::size_t> dropFrom(std::vector<Group>& stack, QSet<QUuid> records);

    std::vector<Group> undoStack_;
    std::vector<quint64> undoSteps_;  // the number of each group of undoStack_
    std::vector<quint64> undoBursts_; // the typing burst of each group, 0 for none
    quint64 lastBurst_ = 0;
    quint64 openBurst_ = 0; // the burst the open group continues
    quint64 lastStep_ = 0;
    std::vector<Group> redoStack_;
    Group open_;       // the group being collected
    Group collecting_; // inverses registered while undoing/redoing
    int explicitDepth_ = 0;
    bool implicitOpen_ = false;
    bool closeScheduled_ = false;
    Mode mode_ = Mode::normal;
};

} // namespace orvana
