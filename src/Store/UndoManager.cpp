#include "Store/UndoManager.h"

#include <QMetaObject>

namespace orvana {

UndoManager::UndoManager(QObject* parent) : QObject(parent) {}

UndoManager::~UndoManager() = default;

void UndoManager::registerUndo(Action action) {
    if (mode_ != Mode::normal) {
        collecting_.push_back(std::move(action));
        return;
    }
    // Anything after a keystroke (a session logged in the same turn) ends
    // the burst, so it never rides along with the typing.
    openBurst_ = 0;
    if (explicitDepth_ == 0 && !implicitOpen_) {
        implicitOpen_ = true;
        if (!closeScheduled_) {
            closeScheduled_ = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    closeScheduled_ = false;
                    closeImplicitGroup();
                },
                Qt::QueuedConnection);
        }
    }
    // A new change makes the redo history meaningless.
    const bool hadRedo = !redoStack_.empty();
    redoStack_.clear();
    const bool wasEmpty = !canUndo();
    open_.push_back(std::move(action));
    if (hadRedo || wasEmpty)
        emit stateChanged();
}

void UndoManager::beginUndoGrouping() {
    if (explicitDepth_ == 0)
        closeImplicitGroup();
    ++explicitDepth_;
}

void UndoManager::endUndoGrouping() {
    Q_ASSERT(explicitDepth_ > 0);
    if (explicitDepth_ == 0)
        return;
    if (--explicitDepth_ == 0 && !open_.empty())
        pushUndoGroup(std::exchange(open_, {}));
}

void UndoManager::closeImplicitGroup() {
    if (!implicitOpen_ || explicitDepth_ > 0)
        return;
    implicitOpen_ = false;
    if (!open_.empty())
        pushUndoGroup(std::exchange(open_, {}));
}

bool UndoManager::canUndo() const {
    return !undoStack_.empty() || (explicitDepth_ == 0 && !open_.empty());
}

quint64 UndoManager::latestUndoStep() const {
    if (!open_.empty())
        return openGroupJoinsTop() ? undoSteps_.back() : lastStep_ + 1;
    return undoSteps_.empty() ? 0 : undoSteps_.back();
}

void UndoManager::continueBurst(quint64 burst) {
    if (mode_ == Mode::normal && explicitDepth_ == 0 && !open_.empty())
        openBurst_ = burst;
}

bool UndoManager::openGroupJoinsTop() const {
    return openBurst_ != 0 && !undoBursts_.empty() && undoBursts_.back() == openBurst_;
}

void UndoManager::pushUndoGroup(Group group) {
    if (openGroupJoinsTop()) {
        // Undo runs a group backwards, so the later keystrokes revert first.
        Group& top = undoStack_.back();
        top.insert(top.end(), std::make_move_iterator(group.begin()),
                   std::make_move_iterator(group.end()));
    } else {
        undoStack_.push_back(std::move(group));
        undoSteps_.push_back(++lastStep_);
        undoBursts_.push_back(openBurst_);
    }
    openBurst_ = 0;
    emit stateChanged();
}

void UndoManager::undo() {
    if (mode_ != Mode::normal || explicitDepth_ > 0)
        return;
    closeImplicitGroup();
    run(undoStack_, redoStack_, Mode::undoing);
}

void UndoManager::redo() {
    if (mode_ != Mode::normal || explicitDepth_ > 0)
        return;
    closeImplicitGroup();
    run(redoStack_, undoStack_, Mode::redoing);
}

void UndoManager::run(std::vector<Group>& from, std::vector<Group>& to, Mode mode) {
    if (from.empty())
        return;
    Group group = std::move(from.back());
    from.pop_back();
    if (&from == &undoStack_) {
        undoSteps_.pop_back();
        undoBursts_.pop_back();
    }
    mode_ = mode;
    collecting_.clear();
    for (auto it = group.rbegin(); it != group.rend(); ++it)
        (*it)();
    mode_ = Mode::normal;
    if (!collecting_.empty()) {
        to.push_back(std::exchange(collecting_, {}));
        if (&to == &undoStack_) {
            undoSteps_.push_back(++lastStep_);
            undoBursts_.push_back(0); // a redone burst takes no more typing
        }
    }
    emit stateChanged();
}

void UndoManager::removeAllActions() {
    undoStack_.clear();
    undoSteps_.clear();
    undoBursts_.clear();
    openBurst_ = 0;
    redoStack_.clear();
    open_.clear();
    implicitOpen_ = false;
    emit stateChanged();
}

} // namespace orvana
