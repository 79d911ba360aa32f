#pragma once

#include "Views/Shared/RecordListScreen.h"

#include <vector>

class QAction;
class QLineEdit;
class QToolButton;

namespace orvana {

class AppEnvironment;
class Goal;
class GoalListModel;
class GoalRowDelegate;

// The "Goals" screen: renders a GoalListModel and forwards what the user
// does. Return or a double click opens a goal's detail on the section's
// stack; Delete deletes every selected row (as shown under the search).
class GoalListView : public RecordListScreen {
    Q_OBJECT
public:
    explicit GoalListView(AppEnvironment& environment, QWidget* parent = nullptr);

    GoalListModel* model() const { return model_; }
    QLineEdit* searchField() const { return search_; }
    QToolButton* addButton() const { return add_; }
    QAction* openAction() const { return open_; }

    // "New Goal", window-modal over this screen.
    void presentGoalForm();
    // Pushes the goal's detail onto the section's navigation stack.
    void openGoal(Goal& goal);

private:
    void render();
    void updateRowActions(int row) override;
    std::vector<Goal*> selectedGoals() const;

    AppEnvironment& env_;
    GoalListModel* model_;
    QLineEdit* search_ = nullptr;
    QToolButton* add_ = nullptr;
    GoalRowDelegate* delegate_ = nullptr;
    QAction* open_ = nullptr;
};

} // namespace orvana
