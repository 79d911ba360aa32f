#pragma once

#include "Core/Calendar.h"
#include "Core/Timestamp.h"

#include <QObject>
#include <QTimer>
#include <qcoro/qcorotask.h>
#include <utility>

namespace orvana {

class ModelContext;
class NotificationService;
class Preferences;

// The two planning nudges: the daily one while Today's One Thing is not set
// for today, the weekly one while this week's ritual is not done. Each
// refresh reads the preferences and the records anew and schedules or
// withdraws both requests.
//
// Refreshes never overlap: one asked for while another runs makes that one
// start over once its current step is done, so the latest reading is what
// stays pending (a nudge switched off never survives an earlier schedule
// still in flight). A change of a nudge preference refreshes at once. Once
// keepCurrent() has been called the service also refreshes on its own: when today's one
// thing or this week's ritual comes or goes by any road (Today's list, an
// undo, an import), at each local midnight and just after the daily nudge was
// due, so an app left running nudges again the next day.
class EngagementNudgeService : public QObject {
    Q_OBJECT
public:
    EngagementNudgeService(ModelContext& context, Preferences& preferences,
                           NotificationService& notifications, Calendar calendar,
                           QObject* parent = nullptr);

    // Completes once no refresh is running or asked for any more.
    QCoro::Task<> refresh();
    // Starts the refreshes of its own, and refreshes now.
    void keepCurrent();
    bool keepsCurrent() const { return keepsCurrent_; }
    // The user's zone changed: the nudges' times are local times, so a
    // service that keeps current plans them again.
    void setCalendar(const Calendar& calendar);
    // When the service will next refresh by itself; 0 when it will not.
    Timestamp nextRefreshAt() const { return nextRefreshAt_; }
    // What its timer runs: a refresh once nextRefreshAt() has passed, else
    // the timer set again (it may wake early, or late after a suspend).
    void refreshIfDue();

    // A task of today (in the calendar, at `now`) is marked as the one thing.
    static bool hasTodaysOneThing(const ModelContext& context, const Calendar& calendar,
                                  Timestamp now);

signals:
    // A refresh, with every start-over it was asked for, has finished.
    void settled();

private:
    QCoro::Task<> runRefreshes();
    QCoro::Task<> refreshDailyNudge();
    QCoro::Task<> refreshWeeklyNudge();
    void planNextRefresh();
    // What the nudges hang on in the records: today's one thing, this week's ritual.
    std::pair<bool, bool> recordState() const;

    ModelContext& context_;
    Preferences& preferences_;
    NotificationService& notifications_;
    Calendar calendar_;
    bool running_ = false;
    bool again_ = false;
    bool keepsCurrent_ = false;
    Timestamp nextRefreshAt_ = 0;
    std::pair<bool, bool> plannedFor_{false, false};
    QTimer nextRefresh_;
};

} // namespace orvana
