#include "Services/NotificationService.h"

#include "Core/Uuid.h"
#include "Models/DayTask.h"
#include "Models/FocusSession.h"
#include "Models/Goal.h"

#include <QCoreApplication>

#include <functional>
#include <limits>
#include <optional>
#include <utility>

namespace orvana {

namespace {

// What the notifications say; named so that lupdate files the texts under it.
struct NotificationText {
    Q_DECLARE_TR_FUNCTIONS(NotificationService)
};

// The delay in seconds from `now` until the request should fire.
using DelayAt = std::function<double(Timestamp now)>;

QCoro::Task<> nothing() {
    co_return;
}

// Steps 2 to 4 of every schedule (the caller has removed the old request). A
// free function holding its own copies, so that it never reaches back into a
// service that may be gone by the time the centre answers.
QCoro::Task<> addWhenAuthorized(NotificationCenter& center, Clock clock, QString identifier,
                                QString title, QString body, DelayAt delayAt) {
    try {
        if (co_await center.authorizationStatus() != NotificationAuthorization::authorized)
            co_return;
        // Measured after the status answer: the wait may have taken a while.
        const double delay = delayAt(clock());
        if (!(delay > 0)) // also rejects NaN
            co_return;
        co_await center.add(std::move(identifier), std::move(title), std::move(body), delay);
    } catch (...) {
        // Platform failures leave the app working without this notification.
    }
}

// Calendar components are ints; a value that does not fit cannot name a valid
// time, and truncating it could turn it into one.
std::optional<int> component(qint64 value) {
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

// The instant of `day`'s date at hour:minute:00.
std::optional<Timestamp> atTimeOfDay(Timestamp day, qint64 hour, qint64 minute,
                                     const Calendar& calendar) {
    const auto h = component(hour);
    const auto m = component(minute);
    if (!h || !m)
        return std::nullopt;
    DateComponents c = calendar.components(day);
    c.hour = *h;
    c.minute = *m;
    c.second = 0;
    return calendar.date(c);
}

} // namespace

NotificationService::NotificationService(NotificationCenter& center, Clock clock, Calendar calendar)
    : center_(center), clock_(std::move(clock)), calendar_(std::move(calendar)) {}

QCoro::Task<> NotificationService::requestAuthorizationIfNeeded() {
    NotificationCenter& center = center_;
    try {
        if (co_await center.authorizationStatus() != NotificationAuthorization::notDetermined)
            co_return;
        // The answer is not kept: every schedule asks for the status again.
        co_await center.requestAuthorization();
    } catch (...) {
        // A failed request counts as not granted.
    }
}

QCoro::Task<> NotificationService::scheduleEndNotification(const FocusSession& session) {
    QString identifier = notificationIdentifier(session.id());
    center_.removePendingNotificationRequests({identifier});
    return addWhenAuthorized(
        center_, clock_, std::move(identifier), endNotificationTitle(session),
        endNotificationBody(session),
        // Paused or stopped while the status was asked: nothing to announce.
        [s = &session](Timestamp now) { return s->isRunning() ? s->remaining(now) : 0.0; });
}

void NotificationService::cancelNotification(const FocusSession& session) {
    center_.removePendingNotificationRequests({notificationIdentifier(session.id())});
}

QCoro::Task<> NotificationService::scheduleReminder(const DayTask& task) {
    QString identifier = reminderIdentifier(task.id());
    center_.removePendingNotificationRequests({identifier});
    // A reminder switched off is withdrawn by the removal alone.
    if (!task.reminderAt())
        return nothing();
    // Asked again once the centre has answered: a task deleted, completed or
    // given another reminder time meanwhile gets no reminder from this job.
    return addWhenAuthorized(
        center_, clock_, std::move(identifier),
        NotificationText::tr("Reminder", "the title of a task's reminder notification"),
        task.title(), [t = &task, at = *task.reminderAt()](Timestamp now) {
            if (t->isDeleted() || t->isComplete() || t->reminderAt() != at)
                return 0.0;
            return at - now;
        });
}

void NotificationService::cancelReminder(const DayTask& task) {
    center_.removePendingNotificationRequests({reminderIdentifier(task.id())});
}

QCoro::Task<> NotificationService::scheduleDailyPlanningNudge(qint64 hour, qint64 minute) {
    const QString identifier = QString::fromLatin1(dailyPlanningNudgeIdentifier);
    center_.removePendingNotificationRequests({identifier});
    return addWhenAuthorized(center_, clock_, identifier, NotificationText::tr("Plan your day"),
                             NotificationText::tr("Today's One Thing isn't set yet."),
                             [hour, minute, calendar = calendar_](Timestamp now) {
                                 return nextOccurrence(hour, minute, now, calendar) - now;
                             });
}

void NotificationService::cancelDailyPlanningNudge() {
    center_.removePendingNotificationRequests({QString::fromLatin1(dailyPlanningNudgeIdentifier)});
}

QCoro::Task<> NotificationService::scheduleWeeklyRitualNudge(qint64 weekday, qint64 hour,
                                                             qint64 minute) {
    const QString identifier = QString::fromLatin1(weeklyRitualNudgeIdentifier);
    center_.removePendingNotificationRequests({identifier});
    return addWhenAuthorized(
        center_, clock_, identifier, NotificationText::tr("Weekly review"),
        NotificationText::tr("See what moved this week, and plan the next one."),
        [weekday, hour, minute, calendar = calendar_](Timestamp now) {
            return nextWeeklyOccurrence(weekday, hour, minute, now, calendar) - now;
        });
}

void NotificationService::cancelWeeklyRitualNudge() {
    center_.removePendingNotificationRequests({QString::fromLatin1(weeklyRitualNudgeIdentifier)});
}

QString NotificationService::notificationIdentifier(const QUuid& sessionID) {
    return QStringLiteral("focus-session-end-") + uuidText(sessionID);
}

QString NotificationService::reminderIdentifier(const QUuid& taskID) {
    return QStringLiteral("task-reminder-") + uuidText(taskID);
}

QString NotificationService::endNotificationTitle(const FocusSession& session) {
    if (!session.pomodoroCycleNumber())
        return NotificationText::tr("Focus session complete");
    if (session.kind() == FocusSessionKind::work)
        return NotificationText::tr("Work session complete — take a break");
    return NotificationText::tr("Break's over — back to it");
}

QString NotificationService::endNotificationBody(const FocusSession& session) {
    if (const DayTask* task = session.dayTask())
        return task->title();
    if (const Goal* goal = session.goal())
        return goal->title();
    return NotificationText::tr("Nice work.");
}

Timestamp NotificationService::nextOccurrence(qint64 hour, qint64 minute, Timestamp after,
                                              const Calendar& calendar) {
    const auto today = atTimeOfDay(after, hour, minute, calendar);
    if (!today)
        return after;
    if (*today > after)
        return *today;
    // A calendar day, not 24 hours: the wall time stays put across DST changes.
    return calendar.addDays(*today, 1).value_or(*today);
}

Timestamp NotificationService::nextWeeklyOccurrence(qint64 weekday, qint64 hour, qint64 minute,
                                                    Timestamp after, const Calendar& calendar) {
    // Eight candidates: the chosen weekday comes up twice, so a time already
    // passed today still finds next week's.
    for (int offset = 0; offset <= 7; ++offset) {
        const auto day = calendar.addDays(after, offset);
        if (!day || calendar.weekday(*day) != weekday)
            continue;
        const auto candidate = atTimeOfDay(*day, hour, minute, calendar);
        if (candidate && *candidate > after)
            return *candidate;
    }
    return calendar.addDays(after, 7).value_or(after);
}

} // namespace orvana
