#include "Views/Goals/GoalTrailSection.h"

#include "Models/Goal.h"
#include "Views/Goals/GoalTrailModel.h"
#include "Views/Shared/DailyBarChart.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/TagColors.h"
#include "support/Shots.h"
#include "support/TestEnvironment.h"

#include <QLabel>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

using Day = DailyBarChart::Day;

TEST(DailyBarChart, BarsKeepEmptyDaysEmptyAndScaleToTheTallest) {
    const qint64 march1 = QDate(2026, 3, 1).toJulianDay();
    const QRectF plot(40, 10, 300, 100);
    // 1 and 3 March; 2 March has no minutes.
    const auto bars = DailyBarChart::barsFor({{march1, 30}, {march1 + 2, 60}, {march1 + 3, 0}},
                                             march1, march1 + 3, 60, plot);
    ASSERT_EQ(bars.size(), 2u);
    const double slot = plot.width() / 4;
    EXPECT_EQ(bars[0].day, march1);
    EXPECT_EQ(bars[1].day, march1 + 2);
    EXPECT_GT(bars[1].rect.left() - bars[0].rect.right(), slot) << "room for 2 March";
    EXPECT_LE(bars[1].rect.right(), plot.left() + 3 * slot);
    EXPECT_DOUBLE_EQ(bars[1].rect.height(), plot.height()) << "the tallest reaches the top";
    EXPECT_DOUBLE_EQ(bars[0].rect.height(), plot.height() / 2);
    for (const auto& b : bars)
        EXPECT_DOUBLE_EQ(b.rect.bottom(), plot.bottom());

    // Twenty years in 300 pixels: one bar per column, its busiest day.
    std::vector<Day> years;
    for (qint64 d = 0; d < 7300; ++d)
        years.push_back({march1 + d, d == 4000 ? 500 : 10 + d % 7});
    const auto columns = DailyBarChart::barsFor(years, march1, march1 + 7299, 500, plot);
    ASSERT_EQ(columns.size(), 300u);
    const auto tallest = std::max_element(columns.begin(), columns.end(), [](auto& a, auto& b) {
        return a.rect.height() < b.rect.height();
    });
    EXPECT_EQ(tallest->day, march1 + 4000);
    EXPECT_DOUBLE_EQ(tallest->rect.height(), plot.height());
    EXPECT_NEAR(tallest->rect.left(), plot.left() + 4000.0 / 7300 * plot.width(), 1.0);

    EXPECT_EQ(DailyBarChart::yStep(55, 4), 20);
    EXPECT_EQ(DailyBarChart::yStep(1, 4), 1);
    EXPECT_EQ(DailyBarChart::yStep(1234, 4), 500);
}

TEST(GoalTrailSection, ShowsTheEmptyStateUntilTheFirstEntryThenTheChart) {
    test::TestEnvironment t;
    auto* goal = t.context.create<Goal>(QStringLiteral("Run a marathon"));
    GoalTrailSection section(t.env, *goal);
    section.resize(480, 300);
    section.show();
    drainEvents();
    EXPECT_TRUE(section.emptyState()->isVisible());
    EXPECT_FALSE(section.chart()->isVisible());

    t.context.create<TrailEntry>(t.local(2026, 3, 1, 9), 25, goal);
    t.context.create<TrailEntry>(t.local(2026, 3, 3, 9), 30, goal);
    drainEvents();
    EXPECT_FALSE(section.emptyState()->isVisible());
    EXPECT_EQ(section.summaryLabel()->text(), QStringLiteral("55 minutes across 2 sessions"));
    DailyBarChart* chart = section.chart();
    ASSERT_TRUE(chart->isVisible());
    EXPECT_EQ(chart->height(), 160);
    EXPECT_EQ(chart->accessibleName(), QStringLiteral("Minutes per day"));
    EXPECT_EQ(chart->bars().size(), 2u);
    EXPECT_EQ(chart->firstDay(), QDate(2026, 3, 1));
    EXPECT_EQ(chart->lastDay(), QDate(2026, 3, 3));
    EXPECT_TRUE(chart->accessibleDescription().contains(QStringLiteral("30 minutes")))
        << chart->accessibleDescription().toStdString();
    const QRectF plot = chart->plotRect();
    const QPointF middle(plot.center().x(), plot.bottom() - 2);
    EXPECT_TRUE(chart->toolTipAt(middle).endsWith(QStringLiteral(": 0 minutes")))
        << chart->toolTipAt(middle).toStdString();
    const QPointF onFirst(chart->bars().front().rect.center());
    EXPECT_TRUE(chart->toolTipAt(onFirst).endsWith(QStringLiteral(": 25 minutes")));

    // A window wider than the trail keeps its empty days.
    chart->setDayRange(t.local(2026, 2, 28), t.local(2026, 3, 29));
    EXPECT_EQ(chart->firstDay(), QDate(2026, 2, 28));
    EXPECT_EQ(chart->lastDay(), QDate(2026, 3, 29));
    EXPECT_EQ(chart->bars().size(), 2u);
}

void fillTrail(test::TestEnvironment& t, Goal* goal) {
    QRandomGenerator random(7);
    for (int day = 0; day < 60; ++day) {
        if (random.bounded(3) == 0)
            continue; // days off
        for (int session = 0; session <= int(random.bounded(3)); ++session)
            t.context.create<TrailEntry>(t.local(2026, 1, 1, 8 + 3 * session) + day * 86400.0,
                                         15 + qint64(random.bounded(40)), goal);
    }
}

TEST(Screenshots, GoalTrail) {
    if (!test::shotsWanted())
        GTEST_SKIP() << "set ORVANA_SHOTS_DIR to take pictures";
    test::TestEnvironment t;
    auto* empty = t.context.create<Goal>(QStringLiteral("Learn Spanish"));
    GoalTrailSection none(t.env, *empty);
    none.resize(520, 240);
    none.show();
    drainEvents();
    test::saveShots(&none, QStringLiteral("goal-trail-empty"));

    auto* run = t.context.create<Goal>(QStringLiteral("Run a marathon"));
    run->setColorTag(QStringLiteral("green"));
    fillTrail(t, run);
    GoalTrailSection trail(t.env, *run);
    trail.setTint(tagColor(QStringLiteral("green"), trail.palette()));
    trail.resize(520, trail.sizeHint().height());
    trail.show();
    drainEvents();
    test::saveShots(&trail, QStringLiteral("goal-trail"));

    // Years of history in a narrow section: a column per pixel.
    auto* years = t.context.create<Goal>(QStringLiteral("Write every day"));
    QRandomGenerator random(11);
    for (int i = 0; i < 10'000; ++i)
        t.context.create<TrailEntry>(t.local(2022, 1, 1, 9) + random.bounded(4 * 365) * 86400.0,
                                     qint64(5 + random.bounded(50)), years);
    drainEvents();
    GoalTrailSection decades(t.env, *years);
    decades.resize(360, decades.sizeHint().height());
    decades.show();
    drainEvents();
    test::saveShots(&decades, QStringLiteral("goal-trail-years"));
}

} // namespace
