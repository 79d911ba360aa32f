#pragma once

#include "Core/Clock.h"
#include "Models/FocusSession.h"

#include <QObject>
#include <QTimer>
#include <optional>
#include <qcoro/qcorotask.h>

namespace orvana {

class DayTask;
class Goal;
class ModelContext;
class NotificationService;
class Preferences;

// What the focus timer window shows and does, without widgets: which session
// runs, plain and Pomodoro starts, pause/resume, stop, the next Pomodoro
// segment, the one-second tick that ends a segment on time, picking a
// session up again when the window reopens and pausing when it closes.
// Finished sessions go to the trail; the end-of-segment notification is
// scheduled and withdrawn with every change.
//
// The asynchronous actions wait only for the notification centre; while one
// is under way, further start/pause presses are ignored.
class FocusTimerController : public QObject {
    Q_OBJECT
public:
    enum class Phase {
        idle,       // no session yet: mode switch, duration, start
        running,    // countdown with Pause and Stop
        paused,     // countdown with Resume and Stop
        transition, // a completed Pomodoro segment: offer the next one
        ended,      // "Completed" or "Stopped early"
    };

    FocusTimerController(ModelContext& context, Preferences& preferences,
                         NotificationService& notifications, DayTask* dayTask, Goal* goal,
                         Clock clock = systemClock(), QObject* parent = nullptr);

    DayTask* dayTask() const { return dayTask_; }
    Goal* goal() const { return goal_; }
    FocusSession* session() const { return session_; }
    FocusSession* pendingSession() const { return pendingSession_; }
    Timestamp now() const { return now_; }
    Phase phase() const;

    static constexpr int durationStep = 5;
    qint64 plannedMinutes() const { return plannedMinutes_; }
    // Lands on the stepper's step within its range.
    void setPlannedMinutes(qint64 minutes);
    // A quick timer asked for again on a goal: taken only while no session
    // has started in it (a task's timer keeps the task's goal).
    void setGoal(Goal* goal);
    // The stepper's range: 5...120, widened to hold a prepared session's own
    // length.
    qint64 minimumMinutes() const { return minimumMinutes_; }
    qint64 maximumMinutes() const { return maximumMinutes_; }
    bool isPomodoroMode() const { return pomodoroMode_; }
    void setPomodoroMode(bool on);
    // Read live from the preferences: a change applies to the next segment.
    PomodoroSettings pomodoroSettings() const;

    // --- actions -------------------------------------------------------
    QCoro::Task<> start();
    QCoro::Task<> togglePause();
    void stop();
    QCoro::Task<> startNextSegment();
    // Once a second: refreshes now and ends a running segment whose time is up.
    void tick();
    // Window lifecycle.
    void resumeExistingSessionIfAny();
    void pauseIfRunning();
    // Starts/stops the one-second tick (the window does this on show/hide).
    void setTicking(bool on);

    // --- texts ---------------------------------------------------------
    QString title() const;
    QString pomodoroDescription() const;
    QString durationLabel() const;
    QString pomodoroCaption() const; // empty for a plain session
    QString countdownText() const;
    QString pauseButtonText() const;
    QString transitionMessage() const;
    QString nextSegmentButtonText() const;
    QString endedMessage() const;
    static QString formattedRemaining(double seconds);
    // What a screen reader is told: "24 minutes 35 seconds remaining",
    // "Paused, ..." or how the session ended; empty while idle.
    QString spokenStatus() const;
    static QString guidanceFooter();

signals:
    void changed();
    // spokenStatus() is worth telling: on start, pause, resume and end, and
    // every ten seconds while a session runs (not every second, which would
    // drown out everything else).
    void announcementDue();

private:
    FocusSession* newSession(double plannedSeconds, FocusSessionKind kind,
                             std::optional<qint64> cycle);
    void endSession(FocusSession& session);
    void announce();

    ModelContext& context_;
    Preferences& preferences_;
    NotificationService& notifications_;
    DayTask* dayTask_;
    Goal* goal_;
    Clock clock_;
    FocusSession* session_ = nullptr;
    FocusSession* pendingSession_ = nullptr;
    qint64 plannedMinutes_ = 25;
    qint64 minimumMinutes_ = 5;
    qint64 maximumMinutes_ = 120;
    std::optional<Timestamp> announcedAt_;
    bool pomodoroMode_ = false;
    bool busy_ = false;
    Timestamp now_;
    QTimer ticker_;
};

} // namespace orvana
