#include "Views/Shared/UndoBanner.h"

#include "Views/Shared/UndoBannerModel.h"
#include "Views/Shared/UndoToast.h"

#include <QPointer>

#include <utility>

namespace orvana {

namespace {
constexpr int undoTimeoutMs = 5000;
}

UndoBanner::UndoBanner(QWidget* host) : BannerOverlay(host, undoTimeoutMs) {
    toast_ = new UndoToast;
    setContent(toast_);
    connect(toast_, &UndoToast::undoClicked, this, &UndoBanner::undo);
    connect(this, &BannerOverlay::messageChanged, this, [this](const QString& message) {
        if (message.isEmpty())
            onUndo_ = nullptr;
    });
}

void UndoBanner::showMessage(const QString& message, std::function<void()> onUndo) {
    ++shownCount_;
    if (!message.isEmpty()) {
        onUndo_ = std::move(onUndo);
        // The card keeps its old text while it slides out; only a new message
        // replaces it.
        toast_->setMessage(message);
    }
    present(message);
}

void UndoBanner::bind(UndoBannerModel* model) {
    connect(model, &UndoBannerModel::messageChanged, this, [this, model](const QString& message) {
        if (message.isEmpty()) {
            if (!this->message().isEmpty())
                clear();
            return;
        }
        showMessage(message, [model] { model->undo(); });
    });
    connect(this, &BannerOverlay::messageChanged, model, [model](const QString& message) {
        if (message.isEmpty())
            model->clear();
    });
}

void UndoBanner::undo() {
    if (message().isEmpty())
        return;
    const quint64 shownBefore = shownCount_;
    // A copy: the action may show a new message, which replaces onUndo_.
    const std::function<void()> action = onUndo_;
    QPointer<UndoBanner> self(this);
    if (action)
        action();
    if (self && shownCount_ == shownBefore)
        clear();
}

} // namespace orvana
