#include "Views/Weeks/WeekDetailView.h"

#include "Models/Goal.h"
#include "Models/Week.h"
#include "Models/WeekItem.h"
#include "Services/AppEnvironment.h"
#include "Views/Navigation/NavigationStack.h"
#include "Views/Navigation/SectionScreenFactory.h"
#include "Views/Shared/Badge.h"
#include "Views/Shared/GuidedFooterText.h"
#include "Views/Shared/RecordListView.h"
#include "Views/Shared/StatusColors.h"
#include "Views/Shared/SymbolIcon.h"
#include "Views/Weeks/WeekDetailModel.h"
#include "Views/Weeks/WeekRowDelegate.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

namespace orvana {

WeekDetailView::WeekDetailView(AppEnvironment& environment, Week& week, QWidget* parent)
    : QWidget(parent), env_(environment), model_(new WeekDetailModel(environment, week, this)) {
    setObjectName(QStringLiteral("WeekDetailView"));
    ritualPill_ = new BadgeLabel;
    summaryPill_ = new BadgeLabel;
    auto* pills = new QHBoxLayout;
    pills->addWidget(ritualPill_);
    pills->addWidget(summaryPill_);
    pills->addStretch(1);

    // "Intention".
    intention_ = new QPlainTextEdit;
    intention_->setAccessibleName(tr("Intention"));
    intention_->setPlaceholderText(WeekDetailModel::intentionPrompt());
    intention_->setTabChangesFocus(true);
    intention_->setFixedHeight(intention_->fontMetrics().lineSpacing() * 3 + 12);
    intention_->installEventFilter(this);
    connect(intention_, &QPlainTextEdit::textChanged, this, [this] {
        if (intention_->signalsBlocked())
            return;
        shownIntention_ = intention_->toPlainText();
        model_->setIntention(shownIntention_);
    });
    auto* intentionBox = new QGroupBox(tr("Intention"));
    auto* intentionLayout = new QVBoxLayout(intentionBox);
    intentionLayout->addWidget(intention_);

    // "Items".
    items_ = new RecordListView;
    items_->setAccessibleName(tr("Items"));
    items_->setModel(model_->list());
    delegate_ = new WeekItemRowDelegate(items_);
    items_->setItemDelegate(delegate_);
    items_->setDragDropMode(QAbstractItemView::InternalMove);
    items_->setDefaultDropAction(Qt::MoveAction);
    items_->setDragEnabled(true);
    items_->setAcceptDrops(true);
    items_->setDropIndicatorShown(true);
    items_->setUniformItemSizes(true);

    newItem_ = new QLineEdit;
    newItem_->setAccessibleName(WeekDetailModel::addItemPrompt());
    newItem_->setPlaceholderText(WeekDetailModel::addItemPrompt());
    newItem_->installEventFilter(this);
    connect(newItem_, &QLineEdit::textEdited, model_, &WeekDetailModel::setNewItemTitle);
    // The picker's label is read, not shown.
    goal_ = new QComboBox;
    goal_->setAccessibleName(tr("Goal"));
    goal_->setFocusPolicy(Qt::StrongFocus);
    connect(goal_, &QComboBox::activated, this, [this](int index) {
        const auto& goals = model_->goals();
        model_->setNewItemGoal(
            index >= 1 && index <= int(goals.size()) ? goals[std::size_t(index - 1)] : nullptr);
    });
    add_ = new QPushButton(tr("Add"));
    add_->setAccessibleName(tr("Add"));
    connect(add_, &QPushButton::clicked, this, [this] {
        WeekItem* item = model_->addItem();
        const int row =
            model_->list()->rowOf(item ? item->id().toString(QUuid::WithoutBraces) : QString());
        if (row >= 0)
            items_->selectionModel()->setCurrentIndex(model_->list()->index(row),
                                                      QItemSelectionModel::NoUpdate);
        newItem_->setFocus(Qt::OtherFocusReason); // ready for the next one
    });
    auto* addRow = new QHBoxLayout;
    addRow->addWidget(newItem_, 1);
    addRow->addWidget(goal_);
    addRow->addWidget(add_);

    footer_ = new GuidedFooterText(WeekDetailModel::footerText(), env_.preferences());
    footer_->setWordWrap(true);

    auto* itemsBox = new QGroupBox(tr("Items"));
    auto* itemsLayout = new QVBoxLayout(itemsBox);
    itemsLayout->addWidget(items_, 1);
    itemsLayout->addLayout(addRow);
    itemsLayout->addWidget(footer_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pills);
    layout->addWidget(intentionBox);
    layout->addWidget(itemsBox, 1);

    toggle_ = items_->addRowAction(tr("Mark as Done"));
    addToToday_ = items_->addRowAction(WeekItemRowDelegate::addToTodayText(),
                                       QKeySequence(Qt::CTRL | Qt::Key_T));
    moveUp_ = items_->addRowAction(tr("Move Up"), QKeySequence(Qt::ALT | Qt::Key_Up));
    moveDown_ = items_->addRowAction(tr("Move Down"), QKeySequence(Qt::ALT | Qt::Key_Down));
    delete_ = items_->addRowAction(tr("Delete"), QKeySequence::Delete);
    delete_->setIcon(symbolIcon(QStringLiteral("trash")));
    auto current = [this] { return items_->currentIndex().row(); };
    connect(toggle_, &QAction::triggered, this, [this, current] {
        if (WeekItem* item = model_->itemAt(current()))
            model_->toggleComplete(*item);
    });
    connect(addToToday_, &QAction::triggered, this, [this, current] {
        if (WeekItem* item = model_->itemAt(current()); item && !model_->isPlannedForToday(*item))
            model_->addToToday(*item);
    });
    connect(moveUp_, &QAction::triggered, this,
            [this, current] { model_->moveItemRow(current(), -1); });
    connect(moveDown_, &QAction::triggered, this,
            [this, current] { model_->moveItemRow(current(), 1); });
    connect(delete_, &QAction::triggered, this, [this] { model_->deleteItems(selectedItems()); });
    connect(items_, &RecordListView::aboutToShowRowMenu, this, &WeekDetailView::updateRowActions);
    connect(delegate_, &WeekItemRowDelegate::addToTodayClicked, this,
            [this](const QModelIndex& index) {
                items_->setCurrentIndex(index);
                addToToday_->trigger();
            });

    connect(model_, &WeekDetailModel::changed, this, &WeekDetailView::render);
    connect(model_, &WeekDetailModel::weekRemoved, this, [this] {
        // Off the stack once the current event is over (the page may be in
        // the middle of handling a key).
        QTimer::singleShot(0, this, [this] {
            if (NavigationStack* stack = navigationStackOf(this);
                stack && stack->currentPage() == this)
                stack->pop();
        });
    });
    setTabOrder(intention_, items_);
    setTabOrder(items_, newItem_);
    setTabOrder(newItem_, goal_);
    setTabOrder(goal_, add_);
    setFocusProxy(intention_);
    render();
    updateRowActions(-1);
}

void WeekDetailView::render() {
    if (!model_->week())
        return;
    const QColor green = successColor(palette());
    ritualPill_->setText(model_->ritualPillText());
    ritualPill_->setColor(model_->ritualDone() ? green : QColor());
    summaryPill_->setText(model_->itemsSummary());
    summaryPill_->setColor(model_->allItemsDone() ? green : QColor());

    // Compared with what was shown last: the editor reads some characters
    // back differently (line ends, non-breaking spaces).
    if (model_->intention() != shownIntention_) {
        shownIntention_ = model_->intention();
        if (intention_->toPlainText() != shownIntention_) {
            const QSignalBlocker block(intention_);
            intention_->setPlainText(shownIntention_);
        }
    }
    if (newItem_->text() != model_->newItemTitle())
        newItem_->setText(model_->newItemTitle());
    renderGoals();
    add_->setEnabled(model_->canAddItem());
    if (!items_->currentIndex().isValid() && model_->list()->rowCount() > 0)
        items_->selectionModel()->setCurrentIndex(model_->list()->index(0),
                                                  QItemSelectionModel::NoUpdate);
    updateRowActions(items_->currentIndex().isValid() ? items_->currentIndex().row() : -1);
    if (model_->title() != shownTitle_) {
        shownTitle_ = model_->title();
        emit titleChanged(shownTitle_);
    }
}

void WeekDetailView::renderGoals() {
    std::vector<const void*> goals;
    QStringList titles;
    for (const Goal* g : model_->goals()) {
        goals.push_back(g);
        titles << g->title();
    }
    if (goals != shownGoals_ || titles != shownGoalTitles_) {
        shownGoals_ = goals;
        shownGoalTitles_ = titles;
        const QSignalBlocker block(goal_);
        goal_->clear();
        goal_->addItem(tr("None"));
        goal_->addItems(titles);
    }
    int selected = 0;
    for (std::size_t i = 0; i < model_->goals().size(); ++i) {
        if (model_->goals()[i] == model_->newItemGoal())
            selected = int(i) + 1;
    }
    if (goal_->currentIndex() != selected) {
        const QSignalBlocker block(goal_);
        goal_->setCurrentIndex(selected);
    }
}

void WeekDetailView::updateRowActions(int row) {
    WeekItem* item = model_->itemAt(row);
    const bool onRow = item != nullptr;
    toggle_->setVisible(onRow);
    if (item)
        toggle_->setText(item->isComplete() ? tr("Mark as Not Done") : tr("Mark as Done"));
    addToToday_->setVisible(onRow && !model_->isPlannedForToday(*item));
    moveUp_->setVisible(onRow && row > 0);
    moveDown_->setVisible(onRow && row + 1 < model_->list()->rowCount());
    delete_->setVisible(onRow || !selectedItems().empty());
    for (QAction* action : {toggle_, addToToday_, moveUp_, moveDown_, delete_})
        action->setEnabled(action->isVisible());
}

std::vector<WeekItem*> WeekDetailView::selectedItems() const {
    std::vector<WeekItem*> items;
    for (int row : items_->rowsAtHand()) {
        if (WeekItem* item = model_->itemAt(row))
            items.push_back(item);
    }
    return items;
}

bool WeekDetailView::eventFilter(QObject* watched, QEvent* event) {
    // Leaving the field ends its burst of typing: the next edit is a new step.
    if (watched == intention_ && event->type() == QEvent::FocusOut)
        model_->endTypingBurst();
    // Return in the add field does nothing (not even a dialog's default button).
    if (watched == newItem_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void WeekDetailView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && model_->week())
        render();
}

} // namespace orvana
