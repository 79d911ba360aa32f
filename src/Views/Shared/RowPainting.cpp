#include "Views/Shared/RowPainting.h"

#include <QApplication>
#include <QStyle>
#include <QWidget>

namespace orvana {

int rowMargin(const QStyleOptionViewItem& option) {
    return option.fontMetrics.height() / 2;
}

QStyle* styleOf(const QStyleOptionViewItem& option) {
    return option.widget ? option.widget->style() : QApplication::style();
}

QFont smallerFont(QFont font) {
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 0.85);
    else
        font.setPixelSize(std::max(1, font.pixelSize() * 85 / 100));
    return font;
}

RowColors rowColors(const QStyleOptionViewItem& option) {
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    return {option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text),
            option.palette.color(group,
                                 selected ? QPalette::HighlightedText : QPalette::PlaceholderText)};
}

} // namespace orvana
