#include "Store/LiveQuery.h"
#include "Store/ModelContext.h"
#include "Store/UndoManager.h"
#include "support/TestSupport.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

class Undo : public ::testing::Test {
protected:
    void SetUp() override {
        manager = ctx.ensureUndoManager();
        goal = ctx.create<Goal>(QStringLiteral("A"));
    }

    // Undoes one step; the goal's title and order after it.
    QString undo() {
        manager->undo();
        return goal->title() + u' ' + QString::number(goal->sortOrder());
    }

    ModelContext ctx;
    UndoManager* manager = nullptr;
    Goal* goal = nullptr;
};

TEST_F(Undo, ChangesOfOneEventLoopTurnFormOneStepAndExplicitGroupsAnother) {
    goal->setTitle(QStringLiteral("B"));
    drainEvents(); // end of the turn closes the implicit group
    goal->setTitle(QStringLiteral("C"));
    goal->setSortOrder(7);
    drainEvents();

    EXPECT_EQ(undo(), QStringLiteral("B 0"));
    undo();
    EXPECT_TRUE(goal->isDeleted());
    EXPECT_FALSE(manager->canUndo());
    manager->redo();
    manager->redo();
    EXPECT_EQ(goal->title(), QStringLiteral("C"));

    // An explicit group is one step even when it spans several turns, and
    // does not swallow what the same turn did before it began.
    goal->setTitle(QStringLiteral("before import"));
    manager->beginUndoGrouping();
    auto* imported = ctx.create<Goal>(QStringLiteral("imported"));
    drainEvents();
    manager->beginUndoGrouping(); // nested groups merge into the outer one
    goal->setTitle(QStringLiteral("overwritten"));
    manager->endUndoGrouping();
    manager->undo(); // refused while a group is open
    EXPECT_FALSE(imported->isDeleted());
    manager->endUndoGrouping();

    EXPECT_EQ(undo(), QStringLiteral("before import 7"));
    EXPECT_TRUE(imported->isDeleted());
    EXPECT_EQ(undo(), QStringLiteral("C 7"));
    // A new change drops what could be redone.
    ASSERT_TRUE(manager->canRedo());
    goal->setSortOrder(2);
    EXPECT_FALSE(manager->canRedo());
}

TEST_F(Undo, ABurstOfTypingIsOneStepUntilSomethingElseLandsOrTheBurstEnds) {
    drainEvents();
    quint64 burst = manager->newBurst();
    // Each keystroke and each other change is a turn of its own, unless told.
    auto type = [&](const char* title, bool endTurn = true) {
        goal->setTitle(QString::fromLatin1(title));
        manager->continueBurst(burst);
        if (endTurn)
            drainEvents();
    };
    auto reorder = [&](qint64 order) {
        goal->setSortOrder(order);
        drainEvents();
    };
    const quint64 before = manager->latestUndoStep();
    for (const char* typed : {"Ru", "Run", "Run "})
        type(typed);
    EXPECT_EQ(manager->latestUndoStep(), before + 1);
    // A change in between breaks the burst even though typing goes on.
    reorder(3);
    type("Run 5k");
    // A keystroke that changed nothing leaves no mark for the next change.
    burst = manager->newBurst();
    type("Run 5k");
    reorder(4);

    EXPECT_EQ(undo(), QStringLiteral("Run 5k 3"));
    EXPECT_EQ(undo(), QStringLiteral("Run  3"));
    EXPECT_EQ(undo(), QStringLiteral("Run  0"));
    EXPECT_EQ(undo(), QStringLiteral("A 0"));
    // Redo brings the burst back whole.
    manager->redo();
    EXPECT_EQ(goal->title(), QStringLiteral("Run "));

    // A change made in the same turn as a keystroke does not ride along.
    burst = manager->newBurst();
    type("Run 1");
    manager->closeImplicitGroup();
    type("Run 10", false);
    goal->setSortOrder(9); // a session logged by a timer in the same turn
    drainEvents();
    EXPECT_EQ(undo(), QStringLiteral("Run 1 0")) << "only that turn's keystroke goes with it";
}

// Changes from outside (a sync pull) are no step of their own. The user's
// steps over other records stay and undo in order; a step over a record they
// changed is dropped, on the undo stack and the redo stack alike.
TEST_F(Undo, OutsideChangesDropOnlyTheStepsOverTheRecordsTheyChanged) {
    auto* x = ctx.create<DayTask>(QStringLiteral("x"), 0.0);
    auto* y = ctx.create<DayTask>(QStringLiteral("y"), 0.0);
    drainEvents();
    auto step = [&](auto&& change) {
        change();
        drainEvents();
    };
    step([&] { goal->setTitle(QStringLiteral("B")); });
    step([&] { x->setTitle(QStringLiteral("x mine")); });
    step([&] { y->setTitle(QStringLiteral("y mine")); });
    step([&] { goal->setSortOrder(5); });
    manager->undo();
    manager->undo(); // y's step and the order's wait for redo
    ASSERT_EQ(manager->undoCount(), 3u);
    ASSERT_EQ(manager->redoCount(), 2u);
    const quint64 top = manager->latestUndoStep();

    QSignalSpy state(manager, &UndoManager::stateChanged);
    {
        ModelContext::OutsideChange pull(ctx);
        x->setTitle(QStringLiteral("x from the phone"));
        y->setNotes(QStringLiteral("from the phone"));
        ctx.create<DayTask>(QStringLiteral("new from the phone"), 0.0);
        EXPECT_EQ(manager->undoCount(), 3u) << "nothing is registered meanwhile";
    }
    EXPECT_EQ(state.count(), 1);
    EXPECT_EQ(manager->undoCount(), 1u) << "the insertion of x and y went too";
    EXPECT_EQ(manager->redoCount(), 1u);
    EXPECT_NE(manager->latestUndoStep(), top) << "a banner for the dropped step goes";

    EXPECT_EQ(undo(), QStringLiteral("A 0"));
    EXPECT_EQ(x->title(), QStringLiteral("x from the phone"));
    manager->redo();
    manager->redo();
    EXPECT_EQ(goal->title() + u' ' + QString::number(goal->sortOrder()), QStringLiteral("B 5"));
    EXPECT_EQ(y->title(), QStringLiteral("y"));
    while (manager->canUndo())
        manager->undo();
    EXPECT_EQ(goal->title(), QStringLiteral("A"));
    EXPECT_FALSE(goal->isDeleted() || x->isDeleted() || y->isDeleted());
}

// A dropped step takes older steps that share a record with it: undoing the
// making of a goal under a task still linked to it would leave the link
// dangling. The step being collected is dropped too, and its number is never
// given to another step.
TEST_F(Undo, ADroppedStepTakesTheOlderStepsItBuiltOn) {
    drainEvents();
    auto* other = ctx.create<Goal>(QStringLiteral("other"));
    drainEvents();
    auto* task = ctx.create<DayTask>(QStringLiteral("t"), 0.0);
    task->setGoal(goal);
    drainEvents();
    other->setTitle(QStringLiteral("typed"));
    {
        ModelContext::OutsideChange pull(ctx);
        task->setTitle(QStringLiteral("t from the phone"));
    }
    EXPECT_EQ(manager->undoCount(), 2u) << "other's two steps stay";
    EXPECT_EQ(undo(), QStringLiteral("A 0"));
    EXPECT_EQ(other->title(), QStringLiteral("other"));
    other->setTitle(QStringLiteral("typed again"));
    const quint64 open = manager->latestUndoStep();
    {
        ModelContext::OutsideChange pull(ctx);
        other->setSortOrder(3);
    }
    other->setTitle(QStringLiteral("typed once more"));
    EXPECT_NE(manager->latestUndoStep(), open);
    EXPECT_EQ(manager->undoCount(), 1u);
    manager->undo();
    EXPECT_EQ(other->title(), QStringLiteral("typed again")) << "the step before went";
    EXPECT_FALSE(other->isDeleted());
    EXPECT_FALSE(goal->isDeleted());
    EXPECT_EQ(task->goal(), goal);
}

// With and without a date range, which goes through the day index.
TEST(ModelContextBehaviour, FetchSeesUnsavedInsertsFiltersSortsAndLimits) {
    ModelContext ctx;
    for (int i = 0; i < 6; ++i)
        ctx.create<DayTask>(QStringLiteral("t%1").arg(i), 100.0 * i, std::nullopt, i % 2 == 0,
                            false, i / 2);
    auto titles = [&](const FetchDescriptor<DayTask>& fetch) {
        QStringList out;
        for (DayTask* t : ctx.fetch(fetch))
            out << t->title();
        return out.join(u' ');
    };
    auto open = FetchDescriptor<DayTask>::where([](const DayTask& t) { return !t.isComplete(); });
    open.sortedBy(SortDescriptor<DayTask>::by(&DayTask::sortOrder, SortOrder::reverse));
    EXPECT_EQ(titles(open), QStringLiteral("t5 t3 t1"));
    EXPECT_EQ(titles(open.onDates(0, 400)), QStringLiteral("t3 t1"));
    EXPECT_EQ(titles(open.limitedTo(1)), QStringLiteral("t3"));
    // Ties keep insertion order.
    auto bySort =
        FetchDescriptor<DayTask>().sortedBy(SortDescriptor<DayTask>::by(&DayTask::sortOrder));
    EXPECT_EQ(titles(bySort), QStringLiteral("t0 t1 t2 t3 t4 t5"));
    EXPECT_EQ(titles(bySort.onDates(100, 400)), QStringLiteral("t1 t2 t3"));

    ctx.remove(ctx.fetch(bySort).front());
    EXPECT_EQ(ctx.fetch<DayTask>().size(), 5u);
    EXPECT_EQ(ctx.pendingChangeCount(), 6u) << "a deleted unsaved record is still tracked";
}

TEST(ModelContextBehaviour, ChangesAreAnnouncedOncePerTurnAndLiveQueriesFollow) {
    ModelContext ctx;
    QSignalSpy changed(&ctx, &ModelContext::changed);
    LiveQuery<DayTask> open(
        ctx, FetchDescriptor<DayTask>::where([](const DayTask& t) { return !t.isComplete(); }));
    QSignalSpy refreshed(&open, &LiveQueryBase::resultsChanged);

    auto* a = ctx.create<DayTask>(QStringLiteral("a"), 0.0);
    auto* b = ctx.create<DayTask>(QStringLiteral("b"), 0.0);
    b->setTitle(QStringLiteral("b2"));
    EXPECT_EQ(changed.count(), 0) << "nothing is announced mid-turn";
    drainEvents();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(refreshed.count(), 1);
    EXPECT_EQ(open.results(), (std::vector<DayTask*>{a, b}));
    EXPECT_EQ(changed.first().first().toUInt(), 1u << unsigned(EntityType::dayTask));

    a->setComplete(true);
    drainEvents();
    EXPECT_EQ(open.results(), std::vector<DayTask*>{b});

    a->setComplete(true); // no change, no announcement
    drainEvents();
    EXPECT_EQ(changed.count(), 2);
}

} // namespace

namespace {

// Links may only join live records of one context; anything else would leave
// a dangling pointer or bring a deleted record back into the file.
TEST(Links, ToRecordsThatAreNotLiveAreRefused) {
    ModelContext ctx;
    UndoManager* undo = ctx.ensureUndoManager();
    auto* item = ctx.create<WeekItem>(QStringLiteral("existing"));
    auto* task = ctx.create<DayTask>(QStringLiteral("existing task"), 0.0);
    task->setWeekItem(item);
    drainEvents();

    auto draft = std::make_unique<Goal>(QStringLiteral("draft"));
    item->setGoal(draft.get()); // not inserted yet: refused
    EXPECT_EQ(item->goal(), nullptr);
    Goal* goal = ctx.insert(std::move(draft));
    EXPECT_TRUE(goal->weekItems().empty());
    drainEvents();
    undo->undo(); // undoing the insertion touches nothing that existed before
    EXPECT_FALSE(item->isDeleted());
    EXPECT_FALSE(task->isDeleted());

    auto* gone = ctx.create<Goal>(QStringLiteral("gone"));
    ctx.remove(gone);
    task->setGoal(gone);
    EXPECT_EQ(task->goal(), nullptr);
    EXPECT_TRUE(gone->directDayTasks().empty());

    // A record made but never inserted leaves nothing behind in its owner.
    auto* owner = ctx.create<Goal>(QStringLiteral("owner"));
    { auto orphan = std::make_unique<TrailEntry>(0.0, 10, owner); }
    EXPECT_TRUE(owner->trailEntries().empty());
    ctx.remove(owner); // would read freed memory if the orphan were listed
}

TEST(Links, IdIndexSurvivesADuplicateIdBeingDeleted) {
    ModelContext ctx;
    auto* first = ctx.create<Goal>(QStringLiteral("first"));
    ASSERT_EQ(ctx.findByID<Goal>(first->id()), first);
    auto copy = std::make_unique<Goal>(QStringLiteral("copy"));
    copy->setID(first->id());
    Goal* second = ctx.insert(std::move(copy));
    ctx.remove(second);
    EXPECT_EQ(ctx.findByID<Goal>(first->id()), first);
}

TEST(Links, AnUndoManagerThatOutlivesItsContextIsEmptied) {
    UndoManager manager;
    {
        ModelContext ctx;
        ctx.setUndoManager(&manager);
        ctx.create<Goal>(QStringLiteral("short-lived"));
        manager.closeImplicitGroup();
        EXPECT_TRUE(manager.canUndo());
    }
    EXPECT_FALSE(manager.canUndo());
    manager.undo(); // nothing left that could reach freed records
}

} // namespace
