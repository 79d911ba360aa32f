#pragma once

#include <QListView>
#include <vector>

namespace orvana {

// The list view of every list screen. Row actions are QActions added to the
// view (each with its shortcut, working while the list has focus); the
// context menu — right click, the Menu key or Shift+F10 — lists those that
// are visible and enabled for the current row after aboutToShowRowMenu has
// let the screen set them. A painted button on a row is only a mouse
// shortcut for one of these actions, so keyboard and screen-reader users
// reach every action.
//
// Completion toggles are announced to assistive technology (Qt does not on
// its own).
class RecordListView : public QListView {
    Q_OBJECT
public:
    explicit RecordListView(QWidget* parent = nullptr);

    // A row action: in the row menu, its shortcut working while the list has
    // the focus.
    QAction* addRowAction(const QString& text, const QKeySequence& key = {});

    void setModel(QAbstractItemModel* model) override;

    // The selected rows in order, or the current row when none is selected:
    // what Delete acts on.
    std::vector<int> rowsAtHand() const;

    // Opens the row menu at the current row, as the keyboard does.
    void showRowMenu();

signals:
    // Before the row menu shows and before an action's shortcut runs: set
    // the actions' visibility and enabled state for `row` (-1: none).
    void aboutToShowRowMenu(int row);

protected:
    bool event(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
};

} // namespace orvana
