#include "Store/ModelContext.h"
#include "Store/UndoManager.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <limits>

using namespace orvana;
using orvana::test::at;
using orvana::test::drainEvents;

namespace {

const QTimeZone berlin("Europe/Berlin");

template <class T> std::vector<const Record*> records(const std::vector<T*>& list) {
    return {list.begin(), list.end()};
}

class PlanningRules : public ::testing::Test {
protected:
    ModelContext ctx;
    Calendar calendar = test::berlinMondayFirst();

    // A goal with one week item in one week and a task made from the item,
    // which has one focus session.
    struct Chain {
        Goal* goal;
        Week* week;
        WeekItem* item;
        DayTask* task;
        FocusSession* session;
    };
    Chain makeChain(Timestamp day) {
        Chain c{};
        c.goal = ctx.create<Goal>(QStringLiteral("Run a marathon"));
        c.week = Week::findOrCreate(day, ctx, calendar);
        c.item = ctx.create<WeekItem>(QStringLiteral("Long run"));
        c.item->setGoal(c.goal);
        c.item->setWeek(c.week);
        c.task = c.item->materializeDayTask(day, calendar);
        c.session = ctx.create<FocusSession>(1500.0);
        c.session->setDayTask(c.task);
        return c;
    }
};

// Undo brings back the same records, each link on both sides and in its
// order, in one step.
TEST_F(PlanningRules, DeletingAGoalCascadesNullifiesDirectLinksAndUndoesAsOneStep) {
    UndoManager* undo = ctx.ensureUndoManager();
    const Timestamp day = at(berlin, 2026, 6, 10, 9);
    Chain c = makeChain(day);
    auto* direct = ctx.create<DayTask>(QStringLiteral("Buy shoes"), calendar.startOfDay(day));
    direct->setGoal(c.goal);
    auto* directSession = ctx.create<FocusSession>(600.0);
    directSession->setGoal(c.goal);
    auto* block = ctx.create<FocusBlockTemplate>(QStringLiteral("Deep work"),
                                                 std::vector<qint64>{2, 4}, 7, 30, 45);
    block->setGoal(c.goal);
    auto* entry = ctx.create<TrailEntry>(day, 25, c.goal);
    auto links = [&] {
        return std::vector<std::vector<const Record*>>{records(c.goal->weekItems()),
                                                       records(c.goal->directDayTasks()),
                                                       records(c.goal->directFocusSessions()),
                                                       records(c.goal->focusBlockTemplates()),
                                                       records(c.goal->trailEntries()),
                                                       records(c.week->items()),
                                                       records(c.item->dayTasks()),
                                                       records(c.task->focusSessions()),
                                                       {c.item->week(), c.task->goal(),
                                                        c.session->dayTask(), direct->goal(),
                                                        directSession->goal(), block->goal()}};
    };
    const auto linked = links();
    drainEvents();
    const auto steps = undo->undoCount();

    ctx.remove(c.goal);

    const std::initializer_list<Record*> cascade{c.goal, c.item, c.task, c.session, entry};
    for (Record* gone : cascade)
        EXPECT_TRUE(gone->isDeleted());
    for (Record* kept : std::initializer_list<Record*>{c.week, direct, directSession, block})
        EXPECT_FALSE(kept->isDeleted());
    EXPECT_EQ(direct->goal(), nullptr);
    EXPECT_EQ(directSession->goal(), nullptr);
    EXPECT_EQ(block->goal(), nullptr);
    EXPECT_TRUE(c.week->items().empty());
    EXPECT_EQ(ctx.fetch<DayTask>(), std::vector<DayTask*>{direct});
    EXPECT_EQ(ctx.findByID<Goal>(c.goal->id()), nullptr);

    drainEvents();
    EXPECT_EQ(undo->undoCount(), steps + 1);
    undo->undo();
    for (Record* back : cascade)
        EXPECT_FALSE(back->isDeleted());
    EXPECT_EQ(links(), linked);
    EXPECT_EQ(ctx.findByID<Goal>(c.goal->id()), c.goal);
    undo->redo();
    EXPECT_TRUE(c.goal->isDeleted() && c.item->isDeleted() && entry->isDeleted());
    EXPECT_EQ(direct->goal(), nullptr);
    undo->undo();
    EXPECT_EQ(links(), linked);
}

TEST_F(PlanningRules, DeletingAWeekOrItemOrTaskRemovesWhatHangsBelow) {
    const Timestamp day = at(berlin, 2026, 6, 10, 9);
    Chain c = makeChain(day);
    auto* entry = ctx.create<TrailEntry>(day, 25, c.goal);

    ctx.remove(c.task);
    EXPECT_TRUE(c.session->isDeleted());
    EXPECT_FALSE(entry->isDeleted()) << "logged minutes outlive the task";
    EXPECT_TRUE(c.item->dayTasks().empty());
    EXPECT_TRUE(c.goal->directDayTasks().empty());

    auto* again = c.item->materializeDayTask(day, calendar);
    ctx.remove(c.week);
    EXPECT_TRUE(c.item->isDeleted());
    EXPECT_TRUE(again->isDeleted());
    EXPECT_FALSE(c.goal->isDeleted());
    EXPECT_TRUE(c.goal->weekItems().empty());
}

TEST_F(PlanningRules, RelationshipsAreTwoSidedAndKeepInsertionOrder) {
    auto* a = ctx.create<Goal>(QStringLiteral("A"));
    auto* b = ctx.create<Goal>(QStringLiteral("B"));
    auto* t1 = ctx.create<DayTask>(QStringLiteral("1"), 0.0);
    auto* t2 = ctx.create<DayTask>(QStringLiteral("2"), 0.0);
    auto* t3 = ctx.create<DayTask>(QStringLiteral("3"), 0.0);
    t3->setGoal(a);
    t1->setGoal(a);
    t2->setGoal(a);
    EXPECT_EQ(a->directDayTasks(), (std::vector<DayTask*>{t1, t2, t3}));

    t2->setGoal(b);
    EXPECT_EQ(a->directDayTasks(), (std::vector<DayTask*>{t1, t3}));
    EXPECT_EQ(b->directDayTasks(), std::vector<DayTask*>{t2});
    EXPECT_EQ(t2->goal(), b);

    // Linked before insertion: the link survives insertion, and goes with
    // its undo.
    UndoManager* undo = ctx.ensureUndoManager();
    drainEvents();
    auto* entry = ctx.insert(std::make_unique<TrailEntry>(0.0, 5, b));
    EXPECT_EQ(b->trailEntries(), std::vector<TrailEntry*>{entry});
    drainEvents();
    undo->undo();
    EXPECT_TRUE(entry->isDeleted());
    EXPECT_TRUE(b->trailEntries().empty());
    undo->redo();
    EXPECT_EQ(b->trailEntries(), std::vector<TrailEntry*>{entry});
    EXPECT_EQ(entry->goal(), b);
}

TEST_F(PlanningRules, TodaysOneThingIsUniquePerCalendarDayOnly) {
    const Timestamp today = at(berlin, 2026, 6, 10, 0);
    const Timestamp tomorrow = at(berlin, 2026, 6, 11, 0);
    auto* todayFlagged =
        ctx.create<DayTask>(QStringLiteral("today"), today, std::nullopt, false, true);
    auto* tomorrowFlagged =
        ctx.create<DayTask>(QStringLiteral("tomorrow A"), tomorrow, std::nullopt, false, true);
    // Not stored at midnight: readers compare by calendar day.
    auto* tomorrowLate =
        ctx.create<DayTask>(QStringLiteral("tomorrow B"), at(berlin, 2026, 6, 11, 23, 59));

    DayTask::setAsTodaysOneThing(*tomorrowLate, calendar);
    EXPECT_TRUE(tomorrowLate->isTodaysOneThing());
    EXPECT_FALSE(tomorrowFlagged->isTodaysOneThing());
    EXPECT_TRUE(todayFlagged->isTodaysOneThing()) << "another day keeps its flag";

    // Re-marking the flagged task keeps it, and clears a stray second flag.
    tomorrowFlagged->setIsTodaysOneThing(true);
    DayTask::setAsTodaysOneThing(*tomorrowLate, calendar);
    EXPECT_TRUE(tomorrowLate->isTodaysOneThing());
    EXPECT_FALSE(tomorrowFlagged->isTodaysOneThing());
}

// An item's task for a day is made once, at the day's midnight, with the
// item's goal and state; completion then flows from a task to its item only,
// and from the item to all its tasks.
TEST_F(PlanningRules, AnItemsTasksAreOneADayAndShareItsCompletion) {
    Chain c = makeChain(at(berlin, 2026, 6, 8, 10));
    c.item->setComplete(true);
    DayTask* tuesday = c.item->materializeDayTask(at(berlin, 2026, 6, 9, 18, 30), calendar);
    EXPECT_EQ(tuesday->date(), at(berlin, 2026, 6, 9));
    EXPECT_EQ(tuesday->goal(), c.goal);
    EXPECT_EQ(tuesday->weekItem(), c.item);
    EXPECT_TRUE(tuesday->isComplete()) << "a new task takes over the item's state";
    const auto before = ctx.count<DayTask>();
    tuesday->setTitle(QStringLiteral("renamed"));
    EXPECT_EQ(c.item->materializeDayTask(at(berlin, 2026, 6, 9, 7), calendar), tuesday);
    EXPECT_EQ(tuesday->title(), QStringLiteral("renamed")) << "the found task is not updated";
    EXPECT_EQ(ctx.count<DayTask>(), before);

    tuesday->setComplete(false);
    EXPECT_FALSE(c.item->isComplete());
    EXPECT_TRUE(c.task->isComplete()) << "sibling tasks keep their state";
    tuesday->setComplete(true);
    EXPECT_TRUE(c.item->isComplete());
    c.item->setComplete(false);
    EXPECT_FALSE(c.task->isComplete() || tuesday->isComplete());

    auto* loose = ctx.create<DayTask>(QStringLiteral("loose"), 0.0);
    loose->setComplete(true);
    EXPECT_TRUE(loose->isComplete());
}

TEST_F(PlanningRules, WeeksFollowTheCalendarsFirstWeekday) {
    const Calendar sundayFirst(berlin, 1);
    const Timestamp sunday14 = at(berlin, 2026, 6, 14, 15);

    Week* mondayWeek = Week::findOrCreate(sunday14, ctx, calendar);
    ASSERT_NE(mondayWeek, nullptr);
    EXPECT_EQ(mondayWeek->startDate(), at(berlin, 2026, 6, 8));
    EXPECT_EQ(mondayWeek->endDate(), at(berlin, 2026, 6, 15));
    EXPECT_EQ(Week::findOrCreate(at(berlin, 2026, 6, 10, 12), ctx, calendar), mondayWeek);
    EXPECT_EQ(ctx.count<Week>(), 1u);

    Week* sundayWeek = Week::findOrCreate(sunday14, ctx, sundayFirst);
    ASSERT_NE(sundayWeek, mondayWeek);
    EXPECT_EQ(sundayWeek->startDate(), at(berlin, 2026, 6, 14));
    EXPECT_EQ(sundayWeek->endDate(), at(berlin, 2026, 6, 21));

    // The instant equal to endDate belongs to the next week.
    EXPECT_EQ(Week::containing(mondayWeek->endDate(), ctx, calendar), nullptr);
    EXPECT_EQ(Week::containing(mondayWeek->endDate() - 0.001, ctx, calendar), mondayWeek);

    // Lookups compare the start day only, whatever time of day was stored.
    mondayWeek->setStartDate(at(berlin, 2026, 6, 8, 13));
    EXPECT_EQ(Week::containing(sunday14, ctx, calendar), mondayWeek);
}

TEST_F(PlanningRules, MostRecentPastWeekIsTheLatestStartingStrictlyBefore) {
    EXPECT_EQ(Week::mostRecentPast(at(berlin, 2026, 6, 10), ctx), nullptr);
    Week* may = Week::findOrCreate(at(berlin, 2026, 5, 20), ctx, calendar);
    Week* june = Week::findOrCreate(at(berlin, 2026, 6, 10), ctx, calendar);
    Week::findOrCreate(at(berlin, 2026, 4, 1), ctx, calendar); // earlier
    EXPECT_EQ(Week::mostRecentPast(june->startDate(), ctx), may);
    EXPECT_EQ(Week::mostRecentPast(june->startDate() + 1, ctx), june);
}

TEST_F(PlanningRules, ANewItemSortsLastEvenAfterDeletions) {
    Week* week = Week::findOrCreate(at(berlin, 2026, 6, 10), ctx, calendar);
    EXPECT_EQ(week->nextItemSortOrder(), 0);
    std::vector<WeekItem*> items;
    for (int i = 0; i < 5; ++i) {
        items.push_back(ctx.create<WeekItem>(QStringLiteral("item"), std::nullopt, false, i));
        items.back()->setWeek(week);
    }
    EXPECT_EQ(week->nextItemSortOrder(), 5);
    ctx.remove(items[1]);
    ctx.remove(items[2]);
    EXPECT_EQ(week->nextItemSortOrder(), 5) << "not 3, which would sort it before item 4";
    items[0]->setSortOrder(std::numeric_limits<qint64>::max()); // an absurd import
    EXPECT_EQ(week->nextItemSortOrder(), 5);
}

// Texts another version may have stored: kept, and read as nothing known.
TEST(Enums, UnknownTextsYieldNothing) {
    Goal goal(QStringLiteral("g"));
    goal.setColorTag(QStringLiteral("teal"));
    EXPECT_FALSE(goal.colorTagValue());
    EXPECT_EQ(goal.colorTag(), QStringLiteral("teal")) << "unknown text is kept as stored";
    goal.setColorTag(QStringLiteral("Red"));
    EXPECT_FALSE(goal.colorTagValue());
    EXPECT_FALSE(goalStatusFromRaw(u"done"));

    FocusSession session(60);
    session.setKindRawValue(QStringLiteral("nap"));
    EXPECT_EQ(session.kind(), FocusSessionKind::work);
    session.setKindRawValue(std::nullopt);
    EXPECT_EQ(session.kind(), FocusSessionKind::work);
}

} // namespace
