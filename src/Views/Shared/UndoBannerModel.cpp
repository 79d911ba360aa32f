#include "Views/Shared/UndoBannerModel.h"

#include "Store/ModelContext.h"
#include "Store/UndoManager.h"

namespace orvana {

UndoBannerModel::UndoBannerModel(ModelContext& context, QObject* parent)
    : QObject(parent), context_(context) {}

void UndoBannerModel::announce(const QString& message) {
    UndoManager* manager = context_.undoManager();
    if (!manager)
        return;
    if (manager != manager_) {
        if (manager_)
            disconnect(manager_, nullptr, this, nullptr);
        manager_ = manager;
        connect(manager, &UndoManager::stateChanged, this, &UndoBannerModel::followUndoStack);
    }
    step_ = manager->latestUndoStep();
    // Always announced, even with the same text: the banner's wait restarts.
    message_ = message;
    emit messageChanged(message_);
}

void UndoBannerModel::followUndoStack() {
    if (!message_.isEmpty() && (!manager_ || manager_->latestUndoStep() != step_))
        clear();
}

void UndoBannerModel::undo() {
    if (!message_.isEmpty() && manager_ && manager_->latestUndoStep() == step_) {
        // Clear first: the undo's own state change must not look like a later step.
        clear();
        manager_->undo();
        return;
    }
    clear();
}

void UndoBannerModel::clear() {
    setMessage(QString());
}

void UndoBannerModel::setMessage(const QString& message) {
    if (message == message_)
        return;
    message_ = message;
    emit messageChanged(message_);
}

} // namespace orvana
