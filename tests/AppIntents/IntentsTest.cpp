#include "AppIntents/GetTodaysOneThingIntent.h"
#include "AppIntents/GoalEntityQuery.h"
#include "Store/ModelContext.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace orvana;

namespace {

TEST(Intents, TodaysOneThingIsTheFirstFlaggedTaskOfToday) {
    const QTimeZone berlin("Europe/Berlin");
    const Calendar cal = test::berlinMondayFirst();
    const Timestamp now = test::at(berlin, 2026, 6, 10, 15);
    ModelContext ctx;
    ctx.create<DayTask>(QStringLiteral("yesterday"), test::at(berlin, 2026, 6, 9), std::nullopt,
                        false, true);
    auto none = GetTodaysOneThingIntent::perform(ctx, cal, now);
    EXPECT_EQ(none.value, QString());
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.dialog, QStringLiteral("Nothing is set as Today's One Thing yet."));

    ctx.create<DayTask>(QStringLiteral("Ship it"), test::at(berlin, 2026, 6, 10), std::nullopt,
                        false, true);
    ctx.create<DayTask>(QStringLiteral("second flag"), test::at(berlin, 2026, 6, 10, 9),
                        std::nullopt, false, true);
    auto answer = GetTodaysOneThingIntent::perform(ctx, cal, now);
    EXPECT_EQ(answer.value, QStringLiteral("Ship it"));
    EXPECT_TRUE(answer.found);
    EXPECT_EQ(answer.dialog, QStringLiteral("Today's One Thing is Ship it."));
}

TEST(Intents, GoalQuerySuggestsActiveGoalsButResolvesAnyID) {
    ModelContext ctx;
    auto* later = ctx.create<Goal>(QStringLiteral("later"), std::nullopt, std::nullopt,
                                   GoalStatus::active, std::nullopt, 5);
    auto* first = ctx.create<Goal>(QStringLiteral("first"), std::nullopt, std::nullopt,
                                   GoalStatus::active, std::nullopt, 1);
    auto* done = ctx.create<Goal>(QStringLiteral("done"), std::nullopt, std::nullopt,
                                  GoalStatus::completed, std::nullopt, 0);
    EXPECT_EQ(GoalEntityQuery::suggestedEntities(ctx),
              (std::vector<GoalEntity>{{first->id(), QStringLiteral("first")},
                                       {later->id(), QStringLiteral("later")}}));
    EXPECT_EQ(GoalEntityQuery::entities(ctx, {done->id(), QUuid::createUuid()}),
              (std::vector<GoalEntity>{{done->id(), QStringLiteral("done")}}));
}

} // namespace
