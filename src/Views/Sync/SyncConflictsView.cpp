#include "Views/Sync/SyncConflictsView.h"

#include "Services/AppEnvironment.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Sync/SyncConflictsModel.h"

namespace orvana {

SyncConflictsView::SyncConflictsView(AppEnvironment& environment, QWidget* parent)
    : SyncListPage(parent), model_(new SyncConflictsModel(environment, this)) {
    setObjectName(QStringLiteral("SyncConflictsView"));
    assemble(
        {SyncConflictsModel::title(), model_->list(), SyncConflictsModel::DetailRole,
         new GuidedEmptyState(SyncConflictsModel::emptyTitle(), SyncConflictsModel::emptySymbol(),
                              SyncConflictsModel::emptyDescription(), environment.preferences()),
         SyncConflictsModel::useButtonText(), [this](int row) { return model_->canUse(row); },
         [this](int row) { model_->useLostValue(row); }});
    connect(model_, &SyncConflictsModel::changed, this,
            [this] { render(model_->showsEmptyState(), model_->problem()); });
    render(model_->showsEmptyState(), model_->problem());
}

} // namespace orvana
