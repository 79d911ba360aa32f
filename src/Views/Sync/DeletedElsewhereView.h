#pragma once

#include "Views/Sync/SyncListPage.h"

namespace orvana {

class AppEnvironment;
class DeletedElsewhereModel;

// The "Deleted on Another Device" page: each record a sync removed here
// in the last 30 days, and "Restore" for the current one.
class DeletedElsewhereView : public SyncListPage {
    Q_OBJECT
public:
    explicit DeletedElsewhereView(AppEnvironment& environment, QWidget* parent = nullptr);
    DeletedElsewhereModel* model() const { return model_; }

private:
    DeletedElsewhereModel* model_;
};

} // namespace orvana
