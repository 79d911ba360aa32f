#pragma once

#include "Core/Calendar.h"
#include "Models/DayTask.h"
#include "Models/FocusBlockTemplate.h"
#include "Models/FocusSession.h"
#include "Models/Goal.h"
#include "Models/TrailEntry.h"
#include "Models/Week.h"
#include "Models/WeekItem.h"
#include "Store/ModelContext.h"

namespace orvana::test {

// A few records of every kind around today: goals in each status, last and
// this week with items, overdue, flagged, done and reminded tasks, a paused
// and an active block, sessions and a trail over the last days.
inline void fillSample(ModelContext& ctx, const Calendar& calendar, Timestamp now) {
    const Timestamp today = calendar.startOfDay(now);
    auto day = [&](int n) { return calendar.startOfDayAfter(today, n).value_or(today); };
    auto* run = ctx.create<Goal>(QStringLiteral("Run a half marathon"), QStringLiteral("Sub 2 h"),
                                 day(60), GoalStatus::active, QStringLiteral("green"), 0);
    auto* spanish = ctx.create<Goal>(QStringLiteral("Learn Spanish"), std::nullopt, day(-2),
                                     GoalStatus::active, QStringLiteral("blue"), 1);
    ctx.create<Goal>(QStringLiteral("Read ten books"), std::nullopt, std::nullopt,
                     GoalStatus::completed, QStringLiteral("orange"), 2);
    ctx.create<Goal>(QStringLiteral("Learn the ukulele"), std::nullopt, std::nullopt,
                     GoalStatus::archived, std::nullopt, 3);
    Week::findOrCreate(day(-7), ctx, calendar)->setRitualCompletedAt(day(-7) + 3600);
    Week* week = Week::findOrCreate(today, ctx, calendar);
    week->setIntention(QStringLiteral("Steady miles"));
    for (int i = 0; i < 3; ++i) {
        auto* item =
            ctx.create<WeekItem>(QStringLiteral("Long run %1").arg(i + 1), std::nullopt, i == 0, i);
        item->setWeek(week);
        item->setGoal(i == 2 ? spanish : run);
        auto* task = ctx.create<DayTask>(item->title(), day(i - 1), std::nullopt, false, i == 1, i,
                                         std::nullopt, std::nullopt, now + 3600);
        task->setWeekItem(item);
        task->setGoal(item->goal());
    }
    ctx.create<DayTask>(QStringLiteral("Call Grandma"), today, std::nullopt, true, false, 5);
    ctx.create<DayTask>(QStringLiteral("Pay the rent"), day(1));
    auto* block = ctx.create<FocusBlockTemplate>(
        QStringLiteral("Deep work"), std::vector<qint64>{1, 2, 3, 4, 5, 6, 7}, 9, 0, 50);
    block->setGoal(spanish);
    ctx.create<FocusBlockTemplate>(QStringLiteral("Scales"), std::vector<qint64>{2, 5}, 18, 30, 25,
                                   false);
    for (int i = 1; i <= 5; ++i) {
        auto* session = ctx.create<FocusSession>(1500.0, day(-i) + 9 * 3600, 1500.0, std::nullopt,
                                                 day(-i) + 9 * 3600 + 1500, true, true);
        session->setGoal(i % 2 ? run : spanish);
        ctx.create<TrailEntry>(day(-i), 25, session->goal());
    }
}

} // namespace orvana::test
