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
#include "Views/Shared/RowListModel.h"
#include "Views/Shared/ScreenParts.h"

#include <QAction>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

namespace orvana {

GoalListView::GoalListView(AppEnvironment& environment, QWidget* parent)
    : RecordListScreen(parent), env_(environment), model_(new GoalListModel(environment, this)) {
    search_ = orvana::searchField(GoalListModel::searchPrompt());
    connect(search_, &QLineEdit::textChanged, model_, &GoalListModel::setSearchText);

    add_ = orvana::addButton(GoalListModel::addButtonText());
    connect(add_, &QToolButton::clicked, this, &GoalListView::presentGoalForm);

    delegate_ = new GoalRowDelegate(list());
    open_ = list()->addRowAction(tr("Open", "show the goal"));
    connect(open_, &QAction::triggered, this, [this] {
        if (Goal* goal = model_->goalAt(list()->currentIndex().row()))
            openGoal(*goal);
    });
    assemble({GoalListModel::title(),
              {search_, add_},
              model_->list(),
              delegate_,
              new GuidedEmptyState(GoalListModel::emptyTitle(), GoalListModel::emptySymbol(),
                                   GoalListModel::emptyDescription(), env_.preferences()),
              model_->undoBanner(),
              open_,
              [this] { model_->deleteGoals(selectedGoals()); }});

    addScreenKey(this, QKeySequence::New, [this] { presentGoalForm(); });
    addScreenKey(this, QKeySequence::Find, [this] {
        search_->setFocus(Qt::ShortcutFocusReason);
        search_->selectAll();
    });

    connect(model_, &GoalListModel::changed, this, &GoalListView::render);
    render();
}

void GoalListView::render() {
    emptyState()->setVisible(model_->showsEmptyState());
    // Focus on the screen means the list, or "Add Goal" while nothing is listed.
    const bool listHadFocus = list()->hasFocus();
    list()->setVisible(!model_->showsEmptyState());
    focusListOr(add_, listHadFocus, search_);
    followCurrentRow();
}

void GoalListView::updateRowActions(int row) {
    const bool onRow = model_->goalAt(row) != nullptr;
    open_->setVisible(onRow);
    deleteAction()->setVisible(onRow || !selectedGoals().empty());
    for (QAction* action : {open_, deleteAction()})
        action->setEnabled(action->isVisible());
}

std::vector<Goal*> GoalListView::selectedGoals() const {
    return recordsAtHand([this](int row) { return model_->goalAt(row); });
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
                list()->selectionModel()->setCurrentIndex(model_->list()->index(row),
                                                          QItemSelectionModel::ClearAndSelect);
            list()->setFocus(Qt::OtherFocusReason);
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
