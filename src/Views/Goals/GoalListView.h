#pragma once

#include <QWidget>
#include <vector>

class QAction;
class QLineEdit;
class QToolButton;

namespace orvana {

class AppEnvironment;
class Goal;
class GoalListModel;
class GoalRowDelegate;
class GuidedEmptyState;
class RecordListView;
class UndoBanner;

// The "Goals" screen: renders a GoalListModel and forwards what the user
// does. Return or a double click opens a goal's detail on the section's
// stack; Delete deletes every selected row (as shown under the search).
class GoalListView : public QWidget {
    Q_OBJECT
public:
    explicit GoalListView(AppEnvironment& environment, QWidget* parent = nullptr);

    GoalListModel* model() const { return model_; }
    RecordListView* list() const { return list_; }
    QLineEdit* searchField() const { return search_; }
    QToolButton* addButton() const { return add_; }
    UndoBanner* undoBanner() const { return banner_; }
    GuidedEmptyState* emptyState() const { return empty_; }
    QAction* openAction() const { return open_; }
    QAction* deleteAction() const { return delete_; }

    // "New Goal", window-modal over this screen.
    void presentGoalForm();
    // Pushes the goal's detail onto the section's navigation stack.
    void openGoal(Goal& goal);

private:
    void render();
    void updateRowActions(int row);
    std::vector<Goal*> selectedGoals() const;

    AppEnvironment& env_;
    GoalListModel* model_;
    QLineEdit* search_ = nullptr;
    QToolButton* add_ = nullptr;
    RecordListView* list_ = nullptr;
    GoalRowDelegate* delegate_ = nullptr;
    GuidedEmptyState* empty_ = nullptr;
    UndoBanner* banner_ = nullptr;
    QAction* open_ = nullptr;
    QAction* delete_ = nullptr;
};

} // namespace orvana
