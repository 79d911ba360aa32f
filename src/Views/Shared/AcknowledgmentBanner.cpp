#include "Views/Shared/AcknowledgmentBanner.h"

#include "Views/Shared/AcknowledgmentToast.h"

namespace orvana {

namespace {
constexpr int acknowledgmentTimeoutMs = 4000;
}

AcknowledgmentBanner::AcknowledgmentBanner(QWidget* host)
    : BannerOverlay(host, acknowledgmentTimeoutMs) {
    toast_ = new AcknowledgmentToast;
    setContent(toast_);
}

void AcknowledgmentBanner::showMessage(const QString& message) {
    // The card keeps its old text while it slides out.
    if (!message.isEmpty())
        toast_->setMessage(message);
    present(message);
}

} // namespace orvana
