#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace orvana {

class AppEnvironment;
class DayTask;
class FocusTimerController;
class Goal;
class Preferences;

// The focus timer window: renders a FocusTimerController and forwards the
// user's presses to it. Showing it picks up the task's unfinished session;
// closing it pauses a running one.
class FocusTimerView : public QDialog {
    Q_OBJECT
public:
    // Takes ownership of the controller.
    FocusTimerView(FocusTimerController* controller, Preferences& preferences,
                   QWidget* parent = nullptr);

    FocusTimerController& controller() const { return *controller_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void render();
    // Tells screen readers the time left (or how the session ended).
    void announce();
    // The control at hand for the phase: the keyboard goes on from there.
    void focusPhase();

    FocusTimerController* controller_;
    QLabel* title_ = nullptr;
    QWidget* idlePage_ = nullptr;
    QWidget* sessionPage_ = nullptr;
    // idle
    QCheckBox* pomodoroSwitch_ = nullptr;
    QLabel* pomodoroText_ = nullptr;
    QWidget* durationRow_ = nullptr;
    QSpinBox* duration_ = nullptr;
    QPushButton* startPlain_ = nullptr;
    QPushButton* startPomodoro_ = nullptr;
    // session
    QLabel* caption_ = nullptr;
    QLabel* countdown_ = nullptr;
    QWidget* activeControls_ = nullptr;
    QWidget* transitionPanel_ = nullptr;
    QWidget* endedPanel_ = nullptr;
    QPushButton* pauseResume_ = nullptr;
    QPushButton* stop_ = nullptr;
    QLabel* transitionText_ = nullptr;
    QPushButton* next_ = nullptr;
    QLabel* endedText_ = nullptr;
    QPushButton* endedClose_ = nullptr;
    int shownPhase_ = -1;
};

// Opens the focus timer window-modally over `parent` for a task (and the goal
// given, Today passes the task's own) or for a goal alone; it deletes itself
// when closed.
FocusTimerView* presentFocusTimer(AppEnvironment& environment, QWidget* parent, DayTask* task,
                                  Goal* goal);

} // namespace orvana
