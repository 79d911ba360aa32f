#include "Views/Weeks/WeekListView.h"

#include "Models/Week.h"
#include "Services/AppEnvironment.h"
#include "Views/Navigation/NavigationStack.h"
#include "Views/Navigation/SectionScreenFactory.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/RowListModel.h"
#include "Views/Shared/ScreenParts.h"
#include "Views/Shared/SymbolIcon.h"
#include "Views/Weeks/PlanWeekDialog.h"
#include "Views/Weeks/WeekDetailModel.h"
#include "Views/Weeks/WeekDetailView.h"
#include "Views/Weeks/WeekListModel.h"
#include "Views/Weeks/WeekRowDelegate.h"
#include "Views/Weeks/WeeklyRitualView.h"

#include <QAction>
#include <QTimer>
#include <QToolButton>

namespace orvana {

WeekListView::WeekListView(AppEnvironment& environment, QWidget* parent)
    : RecordListScreen(parent), env_(environment), model_(new WeekListModel(environment, this)) {
    ritual_ = new QToolButton;
    ritual_->setIcon(symbolIcon(QStringLiteral("sparkles")));
    ritual_->setText(WeekListModel::ritualButtonText());
    ritual_->setAccessibleName(WeekListModel::ritualButtonText());
    ritual_->setToolTip(WeekListModel::ritualButtonText());
    ritual_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(ritual_, &QToolButton::clicked, this, &WeekListView::startRitual);

    plan_ = orvana::addButton(WeekListModel::planButtonText());
    connect(plan_, &QToolButton::clicked, this, &WeekListView::presentPlanDialog);

    delegate_ = new WeekRowDelegate(list());
    open_ = list()->addRowAction(tr("Open", "show the week"));
    connect(open_, &QAction::triggered, this, [this] {
        if (Week* week = model_->weekAt(list()->currentIndex().row()))
            openWeek(*week);
    });
    assemble({WeekListModel::title(),
              {ritual_, plan_},
              model_->list(),
              delegate_,
              new GuidedEmptyState(WeekListModel::emptyTitle(), WeekListModel::emptySymbol(),
                                   WeekListModel::emptyDescription(), env_.preferences()),
              model_->undoBanner(),
              open_,
              [this] { model_->deleteWeeks(selectedWeeks()); }});

    addScreenKey(this, QKeySequence::New, [this] { presentPlanDialog(); });

    connect(model_, &WeekListModel::changed, this, &WeekListView::render);
    render();
}

void WeekListView::render() {
    emptyState()->setVisible(model_->showsEmptyState());
    // Focus on the screen means the list, or "Plan a Week" while nothing is listed.
    const bool listHadFocus = list()->hasFocus();
    list()->setVisible(model_->list()->rowCount() > 0);
    focusListOr(plan_, listHadFocus);
    followCurrentRow();
}

void WeekListView::updateRowActions(int row) {
    const bool onRow = model_->weekAt(row) != nullptr;
    open_->setVisible(onRow);
    deleteAction()->setVisible(onRow || !selectedWeeks().empty());
    for (QAction* action : {open_, deleteAction()})
        action->setEnabled(action->isVisible());
}

std::vector<Week*> WeekListView::selectedWeeks() const {
    return recordsAtHand([this](int row) { return model_->weekAt(row); });
}

namespace {

// A closed dialog lingers until its deferred deletion.
template <class Dialog> Dialog* shownDialog(const QWidget* screen) {
    for (Dialog* dialog : screen->findChildren<Dialog*>(Qt::FindDirectChildrenOnly)) {
        if (dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

} // namespace

PlanWeekDialog* WeekListView::planDialog() const {
    return shownDialog<PlanWeekDialog>(this);
}

PlannedWeekDialog* WeekListView::plannedWeekDialog() const {
    return shownDialog<PlannedWeekDialog>(this);
}

void WeekListView::presentPlanDialog() {
    if (planDialog() || plannedWeekDialog())
        return;
    auto* dialog = new PlanWeekDialog(env_, model_->pickedPlanDate(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    // The screen keeps the last date picked, even when the dialog is cancelled.
    connect(dialog, &QDialog::finished, this,
            [this, dialog] { model_->setPickedPlanDate(dialog->pickedDate()); });
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        model_->setPickedPlanDate(dialog->pickedDate());
        Week* week = model_->planPickedWeek();
        if (!week)
            return;                // the calendar cannot place the date: nothing to show
        presentPlannedWeek(*week); // the first dialog is hidden by now
    });
    dialog->show();
}

void WeekListView::presentPlannedWeek(Week& week) {
    auto* dialog = new PlannedWeekDialog(env_, week, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    returnToWeekAfter(dialog, week);
    dialog->show();
}

void WeekListView::returnToWeekAfter(QDialog* dialog, const Week& week) {
    // Back on the list, at the week the dialog was about, so the keyboard
    // goes on from there.
    const QString key = week.id().toString(QUuid::WithoutBraces);
    connect(dialog, &QDialog::finished, this, [this, key] {
        QTimer::singleShot(0, this, [this, key] {
            const int row = model_->list()->rowOf(key);
            if (row >= 0)
                list()->selectionModel()->setCurrentIndex(model_->list()->index(row),
                                                          QItemSelectionModel::ClearAndSelect);
            setFocus(Qt::OtherFocusReason);
        });
    });
}

void WeekListView::openWeek(Week& week) {
    NavigationStack* stack = navigationStackOf(this);
    if (!stack || week.isDeleted())
        return;
    auto* detail = new WeekDetailView(env_, week);
    stack->push(detail, detail->model()->title());
    connect(detail, &WeekDetailView::titleChanged, stack,
            [stack, detail](const QString& title) { stack->setPageTitle(detail, title); });
}

WeeklyRitualView* WeekListView::ritualDialog() const {
    return shownDialog<WeeklyRitualView>(this);
}

void WeekListView::startRitual() {
    Week* week = model_->ritualWeek();
    if (!week)
        return;
    auto* ritual = new WeeklyRitualView(env_, *week, this);
    ritual->setAttribute(Qt::WA_DeleteOnClose);
    returnToWeekAfter(ritual, *week);
    ritual->open();
}

} // namespace orvana
