#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

namespace orvana {

class ModelContext;
class UndoManager;

// The undo banner's state on a screen: the message announcing a change and
// the one undo step that change made. "Undo" reverts exactly that step; once
// a later step lands (another change, an undo from the Edit menu) the message
// goes, so the banner can never revert something it did not announce.
class UndoBannerModel : public QObject {
    Q_OBJECT
public:
    explicit UndoBannerModel(ModelContext& context, QObject* parent = nullptr);

    // Call right after the change: the message names the step being collected
    // (or the latest one). Does nothing without an undo manager.
    void announce(const QString& message);

    const QString& message() const { return message_; }

    // Reverts the announced step if it is still the latest, then clears.
    void undo();
    void clear();

signals:
    void messageChanged(const QString& message);

private:
    void followUndoStack();
    void setMessage(const QString& message);

    ModelContext& context_;
    QPointer<UndoManager> manager_;
    QString message_;
    quint64 step_ = 0;
};

} // namespace orvana
