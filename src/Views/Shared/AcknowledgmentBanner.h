#pragma once

#include "Views/Shared/BannerOverlay.h"

namespace orvana {

class AcknowledgmentToast;

// The banner that acknowledges logged focus time: an AcknowledgmentToast over
// the bottom edge of `host`, cleared 4 seconds after the latest message
// appeared (see BannerOverlay). There is no action.
class AcknowledgmentBanner : public BannerOverlay {
    Q_OBJECT
public:
    // The banner becomes a child of `host` (which owns it).
    explicit AcknowledgmentBanner(QWidget* host);

    // Shows `message` in place of any current one; an empty message clears.
    void showMessage(const QString& message);

    AcknowledgmentToast* toast() const { return toast_; }

private:
    AcknowledgmentToast* toast_ = nullptr;
};

} // namespace orvana
