#include "Models/DayTask.h"
#include "Models/TrailEntry.h"
#include "Services/EngagementNudgeService.h"
#include "Views/Overview/OverviewModel.h"
#include "Views/Today/TodayModel.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

using namespace orvana;
using orvana::test::drainEvents;

// An app left running while the user moves to another zone: the screens and
// the nudges follow without a restart.
TEST(CalendarChange, TodayTheOverviewAndTheNudgesFollowANewZone) {
    test::TestEnvironment t; // Monday 2026-03-02 10:00 in Berlin (09:00 UTC)
    const Timestamp earlyMonday = t.local(2026, 3, 2, 0, 30); // Sunday 18:30 in New York
    t.context.create<DayTask>(QStringLiteral("Stretch"), earlyMonday, std::nullopt, false, false, 0,
                              t.now);
    t.context.create<TrailEntry>(earlyMonday + 60, 25);
    t.preferences.setValue(PreferenceKeys::dailyPlanningNudgeEnabled, true);
    t.preferences.setValue(PreferenceKeys::dailyPlanningNudgeHour, qint64(20));
    t.env.nudges().keepCurrent();
    drainEvents();
    const auto nudge = QString::fromLatin1(NotificationService::dailyPlanningNudgeIdentifier);
    ASSERT_EQ(t.center.pending.count(nudge), 1u);
    EXPECT_DOUBLE_EQ(t.center.pending.at(nudge).delaySeconds, 10 * 3600.0); // 20:00 Berlin

    TodayModel today(t.env);
    OverviewModel overview(t.env);
    overview.setShown(true);
    drainEvents();
    ASSERT_TRUE(today.filteredOverdueTasks().empty());
    ASSERT_EQ(overview.chartSeries().size(), 1u);
    EXPECT_EQ(overview.chartSeries()[0].date, t.local(2026, 3, 2)) << "logged today, in Berlin";

    const Calendar newYork(QTimeZone("America/New_York"), 1);
    t.env.setCalendar(newYork);
    drainEvents();
    ASSERT_EQ(today.filteredOverdueTasks().size(), 1u) << "yesterday's task in New York";
    ASSERT_EQ(overview.chartSeries().size(), 1u);
    EXPECT_EQ(overview.chartSeries()[0].date, newYork.startOfDay(earlyMonday))
        << "Sunday in New York";
    EXPECT_NE(overview.chartSeries()[0].date, newYork.startOfDay(t.now));
    // 20:00 in New York is 01:00 UTC tomorrow: 16 hours from 09:00 UTC.
    EXPECT_DOUBLE_EQ(t.center.pending.at(nudge).delaySeconds, 16 * 3600.0);
}

} // namespace
