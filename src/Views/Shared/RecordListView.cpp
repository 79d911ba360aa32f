#include "Views/Shared/RecordListView.h"

#include <QAccessible>
#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>

namespace orvana {

RecordListView::RecordListView(QWidget* parent) : QListView(parent) {
    setContextMenuPolicy(Qt::DefaultContextMenu);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(true);
    auto* menuKey = new QAction(this);
    menuKey->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
    menuKey->setShortcutContext(Qt::WidgetShortcut);
    connect(menuKey, &QAction::triggered, this, &RecordListView::showRowMenu);
    // Not among the row actions: kept out of the menu by having no text.
    addAction(menuKey);
}

QAction* RecordListView::addRowAction(const QString& text, const QKeySequence& key) {
    auto* action = new QAction(text, this);
    if (!key.isEmpty()) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    addAction(action);
    return action;
}

std::vector<int> RecordListView::rowsAtHand() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.push_back(index.row());
    if (rows.empty() && currentIndex().isValid())
        rows.push_back(currentIndex().row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void RecordListView::showRowMenu() {
    const QRect rect = visualRect(currentIndex());
    const QPoint at = rect.isValid() ? rect.bottomLeft() : QPoint(0, 0);
    QContextMenuEvent event(QContextMenuEvent::Keyboard, at, viewport()->mapToGlobal(at));
    contextMenuEvent(&event);
}

bool RecordListView::event(QEvent* event) {
    // Before the shortcut map looks at a key: the actions' state follows the
    // row at hand, however the row or the focus got there.
    if (event->type() == QEvent::ShortcutOverride)
        emit aboutToShowRowMenu(currentIndex().isValid() ? currentIndex().row() : -1);
    return QListView::event(event);
}

void RecordListView::keyPressEvent(QKeyEvent* event) {
    // A row action's key reaches the list itself when the view claimed the
    // key first (Ctrl+Return would otherwise activate the row).
    const QKeySequence pressed(event->keyCombination());
    for (QAction* action : actions()) {
        if (action->isEnabled() && action->shortcuts().contains(pressed)) {
            action->trigger();
            event->accept();
            return;
        }
    }
    QListView::keyPressEvent(event);
}

void RecordListView::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse) {
        const QModelIndex at = indexAt(event->pos());
        if (at.isValid() && !selectionModel()->isSelected(at))
            setCurrentIndex(at);
    }
    emit aboutToShowRowMenu(currentIndex().isValid() ? currentIndex().row() : -1);
    QMenu menu(this);
    for (QAction* action : actions()) {
        if (!action->text().isEmpty() && action->isVisible())
            menu.addAction(action);
    }
    if (menu.isEmpty())
        return;
    menu.exec(event->globalPos());
    event->accept();
}

void RecordListView::setModel(QAbstractItemModel* model) {
    QListView::setModel(model);
    // Actions on the selection (Delete) follow it, not only the current row.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        emit aboutToShowRowMenu(currentIndex().isValid() ? currentIndex().row() : -1);
    });
}

void RecordListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QListView::currentChanged(current, previous);
    // Shortcuts check their action's state: keep it right for the new row.
    emit aboutToShowRowMenu(current.isValid() ? current.row() : -1);
}

void RecordListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                 const QList<int>& roles) {
    QListView::dataChanged(topLeft, bottomRight, roles);
    if (!QAccessible::isActive())
        return;
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        QAccessible::State checked;
        checked.checked = true;
        QAccessibleStateChangeEvent stateChange(this, checked);
        stateChange.setChild(row);
        QAccessible::updateAccessibility(&stateChange);
        QAccessibleEvent nameChange(this, QAccessible::NameChanged);
        nameChange.setChild(row);
        QAccessible::updateAccessibility(&nameChange);
    }
    emit aboutToShowRowMenu(currentIndex().isValid() ? currentIndex().row() : -1);
}

} // namespace orvana
