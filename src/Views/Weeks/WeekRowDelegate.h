#pragma once

#include <QStyledItemDelegate>

namespace orvana {

// Paints a week's row: the thin status bar (faint without items, green when
// all are done, the accent otherwise), the dates, "This Week", the items
// summary (green when all are done) and the green "Ritual" mark.
class WeekRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    // Where the "Ritual" mark sits (empty without one).
    QRect ritualRect(const QStyleOptionViewItem& option, const QModelIndex& index) const;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

// Paints an item of a week's detail: the completion circle, the title (struck
// through when done) with its goal beneath, and "Add to Today" or "On Today".
// The painted button is a mouse shortcut for the row action of that name.
class WeekItemRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    // "Add to Today" while the item has no task today, else empty.
    QRect addToTodayRect(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    static QString addToTodayText();
    static QString onTodayText();

signals:
    void addToTodayClicked(const QModelIndex& index);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

} // namespace orvana
