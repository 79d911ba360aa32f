#pragma once

#include <QObject>
#include <QTimer>
#include <utility>

namespace orvana {

class ModelContext;

// Text fields that store every keystroke: a burst of typing in one field is
// one undo step. A burst ends when the typing pauses, when another field is
// typed in, when end() is called (the focus left the field) or when any
// other change lands in between.
class TypingBursts : public QObject {
    Q_OBJECT
public:
    explicit TypingBursts(ModelContext& context, QObject* parent = nullptr);

    // Makes `change` (one keystroke's change in `field`) part of the field's
    // burst. Without an undo manager it just runs it.
    template <class Change> void keystroke(int field, Change&& change) {
        begin();
        std::forward<Change>(change)();
        typed(field);
    }

    // The next keystroke starts a new step.
    void end();

private:
    void begin();
    void typed(int field);

    ModelContext& context_;
    int field_ = -1;
    quint64 burst_ = 0;
    QTimer pause_;
};

} // namespace orvana
