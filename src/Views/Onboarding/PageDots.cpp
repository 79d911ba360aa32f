#include "Views/Onboarding/PageDots.h"

#include <QPainter>
#include <QtMath>

namespace orvana {

PageDots::PageDots(int count, QWidget* parent) : QWidget(parent), count_(count) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PageDots::setCurrent(int index) {
    if (index == current_)
        return;
    current_ = index;
    update();
}

qreal PageDots::diameter() const {
    return fontMetrics().height() * 0.55;
}

QSize PageDots::sizeHint() const {
    const qreal d = diameter();
    // A gap of one dot between dots, and half a dot around the row.
    return {qCeil(d * (2 * count_)), qCeil(d * 2)};
}

void PageDots::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const qreal d = diameter();
    QColor dimmed = palette().color(QPalette::PlaceholderText);
    dimmed.setAlphaF(dimmed.alphaF() * 0.6);
    const QColor accent = palette().color(QPalette::Highlight);
    const qreal y = (height() - d) / 2;
    const qreal x0 = (width() - d * (2 * count_ - 1)) / 2;
    for (int i = 0; i < count_; ++i) {
        painter.setBrush(i == current_ ? accent : dimmed);
        painter.drawEllipse(QRectF(x0 + i * 2 * d, y, d, d));
    }
}

} // namespace orvana
