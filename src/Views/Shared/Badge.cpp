#include "Views/Shared/Badge.h"

#include "Views/Shared/RowPainting.h"

#include <QFontMetrics>
#include <QPainter>

namespace orvana {

BadgeStyle::BadgeStyle(const QFont& base) : font_(smallerFont(base)) {}

int BadgeStyle::width(const QString& text) const {
    const QFontMetrics metrics(font_);
    return metrics.horizontalAdvance(text) + metrics.height();
}

int BadgeStyle::height() const {
    return QFontMetrics(font_).height() + 4;
}

void BadgeStyle::paint(QPainter* painter, int left, int centerY, const QString& text,
                       const QColor& color) const {
    const int h = height();
    const QRect pill(left, centerY - h / 2, width(text), h);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(color, 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(QRectF(pill).adjusted(0.5, 0.5, -0.5, -0.5), h / 2.0, h / 2.0);
    painter->setFont(font_);
    painter->drawText(pill, Qt::AlignCenter, text);
    painter->restore();
}

int BadgeStyle::paintRightAligned(QPainter* painter, int right, int centerY, const QString& text,
                                  const QColor& color) const {
    const int left = right - width(text) + 1;
    paint(painter, left, centerY, text, color);
    return left;
}

BadgeLabel::BadgeLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void BadgeLabel::setColor(const QColor& color) {
    color_ = color;
    update();
}

QSize BadgeLabel::sizeHint() const {
    const BadgeStyle style(font());
    return {style.width(text()) + 2, style.height() + 2};
}

void BadgeLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const BadgeStyle style(font());
    style.paint(&painter, 1, height() / 2, text(),
                color_.isValid() ? color_ : palette().color(QPalette::PlaceholderText));
}

} // namespace orvana
