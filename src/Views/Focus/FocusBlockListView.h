#pragma once

#include "Views/Shared/RecordListScreen.h"

#include <vector>

class QAction;
class QToolButton;

namespace orvana {

class AppEnvironment;
class FocusBlockListModel;
class FocusBlockRowDelegate;
class FocusBlockTemplate;

// The "Focus Blocks" screen: renders a FocusBlockListModel and forwards what
// the user does. Row actions: Pause/Resume, Edit… (Return, double click) and
// Delete (the Delete key, every selected row).
class FocusBlockListView : public RecordListScreen {
    Q_OBJECT
public:
    explicit FocusBlockListView(AppEnvironment& environment, QWidget* parent = nullptr);

    FocusBlockListModel* model() const { return model_; }
    QToolButton* addButton() const { return add_; }
    QAction* toggleAction() const { return toggle_; }
    QAction* editAction() const { return edit_; }

    // The block form, window-modal over this screen.
    void presentBlockForm(FocusBlockTemplate* editing = nullptr);

private:
    void render();
    void updateRowActions(int row) override;
    std::vector<FocusBlockTemplate*> selectedBlocks() const;

    AppEnvironment& env_;
    FocusBlockListModel* model_;
    FocusBlockRowDelegate* delegate_ = nullptr;
    QToolButton* add_ = nullptr;
    QAction* toggle_ = nullptr;
    QAction* edit_ = nullptr;
};

} // namespace orvana
