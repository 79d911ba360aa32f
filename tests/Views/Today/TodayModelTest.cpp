#include "Views/Today/TodayModel.h"

#include "Models/FocusBlockTemplate.h"
#include "Store/UndoManager.h"
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

    DayTask* task(const QString& title, Timestamp day, qint64 order = 0, bool flagged = false) {
        return t.context.create<DayTask>(title, day, std::nullopt, false, flagged, order, t.now);
    }
    // The rows as "kind:text", headers and footers included.
    static QStringList shown(const TodayModel& m) {
        QStringList out;
        for (int i = 0; i < m.list()->rowCount(); ++i) {
            const QModelIndex index = m.list()->index(i);
            if (m.list()->rowAt(i)->kind != TodayModel::footerRow)
                out << QString::number(m.list()->rowAt(i)->kind) + u':' +
                           index.data(Qt::DisplayRole).toString();
        }
        return out;
    }
};

TEST_F(Today, SectionsInOrderWithEverySecondFlaggedTaskUnderAlsoToday) {
    task(QStringLiteral("Old report"), monday - 3 * 86400);
    task(QStringLiteral("Done yesterday"), monday - 86400)->setOnlyCompleteFlag(true);
    task(QStringLiteral("Tomorrow"), monday + 86400);
    task(QStringLiteral("Ship it"), monday, 2, true);
    task(QStringLiteral("Second flag"), monday, 3, true); // from an import
    task(QStringLiteral("Email"), monday, 1);
    auto* block = t.context.create<FocusBlockTemplate>(QStringLiteral("Deep work"),
                                                       std::vector<qint64>{2, 4}, 9, 0, 50);
    t.context.create<FocusBlockTemplate>(QStringLiteral("Tuesday only"), std::vector<qint64>{3}, 8,
                                         0, 25);
    t.context.create<FocusBlockTemplate>(QStringLiteral("Paused"), std::vector<qint64>{2}, 7, 0, 25,
                                         false);
    TodayModel m(t.env);
    QAbstractItemModelTester tester(m.list());
    using M = TodayModel;
    const QString H = QString::number(M::headerRow) + u':';
    EXPECT_EQ(
        shown(m),
        (QStringList{H + "Overdue", QString::number(M::overdueRow) + ":Old report",
                     H + "Today's One Thing", QString::number(M::oneThingRow) + ":Ship it",
                     H + "Today's Recurring Blocks", QString::number(M::blockRow) + ":Deep work",
                     H + "Also Today", QString::number(M::taskRow) + ":Email",
                     QString::number(M::taskRow) + ":Second flag"}));
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

TEST_F(Today, EmptyStateWithABlockDueStillOffersTheBlock) {
    t.context.create<FocusBlockTemplate>(QStringLiteral("Deep work"), std::vector<qint64>{2}, 9, 0,
                                         50);
    TodayModel m(t.env);
    EXPECT_TRUE(m.showsEmptyState());
    EXPECT_EQ(m.unmaterializedTemplatesToday().size(), 1u);
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
    const int rowC = rowA + 2;
    ASSERT_EQ(m.taskAt(rowC), c);

    // Drag c to the top of the section (a move before a).
    ASSERT_TRUE(m.list()->moveRow({}, rowC, {}, rowA));
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
    const QString reminder = NotificationService::reminderIdentifier(milk->id());
    t.center.pending[reminder] = {};

    TodayModel m(t.env);
    m.deleteTasks({milk, call});
    EXPECT_EQ(m.undoBanner()->message(), QStringLiteral("\"Call\" deleted"));
    EXPECT_TRUE(milk->isDeleted());
    EXPECT_FALSE(t.center.pending.count(reminder));

    m.undoBanner()->undo();
    drainEvents();
    EXPECT_FALSE(milk->isDeleted());
    EXPECT_FALSE(call->isDeleted());
    EXPECT_TRUE(m.undoBanner()->message().isEmpty());
    EXPECT_TRUE(t.center.pending.count(reminder)) << "the future reminder comes back";
    EXPECT_FALSE(t.center.pending.count(NotificationService::reminderIdentifier(call->id())));

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
    const QString reminder = NotificationService::reminderIdentifier(late->id());
    t.center.pending[reminder] = {};
    TodayModel m(t.env);
    m.toggleComplete(*late);
    EXPECT_TRUE(late->isComplete());
    EXPECT_FALSE(t.center.pending.count(reminder));
    m.toggleComplete(*late);
    EXPECT_FALSE(t.center.pending.count(reminder)) << "un-completing schedules nothing";

    task(QStringLiteral("Already the one"), monday, 0, true);
    m.moveToToday(*late);
    drainEvents();
    EXPECT_EQ(late->date(), monday);
    EXPECT_EQ(late->sortOrder(), 8);
    EXPECT_TRUE(late->isTodaysOneThing());
    EXPECT_TRUE(m.filteredOverdueTasks().empty());
    EXPECT_EQ(m.otherTasks(), std::vector<DayTask*>{late}) << "a second flagged task is listed";
}

TEST_F(Today, RowsChangeInPlaceAndOnlyForTheRecordsTodayReads) {
    auto* a = task(QStringLiteral("A"), monday, 0);
    task(QStringLiteral("B"), monday, 1);
    TodayModel m(t.env);
    QAbstractItemModelTester tester(m.list());
    QSignalSpy reset(m.list(), &QAbstractItemModel::modelReset);
    QSignalSpy removed(m.list(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(m.list(), &QAbstractItemModel::dataChanged);
    QSignalSpy rebuilt(&m, &TodayModel::changed);

    a->setTitle(QStringLiteral("A, renamed"));
    drainEvents();
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(reset.size() + removed.size(), 0);

    // A new trail entry or session is none of Today's business.
    rebuilt.clear();
    t.context.create<TrailEntry>(t.now, 25, nullptr, t.now);
    t.context.create<FocusSession>(1500.0, t.now);
    drainEvents();
    EXPECT_EQ(rebuilt.size(), 0);
}

TEST_F(Today, TaskRowsShowTheirTaskAndGoalAsTheyAreNow) {
    auto* goal = t.context.create<Goal>(QStringLiteral("Health"));
    goal->setColorTag(QStringLiteral("green"));
    auto* late = task(QStringLiteral("Run"), monday - 86400);
    late->setGoal(goal);
    TodayModel m(t.env);
    QAbstractItemModelTester tester(m.list());
    QSignalSpy changed(m.list(), &QAbstractItemModel::dataChanged);
    const QModelIndex row = m.list()->index(1); // under the Overdue header
    ASSERT_EQ(m.taskAt(1), late);
    const QString day = row.data(TodayModel::DateTextRole).toString();
    EXPECT_FALSE(day.isEmpty());
    EXPECT_EQ(row.data(TodayModel::ColorTagRole).toString(), QStringLiteral("green"));
    EXPECT_EQ(row.data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("Health, ") + day);

    goal->setTitle(QStringLiteral("Fitness"));
    drainEvents();
    EXPECT_EQ(changed.size(), 1) << "a row follows its goal";
    EXPECT_EQ(row.data(TodayModel::GoalTitleRole).toString(), QStringLiteral("Fitness"));
    late->setOnlyCompleteFlag(true); // leaves the overdue list
    drainEvents();
    EXPECT_EQ(m.list()->rowCount(), 0);
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

} // namespace
