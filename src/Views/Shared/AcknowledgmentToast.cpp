#include "Views/Shared/AcknowledgmentToast.h"

#include "Views/Shared/BannerOverlay.h"

#include "Views/Shared/SymbolIconLabel.h"

#include <QHBoxLayout>
#include <QLabel>

#include <algorithm>

namespace orvana {

AcknowledgmentToast::AcknowledgmentToast(QWidget* parent) : QWidget(parent) {
    auto* icon = new SymbolIconLabel(QStringLiteral("checkmark.circle.fill"), 1.2);
    icon->setObjectName(QStringLiteral("icon"));

    message_ = new QLabel;
    message_->setTextFormat(Qt::PlainText);
    message_->setWordWrap(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(icon);
    layout->addWidget(message_, 1);
}

QString AcknowledgmentToast::message() const {
    return message_->text();
}

void AcknowledgmentToast::setMessage(const QString& message) {
    message_->setText(message);
    // Our size hint follows the text; layouts that cache it must ask again.
    updateGeometry();
}

QSize AcknowledgmentToast::sizeHint() const {
    return oneLineSizeHint(QWidget::sizeHint(), message_);
}

} // namespace orvana
