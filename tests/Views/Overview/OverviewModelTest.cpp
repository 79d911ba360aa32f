#include "Views/Overview/OverviewModel.h"

#include "Models/DayTask.h"
#include "Models/FocusSession.h"
#include "Models/Goal.h"
#include "Services/Preferences.h"
#include "Store/UndoManager.h"
#include "support/TestEnvironment.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <sstream>

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

    // The figures in words, the rows and the chart's bars included, so that
    // a difference shows where it is.
    static std::string describe(const OverviewStats& s, const std::vector<QString>& rows,
                                const std::vector<DailyTrailTotal>& series) {
        std::ostringstream out;
        out << "minutes " << s.totalFocusMinutes << ", entries " << s.totalSessions
            << ", goals active " << s.activeGoalsCount << " completed " << s.completedGoalsCount
            << ", tasks " << s.tasksCompleted << "/" << s.tasksTotal << ", streak "
            << s.currentStreakDays << "\ndays";
        for (const DailyTrailTotal& d : s.dailyTotals)
            out << " " << qint64(d.date) << ":" << d.minutes;
        out << "\nby goal";
        for (const GoalMinutes& g : s.goalBreakdown)
            out << " " << g.goal->title().toStdString() << ":" << g.minutes;
        out << "\nrows";
        for (const QString& row : rows)
            out << " " << row.toStdString();
        out << "\nbars";
        for (const DailyTrailTotal& d : series)
            out << " " << qint64(d.date) << ":" << d.minutes;
        return out.str();
    }

    // The model kept up to date change by change shows what counting every
    // record afresh gives.
    void expectAsFresh(const OverviewModel& model) {
        drainEvents();
        auto byOrder = FetchDescriptor<Goal>();
        byOrder.sortedBy(SortDescriptor<Goal>::by(&Goal::sortOrder));
        const OverviewStats fresh = OverviewStats::compute(
            ctx.fetch(byOrder), ctx.fetch<TrailEntry>(), ctx.fetch<DayTask>(), t.calendar, t.now);
        std::vector<QString> freshRows;
        for (const GoalMinutes& g : fresh.goalBreakdown)
            freshRows.push_back(g.goal->title() + u'=' +
                                OverviewStats::formattedDuration(g.minutes));
        std::vector<DailyTrailTotal> freshSeries;
        const Timestamp windowStart = *t.calendar.startOfDayAfter(t.now, -29);
        for (const DailyTrailTotal& d : fresh.dailyTotals) {
            if (d.date >= windowStart)
                freshSeries.push_back(d);
        }
        std::vector<QString> rows;
        for (const ListRow& r : model.goalRows()->rows())
            rows.push_back(r.data.value(Qt::DisplayRole).toString() + u'=' +
                           r.data.value(OverviewModel::DurationTextRole).toString());
        EXPECT_EQ(describe(model.stats(), rows, model.chartSeries()),
                  describe(fresh, freshRows, freshSeries));
        EXPECT_EQ(model.showsEmptyState(), ctx.count<Goal>() == 0 && ctx.count<TrailEntry>() == 0 &&
                                               ctx.count<DayTask>() == 0);
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
    EXPECT_EQ(cards[0].symbol, QStringLiteral("flame.fill"));
    EXPECT_EQ(cards[0].value, QStringLiteral("2h 50m"));
    EXPECT_EQ(cards[0].label, QStringLiteral("total focus time"));
    EXPECT_EQ(cards[0].tint, Tint::orange);
    EXPECT_EQ(cards[0].accessibleName, QStringLiteral("2h 50m total focus time"));
    EXPECT_EQ(cards[1].symbol, QStringLiteral("bolt.fill"));
    EXPECT_EQ(cards[1].value, QStringLiteral("2"));
    EXPECT_EQ(cards[1].label, QStringLiteral("day streak"));
    EXPECT_EQ(cards[1].tint, Tint::orange);
    EXPECT_EQ(cards[2].symbol, QStringLiteral("target"));
    EXPECT_EQ(cards[2].value, QStringLiteral("2"));
    EXPECT_EQ(cards[2].label, QStringLiteral("active goals"));
    EXPECT_EQ(cards[2].tint, Tint::accent);
    EXPECT_EQ(cards[3].symbol, QStringLiteral("checkmark.circle.fill"));
    EXPECT_EQ(cards[3].value, QStringLiteral("1/2"));
    EXPECT_EQ(cards[3].label, QStringLiteral("tasks completed"));
    EXPECT_EQ(cards[3].tint, Tint::green);
    EXPECT_EQ(cards[3].accessibleName, QStringLiteral("1/2 tasks completed"));

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
    t.now = t.local(2026, 3, 3, 9);
    model.checkDay();
    EXPECT_EQ(model.cards()[1].value, QStringLiteral("2")) << "today has no focus yet";
    EXPECT_EQ(model.windowStart(), t.local(2026, 2, 2));
    EXPECT_EQ(model.chartSeries().size(), 2u);
    t.now = t.local(2026, 3, 4, 9);
    model.checkDay();
    EXPECT_EQ(model.cards()[1].value, QStringLiteral("0"));
    EXPECT_EQ(model.cards()[1].tint, Tint::secondary);
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
    EXPECT_EQ(announced.at(0).at(0), QStringLiteral("25 min logged to Run a marathon"));
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

    // Shown again: nothing new; that entry was older than the one announced.
    model.setShown(false);
    model.setShown(true);
    EXPECT_EQ(announced.count(), 2);
    OverviewModel afterRestart(t.env);
    afterRestart.setShown(true);
    EXPECT_TRUE(afterRestart.acknowledgmentMessage().isEmpty());

    // A goal-less entry: announced for "your goal", nothing marked.
    t.now += 60;
    ctx.create<TrailEntry>(t.now, 3, nullptr, t.now);
    drainEvents();
    EXPECT_EQ(announced.count(), 2) << "announced on showing, not while shown";
    model.setShown(false);
    model.setShown(true);
    ASSERT_EQ(announced.count(), 3);
    EXPECT_EQ(announced.at(2).at(0), QStringLiteral("3 min logged to your goal"));
    EXPECT_FALSE(model.justLoggedGoalID());
    endWait();
    EXPECT_TRUE(model.acknowledgmentMessage().isEmpty()) << "the message has its wait too";
}

// Each kind of trail change is counted out and in again; every step ends
// where a fresh count of the whole store would.
TEST_F(OverviewModelTest, TrailChangesKeepTheFiguresAsAFreshCountWould) {
    UndoManager* undo = ctx.ensureUndoManager();
    Goal* marathon = goal(QStringLiteral("Run a marathon"), GoalStatus::active, 0, "orange");
    Goal* thesis = goal(QStringLiteral("Finish the thesis"), GoalStatus::active, 1);
    entry(t.local(2026, 3, 1, 21), 35, marathon);
    entry(t.local(2026, 3, 1, 7), 20, thesis);        // the same day
    entry(t.local(2026, 2, 28, 23, 59), 0, thesis);   // no focus, still a day with an entry
    entry(t.local(2025, 3, 30, 0, 30), 40, marathon); // the night the clocks went forward
    // The 25-hour day the clocks went back, and the nights either side.
    entry(t.local(2025, 10, 25, 23, 30), 10, thesis);
    entry(t.local(2025, 10, 26, 12), 10, thesis);
    entry(t.local(2025, 10, 27, 0, 30), 10, thesis);
    OverviewModel model(t.env);
    model.setShown(true);
    expectAsFresh(model);

    SCOPED_TRACE("logged today, and on a day of its own within the window");
    TrailEntry* today = entry(t.local(2026, 3, 2, 9), 25, thesis);
    entry(t.local(2026, 2, 10, 12), 15, marathon);
    expectAsFresh(model);
    EXPECT_EQ(model.stats().currentStreakDays, 2);

    SCOPED_TRACE("the same DST day, counted in by the calendar instead of by day numbers");
    entry(t.local(2025, 3, 30, 23, 10), 5, marathon);
    entry(t.local(2025, 3, 29, 23, 50), 5, nullptr); // and without a goal
    expectAsFresh(model);

    SCOPED_TRACE("edited: minutes, date onto another day, goal");
    today->setMinutes(50);
    expectAsFresh(model);
    TrailEntry* moved = entry(t.local(2026, 1, 5, 8), 30, thesis);
    drainEvents();
    moved->setDate(t.local(2026, 3, 1, 12)); // its day goes, another grows
    moved->setGoal(marathon);
    expectAsFresh(model);
    moved->setGoal(nullptr);
    expectAsFresh(model);

    SCOPED_TRACE("deleted, undone, redone");
    ctx.remove(today);
    expectAsFresh(model);
    EXPECT_EQ(model.stats().currentStreakDays, 1) << "yesterday alone";
    undo->undo();
    expectAsFresh(model);
    EXPECT_EQ(model.stats().currentStreakDays, 2);
    undo->redo();
    expectAsFresh(model);
    undo->undo();
    expectAsFresh(model);

    SCOPED_TRACE("an insertion undone and redone");
    entry(t.local(2026, 2, 27, 18), 45, thesis);
    drainEvents();
    undo->undo();
    expectAsFresh(model);
    undo->redo();
    expectAsFresh(model);

    SCOPED_TRACE("made, edited and deleted within one turn");
    TrailEntry* brief = entry(t.local(2026, 2, 20, 10), 10, thesis);
    brief->setMinutes(11);
    TrailEntry* kept = entry(t.local(2026, 2, 21, 10), 12, marathon);
    kept->setDate(t.local(2026, 2, 22, 10));
    ctx.remove(brief);
    expectAsFresh(model);

    SCOPED_TRACE("absurd imported minutes: every change counts it all, saturating");
    TrailEntry* absurd =
        entry(t.local(2026, 2, 25, 10), std::numeric_limits<qint64>::max(), thesis);
    expectAsFresh(model);
    entry(t.local(2026, 2, 26, 10), 7, thesis);
    expectAsFresh(model);
    ctx.remove(absurd);
    expectAsFresh(model);
    entry(t.local(2026, 2, 26, 11), 8, thesis);
    expectAsFresh(model);

    SCOPED_TRACE("more entries in one turn than are worth counting one by one");
    for (int i = 0; i < 10'050; ++i)
        entry(t.local(2025, 6, 1 + i % 30, 6) + 60.0 * (i / 30), 1 + i % 7,
              i % 2 ? marathon : thesis);
    expectAsFresh(model);
    entry(t.local(2026, 3, 2, 9, 30), 5, marathon);
    expectAsFresh(model);
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
    drainEvents();
    EXPECT_EQ(model.goalRows()->rows().back().data.value(OverviewModel::ColorTagRole),
              QStringLiteral("blue"));

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

// A new day moves the streak and the chart's window over the kept totals
// and the rules still hold: a day without focus today counts back from
// yesterday; the window loses its first day.
TEST_F(OverviewModelTest, ANewDayMovesTheStreakAndTheWindowAsAFreshCountWould) {
    Goal* g = goal(QStringLiteral("Read"));
    for (int day = 24; day <= 28; ++day)
        entry(t.local(2026, 2, day, 20), 30, g);
    entry(t.local(2026, 3, 1, 20), 30, g);
    entry(t.local(2026, 2, 1, 9), 10, g); // the window's first day today
    OverviewModel model(t.env);
    model.setShown(true);
    expectAsFresh(model);
    EXPECT_EQ(model.stats().currentStreakDays, 6) << "yesterday and the five days before";
    EXPECT_EQ(model.chartSeries().front().date, t.local(2026, 2, 1));

    t.now = t.local(2026, 3, 3, 0, 5);
    model.checkDay();
    expectAsFresh(model);
    EXPECT_EQ(model.stats().currentStreakDays, 0) << "yesterday had no focus";
    EXPECT_EQ(model.chartSeries().front().date, t.local(2026, 2, 24));

    entry(t.local(2026, 3, 3, 0, 30), 25, g);
    expectAsFresh(model);
    EXPECT_EQ(model.stats().currentStreakDays, 1);
}

} // namespace
