#pragma once

#include "Views/Shared/BannerOverlay.h"

#include <functional>

namespace orvana {

class UndoBannerModel;
class UndoToast;

// The banner that follows a destructive action: an UndoToast over the bottom
// edge of `host`, shown while a message is present and cleared 5 seconds
// after the latest message appeared (see BannerOverlay).
//
// Pressing "Undo" runs the undo action first, while message() still holds the
// message, and then clears the message at once. The action runs at most once
// per message: a second press while the card slides out does nothing. If the
// action shows a new message, that one stays.
class UndoBanner : public BannerOverlay {
    Q_OBJECT
public:
    // The banner becomes a child of `host` (which owns it).
    explicit UndoBanner(QWidget* host);

    // Shows `message` in place of any current one, with `onUndo` as the action
    // of its Undo button. An empty message clears the banner. The name is not
    // show(), which QWidget already has.
    void showMessage(const QString& message, std::function<void()> onUndo);

    UndoToast* toast() const { return toast_; }

    // Follows a screen's banner model: its message shows here, "Undo" runs
    // the model's undo, and a message that times out here clears the model.
    void bind(UndoBannerModel* model);

private:
    void undo();

    UndoToast* toast_ = nullptr;
    std::function<void()> onUndo_;
    quint64 shownCount_ = 0;
};

} // namespace orvana
