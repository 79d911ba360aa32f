#pragma once

#include "Core/Timestamp.h"

#include <QDialog>

class QDateEdit;
class QPushButton;

namespace orvana {

class AppEnvironment;
class Week;
class WeekDetailView;

// "Plan a Week": one date, "Any day in that week". "Plan" accepts, "Cancel"
// (or Esc) changes nothing.
class PlanWeekDialog : public QDialog {
    Q_OBJECT
public:
    PlanWeekDialog(AppEnvironment& environment, Timestamp shownDate, QWidget* parent = nullptr);

    QDateEdit* dateField() const { return date_; }
    QPushButton* planButton() const { return plan_; }
    QPushButton* cancelButton() const { return cancel_; }
    // The date picked, at the wall-clock time of the date shown first.
    Timestamp pickedDate() const;

private:
    AppEnvironment& env_;
    Timestamp shownDate_;
    QDateEdit* date_ = nullptr;
    QPushButton* plan_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// The week just planned, its detail in a dialog with "Done".
class PlannedWeekDialog : public QDialog {
    Q_OBJECT
public:
    PlannedWeekDialog(AppEnvironment& environment, Week& week, QWidget* parent = nullptr);

    WeekDetailView* detail() const { return detail_; }
    QPushButton* doneButton() const { return done_; }

private:
    WeekDetailView* detail_ = nullptr;
    QPushButton* done_ = nullptr;
};

} // namespace orvana
