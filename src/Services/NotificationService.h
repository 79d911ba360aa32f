#pragma once

#include "Core/Calendar.h"
#include "Core/Clock.h"
#include "Services/NotificationCenter.h"

#include <QUuid>

namespace orvana {

class DayTask;
class FocusSession;

// The one place that talks to local notifications: segment ends, task
// reminders and the two nudges. Holds no state beyond its centre, clock and
// calendar; every screen may make its own, they all reach the same centre.
//
// Every schedule first removes the pending request of its identifier, then
// adds a new one only while notifications are authorised and the delay is
// above 0. Failures are silent.
//
// The removal happens before a schedule's first suspension. After that the
// returned task no longer touches the service, so a screen may drop its
// service while a schedule is in flight; the centre and the record passed in
// (the store keeps records alive) must outlive the task.
class NotificationService {
public:
    NotificationService(NotificationCenter& center, Clock clock = systemClock(),
                        Calendar calendar = Calendar::current());

    QCoro::Task<> requestAuthorizationIfNeeded();

    QCoro::Task<> scheduleEndNotification(const FocusSession& session);
    void cancelNotification(const FocusSession& session);

    QCoro::Task<> scheduleReminder(const DayTask& task);
    void cancelReminder(const DayTask& task);

    QCoro::Task<> scheduleDailyPlanningNudge(qint64 hour, qint64 minute);
    void cancelDailyPlanningNudge();

    QCoro::Task<> scheduleWeeklyRitualNudge(qint64 weekday, qint64 hour, qint64 minute);
    void cancelWeeklyRitualNudge();

    static QString notificationIdentifier(const QUuid& sessionID);
    static QString reminderIdentifier(const QUuid& taskID);
    static QString endNotificationTitle(const FocusSession& session);
    static QString endNotificationBody(const FocusSession& session);

    // The next instant at hour:minute:00 strictly after `after`; `after` itself
    // when the calendar cannot build that time (an hour outside 0...23, say).
    static Timestamp nextOccurrence(qint64 hour, qint64 minute, Timestamp after,
                                    const Calendar& calendar);
    // The next instant on `weekday` (1 = Sunday ... 7) at hour:minute:00
    // strictly after `after`; `after` + 7 days when the weekday is invalid.
    static Timestamp nextWeeklyOccurrence(qint64 weekday, qint64 hour, qint64 minute,
                                          Timestamp after, const Calendar& calendar);

    static constexpr const char* dailyPlanningNudgeIdentifier = "daily-planning-nudge";
    static constexpr const char* weeklyRitualNudgeIdentifier = "weekly-ritual-nudge";

    // The user's zone changed: later schedules use the new calendar.
    void setCalendar(const Calendar& calendar) { calendar_ = calendar; }

private:
    NotificationCenter& center_;
    Clock clock_;
    Calendar calendar_;
};

} // namespace orvana
