#include "Views/Today/TodayModel.h"

#include "Models/FocusBlockTemplate.h"
#include "Store/UndoManager.h"
#include "Views/Today/DayTaskFormModel.h"
#include "support/TestEnvironment.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using namespace orvana;
using orvana::test::drainEvents;

struct Today : ::testing::Test {
    test::TestEnvironment t; // Monday 2026-03-02 10:00
    Timestamp monday = t.local(2026, 3, 2);
    const QString nudge = QString::fromLatin1(NotificationService::dailyPlanningNudgeIdentifier);

    DayTask* task(const QString& title, Timestamp day, qint64 order = 0, bool flagged = false) {
        return t.context.create<DayTask>(title, day, std::nullopt, false, flagged, order, t.now);
    }
    bool reminded(const DayTask* task) const {
        return t.center.pending.count(NotificationService::reminderIdentifier(task->id())) > 0;
    }
    // The rows as "kind:text", headers included, footers left out.
    static QStringList shown(const TodayModel& m) {
        QStringList out;
        for (int i = 0; i < m.list()->rowCount(); ++i) {
            if (m.list()->rowAt(i)->kind != TodayModel::footerRow)
                out << QString::number(m.list()->rowAt(i)->kind) + u':' +
                           m.list()->index(i).data(Qt::DisplayRole).toString();
        }
        return out;
    }
};

TEST_F(Today, SectionsInOrderWithEverySecondFlaggedTaskUnderAlsoToday) {
    auto* block = t.context.create<FocusBlockTemplate>(QStringLiteral("Deep work"),
                                                       std::vector<qint64>{2, 4}, 9, 0, 50);
    t.context.create<FocusBlockTemplate>(QStringLiteral("Tuesday only"), std::vector<qint64>{3}, 8,
                                         0, 25);
    t.context.create<FocusBlockTemplate>(QStringLiteral("Paused"), std::vector<qint64>{2}, 7, 0, 25,
                                         false);
    TodayModel m(t.env);
    QAbstractItemModelTester tester(m.list());
    EXPECT_TRUE(m.showsEmptyState()) << "a block due does not fill the day";
    EXPECT_EQ(m.unmaterializedTemplatesToday(), std::vector<FocusBlockTemplate*>{block});

    task(QStringLiteral("Old report"), monday - 3 * 86400);
    task(QStringLiteral("Done yesterday"), monday - 86400)->setOnlyCompleteFlag(true);
    task(QStringLiteral("Tomorrow"), monday + 86400);
    task(QStringLiteral("Ship it"), monday, 2, true);
    task(QStringLiteral("Second flag"), monday, 3, true); // from an import
    task(QStringLiteral("Email"), monday, 1);
    drainEvents();
    using M = TodayModel;
    auto row = [](int kind, const char* text) { return QString::number(kind) + u':' + text; };
    EXPECT_EQ(shown(m),
              (QStringList{row(M::headerRow, "Overdue"), row(M::overdueRow, "Old report"),
                           row(M::headerRow, "Today's One Thing"), row(M::oneThingRow, "Ship it"),
                           row(M::headerRow, "Today's Recurring Blocks"),
                           row(M::blockRow, "Deep work"), row(M::headerRow, "Also Today"),
                           row(M::taskRow, "Email"), row(M::taskRow, "Second flag")}));
    EXPECT_FALSE(m.showsEmptyState());

    // Guidance footers follow the preference at once.
    auto footers = [&m] {
        return std::count_if(m.list()->rows().begin(), m.list()->rows().end(),
                             [](const ListRow& r) { return r.kind == TodayModel::footerRow; });
    };
    EXPECT_EQ(footers(), 3);
    t.preferences.setValue(PreferenceKeys::showGuidanceTips, false);
    EXPECT_EQ(footers(), 0);

    // Start: the block becomes today's task and leaves; it stays away once
    // that task is done, and comes back when the task is deleted.
    std::vector<DayTask*> focus;
    QObject::connect(&m, &TodayModel::focusRequested, [&focus](DayTask* t) { focus.push_back(t); });
    m.startBlock(*block);
    drainEvents();
    ASSERT_EQ(focus.size(), 1u);
    DayTask* made = focus[0];
    ASSERT_EQ(made->focusSessions().size(), 1u);
    EXPECT_EQ(made->sourceTemplateID(), block->id());
    EXPECT_TRUE(m.unmaterializedTemplatesToday().empty());
    made->setComplete(true);
    drainEvents();
    EXPECT_TRUE(m.unmaterializedTemplatesToday().empty());
    t.context.remove(made);
    drainEvents();
    EXPECT_EQ(m.unmaterializedTemplatesToday(), std::vector<FocusBlockTemplate*>{block});
}

TEST_F(Today, SearchIgnoresCaseInOverdueAndTodayButNeverHidesTheOneThing) {
    task(QStringLiteral("buy milk"), monday - 86400);
    task(QStringLiteral("Call Grandma"), monday - 86400);
    task(QStringLiteral("Buy stamps"), monday, 0);
    task(QStringLiteral("Write"), monday, 1);
    auto* one = task(QStringLiteral("Run"), monday, 2, true);
    TodayModel m(t.env);
    m.setSearchText(QStringLiteral("BUY"));
    ASSERT_EQ(m.filteredOverdueTasks().size(), 1u);
    EXPECT_EQ(m.filteredOverdueTasks()[0]->title(), QStringLiteral("buy milk"));
    ASSERT_EQ(m.otherTasks().size(), 1u);
    EXPECT_EQ(m.otherTasks()[0]->title(), QStringLiteral("Buy stamps"));
    EXPECT_EQ(m.oneThingTask(), one);
    m.setSearchText(QStringLiteral("nothing like it"));
    EXPECT_FALSE(m.showsEmptyState()) << "the empty state is about the day, not the search";
}

TEST_F(Today, ReorderRenumbersTheSectionAndStaysInsideIt) {
    auto* a = task(QStringLiteral("a task"), monday, 5);
    auto* b = task(QStringLiteral("b task"), monday, 7);
    auto* c = task(QStringLiteral("c task"), monday, 9);
    auto* one = task(QStringLiteral("the one"), monday, 4, true);
    task(QStringLiteral("overdue task"), monday - 86400);
    TodayModel m(t.env);
    const int rowA =
        m.list()->rowOf(QStringLiteral("task:") + a->id().toString(QUuid::WithoutBraces));
    ASSERT_EQ(m.taskAt(rowA + 2), c);

    // Drag c to the top of the section (a move before a).
    ASSERT_TRUE(m.list()->moveRow({}, rowA + 2, {}, rowA));
    EXPECT_EQ(c->sortOrder(), 0);
    EXPECT_EQ(a->sortOrder(), 1);
    EXPECT_EQ(b->sortOrder(), 2);
    EXPECT_EQ(one->sortOrder(), 4);
    drainEvents();
    EXPECT_EQ(m.otherTasks(), (std::vector<DayTask*>{c, a, b}));

    // Alt+Down moves one place; the section's edges stop it.
    EXPECT_TRUE(m.moveTaskRow(rowA, 1));
    EXPECT_EQ(a->sortOrder(), 0);
    EXPECT_EQ(c->sortOrder(), 1);
    EXPECT_FALSE(m.moveTaskRow(rowA, -1)) << "top of the section";
    EXPECT_FALSE(m.moveTaskRow(rowA + 2, 1)) << "bottom of the section";
    // Never into another section (here: the overdue rows above), and not
    // while a search hides some of the tasks.
    EXPECT_FALSE(m.list()->moveRow({}, rowA, {}, 1));
    m.setSearchText(QStringLiteral("task"));
    EXPECT_FALSE(m.moveTaskRow(rowA, 1));
}

TEST_F(Today, DeleteAnnouncesTheLastAndTheBannerUndoesOnlyItsOwnStep) {
    t.context.ensureUndoManager();
    auto* milk = task(QStringLiteral("Buy milk"), monday, 0);
    auto* call = task(QStringLiteral("Call"), monday, 1);
    milk->setReminderAt(t.now + 3600);
    call->setReminderAt(t.now - 60); // already past
    drainEvents();
    t.center.pending[NotificationService::reminderIdentifier(milk->id())] = {};

    TodayModel m(t.env);
    m.deleteTasks({milk, call});
    EXPECT_EQ(m.undoBanner()->message(), QStringLiteral("\"Call\" deleted"));
    EXPECT_TRUE(milk->isDeleted());
    EXPECT_FALSE(reminded(milk));

    m.undoBanner()->undo();
    drainEvents();
    EXPECT_FALSE(milk->isDeleted() || call->isDeleted());
    EXPECT_TRUE(m.undoBanner()->message().isEmpty());
    EXPECT_TRUE(reminded(milk)) << "the future reminder comes back";
    EXPECT_FALSE(reminded(call));

    // A later change lands: the banner goes and can no longer undo anything.
    m.deleteTasks({milk});
    ASSERT_FALSE(m.undoBanner()->message().isEmpty());
    drainEvents();
    call->setTitle(QStringLiteral("Call Mum"));
    drainEvents();
    EXPECT_TRUE(m.undoBanner()->message().isEmpty());
    m.undoBanner()->undo();
    EXPECT_EQ(call->title(), QStringLiteral("Call Mum"));
    EXPECT_TRUE(milk->isDeleted());
}

TEST_F(Today, CompletingCancelsTheReminderAndMoveToTodayKeepsOrderAndFlag) {
    auto* late = task(QStringLiteral("Late"), monday - 2 * 86400, 8, true);
    late->setReminderAt(t.now + 60);
    t.center.pending[NotificationService::reminderIdentifier(late->id())] = {};
    TodayModel m(t.env);
    m.toggleComplete(*late);
    EXPECT_TRUE(late->isComplete());
    EXPECT_FALSE(reminded(late));
    m.toggleComplete(*late);
    EXPECT_FALSE(reminded(late)) << "un-completing schedules nothing";

    task(QStringLiteral("Already the one"), monday, 0, true);
    m.moveToToday(*late);
    drainEvents();
    EXPECT_EQ(late->date(), monday);
    EXPECT_EQ(late->sortOrder(), 8);
    EXPECT_TRUE(late->isTodaysOneThing());
    EXPECT_TRUE(m.filteredOverdueTasks().empty());
    EXPECT_EQ(m.otherTasks(), std::vector<DayTask*>{late}) << "a second flagged task is listed";
}

TEST_F(Today, RowsChangeInPlaceOnlyForTheRecordsTodayReadsAsTheyAreNow) {
    auto* goal = t.context.create<Goal>(QStringLiteral("Health"));
    goal->setColorTag(QStringLiteral("green"));
    auto* late = task(QStringLiteral("Run"), monday - 86400);
    late->setGoal(goal);
    auto* a = task(QStringLiteral("A"), monday, 0);
    TodayModel m(t.env);
    QAbstractItemModelTester tester(m.list());
    QSignalSpy reset(m.list(), &QAbstractItemModel::modelReset);
    QSignalSpy removed(m.list(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(m.list(), &QAbstractItemModel::dataChanged);
    QSignalSpy rebuilt(&m, &TodayModel::changed);
    const QModelIndex row = m.list()->index(1); // under the Overdue header
    ASSERT_EQ(m.taskAt(1), late);
    const QString day = row.data(TodayModel::DateTextRole).toString();
    EXPECT_FALSE(day.isEmpty());
    EXPECT_EQ(row.data(TodayModel::ColorTagRole).toString(), QStringLiteral("green"));
    EXPECT_EQ(row.data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("Health, ") + day);

    a->setTitle(QStringLiteral("A, renamed"));
    drainEvents();
    EXPECT_EQ(changed.size(), 1);
    goal->setTitle(QStringLiteral("Fitness"));
    drainEvents();
    EXPECT_EQ(changed.size(), 2) << "a row follows its goal";
    EXPECT_EQ(row.data(TodayModel::GoalTitleRole).toString(), QStringLiteral("Fitness"));
    EXPECT_EQ(reset.size() + removed.size(), 0);

    // A new trail entry or session is none of Today's business.
    rebuilt.clear();
    t.context.create<TrailEntry>(t.now, 25, nullptr, t.now);
    t.context.create<FocusSession>(1500.0, t.now);
    drainEvents();
    EXPECT_EQ(rebuilt.size(), 0);

    late->setOnlyCompleteFlag(true); // leaves the overdue list
    drainEvents();
    EXPECT_EQ(m.taskAt(1), a) << "the overdue rows left the list";
}

TEST_F(Today, MovesToTheNewDayAtMidnight) {
    auto* monTask = task(QStringLiteral("Monday's"), monday, 0);
    TodayModel m(t.env);
    EXPECT_EQ(m.otherTasks(), std::vector<DayTask*>{monTask});
    t.now = t.local(2026, 3, 3, 0, 0) + 1; // just past midnight
    m.checkDay();
    EXPECT_EQ(m.startOfToday(), t.local(2026, 3, 3));
    EXPECT_TRUE(m.otherTasks().empty());
    EXPECT_EQ(m.filteredOverdueTasks(), std::vector<DayTask*>{monTask});
}

TEST_F(Today, TheFormSavesATrimmedTaskOnTheStartOfItsDayWithTheReminderAsChosen) {
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
    ASSERT_EQ(t.context.count<DayTask>(), 1u);
    const DayTask* task = t.context.fetch<DayTask>()[0];
    EXPECT_EQ(task->title(), QStringLiteral("Write the  report"));
    EXPECT_EQ(task->date(), t.local(2026, 3, 3));
    EXPECT_EQ(task->goal(), goal);
    EXPECT_EQ(task->reminderAt(), remindAt);
    const QString id = NotificationService::reminderIdentifier(task->id());
    ASSERT_TRUE(t.center.pending.count(id));
    EXPECT_EQ(t.center.pending.at(id).delaySeconds, remindAt - t.now);
}

TEST_F(Today, TheFormsOneThingForTodayTakesTheFlagAndWithdrawsTheNudge) {
    auto* previous = task(QStringLiteral("Old one"), monday, 0, true);
    auto* tomorrowsOne = task(QStringLiteral("Tomorrow's"), monday + 86400, 0, true);
    t.center.pending[nudge] = {};

    // Switched on for today, then the date moved: the hidden toggle does not apply.
    DayTaskFormModel hidden(t.env);
    hidden.setTitle(QStringLiteral("Tomorrow task"));
    hidden.setTodaysOneThing(true);
    hidden.setDate(monday + 86400 + 3600);
    EXPECT_FALSE(hidden.showsOneThingToggle());
    ASSERT_TRUE(hidden.save());
    EXPECT_TRUE(tomorrowsOne->isTodaysOneThing());
    EXPECT_TRUE(t.center.pending.count(nudge));

    DayTaskFormModel form(t.env);
    form.setTitle(QStringLiteral("Ship it"));
    EXPECT_TRUE(form.showsOneThingToggle());
    form.setTodaysOneThing(true);
    ASSERT_TRUE(form.save());
    EXPECT_FALSE(previous->isTodaysOneThing());
    EXPECT_FALSE(t.center.pending.count(nudge));
    EXPECT_EQ(t.context.count<DayTask>(), 4u);

    // An overdue one thing edited without moving keeps its flag; moved, it loses it.
    auto* friday = task(QStringLiteral("Send the draft"), monday - 3 * 86400, 0, true);
    DayTaskFormModel edit(t.env, friday);
    EXPECT_FALSE(edit.showsOneThingToggle()) << "offered for today only";
    edit.setTitle(QStringLiteral("Send the final draft"));
    ASSERT_TRUE(edit.save());
    EXPECT_TRUE(friday->isTodaysOneThing());
    DayTaskFormModel moved(t.env, friday);
    moved.setDate(monday + 86400);
    ASSERT_TRUE(moved.save());
    EXPECT_FALSE(friday->isTodaysOneThing()) << "a hidden toggle does not flag another day";
}

TEST_F(Today, TheFormsGoalPickerFollowsGoalsAddedRenamedAndDeleted) {
    auto* first = t.context.create<Goal>(QStringLiteral("First"));
    DayTaskFormModel form(t.env);
    int changes = 0;
    QObject::connect(&form, &DayTaskFormModel::changed, [&changes] { ++changes; });
    auto* second = t.context.create<Goal>(QStringLiteral("Second"));
    drainEvents();
    EXPECT_EQ(form.goals(), (std::vector<Goal*>{first, second}));
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

TEST_F(Today, EditingInTheFormIsOneUndoStepAndKeepsTheReminderInStep) {
    UndoManager* undo = t.context.ensureUndoManager();
    auto* task = this->task(QStringLiteral("Tpyo"), monday, 3);
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
    EXPECT_FALSE(reminded(task));
    EXPECT_EQ(t.context.count<DayTask>(), 1u);

    undo->undo();
    drainEvents();
    EXPECT_EQ(task->title(), QStringLiteral("Tpyo"));
    EXPECT_EQ(task->date(), monday);
    EXPECT_TRUE(reminded(task)) << "the undone edit's reminder is due again";
    undo->redo();
    drainEvents();
    EXPECT_FALSE(reminded(task));
}

TEST_F(Today, AReminderJobGivesNothingToATaskDeletedOrDoneWhileItWaits) {
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
        EXPECT_FALSE(reminded(task)) << task->title().toStdString();
    }
}

} // namespace
