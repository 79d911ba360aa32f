#pragma once

#include <QStyledItemDelegate>

namespace orvana {

// Paints Today's rows: section headers, guidance footers, task rows (goal
// colour mark, completion check box, title struck through when done, the
// goal's title, "Move to Today" on overdue rows, the timer button) and block
// rows (title and "Start"). The painted buttons are mouse shortcuts for the
// row actions of the same names; a click on one is reported, not handled.
class TodayRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    enum class Button { none, primary, timer }; // primary: "Move to Today" / "Start"

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    // Where the buttons of a row sit (empty rectangles for none).
    QRect buttonRect(const QStyleOptionViewItem& option, const QModelIndex& index,
                     Button button) const;

signals:
    void buttonClicked(const QModelIndex& index, TodayRowDelegate::Button button);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

} // namespace orvana
