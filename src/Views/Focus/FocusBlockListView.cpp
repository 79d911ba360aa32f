#include "Views/Focus/FocusBlockListView.h"

#include "Models/FocusBlockTemplate.h"
#include "Services/AppEnvironment.h"
#include "Views/Focus/FocusBlockFormModel.h"
#include "Views/Focus/FocusBlockFormView.h"
#include "Views/Focus/FocusBlockListModel.h"
#include "Views/Focus/FocusBlockRowDelegate.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/ScreenParts.h"

#include <QAction>
#include <QToolButton>

namespace orvana {

FocusBlockListView::FocusBlockListView(AppEnvironment& environment, QWidget* parent)
    : RecordListScreen(parent), env_(environment),
      model_(new FocusBlockListModel(environment, this)) {
    setObjectName(QStringLiteral("FocusBlockListView"));

    add_ = orvana::addButton(FocusBlockListModel::addButtonText());
    connect(add_, &QToolButton::clicked, this, [this] { presentBlockForm(); });

    delegate_ = new FocusBlockRowDelegate(list());
    list()->setMouseTracking(true); // tool tips on the painted button

    toggle_ = list()->addRowAction(tr("Pause", "a recurring block"));
    edit_ = list()->addRowAction(tr("Edit…"));
    assemble(
        {FocusBlockListModel::title(),
         {add_},
         model_->list(),
         delegate_,
         new GuidedEmptyState(FocusBlockListModel::emptyTitle(), FocusBlockListModel::emptySymbol(),
                              FocusBlockListModel::emptyDescription(), env_.preferences()),
         model_->undoBanner(),
         edit_,
         [this] { model_->deleteBlocks(selectedBlocks()); }});

    auto current = [this] { return model_->blockAt(list()->currentIndex().row()); };
    connect(toggle_, &QAction::triggered, this, [this, current] {
        if (FocusBlockTemplate* block = current())
            model_->togglePaused(*block);
    });
    connect(edit_, &QAction::triggered, this, [this, current] {
        if (FocusBlockTemplate* block = current())
            presentBlockForm(block);
    });
    connect(delegate_, &FocusBlockRowDelegate::toggleClicked, this,
            [this](const QModelIndex& index) {
                list()->setCurrentIndex(index);
                toggle_->trigger();
            });

    addScreenKey(this, QKeySequence::New, [this] { presentBlockForm(); });

    connect(model_, &FocusBlockListModel::changed, this, &FocusBlockListView::render);
    setFocusProxy(list());
    render();
}

void FocusBlockListView::render() {
    const bool empty = model_->showsEmptyState();
    emptyState()->setVisible(empty);
    list()->setVisible(!empty);
    followCurrentRow();
}

void FocusBlockListView::updateRowActions(int row) {
    FocusBlockTemplate* block = model_->blockAt(row);
    if (block)
        toggle_->setText(FocusBlockListModel::toggleText(*block));
    toggle_->setVisible(block);
    edit_->setVisible(block);
    deleteAction()->setVisible(block || !selectedBlocks().empty());
    for (QAction* action : {toggle_, edit_, deleteAction()})
        action->setEnabled(action->isVisible());
}

std::vector<FocusBlockTemplate*> FocusBlockListView::selectedBlocks() const {
    return recordsAtHand([this](int row) { return model_->blockAt(row); });
}

void FocusBlockListView::presentBlockForm(FocusBlockTemplate* editing) {
    auto* form = new FocusBlockFormView(new FocusBlockFormModel(env_, editing), env_, this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setWindowModality(Qt::WindowModal);
    form->show();
}

} // namespace orvana
