#include "Views/Focus/FocusTimerController.h"
#include "Services/NotificationService.h"
#include "Services/Preferences.h"
#include "Store/ModelContext.h"
#include "support/FakeNotificationCenter.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

using namespace orvana;
using Phase = FocusTimerController::Phase;

namespace {

class FocusTimer : public ::testing::Test {
protected:
    std::unique_ptr<FocusTimerController> timer(DayTask* task, Goal* goal) {
        return std::make_unique<FocusTimerController>(ctx, prefs, notifications, task, goal,
                                                      [this] { return now; });
    }
    QString endID(const FocusSession* s) const {
        return NotificationService::notificationIdentifier(s->id());
    }

    Timestamp now = 1'800'000'000;
    QTemporaryDir dir;
    Preferences prefs{dir.filePath(QStringLiteral("preferences.json"))};
    ModelContext ctx;
    test::FakeNotificationCenter center;
    NotificationService notifications{center, [this] { return now; }};
};

TEST_F(FocusTimer, AClosedSessionIsPickedUpPausedWhenTheTasksTimerReopens) {
    auto* task = ctx.create<DayTask>(QStringLiteral("Write"), now);
    auto first = timer(task, nullptr);
    first->resumeExistingSessionIfAny();
    ASSERT_EQ(first->phase(), Phase::idle);
    QCoro::waitFor(first->start());
    FocusSession* s = first->session();
    ASSERT_TRUE(s && s->isRunning());
    EXPECT_EQ(s->plannedDuration(), 1500);
    EXPECT_EQ(s->dayTask(), task);
    EXPECT_EQ(center.pending.at(endID(s)).delaySeconds, 1500);

    now += 600;
    first->pauseIfRunning(); // the window closes
    first.reset();
    EXPECT_TRUE(center.pending.empty()) << "a paused session has no end to announce";

    now += 2 * 3600;
    auto second = timer(task, nullptr);
    second->resumeExistingSessionIfAny();
    EXPECT_EQ(second->session(), s);
    EXPECT_EQ(second->phase(), Phase::paused);
    EXPECT_EQ(second->countdownText(), QStringLiteral("15:00"));
    EXPECT_EQ(second->pauseButtonText(), QStringLiteral("Resume"));

    QCoro::waitFor(second->togglePause());
    EXPECT_EQ(center.pending.at(endID(s)).delaySeconds, 900) << "the new end";
}

TEST_F(FocusTimer, APreparedSessionStartsWithItsOwnLength) {
    auto* block = ctx.create<FocusBlockTemplate>(
        QStringLiteral("Deep work"), std::vector<qint64>{1, 2, 3, 4, 5, 6, 7}, 7, 30, 45);
    DayTask* task = block->materialize(now, Calendar(QTimeZone("UTC"), 2));
    auto t = timer(task, task->goal());
    t->resumeExistingSessionIfAny();
    EXPECT_EQ(t->plannedMinutes(), 45);
    EXPECT_EQ(t->durationLabel(), QStringLiteral("Duration: 45 min"));
    t->setPlannedMinutes(60);
    QCoro::waitFor(t->start());
    EXPECT_EQ(t->session(), task->focusSessions().front());
    EXPECT_EQ(t->session()->plannedDuration(), 45 * 60);
    EXPECT_EQ(ctx.count<FocusSession>(), 1u);
}

TEST_F(FocusTimer, TheDurationLandsOnItsStepWithinItsRange) {
    auto t = timer(nullptr, nullptr);
    for (auto [typed, kept] : {std::pair{8, 10}, {500, 120}, {0, 5}, {45, 45}, {7, 5}}) {
        t->setPlannedMinutes(typed);
        EXPECT_EQ(t->plannedMinutes(), kept) << typed;
    }
    QCoro::waitFor(t->start());
    EXPECT_EQ(t->session()->plannedDuration(), 5 * 60);
}

TEST_F(FocusTimer, TheTimeLeftIsAnnouncedOnEachChangeAndEveryTenSecondsOnly) {
    auto t = timer(nullptr, nullptr);
    QSignalSpy told(t.get(), &FocusTimerController::announcementDue);
    QCoro::waitFor(t->start());
    EXPECT_EQ(told.count(), 1) << "on start";
    for (int second = 0; second < 25; ++second) {
        now += 1;
        t->tick();
    }
    EXPECT_EQ(told.count(), 3) << "at 10 and 20 seconds, not every second";
    QCoro::waitFor(t->togglePause());
    EXPECT_EQ(told.count(), 4) << "on pause";
    now += 30;
    t->tick();
    QCoro::waitFor(t->togglePause());
    EXPECT_EQ(told.count(), 5) << "on resume, nothing while paused";
    now += 24 * 60 + 35;
    t->tick();
    EXPECT_EQ(told.count(), 6) << "at the end";
    EXPECT_EQ(t->spokenStatus(), QStringLiteral("Completed"));
}

TEST_F(FocusTimer, TheTickEndsASegmentWithinASecondOnceAndLogsIt) {
    auto* goal = ctx.create<Goal>(QStringLiteral("Run a marathon"));
    auto t = timer(nullptr, goal);
    t->setPlannedMinutes(5);
    QCoro::waitFor(t->start());
    FocusSession* s = t->session();

    now += 299.5;
    t->tick();
    EXPECT_TRUE(s->isRunning());
    now += 0.9;
    t->tick();
    EXPECT_TRUE(s->isEnded());
    EXPECT_TRUE(s->isCompleted());
    EXPECT_EQ(t->phase(), Phase::ended);
    EXPECT_EQ(t->endedMessage(), QStringLiteral("Completed"));
    EXPECT_FALSE(center.pending.count(endID(s)));
    ASSERT_EQ(goal->trailEntries().size(), 1u);
    EXPECT_EQ(goal->trailEntries().front()->minutes(), 5);
    now += 1;
    t->tick();
    t->pauseIfRunning(); // closing changes nothing
    EXPECT_EQ(ctx.count<TrailEntry>(), 1u);
    EXPECT_EQ(s->endedAt(), now - 1);
}

// After a suspend (or a restart with the session still running) the first
// tick must not credit the hours in between.
TEST_F(FocusTimer, ASegmentThatRanOutUnwatchedEndsAtItsPlannedEnd) {
    auto* goal = ctx.create<Goal>(QStringLiteral("g"));
    auto t = timer(nullptr, goal);
    QCoro::waitFor(t->start());
    FocusSession* s = t->session();
    const Timestamp started = now;
    now += 10 * 60;
    t->tick();
    now += 8 * 3600; // lid closed
    t->tick();
    EXPECT_TRUE(s->isCompleted());
    EXPECT_LE(*s->endedAt(), started + 25 * 60 + 1);
    ASSERT_EQ(goal->trailEntries().size(), 1u);
    EXPECT_EQ(goal->trailEntries().front()->minutes(), 25);
}

TEST_F(FocusTimer, PomodoroChainsOnTheUsersCommandAndStoppingEarlyEndsIt) {
    auto* task = ctx.create<DayTask>(QStringLiteral("Study"), now);
    auto t = timer(task, nullptr);
    t->setPomodoroMode(true);
    QCoro::waitFor(t->start());
    EXPECT_EQ(center.pending.at(endID(t->session())).title,
              QStringLiteral("Work session complete — take a break"));

    // Fast-forward through cycles 1-4 by letting each segment run out.
    auto runOut = [&] {
        now += t->session()->remaining(now);
        t->tick();
    };
    for (int segment = 0; segment < 6; ++segment) { // up to work 4
        runOut();
        ASSERT_EQ(t->phase(), Phase::transition) << segment;
        QCoro::waitFor(t->startNextSegment());
    }
    EXPECT_EQ(t->pomodoroCaption(), QStringLiteral("Work — Pomodoro 4 of 4"));
    runOut();
    QCoro::waitFor(t->startNextSegment());
    EXPECT_EQ(t->pomodoroCaption(), QStringLiteral("Long Break — Pomodoro 4 of 4"));
    EXPECT_EQ(t->session()->plannedDuration(), 15 * 60);
    EXPECT_EQ(center.pending.at(endID(t->session())).title,
              QStringLiteral("Break's over — back to it"));
    runOut();
    EXPECT_EQ(t->transitionMessage(), QStringLiteral("Break's over."));
    EXPECT_EQ(t->nextSegmentButtonText(), QStringLiteral("Start Next Work Interval"));
    QCoro::waitFor(t->startNextSegment());
    EXPECT_EQ(t->pomodoroCaption(), QStringLiteral("Work — Pomodoro 5 of 4"));
    EXPECT_EQ(t->session()->plannedDuration(), 25 * 60);

    now += 60;
    t->stop();
    EXPECT_EQ(t->phase(), Phase::ended) << "stopped early: no transition panel";
    EXPECT_EQ(t->endedMessage(), QStringLiteral("Stopped early"));
    EXPECT_EQ(ctx.count<FocusSession>(), 9u);
}

TEST_F(FocusTimer, WithoutPermissionSessionsRunButNothingIsScheduled) {
    center.status = NotificationAuthorization::notDetermined;
    center.grantOnRequest = false;
    auto t = timer(nullptr, nullptr);
    QCoro::waitFor(t->start());
    EXPECT_EQ(center.authorizationRequests, 1);
    EXPECT_TRUE(t->session()->isRunning());
    EXPECT_TRUE(center.pending.empty());
    EXPECT_EQ(t->title(), QString());

    // A goal-only timer never picks up anything when it reopens.
    t->pauseIfRunning();
    auto reopened = timer(nullptr, nullptr);
    reopened->resumeExistingSessionIfAny();
    EXPECT_EQ(reopened->phase(), Phase::idle);
}

TEST(FocusTimerText, CountdownRoundsToWholeSecondsAndDoesNotCapMinutes) {
    EXPECT_EQ(FocusTimerController::formattedRemaining(0), QStringLiteral("00:00"));
    EXPECT_EQ(FocusTimerController::formattedRemaining(59.5), QStringLiteral("01:00"));
    EXPECT_EQ(FocusTimerController::formattedRemaining(59.4), QStringLiteral("00:59"));
    EXPECT_EQ(FocusTimerController::formattedRemaining(1500), QStringLiteral("25:00"));
    EXPECT_EQ(FocusTimerController::formattedRemaining(7200), QStringLiteral("120:00"));
    EXPECT_FALSE(FocusTimerController::formattedRemaining(1e300).isEmpty());
}

} // namespace
