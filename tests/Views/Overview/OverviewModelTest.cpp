#include "Views/Overview/OverviewModel.h"

#include "Models/DayTask.h"
#include "Models/FocusSession.h"
#include "Models/Goal.h"
#include "Services/Preferences.h"
#include "Store/UndoManager.h"
#include "Views/Overview/DurationText.h"
#include "support/TestEnvironment.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace orvana;
using orvana::test::drainEvents;
using Tint = OverviewModel::Tint;

namespace {

class OverviewModelTest : public ::testing::Test {
protected:
    Goal* goal(const QString& title, GoalStatus status = GoalStatus::active, qint64 order = 0,
               const char* tag = nullptr) {
        return ctx.create<Goal>(
            title, std::nullopt, std::nullopt, status,
            tag ? std::optional<QString>(QString::fromLatin1(tag)) : std::nullopt, order);
    }
    TrailEntry* entry(Timestamp date, qint64 minutes, Goal* to) {
        return ctx.create<TrailEntry>(date, minutes, to, date);
    }
    std::vector<QString> rowTitles(const OverviewModel& model) const {
        std::vector<QString> titles;
        for (const ListRow& r : model.goalRows()->rows())
            titles.push_back(r.data.value(Qt::DisplayRole).toString());
        return titles;
    }

    // Every figure, card and row of a model kept up to date change by change
    // is what a model made afresh shows.
    void expectAsFresh(const OverviewModel& model) {
        drainEvents();
        OverviewModel fresh(t.env);
        fresh.setShown(true);
        auto shown = [](const OverviewModel& m) {
            QStringList all;
            for (const auto& c : m.cards())
                all << c.accessibleName << QString::number(int(c.tint));
            for (const ListRow& r : m.goalRows()->rows())
                all << r.data.value(Qt::DisplayRole).toString() +
                           r.data.value(OverviewModel::DurationTextRole).toString() +
                           r.data.value(OverviewModel::ColorTagRole).toString();
            return all << QString::number(m.showsEmptyState());
        };
        EXPECT_EQ(shown(model), shown(fresh));
        EXPECT_EQ(model.stats().dailyTotals, fresh.stats().dailyTotals);
    }

    test::TestEnvironment t; // Monday 2 March 2026, 10:00 Berlin
    ModelContext& ctx = t.context;
};

TEST_F(OverviewModelTest, CardsChartWindowAndGoalRows) {
    {
        OverviewModel model(t.env);
        model.setShown(true);
        EXPECT_TRUE(model.showsEmptyState());
        EXPECT_FALSE(model.showsChart());
        EXPECT_FALSE(model.showsGoalBreakdown());
        EXPECT_EQ(model.cards()[0].value, QStringLiteral("0m"));
        EXPECT_EQ(model.cards()[1].tint, Tint::secondary) << "no streak";
        EXPECT_EQ(model.cards()[2].label, QStringLiteral("active goals")) << "zero is plural";
        EXPECT_EQ(model.cards()[3].value, QStringLiteral("0/0"));
        ctx.create<DayTask>(QStringLiteral("Buy shoes"), t.now);
        drainEvents();
        EXPECT_FALSE(model.showsEmptyState()) << "a single task is something to show";
    }

    Goal* marathon = goal(QStringLiteral("Run a marathon"), GoalStatus::active, 0, "orange");
    Goal* thesis = goal(QStringLiteral("Finish the thesis"), GoalStatus::archived, 1);
    Goal* spanish = goal(QStringLiteral("Learn Spanish"), GoalStatus::completed, 2);
    Goal* idle = goal(QStringLiteral("Nothing logged"), GoalStatus::active, 3);
    ctx.create<DayTask>(QStringLiteral("Stretch"), t.now, std::nullopt, true);
    // Today, yesterday, the first and the last day outside the window.
    entry(t.local(2026, 3, 2, 8), 25, marathon);
    entry(t.local(2026, 3, 1, 21), 35, thesis);
    entry(t.local(2026, 2, 1, 0, 5), 60, spanish); // 29 days back: the window's first day
    entry(t.local(2026, 1, 31, 23, 55), 50, thesis);

    OverviewModel model(t.env);
    model.setShown(true);
    const auto& cards = model.cards();
    EXPECT_EQ(cards[0].value, QStringLiteral("2h 50m"));
    EXPECT_EQ(cards[0].accessibleName, QStringLiteral("2h 50m total focus time"));
    EXPECT_EQ(cards[1].value, QStringLiteral("2"));
    EXPECT_EQ(cards[1].tint, Tint::orange);
    EXPECT_EQ(cards[2].value, QStringLiteral("2"));
    EXPECT_EQ(cards[3].value, QStringLiteral("1/2"));

    // The last 30 days, today included, with only the days that have focus.
    EXPECT_TRUE(model.showsChart());
    EXPECT_EQ(model.windowStart(), t.local(2026, 2, 1));
    EXPECT_EQ(model.windowEnd(), t.local(2026, 3, 2));
    EXPECT_EQ(model.chartSeries(), (std::vector<DailyTrailTotal>{{t.local(2026, 2, 1), 60},
                                                                 {t.local(2026, 3, 1), 35},
                                                                 {t.local(2026, 3, 2), 25}}));

    // Most minutes first; archived goals too; goals without minutes left out.
    EXPECT_EQ(rowTitles(model), (std::vector<QString>{QStringLiteral("Finish the thesis"),
                                                      QStringLiteral("Learn Spanish"),
                                                      QStringLiteral("Run a marathon")}));
    const ListRow& top = model.goalRows()->rows().front();
    EXPECT_EQ(top.data.value(OverviewModel::DurationTextRole), QStringLiteral("1h 25m"));
    EXPECT_EQ(top.data.value(Qt::AccessibleTextRole), QStringLiteral("Finish the thesis"));
    EXPECT_EQ(top.data.value(Qt::AccessibleDescriptionRole), QStringLiteral("1h 25m"));
    EXPECT_EQ(top.data.value(OverviewModel::ColorTagRole), QString());
    EXPECT_EQ(model.goalRows()->rows().back().data.value(OverviewModel::ColorTagRole),
              QStringLiteral("orange"));

    // One active goal is singular; a new day moves the window and the streak.
    spanish->setStatus(GoalStatus::active);
    marathon->setStatus(GoalStatus::archived);
    idle->setStatus(GoalStatus::completed);
    drainEvents();
    EXPECT_EQ(model.cards()[2].value, QStringLiteral("1"));
    EXPECT_EQ(model.cards()[2].label, QStringLiteral("active goal"));
    EXPECT_EQ(model.cards()[2].accessibleName, QStringLiteral("1 active goal"));
    // (How the streak and the window count days is the focus figures' test's.)
    t.now = t.local(2026, 3, 4, 9);
    model.checkDay();
    EXPECT_EQ(model.cards()[1].value, QStringLiteral("0"));
    EXPECT_EQ(model.cards()[1].tint, Tint::secondary);
    EXPECT_EQ(model.windowStart(), t.local(2026, 2, 3));
    EXPECT_EQ(model.chartSeries().size(), 2u);
}

TEST_F(OverviewModelTest, OnlyOldFocusShowsTheChartWithoutBars) {
    Goal* g = goal(QStringLiteral("Read"));
    entry(t.local(2026, 1, 21, 12), 40, g); // 40 days ago
    OverviewModel model(t.env);
    model.setShown(true);
    EXPECT_TRUE(model.showsChart());
    EXPECT_TRUE(model.chartSeries().empty());
    EXPECT_EQ(model.cards()[0].value, QStringLiteral("40m"));
    EXPECT_EQ(rowTitles(model), std::vector<QString>{QStringLiteral("Read")});
}

TEST_F(OverviewModelTest, RecomputesOncePerTurnAndOnlyWhileShown) {
    Goal* g = goal(QStringLiteral("Read"));
    OverviewModel model(t.env);
    QSignalSpy changed(&model, &OverviewModel::changed);
    model.setShown(true);
    EXPECT_EQ(changed.count(), 1);

    for (int i = 0; i < 5; ++i)
        entry(t.now - 60.0 * i, 10, g);
    ctx.create<DayTask>(QStringLiteral("Stretch"), t.now);
    EXPECT_EQ(model.cards()[0].value, QStringLiteral("0m")) << "not within the turn";
    drainEvents();
    EXPECT_EQ(changed.count(), 2) << "one recompute for the whole turn";
    EXPECT_EQ(model.cards()[0].value, QStringLiteral("50m"));

    // A running timer's session and other records leave the figures alone.
    ctx.create<FocusSession>(1500.0);
    drainEvents();
    EXPECT_EQ(changed.count(), 2);

    // Hidden: stale, brought up to date on the next showing.
    model.setShown(false);
    entry(t.now, 5, g);
    drainEvents();
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(model.cards()[0].value, QStringLiteral("50m"));
    model.setShown(true);
    EXPECT_EQ(model.cards()[0].value, QStringLiteral("55m"));
}

TEST_F(OverviewModelTest, AnnouncesTheNewestEntryOnceAndMarksItsGoalForFourSeconds) {
    Goal* marathon = goal(QStringLiteral("Run a marathon"));
    Goal* other = goal(QStringLiteral("Other"), GoalStatus::active, 1);
    entry(t.now - 7200, 90, other);
    entry(t.now - 600, 25, marathon);
    OverviewModel model(t.env);
    QSignalSpy announced(&model, &OverviewModel::acknowledgmentChanged);

    model.setShown(true);
    ASSERT_EQ(announced.count(), 1);
    EXPECT_EQ(model.acknowledgmentMessage(), QStringLiteral("25 min logged to Run a marathon"));
    EXPECT_EQ(model.justLoggedGoalID(), marathon->id());
    auto justLogged = [&](int row) {
        return model.goalRows()->rows().at(size_t(row)).data.value(OverviewModel::JustLoggedRole);
    };
    EXPECT_EQ(justLogged(0), false) << "Other, 1h 30m";
    EXPECT_EQ(justLogged(1), true);
    EXPECT_EQ(model.goalRows()->rows().at(1).data.value(Qt::AccessibleTextRole),
              QStringLiteral("Run a marathon, just logged"));

    // The mark survives a recompute; message and mark end with the one wait.
    entry(t.now - 3600, 1, other);
    drainEvents();
    EXPECT_EQ(justLogged(1), true);
    auto endWait = [&] {
        ASSERT_TRUE(model.justLoggedTimer()->isActive());
        model.justLoggedTimer()->stop();
        ASSERT_TRUE(QMetaObject::invokeMethod(model.justLoggedTimer(), "timeout"));
    };
    endWait();
    EXPECT_FALSE(model.justLoggedGoalID());
    EXPECT_TRUE(model.acknowledgmentMessage().isEmpty());
    ASSERT_EQ(announced.count(), 2);
    EXPECT_EQ(announced.at(1).at(0), QString()) << "the banner goes with the mark";
    EXPECT_EQ(justLogged(1), false);
    EXPECT_EQ(model.goalRows()->rows().at(1).data.value(Qt::AccessibleTextRole),
              QStringLiteral("Run a marathon"));

    // Shown again: nothing new. (Once across restarts, and the goal-less
    // wording, are TrailAcknowledgment's test's.)
    model.setShown(false);
    model.setShown(true);
    EXPECT_EQ(announced.count(), 2);

    // A new entry is announced on showing, not while shown.
    t.now += 60;
    ctx.create<TrailEntry>(t.now, 3, nullptr, t.now);
    drainEvents();
    EXPECT_EQ(announced.count(), 2);
    model.setShown(false);
    model.setShown(true);
    ASSERT_EQ(announced.count(), 3);
    EXPECT_FALSE(model.justLoggedGoalID());
    endWait();
    EXPECT_TRUE(model.acknowledgmentMessage().isEmpty()) << "the message has its wait too";
}

TEST_F(OverviewModelTest, GoalAndTaskChangesKeepTheFiguresAsAFreshCountWould) {
    UndoManager* undo = ctx.ensureUndoManager();
    Goal* marathon = goal(QStringLiteral("Run a marathon"), GoalStatus::active, 0, "orange");
    Goal* thesis = goal(QStringLiteral("Finish the thesis"), GoalStatus::active, 1);
    Goal* spanish = goal(QStringLiteral("Learn Spanish"), GoalStatus::completed, 2);
    entry(t.local(2026, 3, 1, 21), 60, marathon);
    entry(t.local(2026, 2, 28, 8), 60, thesis); // a tie: goal order decides
    entry(t.local(2026, 2, 27, 8), 20, spanish);
    DayTask* stretch = ctx.create<DayTask>(QStringLiteral("Stretch"), t.now);
    OverviewModel model(t.env);
    model.setShown(true);
    expectAsFresh(model);

    SCOPED_TRACE("renamed, reordered, tagged");
    thesis->setTitle(QStringLiteral("Defend the thesis"));
    expectAsFresh(model);
    thesis->setSortOrder(-1);
    expectAsFresh(model);
    EXPECT_EQ(rowTitles(model).front(), QStringLiteral("Defend the thesis"));
    spanish->setColorTag(QStringLiteral("blue"));
    expectAsFresh(model);

    SCOPED_TRACE("archived and completed");
    marathon->setStatus(GoalStatus::archived);
    spanish->setStatus(GoalStatus::active);
    expectAsFresh(model);

    SCOPED_TRACE("deleted with its trail, then undone");
    ctx.remove(thesis);
    expectAsFresh(model);
    undo->undo();
    expectAsFresh(model);

    SCOPED_TRACE("a new goal without minutes");
    goal(QStringLiteral("Nothing logged"), GoalStatus::active, 3);
    expectAsFresh(model);

    SCOPED_TRACE("tasks ticked off, added, deleted");
    stretch->setOnlyCompleteFlag(true);
    expectAsFresh(model);
    ctx.create<DayTask>(QStringLiteral("Buy shoes"), t.now + 86400 * 3);
    expectAsFresh(model);
    EXPECT_EQ(model.cards()[3].value, QStringLiteral("1/2"));
    ctx.remove(stretch);
    expectAsFresh(model);
    EXPECT_EQ(model.cards()[3].value, QStringLiteral("0/1"));
}

TEST(DurationText, HoursAndMinutes) {
    EXPECT_EQ(formattedDuration(0), QStringLiteral("0m"));
    EXPECT_EQ(formattedDuration(45), QStringLiteral("45m"));
    EXPECT_EQ(formattedDuration(60), QStringLiteral("1h"));
    EXPECT_EQ(formattedDuration(61), QStringLiteral("1h 1m"));
    EXPECT_EQ(formattedDuration(135), QStringLiteral("2h 15m"));
    EXPECT_EQ(formattedDuration(-59), QStringLiteral("-59m"));
}

} // namespace
