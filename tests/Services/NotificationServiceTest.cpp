#include "Services/NotificationService.h"

#include "Models/DayTask.h"
#include "Models/FocusSession.h"
#include "Models/Goal.h"
#include "Store/ModelContext.h"
#include "support/FakeNotificationCenter.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <utility>

// Readable failure messages for Qt strings.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
static void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}

namespace {

using namespace orvana;
using orvana::test::at;
using orvana::test::FakeNotificationCenter;

constexpr double kMinute = 60.0;
constexpr double kHour = 3600.0;
constexpr qint64 kSunday = 1;

const QTimeZone berlin("Europe/Berlin");

// Instants print as UTC text, so a failure shows which wall time came out.
std::string iso(Timestamp t) {
    return toDateTime(t).toString(Qt::ISODateWithMs).toStdString();
}

class NotificationServiceTest : public ::testing::Test {
protected:
    ModelContext ctx;
    FakeNotificationCenter center;
    Timestamp now = at(berlin, 2026, 6, 10, 12); // a Wednesday
    // Monday first: weekday numbers must still count from Sunday.
    Calendar calendar{QTimeZone("Europe/Berlin"), 2};
    NotificationService service{center, [this] { return now; }, calendar};

    // A plain session running since five minutes ago with 20 minutes left.
    FocusSession* runningSession() {
        auto* session = ctx.create<FocusSession>(25 * kMinute, now - 5 * kMinute);
        session->start(now - 5 * kMinute);
        return session;
    }

    DayTask* taskWithReminder(std::optional<Timestamp> reminderAt) {
        return ctx.create<DayTask>(QStringLiteral("Call the dentist"), calendar.startOfDay(now),
                                   std::nullopt, false, false, 0, now, std::nullopt, reminderAt);
    }

    // Runs `schedule` with an old request of `identifier` pending; the
    // centre's calls in order.
    QStringList scheduleOver(const QString& identifier,
                             const std::function<QCoro::Task<>()>& schedule) {
        center.pending = {{identifier, {"old", "old", 5.0}}};
        center.log.clear();
        QCoro::waitFor(schedule());
        return center.log;
    }

    static QString endId(const FocusSession* session) {
        return NotificationService::notificationIdentifier(session->id());
    }
    static QString reminderId(const DayTask* task) {
        return NotificationService::reminderIdentifier(task->id());
    }
};

TEST_F(NotificationServiceTest, SchedulingASegmentEndAgainReplacesItsOwnRequestOnly) {
    FocusSession* session = runningSession();
    FocusSession* other = runningSession();
    QCoro::waitFor(service.scheduleEndNotification(*other));
    QCoro::waitFor(service.scheduleEndNotification(*session));
    now += kMinute; // resumed later: the second schedule must carry the new delay
    center.log.clear();
    QCoro::waitFor(service.scheduleEndNotification(*session));

    ASSERT_EQ(center.pending.size(), 2u);
    EXPECT_EQ(center.pending.at(endId(session)).delaySeconds, 19 * kMinute);
    EXPECT_EQ(center.pending.at(endId(other)).delaySeconds, 20 * kMinute);
    EXPECT_EQ(center.log, (QStringList{"remove " + endId(session), QStringLiteral("status"),
                                       "add " + endId(session)}));

    service.cancelNotification(*session);
    EXPECT_EQ(center.pending.count(endId(session)), 0u);
    EXPECT_EQ(center.pending.count(endId(other)), 1u);
}

// Every kind of schedule: without authorisation nothing is added, yet the
// old request is gone and nobody is asked for permission.
TEST_F(NotificationServiceTest, WithoutAuthorizationNothingIsScheduledButTheOldRequestIsRemoved) {
    FocusSession* session = runningSession();
    DayTask* task = taskWithReminder(now + kHour);
    const std::pair<QString, std::function<QCoro::Task<>()>> schedules[] = {
        {endId(session), [&] { return service.scheduleEndNotification(*session); }},
        {reminderId(task), [&] { return service.scheduleReminder(*task); }},
        {QStringLiteral("daily-planning-nudge"),
         [&] { return service.scheduleDailyPlanningNudge(9, 0); }},
        {QStringLiteral("weekly-ritual-nudge"),
         [&] { return service.scheduleWeeklyRitualNudge(kSunday, 18, 0); }},
    };
    for (auto status :
         {NotificationAuthorization::notDetermined, NotificationAuthorization::denied,
          NotificationAuthorization::provisional, NotificationAuthorization::ephemeral}) {
        for (const auto& [id, schedule] : schedules) {
            SCOPED_TRACE(testing::Message()
                         << id.toStdString() << ", status " << static_cast<int>(status));
            center.status = status;
            EXPECT_EQ(scheduleOver(id, schedule), (QStringList{"remove " + id, "status"}));
            EXPECT_TRUE(center.pending.empty());
        }
    }
    EXPECT_EQ(center.authorizationRequests, 0);
}

TEST_F(NotificationServiceTest, ReminderFollowsReminderAtAndAPastOneOnlyRemoves) {
    DayTask* task = taskWithReminder(now + 30);
    QCoro::waitFor(service.scheduleReminder(*task));
    EXPECT_EQ(center.pending.at(reminderId(task)),
              (FakeNotificationCenter::Request{"Reminder", "Call the dentist", 30.0}));

    const QString id = reminderId(task);
    const auto schedule = [&] { return service.scheduleReminder(*task); };
    for (Timestamp passed : {now - kMinute, now}) {
        task->setReminderAt(passed);
        EXPECT_EQ(scheduleOver(id, schedule),
                  (QStringList{"remove " + id, QStringLiteral("status")}))
            << iso(passed);
        EXPECT_TRUE(center.pending.empty());
    }
    // Switched off: withdrawn without even asking for the status.
    task->setReminderAt(std::nullopt);
    EXPECT_EQ(scheduleOver(id, schedule), QStringList{"remove " + id});
    EXPECT_TRUE(center.pending.empty());
}

TEST_F(NotificationServiceTest, SegmentEndTitleFollowsKindAndBodyFallsBackFromTaskToGoal) {
    auto* goal = ctx.create<Goal>(QStringLiteral("Learn Spanish"));
    auto* task = ctx.create<DayTask>(QStringLiteral("Verb drills"), calendar.startOfDay(now));
    struct Case {
        FocusSessionKind kind;
        std::optional<qint64> cycle;
        DayTask* task;
        Goal* goal;
        const char* title;
        const char* body;
    };
    const Case cases[] = {
        {FocusSessionKind::work, std::nullopt, task, goal, "Focus session complete", "Verb drills"},
        // A plain session keeps the plain title whatever its stored kind.
        {FocusSessionKind::shortBreak, std::nullopt, nullptr, goal, "Focus session complete",
         "Learn Spanish"},
        {FocusSessionKind::work, 2, nullptr, nullptr, "Work session complete — take a break",
         "Nice work."},
        {FocusSessionKind::longBreak, 4, nullptr, goal, "Break's over — back to it",
         "Learn Spanish"},
    };
    for (const Case& c : cases) {
        auto* session = ctx.create<FocusSession>(5 * kMinute, now, 0.0, now, std::nullopt, false,
                                                 false, c.kind, c.cycle);
        session->setDayTask(c.task);
        session->setGoal(c.goal);
        QCoro::waitFor(service.scheduleEndNotification(*session));
        const auto& request = center.pending.at(endId(session));
        EXPECT_EQ(request.title, QString::fromUtf8(c.title));
        EXPECT_EQ(request.body, QString::fromUtf8(c.body));
        EXPECT_EQ(request.delaySeconds, 5 * kMinute);
    }
}

// Delays are instants apart, not wall-clock hours: both nudges here fall after
// the night the clocks go forward.
TEST_F(NotificationServiceTest, NudgesFireAtTheNextOccurrence) {
    now = at(berlin, 2026, 3, 28, 10); // Saturday
    QCoro::waitFor(service.scheduleDailyPlanningNudge(9, 0));
    QCoro::waitFor(service.scheduleWeeklyRitualNudge(kSunday, 18, 0));
    EXPECT_EQ(center.pending.at(QStringLiteral("daily-planning-nudge")).delaySeconds, 22 * kHour);
    EXPECT_EQ(center.pending.at(QStringLiteral("weekly-ritual-nudge")).delaySeconds, 31 * kHour);

    center.pending.clear();
    // A time the calendar cannot build gives no firing instant at all.
    QCoro::waitFor(service.scheduleDailyPlanningNudge(24, 0));
    QCoro::waitFor(service.scheduleDailyPlanningNudge(qint64{1} << 32 | 9, 0));
    EXPECT_TRUE(center.pending.empty());
}

TEST_F(NotificationServiceTest, AsksForAuthorizationOnlyWhenNotDeterminedAndSwallowsErrors) {
    for (auto status :
         {NotificationAuthorization::denied, NotificationAuthorization::authorized,
          NotificationAuthorization::provisional, NotificationAuthorization::ephemeral}) {
        center.status = status;
        QCoro::waitFor(service.requestAuthorizationIfNeeded());
    }
    EXPECT_EQ(center.authorizationRequests, 0);

    center.status = NotificationAuthorization::notDetermined;
    QCoro::waitFor(service.requestAuthorizationIfNeeded());
    EXPECT_EQ(center.authorizationRequests, 1);
    EXPECT_EQ(center.log.mid(center.log.size() - 2),
              (QStringList{QStringLiteral("status"), QStringLiteral("request")}));

    center.failing = true;
    center.status = NotificationAuthorization::notDetermined;
    EXPECT_NO_THROW(QCoro::waitFor(service.requestAuthorizationIfNeeded()));
    EXPECT_EQ(center.authorizationRequests, 2);
    center.status = NotificationAuthorization::authorized;
    DayTask* task = taskWithReminder(now + kHour);
    EXPECT_NO_THROW(QCoro::waitFor(service.scheduleReminder(*task)));
    EXPECT_TRUE(center.log.contains("add " + reminderId(task)));
}

// The service must not reach back into itself once the centre has answered:
// screens drop their service values freely.
TEST_F(NotificationServiceTest, AScheduleInFlightOutlivesItsService) {
    FakeNotificationCenter slow;
    slow.statusNextTurn = true; // the status answer arrives in a later turn of the event loop
    // On the heap, so that AddressSanitizer catches any use after it is gone.
    auto shortLived = std::make_unique<NotificationService>(
        slow, [this] { return now; }, calendar);
    QCoro::Task<> task = shortLived->scheduleDailyPlanningNudge(13, 0);
    shortLived.reset();
    QCoro::waitFor(task);
    EXPECT_EQ(slow.pending.at(QStringLiteral("daily-planning-nudge")).delaySeconds, kHour);
}

TEST(NotificationServiceOccurrence, NextDailyOccurrence) {
    const Calendar cal(QTimeZone("Europe/Berlin"), 2);
    struct Case {
        Timestamp after;
        int hour, minute;
        Timestamp expected;
    };
    const Case cases[] = {
        {at(berlin, 2026, 6, 10, 8, 59), 9, 0, at(berlin, 2026, 6, 10, 9, 0)},
        {at(berlin, 2026, 6, 10, 9, 0), 9, 0, at(berlin, 2026, 6, 11, 9, 0)},
        // Tomorrow is a calendar day, not 24 hours (the spring change: see the nudges).
        {at(berlin, 2026, 10, 24, 10, 0), 9, 0, at(berlin, 2026, 10, 25, 9, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(iso(c.after));
        EXPECT_EQ(iso(NotificationService::nextOccurrence(c.hour, c.minute, c.after, cal)),
                  iso(c.expected));
    }
    const Timestamp after = at(berlin, 2026, 6, 10, 12);
    EXPECT_EQ(NotificationService::nextOccurrence(24, 0, after, cal), after);
}

TEST(NotificationServiceOccurrence, NextWeeklyOccurrence) {
    const Calendar cal(QTimeZone("Europe/Berlin"), 2);
    struct Case {
        qint64 weekday;
        Timestamp after;
        Timestamp expected;
    };
    const Case cases[] = {
        // Sunday 14 June 2026.
        {kSunday, at(berlin, 2026, 6, 14, 17, 0), at(berlin, 2026, 6, 14, 18, 0)},
        {kSunday, at(berlin, 2026, 6, 14, 18, 0), at(berlin, 2026, 6, 21, 18, 0)},
        // Passed today: the loop must reach next Sunday, not fall back to +7 days.
        {kSunday, at(berlin, 2026, 6, 14, 18, 30), at(berlin, 2026, 6, 21, 18, 0)},
        {kSunday, at(berlin, 2026, 6, 10, 12, 0), at(berlin, 2026, 6, 14, 18, 0)},
        {2, at(berlin, 2026, 6, 14, 18, 30), at(berlin, 2026, 6, 15, 18, 0)}, // Monday
        // The autumn change falls in between (the spring one: see the nudges).
        {kSunday, at(berlin, 2026, 10, 21, 12, 0), at(berlin, 2026, 10, 25, 18, 0)},
        // No weekday matches: seven calendar days later, the wall time kept.
        {8, at(berlin, 2026, 10, 21, 12, 0), at(berlin, 2026, 10, 28, 12, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "weekday " << c.weekday << " after " << iso(c.after));
        EXPECT_EQ(iso(NotificationService::nextWeeklyOccurrence(c.weekday, 18, 0, c.after, cal)),
                  iso(c.expected));
    }
    // An hour the calendar cannot build: no candidate qualifies either.
    const Timestamp after = at(berlin, 2026, 6, 10, 12);
    EXPECT_EQ(iso(NotificationService::nextWeeklyOccurrence(kSunday, 24, 0, after, cal)),
              iso(at(berlin, 2026, 6, 17, 12)));
}

} // namespace
