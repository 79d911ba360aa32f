#include "Views/Shared/ScreenParts.h"

#include "Models/Goal.h"
#include "Views/Shared/SymbolIcon.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>

namespace orvana {

QLabel* screenTitle(const QString& text) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 1.5);
    font.setBold(true);
    label->setFont(font);
    return label;
}

QLineEdit* searchField(const QString& prompt) {
    auto* field = new QLineEdit;
    field->setPlaceholderText(prompt);
    field->setAccessibleName(prompt);
    field->setClearButtonEnabled(true);
    field->setMaximumWidth(280);
    // Qt's clear button has no name of its own.
    for (auto* button : field->findChildren<QToolButton*>()) {
        button->setAccessibleName(QObject::tr("Clear"));
        button->setToolTip(QObject::tr("Clear"));
    }
    return field;
}

void addScreenKey(QWidget* screen, const QKeySequence& key, std::function<void()> action) {
    auto* shortcut = new QAction(screen);
    shortcut->setShortcut(key);
    shortcut->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(shortcut, &QAction::triggered, screen, std::move(action));
    screen->addAction(shortcut);
}

QToolButton* addButton(const QString& text) {
    auto* button = new QToolButton;
    button->setIcon(symbolIcon(QStringLiteral("plus")));
    button->setText(text);
    button->setAccessibleName(text);
    button->setToolTip(QObject::tr("%1 (Ctrl+N)").arg(text));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return button;
}

namespace {

Goal* goalOf(const QComboBox* picker, int index) {
    return static_cast<Goal*>(picker->itemData(index).value<void*>());
}

} // namespace

QComboBox* goalPicker(std::function<void(Goal*)> onPick) {
    auto* picker = new QComboBox;
    picker->setAccessibleName(QObject::tr("Goal"));
    picker->addItem(QObject::tr("None"));
    QObject::connect(
        picker, &QComboBox::currentIndexChanged, picker,
        [picker, onPick = std::move(onPick)](int index) { onPick(goalOf(picker, index)); });
    return picker;
}

void showGoals(QComboBox* picker, const std::vector<Goal*>& goals, Goal* selected) {
    const QSignalBlocker block(picker);
    bool same = picker->count() == int(goals.size()) + 1;
    for (std::size_t i = 0; same && i < goals.size(); ++i) {
        same = goalOf(picker, int(i) + 1) == goals[i] &&
               picker->itemText(int(i) + 1) == goals[i]->title();
    }
    if (!same) {
        picker->clear();
        picker->addItem(QObject::tr("None"));
        for (Goal* g : goals)
            picker->addItem(g->title(), QVariant::fromValue(static_cast<void*>(g)));
    }
    int index = 0;
    for (std::size_t i = 0; i < goals.size(); ++i) {
        if (goals[i] == selected)
            index = int(i) + 1;
    }
    picker->setCurrentIndex(index);
}

} // namespace orvana
