#include "Views/Focus/FocusBlockListView.h"

#include "Models/FocusBlockTemplate.h"
#include "Services/AppEnvironment.h"
#include "Views/Focus/FocusBlockFormModel.h"
#include "Views/Focus/FocusBlockFormView.h"
#include "Views/Focus/FocusBlockListModel.h"
#include "Views/Focus/FocusBlockRowDelegate.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/RecordListView.h"
#include "Views/Shared/ScreenParts.h"
#include "Views/Shared/SymbolIcon.h"
#include "Views/Shared/UndoBanner.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace orvana {

FocusBlockListView::FocusBlockListView(AppEnvironment& environment, QWidget* parent)
    : QWidget(parent), env_(environment), model_(new FocusBlockListModel(environment, this)) {
    setObjectName(QStringLiteral("FocusBlockListView"));

    add_ = orvana::addButton(FocusBlockListModel::addButtonText());
    connect(add_, &QToolButton::clicked, this, [this] { presentBlockForm(); });

    auto* header = new QHBoxLayout;
    header->addWidget(screenTitle(FocusBlockListModel::title()));
    header->addStretch(1);
    header->addWidget(add_);

    list_ = new RecordListView;
    list_->setAccessibleName(FocusBlockListModel::title());
    list_->setModel(model_->list());
    list_->setUniformItemSizes(true);
    delegate_ = new FocusBlockRowDelegate(list_);
    list_->setItemDelegate(delegate_);
    list_->setMouseTracking(true); // tool tips on the painted button

    empty_ =
        new GuidedEmptyState(FocusBlockListModel::emptyTitle(), FocusBlockListModel::emptySymbol(),
                             FocusBlockListModel::emptyDescription(), env_.preferences());

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(list_, 1);
    layout->addWidget(empty_, 1);

    toggle_ = list_->addRowAction(tr("Pause"));
    edit_ = list_->addRowAction(tr("Edit…"));
    delete_ = list_->addRowAction(tr("Delete"), QKeySequence::Delete);
    delete_->setIcon(symbolIcon(QStringLiteral("trash")));

    auto current = [this] { return model_->blockAt(list_->currentIndex().row()); };
    connect(toggle_, &QAction::triggered, this, [this, current] {
        if (FocusBlockTemplate* block = current())
            model_->togglePaused(*block);
    });
    connect(edit_, &QAction::triggered, this, [this, current] {
        if (FocusBlockTemplate* block = current())
            presentBlockForm(block);
    });
    connect(delete_, &QAction::triggered, this, [this] { model_->deleteBlocks(selectedBlocks()); });
    connect(list_, &RecordListView::aboutToShowRowMenu, this,
            &FocusBlockListView::updateRowActions);
    connect(list_, &QAbstractItemView::activated, edit_, &QAction::trigger);
    connect(delegate_, &FocusBlockRowDelegate::toggleClicked, this,
            [this](const QModelIndex& index) {
                list_->setCurrentIndex(index);
                toggle_->trigger();
            });

    addScreenKey(this, QKeySequence::New, [this] { presentBlockForm(); });

    banner_ = new UndoBanner(this);
    banner_->bind(model_->undoBanner());

    connect(model_, &FocusBlockListModel::changed, this, &FocusBlockListView::render);
    setTabOrder(add_, list_);
    setFocusProxy(list_);
    render();
}

void FocusBlockListView::render() {
    const bool empty = model_->showsEmptyState();
    empty_->setVisible(empty);
    list_->setVisible(!empty);
    // Keyboard users land on a row.
    if (!list_->currentIndex().isValid() && !empty)
        list_->selectionModel()->setCurrentIndex(model_->list()->index(0),
                                                 QItemSelectionModel::NoUpdate);
    updateRowActions(list_->currentIndex().isValid() ? list_->currentIndex().row() : -1);
}

void FocusBlockListView::updateRowActions(int row) {
    FocusBlockTemplate* block = model_->blockAt(row);
    if (block)
        toggle_->setText(FocusBlockListModel::toggleText(*block));
    toggle_->setVisible(block);
    edit_->setVisible(block);
    delete_->setVisible(block || !selectedBlocks().empty());
    for (QAction* action : {toggle_, edit_, delete_})
        action->setEnabled(action->isVisible());
}

std::vector<FocusBlockTemplate*> FocusBlockListView::selectedBlocks() const {
    const std::vector<int> rows = list_->rowsAtHand();
    std::vector<FocusBlockTemplate*> blocks;
    for (int row : rows) {
        if (FocusBlockTemplate* block = model_->blockAt(row))
            blocks.push_back(block);
    }
    return blocks;
}

void FocusBlockListView::presentBlockForm(FocusBlockTemplate* editing) {
    auto* form = new FocusBlockFormView(new FocusBlockFormModel(env_, editing), env_, this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setWindowModality(Qt::WindowModal);
    form->show();
}

} // namespace orvana
