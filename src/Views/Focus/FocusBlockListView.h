#pragma once

#include <QWidget>
#include <vector>

class QAction;
class QToolButton;

namespace orvana {

class AppEnvironment;
class FocusBlockListModel;
class FocusBlockRowDelegate;
class FocusBlockTemplate;
class GuidedEmptyState;
class RecordListView;
class UndoBanner;

// The "Focus Blocks" screen: renders a FocusBlockListModel and forwards what
// the user does. Row actions: Pause/Resume, Edit… (Return, double click) and
// Delete (the Delete key, every selected row).
class FocusBlockListView : public QWidget {
    Q_OBJECT
public:
    explicit FocusBlockListView(AppEnvironment& environment, QWidget* parent = nullptr);

    FocusBlockListModel* model() const { return model_; }
    RecordListView* list() const { return list_; }
    QToolButton* addButton() const { return add_; }
    UndoBanner* undoBanner() const { return banner_; }
    GuidedEmptyState* emptyState() const { return empty_; }
    QAction* toggleAction() const { return toggle_; }
    QAction* editAction() const { return edit_; }
    QAction* deleteAction() const { return delete_; }

    // The block form, window-modal over this screen.
    void presentBlockForm(FocusBlockTemplate* editing = nullptr);

private:
    void render();
    void updateRowActions(int row);
    std::vector<FocusBlockTemplate*> selectedBlocks() const;

    AppEnvironment& env_;
    FocusBlockListModel* model_;
    RecordListView* list_ = nullptr;
    FocusBlockRowDelegate* delegate_ = nullptr;
    QToolButton* add_ = nullptr;
    GuidedEmptyState* empty_ = nullptr;
    UndoBanner* banner_ = nullptr;
    QAction* toggle_ = nullptr;
    QAction* edit_ = nullptr;
    QAction* delete_ = nullptr;
};

} // namespace orvana
