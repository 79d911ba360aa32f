#pragma once

#include "Views/Shared/RecordListScreen.h"

#include <vector>

class QAction;
class QDialog;
class QToolButton;

namespace orvana {

class AppEnvironment;
class PlanWeekDialog;
class PlannedWeekDialog;
class Week;
class WeekListModel;
class WeekRowDelegate;
class WeeklyRitualView;

// The "Weeks" screen: renders a WeekListModel and forwards what the user
// does. Return or a double click opens a week's detail on the section's
// stack; Delete deletes every selected week. "Plan a Week" (Ctrl+N) asks for
// a day and shows that week in a dialog; "Start This Week's Ritual" finds or
// makes this week and runs its ritual in a dialog over the screen.
class WeekListView : public RecordListScreen {
    Q_OBJECT
public:
    explicit WeekListView(AppEnvironment& environment, QWidget* parent = nullptr);

    WeekListModel* model() const { return model_; }
    QToolButton* ritualButton() const { return ritual_; }
    QToolButton* planButton() const { return plan_; }
    QAction* openAction() const { return open_; }
    // The open dialogs, if any.
    PlanWeekDialog* planDialog() const;
    PlannedWeekDialog* plannedWeekDialog() const;

    // "Plan a Week", window-modal over this screen.
    void presentPlanDialog();
    // The week's detail in a dialog with "Done".
    void presentPlannedWeek(Week& week);
    // Pushes the week's detail onto the section's navigation stack.
    void openWeek(Week& week);
    // Finds or makes this week and opens its ritual, window-modal.
    void startRitual();
    // The open ritual, if any.
    WeeklyRitualView* ritualDialog() const;

private:
    void returnToWeekAfter(QDialog* dialog, const Week& week);
    void render();
    void updateRowActions(int row) override;
    std::vector<Week*> selectedWeeks() const;

    AppEnvironment& env_;
    WeekListModel* model_;
    QToolButton* ritual_ = nullptr;
    QToolButton* plan_ = nullptr;
    WeekRowDelegate* delegate_ = nullptr;
    QAction* open_ = nullptr;
};

} // namespace orvana
