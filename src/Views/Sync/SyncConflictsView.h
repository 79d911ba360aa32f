#pragma once

#include "Views/Sync/SyncListPage.h"

namespace orvana {

class AppEnvironment;
class SyncConflictsModel;

// The "Sync Conflicts" page: each conflict, and "Use This Value" for the
// current one.
class SyncConflictsView : public SyncListPage {
    Q_OBJECT
public:
    explicit SyncConflictsView(AppEnvironment& environment, QWidget* parent = nullptr);
    SyncConflictsModel* model() const { return model_; }

private:
    SyncConflictsModel* model_;
};

} // namespace orvana
