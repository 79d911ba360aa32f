#include "Services/EngagementNudgeService.h"

#include "Models/DayTask.h"
#include "Models/Week.h"
#include "Services/Preferences.h"
#include "support/TestEnvironment.h"

#include <QCoro/QCoroTask>
#include <gtest/gtest.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

constexpr double kHour = 3600.0;
const QString daily = QStringLiteral("daily-planning-nudge");
const QString weekly = QStringLiteral("weekly-ritual-nudge");

struct Nudges : ::testing::Test {
    test::TestEnvironment t{test::at(QTimeZone("Europe/Berlin"), 2026, 3, 2, 8, 0)}; // a Monday
    EngagementNudgeService& nudges = t.env.nudges();

    void refresh() { QCoro::waitFor(nudges.refresh()); }
    bool pending(const QString& id) const { return t.center.pending.count(id) > 0; }
    double delay(const QString& id) const { return t.center.pending.at(id).delaySeconds; }
};

TEST_F(Nudges, WeeklyIsSkippedForAWeekWhoseRitualIsDone) {
    t.preferences.setValue(PreferenceKeys::weeklyRitualNudgeEnabled, true);
    refresh();
    ASSERT_TRUE(pending(weekly)) << "no week stored yet";
    // Weekday 1 is Sunday: 2026-03-08 18:00 from Monday 08:00.
    EXPECT_EQ(delay(weekly), 6 * 24 * kHour + 10 * kHour);

    Week* week = Week::findOrCreate(t.now, t.context, t.calendar);
    refresh();
    EXPECT_TRUE(pending(weekly)) << "stored, ritual not done";
    week->setRitualCompletedAt(t.now);
    refresh();
    EXPECT_FALSE(pending(weekly));
}

TEST_F(Nudges, SwitchedOffLeavesNothingPendingEvenOverARefreshInFlight) {
    t.preferences.setValue(PreferenceKeys::dailyPlanningNudgeEnabled, true);
    t.preferences.setValue(PreferenceKeys::weeklyRitualNudgeEnabled, true);
    refresh();
    ASSERT_TRUE(pending(daily) && pending(weekly));

    // The first refresh waits on the centre; both nudges go off meanwhile.
    t.center.statusDelayMs = 1; // answered from a later turn of the event loop
    auto first = nudges.refresh();
    t.preferences.setValue(PreferenceKeys::dailyPlanningNudgeEnabled, false);
    t.preferences.setValue(PreferenceKeys::weeklyRitualNudgeEnabled, false);
    QCoro::waitFor(nudges.refresh());
    QCoro::waitFor(std::move(first));
    EXPECT_FALSE(pending(daily));
    EXPECT_FALSE(pending(weekly));
}

TEST_F(Nudges, KeptCurrentTheyFollowTheSettingsTheRecordsAndTheDays) {
    nudges.keepCurrent();
    drainEvents();
    EXPECT_FALSE(pending(daily));
    EXPECT_EQ(nudges.nextRefreshAt(), t.local(2026, 3, 3)) << "next at midnight";

    t.preferences.setValue(PreferenceKeys::dailyPlanningNudgeEnabled, true);
    drainEvents();
    ASSERT_TRUE(pending(daily)) << "a settings change plans at once";
    EXPECT_EQ(nudges.nextRefreshAt(), t.local(2026, 3, 2, 9) + 1) << "just after it is due";

    // Once due, the next day's is planned.
    t.now = t.local(2026, 3, 2, 9) + 1;
    nudges.refreshIfDue();
    drainEvents();
    ASSERT_TRUE(pending(daily));
    EXPECT_EQ(delay(daily), 24 * kHour - 1);

    // Marked on Today's list (not through the form): withdrawn; undone: back.
    t.context.ensureUndoManager();
    auto* task = t.context.create<DayTask>(QStringLiteral("Ship"), t.local(2026, 3, 2, 12));
    task->setIsTodaysOneThing(true);
    drainEvents();
    EXPECT_FALSE(pending(daily));
    task->setIsTodaysOneThing(false);
    drainEvents();
    EXPECT_TRUE(pending(daily));
    task->setIsTodaysOneThing(true);
    drainEvents();
    ASSERT_FALSE(pending(daily));

    // Across midnight the marked task is yesterday's: the nudge is back.
    EXPECT_EQ(nudges.nextRefreshAt(), t.local(2026, 3, 3));
    t.now = t.local(2026, 3, 2, 23);
    nudges.refreshIfDue();
    drainEvents();
    EXPECT_FALSE(pending(daily)) << "not due yet";
    t.now = t.local(2026, 3, 3, 0, 1);
    nudges.refreshIfDue();
    drainEvents();
    ASSERT_TRUE(pending(daily));
    EXPECT_EQ(delay(daily), 9 * kHour - 60);
}

} // namespace
