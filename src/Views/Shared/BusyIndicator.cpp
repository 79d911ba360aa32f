#include "Views/Shared/BusyIndicator.h"

#include <QPainter>
#include <QVariantAnimation>

namespace orvana {

BusyIndicator::BusyIndicator(QWidget* parent)
    : QWidget(parent), animation_(new QVariantAnimation(this)) {
    setAccessibleName(tr("Working…"));
    animation_->setStartValue(0);
    animation_->setEndValue(360);
    animation_->setDuration(900);
    animation_->setLoopCount(-1);
    connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        angle_ = value.toInt();
        update();
    });
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize BusyIndicator::sizeHint() const {
    const int side = fontMetrics().height();
    return {side, side};
}

void BusyIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = qMin(width(), height());
    const qreal pen = qMax(1.5, side / 8.0);
    const QRectF box((width() - side) / 2.0 + pen / 2, (height() - side) / 2.0 + pen / 2,
                     side - pen, side - pen);
    QColor color = palette().color(QPalette::WindowText);
    painter.setPen(QPen(color, pen, Qt::SolidLine, Qt::RoundCap));
    // Angles in sixteenths of a degree, counter-clockwise from three o'clock.
    painter.drawArc(box, -angle_ * 16, 270 * 16);
}

void BusyIndicator::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    animation_->start();
}

void BusyIndicator::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    animation_->stop();
}

} // namespace orvana
