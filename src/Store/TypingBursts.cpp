#include "Store/TypingBursts.h"

#include "Store/ModelContext.h"
#include "Store/UndoManager.h"

namespace orvana {

namespace {

// A pause this long ends a burst of typing.
constexpr int burstPauseMs = 1500;

} // namespace

TypingBursts::TypingBursts(ModelContext& context, QObject* parent)
    : QObject(parent), context_(context) {
    pause_.setSingleShot(true);
    pause_.setInterval(burstPauseMs);
    connect(&pause_, &QTimer::timeout, this, &TypingBursts::end);
}

void TypingBursts::begin() {
    // The keystroke's step holds the keystroke alone: whatever this turn
    // changed before it stays a step of its own.
    if (UndoManager* undo = context_.undoManager())
        undo->closeImplicitGroup();
}

void TypingBursts::typed(int field) {
    UndoManager* undo = context_.undoManager();
    if (!undo)
        return;
    if (field != field_ || burst_ == 0) {
        field_ = field;
        burst_ = undo->newBurst();
    }
    undo->continueBurst(burst_);
    pause_.start();
}

void TypingBursts::end() {
    burst_ = 0;
    pause_.stop();
}

} // namespace orvana
