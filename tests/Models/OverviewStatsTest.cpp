#include "Models/OverviewStats.h"
#include "Store/ModelContext.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace orvana;
using orvana::test::at;

namespace {

const QTimeZone berlin("Europe/Berlin");

TEST(OverviewStats, StreakCountsBackFromTodayOrYesterday) {
    const Calendar cal = test::berlinMondayFirst();
    const Timestamp now = at(berlin, 2026, 6, 10, 20);
    auto day = [&](int d, qint64 minutes) {
        return DailyTrailTotal{at(berlin, 2026, 6, d), minutes};
    };
    EXPECT_EQ(OverviewStats::currentStreak({day(7, 5), day(8, 5), day(9, 5)}, cal, now), 3)
        << "today still open";
    EXPECT_EQ(
        OverviewStats::currentStreak({day(7, 5), day(8, 5), day(9, 5), day(10, 25)}, cal, now), 4);
    EXPECT_EQ(OverviewStats::currentStreak({day(8, 5)}, cal, now), 0);
    EXPECT_EQ(OverviewStats::currentStreak({day(8, 5), day(9, 0)}, cal, now), 0)
        << "a 0-minute day is not active";
    EXPECT_EQ(OverviewStats::currentStreak({}, cal, now), 0);
    // Across the autumn DST change (a 25-hour day) the days still join up.
    const Timestamp autumn = at(berlin, 2026, 10, 26, 9);
    EXPECT_EQ(OverviewStats::currentStreak(
                  {{at(berlin, 2026, 10, 24), 1}, {at(berlin, 2026, 10, 25), 1}}, cal, autumn),
              2);
}

TEST(OverviewStats, ComputeCountsAndOrdersTheBreakdown) {
    const Calendar cal = test::berlinMondayFirst();
    ModelContext ctx;
    auto* a = ctx.create<Goal>(QStringLiteral("a"), std::nullopt, std::nullopt,
                               GoalStatus::archived, std::nullopt, 0);
    auto* b = ctx.create<Goal>(QStringLiteral("b"), std::nullopt, std::nullopt, GoalStatus::active,
                               std::nullopt, 1);
    auto* c = ctx.create<Goal>(QStringLiteral("c"), std::nullopt, std::nullopt,
                               GoalStatus::completed, std::nullopt, 2);
    auto* idle = ctx.create<Goal>(QStringLiteral("idle"), std::nullopt, std::nullopt,
                                  GoalStatus::active, std::nullopt, 3);
    (void)idle;
    const Timestamp now = at(berlin, 2026, 6, 10, 12);
    ctx.create<TrailEntry>(now - 3600, 60, c);
    ctx.create<TrailEntry>(now - 7200, 60, a);
    ctx.create<TrailEntry>(now - 40 * 86400, 90, b);
    ctx.create<TrailEntry>(now - 60, 0, b);
    ctx.create<DayTask>(QStringLiteral("done"), now, std::nullopt, true);
    ctx.create<DayTask>(QStringLiteral("open"), now + 86400 * 30);

    const auto goals =
        ctx.fetch(FetchDescriptor<Goal>().sortedBy(SortDescriptor<Goal>::by(&Goal::sortOrder)));
    const OverviewStats s =
        OverviewStats::compute(goals, ctx.fetch<TrailEntry>(), ctx.fetch<DayTask>(), cal, now);
    EXPECT_EQ(s.totalFocusMinutes, 210);
    EXPECT_EQ(s.totalSessions, 4);
    EXPECT_EQ(s.activeGoalsCount, 2);
    EXPECT_EQ(s.completedGoalsCount, 1);
    EXPECT_EQ(s.tasksCompleted, 1);
    EXPECT_EQ(s.tasksTotal, 2);
    EXPECT_EQ(s.currentStreakDays, 1);
    ASSERT_EQ(s.goalBreakdown.size(), 3u) << "idle has no minutes";
    EXPECT_EQ(s.goalBreakdown[0].goal, b);
    EXPECT_EQ(s.goalBreakdown[1].goal, a) << "ties keep sortOrder: archived a before c";
    EXPECT_EQ(s.goalBreakdown[2].goal, c);
}

TEST(OverviewStats, DurationText) {
    EXPECT_EQ(OverviewStats::formattedDuration(0), QStringLiteral("0m"));
    EXPECT_EQ(OverviewStats::formattedDuration(45), QStringLiteral("45m"));
    EXPECT_EQ(OverviewStats::formattedDuration(60), QStringLiteral("1h"));
    EXPECT_EQ(OverviewStats::formattedDuration(61), QStringLiteral("1h 1m"));
    EXPECT_EQ(OverviewStats::formattedDuration(135), QStringLiteral("2h 15m"));
    EXPECT_EQ(OverviewStats::formattedDuration(-59), QStringLiteral("-59m"));
}

} // namespace
