#pragma once

#include <QStyledItemDelegate>

namespace orvana {

// Paints a goal's row: a thin bar in its colour, the title with its status
// badge, and at the right the minutes logged (flame) and the target badge.
class GoalRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

} // namespace orvana
