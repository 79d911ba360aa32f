#include "Views/Goals/GoalListView.h"

#include "Models/Goal.h"
#include "Services/AppEnvironment.h"
#include "Views/Goals/GoalDetailView.h"
#include "Views/Goals/GoalFormModel.h"
#include "Views/Goals/GoalFormView.h"
#include "Views/Goals/GoalListModel.h"
#include "Views/Goals/GoalRowDelegate.h"
#include "Views/Navigation/NavigationStack.h"
#include "Views/Navigation/SectionScreenFactory.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/RecordListView.h"
#include "Views/Shared/ScreenParts.h"
#include "Views/Shared/SymbolIcon.h"
#include "Views/Shared/UndoBanner.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace orvana {

GoalListView::GoalListView(AppEnvironment& environment, QWidget* parent)
    : QWidget(parent), env_(environment), model_(new GoalListModel(environment, this)) {
    search_ = orvana::searchField(GoalListModel::searchPrompt());
    connect(search_, &QLineEdit::textChanged, model_, &GoalListModel::setSearchText);

    add_ = orvana::addButton(GoalListModel::addButtonText());
    connect(add_, &QToolButton::clicked, this, &GoalListView::presentGoalForm);

    auto* header = new QHBoxLayout;
    header->addWidget(screenTitle(GoalListModel::title()));
    header->addStretch(1);
    header->addWidget(search_);
    header->addWidget(add_);

    list_ = new RecordListView;
    list_->setAccessibleName(GoalListModel::title());
    list_->setModel(model_->list());
    list_->setUniformItemSizes(true);
    delegate_ = new GoalRowDelegate(list_);
    list_->setItemDelegate(delegate_);

    empty_ = new GuidedEmptyState(GoalListModel::emptyTitle(), GoalListModel::emptySymbol(),
                                  GoalListModel::emptyDescription(), env_.preferences());

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(list_, 1);
    layout->addWidget(empty_, 1);

    open_ = list_->addRowAction(tr("Open"));
    delete_ = list_->addRowAction(tr("Delete"), QKeySequence::Delete);
    delete_->setIcon(symbolIcon(QStringLiteral("trash")));
    connect(open_, &QAction::triggered, this, [this] {
        if (Goal* goal = model_->goalAt(list_->currentIndex().row()))
            openGoal(*goal);
    });
    connect(delete_, &QAction::triggered, this, [this] { model_->deleteGoals(selectedGoals()); });
    connect(list_, &RecordListView::aboutToShowRowMenu, this, &GoalListView::updateRowActions);
    connect(list_, &QAbstractItemView::activated, open_, &QAction::trigger);

    addScreenKey(this, QKeySequence::New, [this] { presentGoalForm(); });
    addScreenKey(this, QKeySequence::Find, [this] {
        search_->setFocus(Qt::ShortcutFocusReason);
        search_->selectAll();
    });

    banner_ = new UndoBanner(this);
    banner_->bind(model_->undoBanner());

    connect(model_, &GoalListModel::changed, this, &GoalListView::render);
    setTabOrder(search_, add_);
    setTabOrder(add_, list_);
    render();
}

void GoalListView::render() {
    empty_->setVisible(model_->showsEmptyState());
    const bool hasRows = model_->list()->rowCount() > 0;
    // Focus on the screen means the list, or "Add Goal" while nothing is listed.
    const bool listHadFocus = list_->hasFocus();
    list_->setVisible(!model_->showsEmptyState());
    setFocusProxy(hasRows ? static_cast<QWidget*>(list_) : add_);
    if (listHadFocus && !hasRows && !search_->hasFocus())
        add_->setFocus(Qt::OtherFocusReason);
    // Keyboard users land on a row.
    if (!list_->currentIndex().isValid() && hasRows)
        list_->selectionModel()->setCurrentIndex(model_->list()->index(0),
                                                 QItemSelectionModel::NoUpdate);
    updateRowActions(list_->currentIndex().isValid() ? list_->currentIndex().row() : -1);
}

void GoalListView::updateRowActions(int row) {
    const bool onRow = model_->goalAt(row) != nullptr;
    open_->setVisible(onRow);
    delete_->setVisible(onRow || !selectedGoals().empty());
    for (QAction* action : {open_, delete_})
        action->setEnabled(action->isVisible());
}

std::vector<Goal*> GoalListView::selectedGoals() const {
    std::vector<Goal*> goals;
    for (int row : list_->rowsAtHand()) {
        if (Goal* goal = model_->goalAt(row))
            goals.push_back(goal);
    }
    return goals;
}

void GoalListView::presentGoalForm() {
    auto* form = new GoalFormView(new GoalFormModel(env_), env_, this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setWindowModality(Qt::WindowModal);
    // Back on the list, at the goal just made.
    connect(form, &QDialog::accepted, this, [this, form] {
        const Goal* goal = form->model()->savedGoal();
        const QString key = goal ? goal->id().toString(QUuid::WithoutBraces) : QString();
        QTimer::singleShot(0, this, [this, key] {
            const int row = model_->list()->rowOf(key);
            if (row >= 0)
                list_->selectionModel()->setCurrentIndex(model_->list()->index(row),
                                                         QItemSelectionModel::ClearAndSelect);
            list_->setFocus(Qt::OtherFocusReason);
        });
    });
    form->show();
}

void GoalListView::openGoal(Goal& goal) {
    NavigationStack* stack = navigationStackOf(this);
    if (!stack || goal.isDeleted())
        return;
    auto* detail = new GoalDetailView(env_, goal);
    stack->push(detail, goal.title());
    connect(detail, &GoalDetailView::titleChanged, stack,
            [stack, detail](const QString& title) { stack->setPageTitle(detail, title); });
}

} // namespace orvana
