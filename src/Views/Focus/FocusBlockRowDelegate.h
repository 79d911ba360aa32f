#pragma once

#include <QStyledItemDelegate>

namespace orvana {

// Paints a Focus Blocks row: the goal's colour mark, the title with a
// "Paused" badge when paused, the line of weekdays, time and length beneath
// it, and a pause/resume button. The button is a mouse shortcut for the
// row action of the same name; a click on it is reported, not handled.
class FocusBlockRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    // Where the pause/resume button of a row sits.
    QRect toggleButtonRect(const QStyleOptionViewItem& option) const;

signals:
    void toggleClicked(const QModelIndex& index);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

} // namespace orvana
