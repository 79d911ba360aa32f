#include "Views/Shared/ScreenParts.h"

#include "Models/Goal.h"
#include "Views/Shared/SymbolIcon.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
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

QComboBox* goalPicker(const std::vector<Goal*>& goals, Goal* selected,
                      std::function<void(Goal*)> onPick) {
    auto* picker = new QComboBox;
    picker->setAccessibleName(QObject::tr("Goal"));
    picker->addItem(QObject::tr("None"));
    for (Goal* g : goals) {
        picker->addItem(g->title());
        if (g == selected)
            picker->setCurrentIndex(picker->count() - 1);
    }
    QObject::connect(picker, &QComboBox::currentIndexChanged, picker,
                     [goals, onPick = std::move(onPick)](int index) {
                         onPick(index >= 1 && index <= int(goals.size())
                                    ? goals[std::size_t(index - 1)]
                                    : nullptr);
                     });
    return picker;
}

} // namespace orvana
