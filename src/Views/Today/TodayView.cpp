#include "Views/Today/TodayView.h"

#include "Models/FocusBlockTemplate.h"
#include "Services/AppEnvironment.h"
#include "Services/Preferences.h"
#include "Store/ModelContext.h"
#include "Views/Focus/FocusTimerView.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/RecordListView.h"
#include "Views/Shared/ScreenParts.h"
#include "Views/Shared/SymbolIcon.h"
#include "Views/Shared/UndoBanner.h"
#include "Views/Today/DayTaskFormModel.h"
#include "Views/Today/DayTaskFormView.h"
#include "Views/Today/TodayModel.h"
#include "Views/Today/TodayRowDelegate.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace orvana {

TodayView::TodayView(AppEnvironment& environment, QWidget* parent)
    : QWidget(parent), env_(environment), model_(new TodayModel(environment, this)) {
    search_ = orvana::searchField(TodayModel::searchPrompt());
    connect(search_, &QLineEdit::textChanged, model_, &TodayModel::setSearchText);

    add_ = orvana::addButton(TodayModel::addButtonText());
    connect(add_, &QToolButton::clicked, this, [this] { presentTaskForm(); });

    auto* header = new QHBoxLayout;
    header->addWidget(screenTitle(TodayModel::title()));
    header->addStretch(1);
    header->addWidget(search_);
    header->addWidget(add_);

    list_ = new RecordListView;
    list_->setAccessibleName(TodayModel::title());
    list_->setModel(model_->list());
    delegate_ = new TodayRowDelegate(list_);
    list_->setItemDelegate(delegate_);
    list_->setDragDropMode(QAbstractItemView::InternalMove);
    list_->setDefaultDropAction(Qt::MoveAction);
    list_->setDragEnabled(true);
    list_->setAcceptDrops(true);
    list_->setDropIndicatorShown(true);
    // Years of unfinished tasks can be overdue: lay rows out a batch per
    // event-loop turn so the window stays responsive meanwhile.
    list_->setLayoutMode(QListView::Batched);
    list_->setBatchSize(200);

    empty_ = new GuidedEmptyState(TodayModel::emptyTitle(), TodayModel::emptySymbol(),
                                  TodayModel::emptyDescription(), env_.preferences());

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(list_, 1);
    layout->addWidget(empty_, 1);

    toggle_ = list_->addRowAction(tr("Mark as Done"));
    moveToToday_ = list_->addRowAction(tr("Move to Today"), QKeySequence(Qt::CTRL | Qt::Key_T));
    focus_ =
        list_->addRowAction(tr("Start a focus session"), QKeySequence(Qt::CTRL | Qt::Key_Return));
    focus_->setIcon(symbolIcon(QStringLiteral("timer")));
    start_ = list_->addRowAction(tr("Start", "begin a focus session on the task"),
                                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Return));
    edit_ = list_->addRowAction(tr("Edit…"));
    moveUp_ = list_->addRowAction(tr("Move Up"), QKeySequence(Qt::ALT | Qt::Key_Up));
    moveDown_ = list_->addRowAction(tr("Move Down"), QKeySequence(Qt::ALT | Qt::Key_Down));
    delete_ = list_->addRowAction(tr("Delete"), QKeySequence::Delete);
    delete_->setIcon(symbolIcon(QStringLiteral("trash")));

    auto current = [this] { return list_->currentIndex().row(); };
    connect(toggle_, &QAction::triggered, this, [this, current] {
        if (DayTask* task = model_->taskAt(current()))
            model_->toggleComplete(*task);
    });
    connect(moveToToday_, &QAction::triggered, this, [this, current] {
        if (DayTask* task = model_->taskAt(current());
            task && task->date() < model_->startOfToday())
            model_->moveToToday(*task);
    });
    connect(focus_, &QAction::triggered, this, [this, current] {
        if (DayTask* task = model_->taskAt(current()))
            model_->startFocus(*task);
    });
    connect(start_, &QAction::triggered, this, [this, current] {
        if (FocusBlockTemplate* block = model_->templateAt(current()))
            model_->startBlock(*block);
    });
    connect(edit_, &QAction::triggered, this, [this, current] {
        if (DayTask* task = model_->taskAt(current()))
            presentTaskForm(task);
    });
    connect(delete_, &QAction::triggered, this,
            [this] { model_->deleteTasks(selectedDeletableTasks()); });
    connect(moveUp_, &QAction::triggered, this,
            [this, current] { model_->moveTaskRow(current(), -1); });
    connect(moveDown_, &QAction::triggered, this,
            [this, current] { model_->moveTaskRow(current(), 1); });
    connect(list_, &RecordListView::aboutToShowRowMenu, this, &TodayView::updateRowActions);
    connect(list_, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { activateRow(index.row()); });
    connect(delegate_, &TodayRowDelegate::buttonClicked, this,
            [this](const QModelIndex& index, TodayRowDelegate::Button button) {
                list_->setCurrentIndex(index);
                if (button == TodayRowDelegate::Button::timer)
                    focus_->trigger();
                else if (model_->templateAt(index.row()))
                    start_->trigger();
                else
                    moveToToday_->trigger();
            });

    addScreenKey(this, QKeySequence::New, [this] { presentTaskForm(); });
    addScreenKey(this, QKeySequence::Find, [this] {
        search_->setFocus(Qt::ShortcutFocusReason);
        search_->selectAll();
    });

    banner_ = new UndoBanner(this);
    banner_->bind(model_->undoBanner());

    connect(model_, &TodayModel::focusRequested, this, [this](DayTask* task) {
        // The task's own goal only, as the timer credits it.
        presentFocusTimer(env_, window(), task, task->goal());
    });
    connect(model_, &TodayModel::changed, this, &TodayView::render);
    setTabOrder(search_, add_);
    setTabOrder(add_, list_);
    render();
    updateRowActions(-1);
}

void TodayView::render() {
    empty_->setVisible(model_->showsEmptyState());
    const bool hasRows = model_->list()->rowCount() > 0;
    // Focus on the screen means the list, or "Add Task" while nothing is listed.
    const bool listHadFocus = list_->hasFocus();
    list_->setVisible(hasRows);
    setFocusProxy(hasRows ? static_cast<QWidget*>(list_) : add_);
    if (listHadFocus && !hasRows)
        add_->setFocus(Qt::OtherFocusReason);
    // Keyboard users land on a row, not on a header.
    if (!list_->currentIndex().isValid() || !model_->list()->rowAt(list_->currentIndex().row())) {
        for (int row = 0; row < model_->list()->rowCount(); ++row) {
            if (model_->list()->flags(model_->list()->index(row)) & Qt::ItemIsSelectable) {
                list_->selectionModel()->setCurrentIndex(model_->list()->index(row),
                                                         QItemSelectionModel::NoUpdate);
                break;
            }
        }
    }
    updateRowActions(list_->currentIndex().isValid() ? list_->currentIndex().row() : -1);
}

void TodayView::updateRowActions(int row) {
    DayTask* task = model_->taskAt(row);
    FocusBlockTemplate* block = model_->templateAt(row);
    toggle_->setVisible(task);
    if (task)
        toggle_->setText(task->isComplete() ? tr("Mark as Not Done") : tr("Mark as Done"));
    moveToToday_->setVisible(task && task->date() < model_->startOfToday());
    focus_->setVisible(task);
    start_->setVisible(block);
    edit_->setVisible(task);
    const bool deletable = model_->isDeletableRow(row);
    moveUp_->setVisible(deletable);
    moveDown_->setVisible(deletable);
    delete_->setVisible(deletable || !selectedDeletableTasks().empty());
    for (QAction* action :
         {toggle_, moveToToday_, focus_, start_, edit_, moveUp_, moveDown_, delete_})
        action->setEnabled(action->isVisible());
}

void TodayView::activateRow(int row) {
    if (model_->taskAt(row))
        edit_->trigger();
    else if (model_->templateAt(row))
        start_->trigger();
}

std::vector<DayTask*> TodayView::selectedDeletableTasks() const {
    const std::vector<int> rows = list_->rowsAtHand();
    std::vector<DayTask*> tasks;
    for (int row : rows) {
        if (model_->isDeletableRow(row))
            tasks.push_back(model_->taskAt(row));
    }
    // A selection of rows that don't delete (the one thing, say) leaves the
    // row at hand.
    if (tasks.empty() && model_->isDeletableRow(list_->currentIndex().row()))
        tasks.push_back(model_->taskAt(list_->currentIndex().row()));
    return tasks;
}

void TodayView::presentTaskForm(DayTask* editing) {
    auto* form = new DayTaskFormView(new DayTaskFormModel(env_, editing), env_, this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setWindowModality(Qt::WindowModal);
    // Back on the list, at the task just saved, so the keyboard goes on from there.
    connect(form, &QDialog::accepted, this, [this, form] {
        DayTask* saved = form->model()->savedTask();
        QTimer::singleShot(0, this, [this, saved] {
            const int row = saved
                                ? model_->list()->rowOf(QStringLiteral("task:") +
                                                        saved->id().toString(QUuid::WithoutBraces))
                                : -1;
            if (row >= 0)
                list_->selectionModel()->setCurrentIndex(model_->list()->index(row),
                                                         QItemSelectionModel::ClearAndSelect);
            list_->setFocus(Qt::OtherFocusReason);
        });
    });
    form->show();
}

void TodayView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    model_->checkDay();
}

} // namespace orvana
