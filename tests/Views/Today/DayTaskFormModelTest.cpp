#include "Views/Today/DayTaskFormModel.h"

#include "Store/UndoManager.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

using namespace orvana;
using orvana::test::drainEvents;

struct TaskForm : ::testing::Test {
    test::TestEnvironment t; // Monday 2026-03-02 10:00
    Timestamp monday = t.local(2026, 3, 2);
};

TEST_F(TaskForm, SavesATrimmedTaskOnTheStartOfItsDayWithTheReminderAsChosen) {
    auto* goal = t.context.create<Goal>(QStringLiteral("Archived goal"));
    goal->setStatus(GoalStatus::archived);
    DayTaskFormModel form(t.env);
    EXPECT_EQ(form.goals(), std::vector<Goal*>{goal}) << "every goal, whatever its status";
    form.setTitle(QStringLiteral(" \n\t "));
    EXPECT_FALSE(form.canSave());
    EXPECT_FALSE(form.save());
    EXPECT_EQ(t.context.count<DayTask>(), 0u);

    form.setTitle(QStringLiteral("  Write the  report \n"));
    form.setDate(t.local(2026, 3, 3, 17, 45));
    form.setGoal(goal);
    form.setHasReminder(true);
    const Timestamp remindAt = t.local(2026, 3, 5, 8, 30); // another day, on purpose
    form.setReminderTime(remindAt);
    ASSERT_TRUE(form.save());
    drainEvents();
    const auto tasks = t.context.fetch<DayTask>();
    ASSERT_EQ(tasks.size(), 1u);
    const DayTask* task = tasks[0];
    EXPECT_EQ(task->title(), QStringLiteral("Write the  report"));
    EXPECT_EQ(task->date(), t.local(2026, 3, 3));
    EXPECT_EQ(task->goal(), goal);
    EXPECT_EQ(task->reminderAt(), remindAt);
    const QString id = NotificationService::reminderIdentifier(task->id());
    ASSERT_TRUE(t.center.pending.count(id));
    EXPECT_EQ(t.center.pending.at(id).delaySeconds, remindAt - t.now);
}

TEST_F(TaskForm, OneThingOnlyForTodayTakesTheFlagAndWithdrawsTheNudge) {
    auto* previous = t.context.create<DayTask>(QStringLiteral("Old one"), monday, std::nullopt,
                                               false, true, 0, t.now);
    auto* tomorrowsOne = t.context.create<DayTask>(QStringLiteral("Tomorrow's"), monday + 86400,
                                                   std::nullopt, false, true, 0, t.now);
    t.center.pending[QString::fromLatin1(NotificationService::dailyPlanningNudgeIdentifier)] = {};

    // Switched on for today, then the date moved: the hidden toggle does not apply.
    DayTaskFormModel hidden(t.env);
    hidden.setTitle(QStringLiteral("Tomorrow task"));
    hidden.setTodaysOneThing(true);
    hidden.setDate(monday + 86400 + 3600);
    EXPECT_FALSE(hidden.showsOneThingToggle());
    ASSERT_TRUE(hidden.save());
    EXPECT_TRUE(tomorrowsOne->isTodaysOneThing());
    EXPECT_TRUE(t.center.pending.count(
        QString::fromLatin1(NotificationService::dailyPlanningNudgeIdentifier)));

    DayTaskFormModel form(t.env);
    form.setTitle(QStringLiteral("Ship it"));
    EXPECT_TRUE(form.showsOneThingToggle());
    form.setTodaysOneThing(true);
    ASSERT_TRUE(form.save());
    EXPECT_FALSE(previous->isTodaysOneThing());
    EXPECT_FALSE(t.center.pending.count(
        QString::fromLatin1(NotificationService::dailyPlanningNudgeIdentifier)));
    EXPECT_EQ(t.context.count<DayTask>(), 4u);
}

TEST_F(TaskForm, EditingAnOverdueOneThingKeepsItsFlagWhileItsDayStays) {
    auto* friday = t.context.create<DayTask>(QStringLiteral("Send the draft"), monday - 3 * 86400,
                                             std::nullopt, false, true, 0, t.now);
    DayTaskFormModel form(t.env, friday);
    EXPECT_FALSE(form.showsOneThingToggle()) << "offered for today only";
    form.setTitle(QStringLiteral("Send the final draft"));
    ASSERT_TRUE(form.save());
    EXPECT_TRUE(friday->isTodaysOneThing());

    DayTaskFormModel moved(t.env, friday);
    moved.setDate(monday + 86400);
    ASSERT_TRUE(moved.save());
    EXPECT_FALSE(friday->isTodaysOneThing()) << "a hidden toggle does not flag another day";
}

TEST_F(TaskForm, TheGoalPickerFollowsGoalsAddedRenamedAndDeleted) {
    auto* first = t.context.create<Goal>(QStringLiteral("First"));
    DayTaskFormModel form(t.env);
    int changes = 0;
    QObject::connect(&form, &DayTaskFormModel::changed, [&changes] { ++changes; });
    auto* second = t.context.create<Goal>(QStringLiteral("Second"));
    drainEvents();
    EXPECT_EQ(form.goals(), (std::vector<Goal*>{first, second}));
    EXPECT_GT(changes, 0);
    form.setGoal(second);
    changes = 0;
    second->setTitle(QStringLiteral("Second, renamed"));
    drainEvents();
    EXPECT_GT(changes, 0) << "the picker shows the new title";
    t.context.remove(second);
    drainEvents();
    EXPECT_EQ(form.goals(), std::vector<Goal*>{first});
    EXPECT_EQ(form.goal(), nullptr) << "a deleted goal is no choice";
}

TEST_F(TaskForm, EditingIsOneUndoStepAndKeepsTheReminderInStep) {
    UndoManager* undo = t.context.ensureUndoManager();
    auto* task = t.context.create<DayTask>(QStringLiteral("Tpyo"), monday, std::nullopt, false,
                                           false, 3, t.now);
    task->setReminderAt(t.now + 600);
    drainEvents();
    DayTaskFormModel form(t.env, task);
    EXPECT_EQ(form.title(), QStringLiteral("Tpyo"));
    EXPECT_TRUE(form.hasReminder());
    form.setTitle(QStringLiteral("Typo"));
    form.setDate(monday + 86400);
    form.setHasReminder(false);
    t.center.pending[NotificationService::reminderIdentifier(task->id())] = {};
    ASSERT_TRUE(form.save());
    EXPECT_EQ(task->title(), QStringLiteral("Typo"));
    EXPECT_FALSE(task->reminderAt());
    EXPECT_FALSE(t.center.pending.count(NotificationService::reminderIdentifier(task->id())));
    EXPECT_EQ(t.context.count<DayTask>(), 1u);

    undo->undo();
    drainEvents();
    EXPECT_EQ(task->title(), QStringLiteral("Tpyo"));
    EXPECT_EQ(task->date(), monday);
    EXPECT_TRUE(task->reminderAt());
    EXPECT_TRUE(t.center.pending.count(NotificationService::reminderIdentifier(task->id())))
        << "the undone edit's reminder is due again";
    undo->redo();
    drainEvents();
    EXPECT_FALSE(t.center.pending.count(NotificationService::reminderIdentifier(task->id())));
}

TEST_F(TaskForm, AReminderJobGivesNothingToATaskDeletedOrDoneWhileItWaits) {
    t.center.statusNextTurn = true;
    for (bool deleteIt : {true, false}) {
        DayTaskFormModel form(t.env);
        form.setTitle(deleteIt ? QStringLiteral("Deleted") : QStringLiteral("Done"));
        form.setHasReminder(true);
        form.setReminderTime(t.now + 3600);
        ASSERT_TRUE(form.save());
        DayTask* task = t.context.fetch<DayTask>().back();
        if (deleteIt)
            t.context.remove(task);
        else
            task->setComplete(true);
        drainEvents();
        EXPECT_FALSE(t.center.pending.count(NotificationService::reminderIdentifier(task->id())))
            << task->title().toStdString();
    }
}

} // namespace
