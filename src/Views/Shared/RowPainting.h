#pragma once

#include <QColor>
#include <QFont>
#include <QStyleOptionViewItem>

class QStyle;

namespace orvana {

// What every list delegate paints a row with.

// Half a line: the gap around and between a row's parts.
int rowMargin(const QStyleOptionViewItem& option);
QStyle* styleOf(const QStyleOptionViewItem& option);
// The font of badges and small print: 85 % of `font`.
QFont smallerFont(QFont font);

// The row's text colours, following its selection and enabled state.
struct RowColors {
    QColor text;
    QColor secondary;
};
RowColors rowColors(const QStyleOptionViewItem& option);

} // namespace orvana
