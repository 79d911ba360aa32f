#pragma once

#include <QObject>
#include <functional>
#include <vector>

namespace orvana {

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

    void registerUndo(Action action);

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

signals:
    void stateChanged();

private:
    using Group = std::vector<Action>;
    enum class Mode { normal, undoing, redoing };

    void pushUndoGroup(Group group);
    bool openGroupJoinsTop() const;
    void run(std::vector<Group>& from, std::vector<Group>& to, Mode mode);

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
