#include "Views/Focus/FocusTimerController.h"

#include "Services/NotificationService.h"
#include "Services/Preferences.h"
#include "Store/ModelContext.h"
#include "Views/Shared/Stepping.h"

#include <QPointer>
#include <algorithm>
#include <cmath>

namespace orvana {

namespace {

// Clears the busy flag however the coroutine leaves.
struct BusyGuard {
    QPointer<QObject> owner;
    bool* flag;
    ~BusyGuard() {
        if (owner)
            *flag = false;
    }
};

QString kindName(FocusSessionKind kind) {
    switch (kind) {
    case FocusSessionKind::work:
        return FocusTimerController::tr("Work", "Pomodoro phase");
    case FocusSessionKind::shortBreak:
        return FocusTimerController::tr("Short Break");
    case FocusSessionKind::longBreak:
        return FocusTimerController::tr("Long Break");
    }
    return {};
}

} // namespace

FocusTimerController::FocusTimerController(ModelContext& context, Preferences& preferences,
                                           NotificationService& notifications, DayTask* dayTask,
                                           Goal* goal, Clock clock, QObject* parent)
    : QObject(parent), context_(context), preferences_(preferences), notifications_(notifications),
      dayTask_(dayTask), goal_(goal), clock_(std::move(clock)), now_(clock_()) {
    ticker_.setInterval(1000);
    ticker_.setTimerType(Qt::PreciseTimer);
    connect(&ticker_, &QTimer::timeout, this, &FocusTimerController::tick);
    connect(&preferences_, &Preferences::valueChanged, this, &FocusTimerController::changed);
}

FocusTimerController::Phase FocusTimerController::phase() const {
    if (!session_)
        return Phase::idle;
    if (!session_->isEnded())
        return session_->isRunning() ? Phase::running : Phase::paused;
    if (session_->isCompleted() && session_->pomodoroCycleNumber())
        return Phase::transition;
    return Phase::ended;
}

void FocusTimerController::setPlannedMinutes(qint64 minutes) {
    minutes = steppedValue(minutes, minimumMinutes_, maximumMinutes_, durationStep);
    if (plannedMinutes_ == minutes)
        return;
    plannedMinutes_ = minutes;
    emit changed();
}

void FocusTimerController::setGoal(Goal* goal) {
    if (session_ || pendingSession_ || dayTask_ || goal_ == goal)
        return;
    goal_ = goal;
    emit changed();
}

void FocusTimerController::setPomodoroMode(bool on) {
    if (pomodoroMode_ == on)
        return;
    pomodoroMode_ = on;
    emit changed();
}

PomodoroSettings FocusTimerController::pomodoroSettings() const {
    PomodoroSettings s;
    s.workMinutes = preferences_.value(PreferenceKeys::pomodoroWorkMinutes);
    s.shortBreakMinutes = preferences_.value(PreferenceKeys::pomodoroShortBreakMinutes);
    s.longBreakMinutes = preferences_.value(PreferenceKeys::pomodoroLongBreakMinutes);
    s.cyclesBeforeLongBreak = preferences_.value(PreferenceKeys::pomodoroCyclesBeforeLongBreak);
    return s;
}

FocusSession* FocusTimerController::newSession(double plannedSeconds, FocusSessionKind kind,
                                               std::optional<qint64> cycle) {
    auto* s = context_.create<FocusSession>(plannedSeconds, now_, 0.0, std::nullopt, std::nullopt,
                                            false, false, kind, cycle);
    s->setDayTask(dayTask_);
    s->setGoal(goal_);
    return s;
}

QCoro::Task<> FocusTimerController::start() {
    if (busy_ || session_)
        co_return;
    busy_ = true;
    QPointer<FocusTimerController> self(this);
    BusyGuard guard{this, &busy_};
    co_await notifications_.requestAuthorizationIfNeeded();
    if (!self)
        co_return;
    now_ = clock_();
    FocusSession* s = pendingSession_;
    if (!s) {
        // Settings are whole minutes within small bounds; a hand-edited
        // absurd value is clamped by nextPomodoroStep's rules as well.
        const double minutes =
            double(pomodoroMode_ ? pomodoroSettings().workMinutes : plannedMinutes_);
        s = newSession(minutes * 60.0, FocusSessionKind::work,
                       pomodoroMode_ ? std::optional<qint64>(1) : std::nullopt);
    }
    s->start(now_);
    session_ = s;
    pendingSession_ = nullptr;
    emit changed();
    announce();
    co_await notifications_.scheduleEndNotification(*s);
}

QCoro::Task<> FocusTimerController::togglePause() {
    if (!session_ || session_->isEnded())
        co_return;
    now_ = clock_();
    FocusSession* s = session_;
    // Pausing is always possible, even while a start still waits for the
    // notification centre (that schedule then finds the session paused).
    if (s->isRunning()) {
        s->pause(now_);
        notifications_.cancelNotification(*s);
        emit changed();
        announce();
        co_return;
    }
    if (busy_)
        co_return;
    busy_ = true;
    QPointer<FocusTimerController> self(this);
    BusyGuard guard{this, &busy_};
    s->resume(now_);
    emit changed();
    announce();
    co_await notifications_.scheduleEndNotification(*s);
}

void FocusTimerController::endSession(FocusSession& s) {
    // A segment whose time ran out while the machine slept or the app was
    // closed ends at its planned end (plus the tick's second), not hours
    // later: the trail must not credit time nobody worked.
    Timestamp at = now_;
    if (s.isRunning() && s.remaining(now_) <= 0) {
        const Timestamp plannedEnd =
            *s.currentSegmentStartedAt() + (s.plannedDuration() - s.accumulatedActiveDuration());
        at = std::min(now_, plannedEnd + 1.0);
    }
    s.stop(at);
    notifications_.cancelNotification(s);
    TrailEntry::logIfNeeded(s, context_);
    emit changed();
    announce();
}

void FocusTimerController::announce() {
    announcedAt_ = now_;
    emit announcementDue();
}

void FocusTimerController::stop() {
    if (!session_ || session_->isEnded())
        return;
    now_ = clock_();
    endSession(*session_);
}

QCoro::Task<> FocusTimerController::startNextSegment() {
    if (busy_ || phase() != Phase::transition)
        co_return;
    busy_ = true;
    QPointer<FocusTimerController> self(this);
    BusyGuard guard{this, &busy_};
    co_await notifications_.requestAuthorizationIfNeeded();
    if (!self || phase() != Phase::transition)
        co_return;
    now_ = clock_();
    const FocusSession& ended = *session_;
    const PomodoroStep step = FocusSession::nextPomodoroStep(
        ended.kind(), ended.pomodoroCycleNumber(), pomodoroSettings());
    FocusSession* next = newSession(double(step.plannedSeconds), step.kind, step.cycleNumber);
    next->start(now_);
    session_ = next;
    emit changed();
    announce();
    co_await notifications_.scheduleEndNotification(*next);
}

void FocusTimerController::tick() {
    now_ = clock_();
    if (!session_)
        return; // nothing on screen depends on the time
    if (session_->isRunning() && session_->remaining(now_) <= 0) {
        endSession(*session_); // no longer running: a segment ends once
        return;
    }
    emit changed();
    if (session_->isRunning() && (!announcedAt_ || now_ - *announcedAt_ >= 10.0))
        announce();
}

void FocusTimerController::resumeExistingSessionIfAny() {
    now_ = clock_();
    if (!dayTask_ || session_)
        return;
    for (FocusSession* s : dayTask_->focusSessions()) {
        if (!s->isEnded() && (s->isRunning() || s->accumulatedActiveDuration() > 0)) {
            session_ = s;
            if (s->pomodoroCycleNumber())
                pomodoroMode_ = true;
            emit changed();
            return;
        }
    }
    for (FocusSession* s : dayTask_->focusSessions()) {
        if (!s->isEnded() && !s->isRunning() && s->accumulatedActiveDuration() == 0) {
            pendingSession_ = s;
            const double minutes = std::trunc(s->plannedDuration() / 60.0);
            plannedMinutes_ = minutes >= 1.0 ? qint64(std::min(minutes, 1e15)) : 1;
            minimumMinutes_ = std::min(minimumMinutes_, plannedMinutes_);
            maximumMinutes_ = std::max(maximumMinutes_, plannedMinutes_);
            if (s->pomodoroCycleNumber())
                pomodoroMode_ = true;
            emit changed();
            return;
        }
    }
}

void FocusTimerController::pauseIfRunning() {
    if (!session_ || !session_->isRunning())
        return;
    now_ = clock_();
    session_->pause(now_);
    notifications_.cancelNotification(*session_);
    emit changed();
}

void FocusTimerController::setTicking(bool on) {
    if (on) {
        now_ = clock_();
        ticker_.start();
    } else {
        ticker_.stop();
    }
}

QString FocusTimerController::title() const {
    if (dayTask_)
        return dayTask_->title();
    return goal_ ? goal_->title() : QString();
}

QString FocusTimerController::pomodoroDescription() const {
    const PomodoroSettings s = pomodoroSettings();
    return tr("Work %1 min, then a break — every %2th break is %3 min instead of %4. Change "
              "these in Settings.")
        .arg(QString::number(s.workMinutes), QString::number(s.cyclesBeforeLongBreak),
             QString::number(s.longBreakMinutes), QString::number(s.shortBreakMinutes));
}

QString FocusTimerController::durationLabel() const {
    return tr("Duration: %1 min").arg(plannedMinutes_);
}

QString FocusTimerController::pomodoroCaption() const {
    if (!session_ || !session_->pomodoroCycleNumber())
        return {};
    return tr("%1 — Pomodoro %2 of %3")
        .arg(kindName(session_->kind()), QString::number(*session_->pomodoroCycleNumber()),
             QString::number(pomodoroSettings().cyclesBeforeLongBreak));
}

QString FocusTimerController::countdownText() const {
    return session_ ? formattedRemaining(session_->remaining(now_)) : QString();
}

QString FocusTimerController::pauseButtonText() const {
    return session_ && session_->isRunning() ? tr("Pause", "the timer") : tr("Resume", "the timer");
}

QString FocusTimerController::transitionMessage() const {
    if (!session_)
        return {};
    return session_->kind() == FocusSessionKind::work ? tr("Work session complete.")
                                                      : tr("Break's over.");
}

QString FocusTimerController::nextSegmentButtonText() const {
    if (!session_)
        return {};
    return session_->kind() == FocusSessionKind::work ? tr("Start Break")
                                                      : tr("Start Next Work Interval");
}

QString FocusTimerController::endedMessage() const {
    return session_ && session_->isCompleted() ? tr("Completed", "focus session")
                                               : tr("Stopped early");
}

QString FocusTimerController::formattedRemaining(double seconds) {
    // Imported durations can be absurd; keep the arithmetic in range.
    if (!std::isfinite(seconds))
        seconds = 0;
    seconds = std::clamp(seconds, -1e15, 1e15);
    const qint64 total = qint64(std::round(seconds)); // halves away from zero
    const qint64 m = total / 60;
    const qint64 s = total - 60 * m;
    return QString::asprintf("%02lld:%02lld", static_cast<long long>(m), static_cast<long long>(s));
}

namespace {

// "24 minutes 35 seconds": the digits of the countdown, as words.
QString spokenDuration(double seconds) {
    const qint64 total =
        qint64(std::round(std::clamp(std::isfinite(seconds) ? seconds : 0.0, 0.0, 1e15)));
    const qint64 m = total / 60;
    const qint64 s = total % 60;
    const QString minutes = FocusTimerController::tr("%n minutes", nullptr, int(m));
    const QString secondsText = FocusTimerController::tr("%n seconds", nullptr, int(s));
    if (m == 0)
        return secondsText;
    return s == 0 ? minutes
                  : FocusTimerController::tr("%1 %2", "minutes, then seconds")
                        .arg(minutes, secondsText);
}

} // namespace

QString FocusTimerController::spokenStatus() const {
    switch (phase()) {
    case Phase::idle:
        return {};
    case Phase::running:
        return tr("%1 remaining").arg(spokenDuration(session_->remaining(now_)));
    case Phase::paused:
        return tr("Paused, %1 remaining").arg(spokenDuration(session_->remaining(now_)));
    case Phase::transition:
        return transitionMessage();
    case Phase::ended:
        return endedMessage();
    }
    return {};
}

QString FocusTimerController::guidanceFooter() {
    return tr("If you close this window while it's running, it pauses automatically — reopen the "
              "task to pick back up where you left off.");
}

} // namespace orvana
