#include "Views/Shared/UndoToast.h"

#include "Views/Shared/BannerOverlay.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace orvana {

UndoToast::UndoToast(QWidget* parent) : QWidget(parent) {
    message_ = new QLabel;
    message_->setTextFormat(Qt::PlainText);
    message_->setWordWrap(true);

    undoButton_ = new QPushButton(tr("Undo"));
    undoButton_->setAccessibleName(tr("Undo"));
    // Return in the screen belongs to the screen's own default button.
    undoButton_->setAutoDefault(false);
    connect(undoButton_, &QPushButton::clicked, this, &UndoToast::undoClicked);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The message takes the free width; its blank end is the flexible gap
    // that keeps the button at the trailing edge.
    layout->addWidget(message_, 1);
    layout->addWidget(undoButton_);
}

QString UndoToast::message() const {
    return message_->text();
}

void UndoToast::setMessage(const QString& message) {
    message_->setText(message);
    // Our size hint follows the text; layouts that cache it must ask again.
    updateGeometry();
}

QSize UndoToast::sizeHint() const {
    return oneLineSizeHint(QWidget::sizeHint(), message_);
}

} // namespace orvana
