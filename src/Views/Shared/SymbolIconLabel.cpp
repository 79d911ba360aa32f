#include "Views/Shared/SymbolIconLabel.h"

#include "Views/Shared/SymbolIcon.h"

#include <QPainter>
#include <QtMath>

namespace orvana {

SymbolIconLabel::SymbolIconLabel(const QString& symbol, qreal sizeInLines, QWidget* parent)
    : QWidget(parent), icon_(symbolIcon(symbol)), sizeInLines_(sizeInLines) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    if (icon_.isNull())
        hide();
}

QSize SymbolIconLabel::sizeHint() const {
    if (icon_.isNull())
        return {0, 0};
    const int extent = qCeil(fontMetrics().height() * sizeInLines_);
    return {extent, extent};
}

void SymbolIconLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // QIcon::paint picks the pixmap for the painter's device pixel ratio.
    icon_.paint(&painter, rect(), Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
}

} // namespace orvana
