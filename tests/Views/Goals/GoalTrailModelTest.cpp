#include "Views/Goals/GoalTrailModel.h"

#include "Models/Goal.h"
#include "Store/UndoManager.h"
#include "support/TestEnvironment.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

class GoalTrailModelTest : public ::testing::Test {
protected:
    TrailEntry* entry(Timestamp date, qint64 minutes, Goal* to = nullptr) {
        return ctx.create<TrailEntry>(date, minutes, to ? to : goal, date);
    }

    test::TestEnvironment t;
    ModelContext& ctx = t.context;
    Goal* goal = ctx.create<Goal>(QStringLiteral("Run a marathon"));
};

TEST_F(GoalTrailModelTest, SummaryAndBarsFollowTheTrail) {
    EXPECT_EQ(GoalTrailModel::summaryText(0, 0), QStringLiteral("0 minutes across 0 sessions"));
    EXPECT_EQ(GoalTrailModel::summaryText(2, 3), QStringLiteral("2 minutes across 3 sessions"));
    {
        GoalTrailModel model(t.env, *goal);
        EXPECT_TRUE(model.isEmpty());
        EXPECT_EQ(model.emptyTitle(), QStringLiteral("No Progress Yet"));
        EXPECT_EQ(model.emptySymbol(), QStringLiteral("chart.line.uptrend.xyaxis"));
        EXPECT_EQ(
            model.emptyDescription(),
            QStringLiteral("Complete a focus session on this goal to start building its trail."));
    }
    {
        test::TestEnvironment one;
        auto* g = one.context.create<Goal>(QStringLiteral("Read"));
        one.context.create<TrailEntry>(one.local(2026, 3, 2, 9), 1, g);
        GoalTrailModel model(one.env, *g);
        EXPECT_FALSE(model.isEmpty());
        EXPECT_EQ(model.summary(), QStringLiteral("1 minute across 1 session"));
        EXPECT_EQ(model.dailyTotals(), (std::vector<DailyTrailTotal>{{one.local(2026, 3, 2), 1}}));
    }
    // Two sessions on one day make one bar; another goal's entry does not count.
    entry(t.local(2026, 3, 1, 8), 25);
    entry(t.local(2026, 3, 1, 18), 30);
    entry(t.local(2026, 3, 1, 12), 40, ctx.create<Goal>(QStringLiteral("Other")));
    GoalTrailModel model(t.env, *goal);
    EXPECT_EQ(model.summary(), QStringLiteral("55 minutes across 2 sessions"));
    EXPECT_EQ(model.totalMinutes(), 55);
    EXPECT_EQ(model.sessionCount(), 2);
    EXPECT_EQ(model.dailyTotals(), (std::vector<DailyTrailTotal>{{t.local(2026, 3, 1), 55}}));

    // 1 and 3 March: two bars, nothing in between.
    QSignalSpy changed(&model, &GoalTrailModel::changed);
    entry(t.local(2026, 3, 3, 7), 20);
    EXPECT_EQ(model.sessionCount(), 2) << "the context announces once per event-loop turn";
    drainEvents();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(model.summary(), QStringLiteral("75 minutes across 3 sessions"));
    EXPECT_EQ(model.dailyTotals(),
              (std::vector<DailyTrailTotal>{{t.local(2026, 3, 1), 55}, {t.local(2026, 3, 3), 20}}));

    // Edits elsewhere leave it alone.
    goal->setTitle(QStringLiteral("Run a faster marathon"));
    entry(t.local(2026, 3, 4), 5, ctx.fetch<Goal>().back());
    drainEvents();
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(GoalTrailModelTest, AGoalDeletedAndBroughtBackEmptiesAndRefillsTheTrail) {
    ctx.ensureUndoManager();
    entry(t.local(2026, 3, 1, 8), 25);
    drainEvents();
    GoalTrailModel model(t.env, *goal);
    QSignalSpy changed(&model, &GoalTrailModel::changed);

    ctx.remove(goal);
    drainEvents();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(model.isEmpty());
    EXPECT_EQ(model.totalMinutes(), 0);
    EXPECT_TRUE(model.dailyTotals().empty());

    ctx.undoManager()->undo();
    drainEvents();
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(model.summary(), QStringLiteral("25 minutes across 1 session"));
}

} // namespace
