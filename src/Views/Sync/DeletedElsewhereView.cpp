#include "Views/Sync/DeletedElsewhereView.h"

#include "Services/AppEnvironment.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Sync/DeletedElsewhereModel.h"

namespace orvana {

DeletedElsewhereView::DeletedElsewhereView(AppEnvironment& environment, QWidget* parent)
    : SyncListPage(parent), model_(new DeletedElsewhereModel(environment, this)) {
    setObjectName(QStringLiteral("DeletedElsewhereView"));
    assemble({DeletedElsewhereModel::title(), model_->list(), DeletedElsewhereModel::DetailRole,
              new GuidedEmptyState(
                  DeletedElsewhereModel::emptyTitle(), DeletedElsewhereModel::emptySymbol(),
                  DeletedElsewhereModel::emptyDescription(), environment.preferences()),
              DeletedElsewhereModel::restoreButtonText(),
              [this](int row) { return row >= 0 && row < int(model_->records().size()); },
              [this](int row) { model_->restore(row); }});
    connect(model_, &DeletedElsewhereModel::changed, this,
            [this] { render(model_->showsEmptyState(), model_->problem()); });
    render(model_->showsEmptyState(), model_->problem());
}

} // namespace orvana
