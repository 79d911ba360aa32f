#include "Views/Shared/AcknowledgmentToast.h"

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
    // A wrapping label hints at a narrow block, which would wrap short messages.
    QSize hint = QWidget::sizeHint();
    // The rectangle form rounds up, as the label's own line breaking needs.
    const int oneLine =
        message_->fontMetrics()
            .boundingRect(QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX), 0, message_->text())
            .width();
    hint.rwidth() += std::max(0, oneLine - message_->sizeHint().width());
    return hint;
}

} // namespace orvana
