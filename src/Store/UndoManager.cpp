#include "Store/UndoManager.h"

#include "Models/Record.h"

#include <QMetaObject>
#include <algorithm>

namespace orvana {

UndoManager::UndoManager(QObject* parent) : QObject(parent) {}

UndoManager::~UndoManager() = default;

bool UndoManager::Group::touches(const QSet<QUuid>& ids) const {
    return std::any_of(records.begin(), records.end(),
                       [&](const Record* r) { return ids.contains(r->id()); });
}

void UndoManager::Group::add(const Record* record) {
    // A record's fields change one after another: one mention is enough.
    if (record && (records.empty() || records.back() != record))
        records.push_back(record);
}

void UndoManager::Group::addIDs(QSet<QUuid>& to) const {
    for (const Record* r : records)
        to.insert(r->id());
}

QSet<QUuid> UndoManager::recordsInSteps() const {
    QSet<QUuid> ids;
    open_.addIDs(ids);
    for (const std::vector<Group>* stack : {&undoStack_, &redoStack_}) {
        for (const Group& g : *stack)
            g.addIDs(ids);
    }
    return ids;
}

void UndoManager::Group::append(Group&& later) {
    actions.insert(actions.end(), std::make_move_iterator(later.actions.begin()),
                   std::make_move_iterator(later.actions.end()));
    records.insert(records.end(), later.records.begin(), later.records.end());
}

void UndoManager::noteRecord(const Record* record) {
    Group& group = mode_ != Mode::normal ? collecting_ : open_;
    if (!group.empty())
        group.add(record);
}

void UndoManager::registerUndo(Action action, const Record* record) {
    if (mode_ != Mode::normal) {
        collecting_.actions.push_back(std::move(action));
        collecting_.add(record);
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
    open_.actions.push_back(std::move(action));
    open_.add(record);
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
        undoStack_.back().append(std::move(group));
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
    collecting_ = {};
    for (auto it = group.actions.rbegin(); it != group.actions.rend(); ++it)
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
    open_ = {};
    implicitOpen_ = false;
    emit stateChanged();
}

std::vector<std::size_t> UndoManager::dropFrom(std::vector<Group>& stack, QSet<QUuid> records) {
    std::vector<std::size_t> dropped;
    for (std::size_t i = stack.size(); i-- > 0;) {
        if (!stack[i].touches(records))
            continue;
        stack[i].addIDs(records);
        dropped.push_back(i);
    }
    std::reverse(dropped.begin(), dropped.end());
    return dropped;
}

void UndoManager::dropSteps(const QSet<QUuid>& records) {
    if (records.isEmpty() || mode_ != Mode::normal)
        return;
    bool changed = false;
    // The group being collected is the newest step of all.
    QSet<QUuid> stale = records;
    if (open_.touches(stale)) {
        open_.addIDs(stale);
        open_ = {};
        openBurst_ = 0;
        // A banner may already hold the number it would have had.
        ++lastStep_;
        changed = true;
    }
    auto erase = [&changed](auto& list, const std::vector<std::size_t>& at) {
        for (auto it = at.rbegin(); it != at.rend(); ++it)
            list.erase(list.begin() + std::ptrdiff_t(*it));
        changed = changed || !at.empty();
    };
    const std::vector<std::size_t> undone = dropFrom(undoStack_, stale);
    erase(undoStack_, undone);
    erase(undoSteps_, undone);
    erase(undoBursts_, undone);
    // Redo runs from the back: a step there comes before those below it.
    erase(redoStack_, dropFrom(redoStack_, records));
    if (changed)
        emit stateChanged();
}

} // namespace orvana
