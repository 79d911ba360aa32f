#include "Views/Weeks/WeekListView.h"

#include "Models/Week.h"
#include "Services/AppEnvironment.h"
#include "Views/Navigation/NavigationStack.h"
#include "Views/Navigation/SectionScreenFactory.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/RecordListView.h"
#include "Views/Shared/ScreenParts.h"
#include "Views/Shared/SymbolIcon.h"
#include "Views/Shared/UndoBanner.h"
#include "Views/Weeks/PlanWeekDialog.h"
#include "Views/Weeks/WeekDetailModel.h"
#include "Views/Weeks/WeekDetailView.h"
#include "Views/Weeks/WeekListModel.h"
#include "Views/Weeks/WeekRowDelegate.h"
#include "Views/Weeks/WeeklyRitualView.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace orvana {

WeekListView::WeekListView(AppEnvironment& environment, QWidget* parent)
    : QWidget(parent), env_(environment), model_(new WeekListModel(environment, this)) {
    ritual_ = new QToolButton;
    ritual_->setIcon(symbolIcon(QStringLiteral("sparkles")));
    ritual_->setText(WeekListModel::ritualButtonText());
    ritual_->setAccessibleName(WeekListModel::ritualButtonText());
    ritual_->setToolTip(WeekListModel::ritualButtonText());
    ritual_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(ritual_, &QToolButton::clicked, this, &WeekListView::startRitual);

    plan_ = orvana::addButton(WeekListModel::planButtonText());
    connect(plan_, &QToolButton::clicked, this, &WeekListView::presentPlanDialog);

    auto* header = new QHBoxLayout;
    header->addWidget(screenTitle(WeekListModel::title()));
    header->addStretch(1);
    header->addWidget(ritual_);
    header->addWidget(plan_);

    list_ = new RecordListView;
    list_->setAccessibleName(WeekListModel::title());
    list_->setModel(model_->list());
    list_->setUniformItemSizes(true);
    delegate_ = new WeekRowDelegate(list_);
    list_->setItemDelegate(delegate_);

    empty_ = new GuidedEmptyState(WeekListModel::emptyTitle(), WeekListModel::emptySymbol(),
                                  WeekListModel::emptyDescription(), env_.preferences());

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(list_, 1);
    layout->addWidget(empty_, 1);

    open_ = list_->addRowAction(tr("Open"));
    delete_ = list_->addRowAction(tr("Delete"), QKeySequence::Delete);
    delete_->setIcon(symbolIcon(QStringLiteral("trash")));
    connect(open_, &QAction::triggered, this, [this] {
        if (Week* week = model_->weekAt(list_->currentIndex().row()))
            openWeek(*week);
    });
    connect(delete_, &QAction::triggered, this, [this] { model_->deleteWeeks(selectedWeeks()); });
    connect(list_, &RecordListView::aboutToShowRowMenu, this, &WeekListView::updateRowActions);
    connect(list_, &QAbstractItemView::activated, open_, &QAction::trigger);

    addScreenKey(this, QKeySequence::New, [this] { presentPlanDialog(); });

    banner_ = new UndoBanner(this);
    banner_->bind(model_->undoBanner());

    connect(model_, &WeekListModel::changed, this, &WeekListView::render);
    setTabOrder(ritual_, plan_);
    setTabOrder(plan_, list_);
    render();
}

void WeekListView::render() {
    empty_->setVisible(model_->showsEmptyState());
    const bool hasRows = model_->list()->rowCount() > 0;
    // Focus on the screen means the list, or "Plan a Week" while nothing is listed.
    const bool listHadFocus = list_->hasFocus();
    list_->setVisible(hasRows);
    setFocusProxy(hasRows ? static_cast<QWidget*>(list_) : plan_);
    if (listHadFocus && !hasRows)
        plan_->setFocus(Qt::OtherFocusReason);
    // Keyboard users land on a row.
    if (!list_->currentIndex().isValid() && hasRows)
        list_->selectionModel()->setCurrentIndex(model_->list()->index(0),
                                                 QItemSelectionModel::NoUpdate);
    updateRowActions(list_->currentIndex().isValid() ? list_->currentIndex().row() : -1);
}

void WeekListView::updateRowActions(int row) {
    const bool onRow = model_->weekAt(row) != nullptr;
    open_->setVisible(onRow);
    delete_->setVisible(onRow || !selectedWeeks().empty());
    for (QAction* action : {open_, delete_})
        action->setEnabled(action->isVisible());
}

std::vector<Week*> WeekListView::selectedWeeks() const {
    std::vector<Week*> weeks;
    for (int row : list_->rowsAtHand()) {
        if (Week* week = model_->weekAt(row))
            weeks.push_back(week);
    }
    return weeks;
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
                list_->selectionModel()->setCurrentIndex(model_->list()->index(row),
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
