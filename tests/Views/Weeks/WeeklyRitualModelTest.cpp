#include "Views/Weeks/WeeklyRitualModel.h"
#include "Models/Goal.h"
#include "Models/Week.h"
#include "Models/WeekItem.h"
#include "Store/UndoManager.h"
#include "support/TestEnvironment.h"

#include <QCoro/QCoroTask>
#include <gtest/gtest.h>

namespace {

using namespace orvana;
using orvana::test::drainEvents;

using Steps = std::vector<RitualStep>;

struct WeeklyRitual : ::testing::Test {
    test::TestEnvironment t; // Monday 2026-03-02 10:00 Berlin

    Week* weekOf(Timestamp date) { return Week::findOrCreate(date, t.context, t.calendar); }
    Week* thisWeek() { return weekOf(t.now); }
    Week* lastWeek() { return weekOf(t.local(2026, 2, 25)); }
    Goal* goal(const QString& title, qint64 order = 0, GoalStatus status = GoalStatus::active) {
        return t.context.create<Goal>(title, std::nullopt, std::nullopt, status, std::nullopt,
                                      order);
    }
    WeekItem* item(Week* week, const QString& title, qint64 order, Goal* g = nullptr) {
        auto* i = t.context.create<WeekItem>(title, std::nullopt, false, order);
        i->setWeek(week);
        i->setGoal(g);
        return i;
    }
    static QStringList titles(const std::vector<WeekItem*>& items) {
        QStringList out;
        for (const WeekItem* i : items)
            out << i->title();
        return out;
    }
};

TEST_F(WeeklyRitual, StepsStartAtIntentionWithoutAPreviousWeekAndStayInTheListWhenItChanges) {
    WeeklyRitualModel m(t.env, thisWeek());
    EXPECT_EQ(m.steps(), (Steps{RitualStep::intention, RitualStep::planItems, RitualStep::finish}));
    EXPECT_EQ(m.step(), RitualStep::intention);
    EXPECT_FALSE(m.canGoBack());
    m.back(); // nothing before the first step
    EXPECT_EQ(m.stepIndex(), 0);
    m.next();
    EXPECT_TRUE(m.canGoBack());
    m.next();
    EXPECT_TRUE(m.isFinishStep());
    m.next(); // no step after the last
    EXPECT_EQ(m.stepIndex(), 2);

    // A previous week appears: the same index names another step.
    Week* previous = lastWeek();
    drainEvents();
    EXPECT_EQ(m.steps().front(), RitualStep::retro);
    EXPECT_EQ(m.step(), RitualStep::planItems);
    m.next();
    EXPECT_EQ(m.step(), RitualStep::finish);
    EXPECT_EQ(m.stepIndex(), 3);
    // It goes again: index 3 is past the list, the step is still the last.
    t.context.remove(previous);
    drainEvents();
    EXPECT_EQ(m.steps().size(), 3u);
    EXPECT_EQ(m.stepIndex(), 3);
    EXPECT_EQ(m.step(), RitualStep::finish);
    m.back();
    EXPECT_EQ(m.step(), RitualStep::finish) << "index 2 is the last step now";
    m.back();
    EXPECT_EQ(m.step(), RitualStep::planItems);

    // With a previous week a new presentation opens on the retro step.
    lastWeek();
    WeeklyRitualModel again(t.env, thisWeek());
    EXPECT_EQ(again.step(), RitualStep::retro);
    // Only a week that starts before this one counts.
    weekOf(t.local(2026, 3, 10));
    EXPECT_EQ(again.previousWeek(), lastWeek());
}

TEST_F(WeeklyRitual, RetroListsGoallessItemsFirstThenByGoalTitleThenSortOrder) {
    Week* previous = lastWeek();
    Week* current = thisWeek();
    Goal* write = goal(QStringLiteral("Write"), 0);
    Goal* exercise = goal(QStringLiteral("Exercise"), 1);
    Goal* exerciseToo = goal(QStringLiteral("Exercise"), 2); // same title: one group
    item(previous, QStringLiteral("Edit"), 3, write);
    item(previous, QStringLiteral("Run"), 4, exercise);
    item(previous, QStringLiteral("Call mum"), 5);
    item(previous, QStringLiteral("Draft"), 0, write);
    item(previous, QStringLiteral("Lift"), 2, exerciseToo);
    WeekItem* swim = item(previous, QStringLiteral("Swim"), 1, exercise);
    item(previous, QStringLiteral("Stretch"), 1, exerciseToo); // ties Swim: stays after it
    item(current, QStringLiteral("Not last week's"), 0, write);
    swim->setComplete(true);

    WeeklyRitualModel m(t.env, current);
    EXPECT_EQ(titles(m.retroItems()),
              (QStringList{"Call mum", "Swim", "Stretch", "Lift", "Run", "Draft", "Edit"}));
    const ListRow* row = m.retroList()->rowAt(1);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->data.value(WeeklyRitualModel::GoalTitleRole).toString(),
              QStringLiteral("Exercise"));
    EXPECT_TRUE(row->data.value(WeeklyRitualModel::CompleteRole).toBool());
    EXPECT_TRUE(
        m.retroList()->rowAt(0)->data.value(WeeklyRitualModel::GoalTitleRole).toString().isEmpty());

    // The list follows the records.
    write->setTitle(QStringLiteral("Acting"));
    drainEvents();
    EXPECT_EQ(m.retroList()->rowAt(1)->data.value(Qt::DisplayRole).toString(),
              QStringLiteral("Draft"));
}

TEST_F(WeeklyRitual, ReflectionAndIntentionAreStoredAsTypedAndClearedToAbsentOneUndoStepABurst) {
    UndoManager* undo = t.context.ensureUndoManager();
    Week* previous = lastWeek();
    Week* current = thisWeek();
    previous->setReflection(QStringLiteral("Slow start"));
    current->setIntention(QStringLiteral("Old"));
    undo->closeImplicitGroup();
    WeeklyRitualModel m(t.env, current);
    EXPECT_EQ(m.reflection(), QStringLiteral("Slow start"));

    m.setReflection(QStringLiteral("Good"));
    EXPECT_EQ(previous->reflection(), std::optional<QString>(QStringLiteral("Good")));
    EXPECT_EQ(current->reflection(), std::nullopt) << "the reflection is last week's";
    m.setReflection(QString());
    EXPECT_EQ(previous->reflection(), std::nullopt);

    m.endTypingBurst();
    for (const char* text : {"S", "Sh", "Shi", "Ship"})
        m.setIntention(QString::fromLatin1(text));
    EXPECT_EQ(current->intention(), std::optional<QString>(QStringLiteral("Ship")));
    undo->undo();
    EXPECT_EQ(current->intention(), std::optional<QString>(QStringLiteral("Old")))
        << "the burst is one step";
    EXPECT_EQ(previous->reflection(), std::nullopt) << "the reflection's burst is another";
    m.setIntention(QString());
    EXPECT_EQ(current->intention(), std::nullopt);
    EXPECT_FALSE(m.hasIntention());

    // With no previous week there is no reflection to write.
    t.context.remove(previous);
    drainEvents();
    m.setReflection(QStringLiteral("Lost"));
    EXPECT_TRUE(m.reflection().isEmpty());
}

TEST_F(WeeklyRitual, AddingAnItemTrimsItPutsItLastInTheWeekAndClearsOnlyThatGoalsField) {
    Week* current = thisWeek();
    Goal* write = goal(QStringLiteral("Write"), 1);
    Goal* run = goal(QStringLiteral("Run"), 0);
    Goal* archived = goal(QStringLiteral("Archived"), 2, GoalStatus::archived);
    item(current, QStringLiteral("Loose end"), 0);
    item(current, QStringLiteral("Archived goal's item"), 1, archived);
    item(current, QStringLiteral("Outline"), 4, write); // after a deletion: 4, not 2
    WeeklyRitualModel m(t.env, current);
    ASSERT_EQ(m.activeGoals(), (std::vector<Goal*>{run, write}));

    m.setNewItemTitle(*write, QStringLiteral("  \n "));
    EXPECT_FALSE(m.canAddItem(*write));
    EXPECT_EQ(m.addItem(*write), nullptr);
    EXPECT_EQ(current->items().size(), 3u);

    m.setNewItemTitle(*write, QStringLiteral("  First chapter \n"));
    m.setNewItemTitle(*run, QStringLiteral("5k"));
    EXPECT_TRUE(m.canAddItem(*write));
    WeekItem* added = m.addItem(*write);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->title(), QStringLiteral("First chapter"));
    EXPECT_EQ(added->sortOrder(), 5);
    EXPECT_EQ(added->goal(), write);
    EXPECT_TRUE(m.newItemTitle(*write).isEmpty());
    EXPECT_EQ(m.newItemTitle(*run), QStringLiteral("5k"));

    WeekItem* second = m.addItem(*run);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->sortOrder(), 6) << "counted over all goals";
    EXPECT_EQ(titles(m.itemsForGoal(*write)), (QStringList{"Outline", "First chapter"}));
    RowListModel* writeRows = m.planList(*write);
    ASSERT_EQ(writeRows->rowCount(), 2);
    item(current, QStringLiteral("Second chapter"), 7, write);
    drainEvents();
    EXPECT_EQ(writeRows->rowCount(), 3) << "the rows follow the records";
    EXPECT_EQ(m.finishList()->rowAt(0)->data.value(Qt::DisplayRole).toString(),
              QStringLiteral("Loose end"));
    EXPECT_EQ(m.finishList()->rowCount(), 6);
}

TEST_F(WeeklyRitual, ReviewTextIsTheIntentionThenTheItemsInTheWeeksOwnOrder) {
    Week* current = thisWeek();
    WeeklyRitualModel m(t.env, current);
    EXPECT_EQ(m.reviewText(), QString());
    current->setIntention(QString()); // stored empty elsewhere: no line
    item(current, QStringLiteral("Second by order"), 3);
    item(current, QStringLiteral("First by order"), 1);
    EXPECT_EQ(m.reviewText(), QStringLiteral("Second by order\nFirst by order"));
    current->setIntention(QStringLiteral("Ship it"));
    EXPECT_EQ(m.reviewText(), QStringLiteral("Ship it\nSecond by order\nFirst by order"));
    EXPECT_EQ(titles(m.weekItemsBySortOrder()), (QStringList{"First by order", "Second by order"}));
}

// The window's run covers the first finish and the nudge it withdraws.
TEST_F(WeeklyRitual, FinishStampsNowEachTime) {
    Week* current = thisWeek();
    WeeklyRitualModel(t.env, current).finish();
    // A second run later moves the stamp; a run that is only closed does not.
    t.now += 3600;
    {
        WeeklyRitualModel m(t.env, current);
        m.next();
        m.setIntention(QStringLiteral("Kept"));
    }
    EXPECT_EQ(current->ritualCompletedAt(), std::optional<Timestamp>(t.now - 3600));
    EXPECT_EQ(current->intention(), std::optional<QString>(QStringLiteral("Kept")));
    WeeklyRitualModel m(t.env, current);
    EXPECT_EQ(m.stepIndex(), 0) << "every presentation starts at the first step";
    m.finish();
    EXPECT_EQ(current->ritualCompletedAt(), std::optional<Timestamp>(t.now));
}

} // namespace
