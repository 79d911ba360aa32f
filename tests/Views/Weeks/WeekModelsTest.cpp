#include "Models/DayTask.h"
#include "Models/Goal.h"
#include "Models/Week.h"
#include "Models/WeekItem.h"
#include "Services/NotificationService.h"
#include "Store/UndoManager.h"
#include "Views/Weeks/WeekDetailModel.h"
#include "Views/Weeks/WeekListModel.h"
#include "support/TestEnvironment.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

struct Weeks : ::testing::Test {
    test::TestEnvironment t; // Monday 2 March 2026, 10:00 Berlin, Monday first

    Week* week(int year, int month, int day) {
        return Week::findOrCreate(t.local(year, month, day, 12), t.context, t.calendar);
    }
    WeekItem* item(Week* w, const QString& title, qint64 order, Goal* goal = nullptr) {
        auto* i = t.context.create<WeekItem>(title, std::nullopt, false, order);
        i->setWeek(w);
        i->setGoal(goal);
        return i;
    }
    Goal* goal(const QString& title, GoalStatus status = GoalStatus::active) {
        return t.context.create<Goal>(title, std::nullopt, std::nullopt, status);
    }
    QStringList titles(const WeekDetailModel& m) const {
        QStringList out;
        for (const WeekItem* i : m.sortedItems())
            out << i->title();
        return out;
    }
};

} // namespace

// The week's own boundaries are the planning rules' tests; here the screen's
// lookups never make a second week for a day.
TEST_F(Weeks, LookupNeverMakesASecondWeekForADay) {
    WeekListModel m(t.env);
    const Timestamp sunday14 = t.local(2026, 6, 14, 18, 30);
    m.setPickedPlanDate(sunday14);
    Week* mondayWeek = m.planPickedWeek();
    ASSERT_NE(mondayWeek, nullptr);
    m.setPickedPlanDate(t.local(2026, 6, 10));
    EXPECT_EQ(m.planPickedWeek(), mondayWeek);
    EXPECT_EQ(m.pickedPlanDate(), t.local(2026, 6, 10)) << "kept for the next opening";

    // The ritual twice in one week: one week.
    Week* thisWeek = m.ritualWeek();
    EXPECT_EQ(m.ritualWeek(), thisWeek);
    EXPECT_EQ(thisWeek->startDate(), t.local(2026, 3, 2));
    EXPECT_EQ(Week::forDate(t.local(2026, 7, 1), t.context, t.calendar, false), nullptr);
    EXPECT_EQ(t.context.count<Week>(), 2u);

    // Two stored weeks on one start day (an import): the later start wins,
    // as the newest-first list shows it first; neither is repaired.
    auto* twin = t.context.create<Week>(t.local(2026, 6, 8, 13), t.local(2026, 6, 16));
    drainEvents();
    EXPECT_EQ(Week::forDate(sunday14, t.context, t.calendar, true), twin);
    ASSERT_EQ(m.weeks().size(), 3u);
    for (std::size_t i = 1; i < m.weeks().size(); ++i)
        EXPECT_GT(m.weeks()[i - 1]->startDate(), m.weeks()[i]->startDate()) << "newest first";
}

TEST_F(Weeks, RowsShowCurrentWeekSummaryStatusAndRitual) {
    Week* current = week(2026, 3, 4);
    Week* next = week(2026, 3, 11);
    Week* past = week(2026, 2, 25);
    // A start stored in the middle of the day still counts as this week's.
    current->setStartDate(t.local(2026, 3, 2, 13));
    WeekItem* a = item(next, QStringLiteral("A"), 0);
    item(next, QStringLiteral("B"), 1);
    item(past, QStringLiteral("C"), 0)->setComplete(true);
    past->setRitualCompletedAt(t.now - 86400 * 7);
    a->setComplete(true);
    drainEvents();

    WeekListModel m(t.env);
    QAbstractItemModelTester tester(m.list());
    ASSERT_EQ(m.weeks(), (std::vector<Week*>{next, current, past}));
    auto row = [&](int r, int role) { return m.list()->index(r).data(role); };
    EXPECT_FALSE(row(0, WeekListModel::CurrentWeekRole).toBool());
    EXPECT_TRUE(row(1, WeekListModel::CurrentWeekRole).toBool());
    EXPECT_EQ(row(0, WeekListModel::SummaryRole).toString(), QStringLiteral("1/2 items done"));
    EXPECT_EQ(row(1, WeekListModel::SummaryRole).toString(), QStringLiteral("No items yet"));
    EXPECT_EQ(row(2, WeekListModel::SummaryRole).toString(), QStringLiteral("1/1 items done"));
    EXPECT_EQ(row(0, WeekListModel::StatusRole).toInt(), int(WeekListModel::Status::inProgress));
    EXPECT_EQ(row(1, WeekListModel::StatusRole).toInt(), int(WeekListModel::Status::empty));
    EXPECT_EQ(row(2, WeekListModel::StatusRole).toInt(), int(WeekListModel::Status::allDone));
    EXPECT_TRUE(row(2, WeekListModel::RitualDoneRole).toBool());
    EXPECT_FALSE(row(0, WeekListModel::RitualDoneRole).toBool());
    EXPECT_TRUE(row(1, Qt::AccessibleTextRole).toString().endsWith(QStringLiteral(", this week")));
    EXPECT_EQ(row(2, Qt::AccessibleDescriptionRole).toString(),
              QStringLiteral("1/1 items done, ritual done"));

    // The week turns: "This Week" moves on.
    t.now = t.local(2026, 3, 9, 8);
    m.checkDay();
    EXPECT_TRUE(row(0, WeekListModel::CurrentWeekRole).toBool());
    EXPECT_FALSE(row(1, WeekListModel::CurrentWeekRole).toBool());
}

// Within one year the year is written once, at the end of the range where the
// locale writes it last and at its start where the locale writes it first.
TEST_F(Weeks, DateRangeIsTheLocalesMediumDatesWithTheYearOnce) {
    Week* june = week(2026, 6, 10);     // 8 to 15 June
    Week* newYear = week(2026, 12, 31); // 28 December to 4 January
    const QLocale german(QLocale::German, QLocale::Germany);
    auto month = [&](int m) { return german.monthName(m, QLocale::ShortFormat); };
    const struct {
        QLocale locale;
        QString june, newYear;
    } cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), QStringLiteral("Jun 8 – Jun 15, 2026"),
         QStringLiteral("Dec 28, 2026 – Jan 4, 2027")},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), QStringLiteral("8 Jun – 15 Jun 2026"),
         QStringLiteral("28 Dec 2026 – 4 Jan 2027")},
        {german, QStringLiteral("8. %1 – 15. %1 2026").arg(month(6)),
         QStringLiteral("28. %1 2026 – 4. %2 2027").arg(month(12), month(1))},
        {QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("2026年6月8日 – 6月15日"),
         QStringLiteral("2026年12月28日 – 2027年1月4日")},
        {QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("2026年6月8日 – 6月15日"),
         QStringLiteral("2026年12月28日 – 2027年1月4日")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(weeks::rangeText(*june, t.calendar, c.locale), c.june)
            << c.locale.name().toStdString();
        EXPECT_EQ(weeks::rangeText(*newYear, t.calendar, c.locale), c.newYear)
            << c.locale.name().toStdString();
    }
}

TEST_F(Weeks, DeleteCancelsRemindersAndUndoBringsBackTheWeekAndItsFutureReminders) {
    t.context.ensureUndoManager();
    Week* w = week(2026, 3, 4);
    Week* other = week(2026, 3, 11);
    WeekItem* run = item(w, QStringLiteral("Run"), 0);
    DayTask* soon = run->materializeDayTask(t.now, t.calendar);
    DayTask* gone = run->materializeDayTask(t.now - 86400, t.calendar);
    soon->setReminderAt(t.now + 3600);
    gone->setReminderAt(t.now - 60); // already past
    drainEvents();
    const QString reminder = NotificationService::reminderIdentifier(soon->id());
    t.center.pending[reminder] = {};

    WeekListModel m(t.env);
    m.deleteWeeks({w, other});
    EXPECT_EQ(m.undoBanner()->message(), QStringLiteral("Week deleted"));
    EXPECT_TRUE(w->isDeleted() && run->isDeleted() && soon->isDeleted() && other->isDeleted());
    EXPECT_FALSE(t.center.pending.count(reminder));
    drainEvents();
    EXPECT_TRUE(m.showsEmptyState());

    m.undoBanner()->undo();
    drainEvents();
    EXPECT_FALSE(w->isDeleted() || run->isDeleted() || soon->isDeleted() || other->isDeleted())
        << "one step brings back both weeks";
    EXPECT_EQ(run->week(), w);
    EXPECT_EQ(soon->weekItem(), run);
    EXPECT_EQ(m.weeks().size(), 2u);
    EXPECT_TRUE(t.center.pending.count(reminder)) << "the future reminder comes back";
    EXPECT_FALSE(t.center.pending.count(NotificationService::reminderIdentifier(gone->id())));
}

TEST_F(Weeks, DetailPillsIntentionAndTypingBurst) {
    t.context.ensureUndoManager();
    Week* w = week(2026, 3, 4);
    drainEvents();
    WeekDetailModel m(t.env, *w);
    EXPECT_EQ(m.ritualPillText(), QStringLiteral("Ritual not started"));
    EXPECT_FALSE(m.allItemsDone());
    w->setRitualCompletedAt(t.now);
    EXPECT_EQ(m.ritualPillText(), QStringLiteral("Ritual done"));
    drainEvents();

    for (const QString& text : {QStringLiteral("R"), QStringLiteral("Ru"), QStringLiteral("Run")})
        m.setIntention(text);
    drainEvents();
    EXPECT_EQ(w->intention(), QStringLiteral("Run"));
    m.endTypingBurst();
    m.setIntention(QString());
    EXPECT_FALSE(w->intention().has_value()) << "empty is stored as absent";
    drainEvents();
    t.context.undoManager()->undo();
    EXPECT_EQ(w->intention(), QStringLiteral("Run")) << "the new burst is its own step";
    t.context.undoManager()->undo();
    EXPECT_FALSE(w->intention().has_value()) << "one step for the first burst";
    EXPECT_TRUE(w->ritualCompletedAt().has_value()) << "not part of the typing";
}

TEST_F(Weeks, AddItemSortsLastOverAllGoalsAndNeedsATitle) {
    Week* w = week(2026, 3, 4);
    Goal* marathon = goal(QStringLiteral("Marathon"));
    Goal* archived = goal(QStringLiteral("Old"), GoalStatus::archived);
    for (int i = 0; i < 5; ++i)
        item(w, QString::number(i), i, i % 2 ? marathon : nullptr);
    drainEvents();
    WeekDetailModel m(t.env, *w);
    EXPECT_EQ(m.goals(), (std::vector<Goal*>{marathon, archived})) << "every goal, store order";

    EXPECT_FALSE(m.canAddItem());
    m.setNewItemTitle(QStringLiteral("  \n\t "));
    EXPECT_FALSE(m.canAddItem());
    EXPECT_EQ(m.addItem(), nullptr);
    m.setNewItemTitle(QStringLiteral("  Long run \n"));
    m.setNewItemGoal(archived);
    ASSERT_TRUE(m.canAddItem());
    WeekItem* added = m.addItem();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->title(), QStringLiteral("Long run"));
    EXPECT_EQ(added->sortOrder(), 5);
    EXPECT_EQ(added->goal(), archived);
    EXPECT_EQ(added->week(), w);
    EXPECT_TRUE(m.newItemTitle().isEmpty());
    EXPECT_EQ(m.newItemGoal(), nullptr);
}

TEST_F(Weeks, ItemsKeepTiesInOrderAndReorderRenumbers) {
    Week* w = week(2026, 3, 4);
    item(w, QStringLiteral("b"), 1);
    item(w, QStringLiteral("a1"), 0);
    item(w, QStringLiteral("a2"), 0); // a tie from an import
    item(w, QStringLiteral("c"), 7);
    drainEvents();
    WeekDetailModel m(t.env, *w);
    QAbstractItemModelTester tester(m.list());
    EXPECT_EQ(titles(m), (QStringList{"a1", "a2", "b", "c"}));

    EXPECT_FALSE(m.moveItemRow(0, -1));
    EXPECT_FALSE(m.moveItemRow(3, 1));
    EXPECT_TRUE(m.moveItemRow(3, -1));
    EXPECT_TRUE(m.moveItemRow(0, 1));
    drainEvents();
    EXPECT_EQ(titles(m), (QStringList{"a2", "a1", "c", "b"}));
    std::vector<qint64> orders;
    for (const WeekItem* i : m.sortedItems())
        orders.push_back(i->sortOrder());
    EXPECT_EQ(orders, (std::vector<qint64>{0, 1, 2, 3}));
    // A drag of the first two rows to the end.
    EXPECT_TRUE(m.list()->moveRows({}, 0, 2, {}, 4));
    drainEvents();
    EXPECT_EQ(titles(m), (QStringList{"c", "b", "a2", "a1"}));
    EXPECT_EQ(m.sortedItems()[3]->sortOrder(), 3);
}

TEST_F(Weeks, CompletionAddToTodayAndDeleteOfItems) {
    Week* w = week(2026, 3, 4);
    Goal* marathon = goal(QStringLiteral("Marathon"));
    WeekItem* run = item(w, QStringLiteral("Run"), 0, marathon);
    drainEvents();
    WeekDetailModel m(t.env, *w);
    EXPECT_FALSE(m.isPlannedForToday(*run));

    // "Add to Today" twice: one task, dated at the start of today.
    t.now = t.local(2026, 3, 2, 18, 30);
    m.addToToday(*run);
    m.addToToday(*run);
    ASSERT_EQ(run->dayTasks().size(), 1u);
    DayTask* task = run->dayTasks().front();
    EXPECT_EQ(task->date(), t.local(2026, 3, 2));
    EXPECT_EQ(task->goal(), marathon);
    drainEvents();
    EXPECT_TRUE(m.isPlannedForToday(*run));
    EXPECT_TRUE(m.list()->index(0).data(WeekDetailModel::OnTodayRole).toBool());
    EXPECT_EQ(m.list()->index(0).data(Qt::AccessibleDescriptionRole).toString(),
              QStringLiteral("Marathon, on today"));

    // Completing (Space on the row) withdraws the reminder; reopening does not bring it back.
    task->setReminderAt(t.now + 600);
    const QString reminder = NotificationService::reminderIdentifier(task->id());
    t.center.pending[reminder] = {};
    EXPECT_TRUE(m.list()->setData(m.list()->index(0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(run->isComplete() && task->isComplete());
    EXPECT_FALSE(t.center.pending.count(reminder));
    m.toggleComplete(*run);
    EXPECT_FALSE(run->isComplete() || task->isComplete());
    EXPECT_FALSE(t.center.pending.count(reminder));
    drainEvents();
    EXPECT_EQ(m.list()->index(0).data(Qt::AccessibleTextRole).toString(), QStringLiteral("Run"));

    t.center.pending[reminder] = {};
    m.deleteItems({run});
    EXPECT_TRUE(run->isDeleted() && task->isDeleted());
    EXPECT_FALSE(t.center.pending.count(reminder));
    // A row that outlives its item (an undo of its creation) acts on nothing.
    m.toggleComplete(*run);
    m.addToToday(*run);
    EXPECT_FALSE(run->isComplete());
    EXPECT_EQ(t.context.count<DayTask>(), 0u);
    drainEvents();
    EXPECT_EQ(m.list()->rowCount(), 0);

    // The week leaves the store: the screen hears of it.
    bool removed = false;
    QObject::connect(&m, &WeekDetailModel::weekRemoved, [&] { removed = true; });
    t.context.remove(w);
    EXPECT_TRUE(removed);
    EXPECT_EQ(m.week(), nullptr);
}
