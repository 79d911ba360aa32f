#include "Models/DayTask.h"
#include "Models/Goal.h"
#include "Models/Week.h"
#include "Models/WeekItem.h"
#include "Services/NotificationService.h"
#include "Store/UndoManager.h"
#include "Views/Weeks/WeekDetailModel.h"
#include "Views/Weeks/WeekListModel.h"
#include "Views/Weeks/WeeklyRitualModel.h"
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
    Week* thisWeek() { return week(2026, 3, 2); }
    Week* lastWeek() { return week(2026, 2, 25); }
    WeekItem* item(Week* w, const QString& title, qint64 order, Goal* goal = nullptr) {
        auto* i = t.context.create<WeekItem>(title, std::nullopt, false, order);
        i->setWeek(w);
        i->setGoal(goal);
        return i;
    }
    Goal* goal(const QString& title, qint64 order = 0, GoalStatus status = GoalStatus::active) {
        return t.context.create<Goal>(title, std::nullopt, std::nullopt, status, std::nullopt,
                                      order);
    }
    static QStringList titles(const std::vector<WeekItem*>& items) {
        QStringList out;
        for (const WeekItem* i : items)
            out << i->title();
        return out;
    }
};

using Steps = std::vector<RitualStep>;
using Status = WeekListModel::Status;

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
    EXPECT_EQ(m.ritualWeek(), m.ritualWeek());
    EXPECT_EQ(m.ritualWeek()->startDate(), t.local(2026, 3, 2));
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
    item(next, QStringLiteral("A"), 0)->setComplete(true);
    item(next, QStringLiteral("B"), 1);
    item(past, QStringLiteral("C"), 0)->setComplete(true);
    past->setRitualCompletedAt(t.now - 86400 * 7);
    drainEvents();

    WeekListModel m(t.env);
    QAbstractItemModelTester tester(m.list());
    ASSERT_EQ(m.weeks(), (std::vector<Week*>{next, current, past}));
    auto row = [&](int r, int role) { return m.list()->index(r).data(role); };
    EXPECT_FALSE(row(0, WeekListModel::CurrentWeekRole).toBool());
    EXPECT_TRUE(row(1, WeekListModel::CurrentWeekRole).toBool());
    EXPECT_EQ(row(0, WeekListModel::SummaryRole).toString(), QStringLiteral("1/2 items done"));
    EXPECT_EQ(row(1, WeekListModel::SummaryRole).toString(), QStringLiteral("No items yet"));
    EXPECT_EQ(row(0, WeekListModel::StatusRole).toInt(), int(Status::inProgress));
    EXPECT_EQ(row(1, WeekListModel::StatusRole).toInt(), int(Status::empty));
    EXPECT_EQ(row(2, WeekListModel::StatusRole).toInt(), int(Status::allDone));
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
    };
    for (const auto& c : cases) {
        EXPECT_EQ(weeks::rangeText(*june, t.calendar, c.locale), c.june)
            << c.locale.name().toStdString();
        EXPECT_EQ(weeks::rangeText(*newYear, t.calendar, c.locale), c.newYear)
            << c.locale.name().toStdString();
    }
}

// A past reminder staying away after an undo is Today's delete test.
TEST_F(Weeks, DeleteCancelsRemindersAndUndoBringsBackTheWeekAndItsFutureReminders) {
    t.context.ensureUndoManager();
    Week* w = week(2026, 3, 4);
    Week* other = week(2026, 3, 11);
    WeekItem* run = item(w, QStringLiteral("Run"), 0);
    DayTask* soon = run->materializeDayTask(t.now, t.calendar);
    soon->setReminderAt(t.now + 3600);
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
    EXPECT_EQ(m.weeks().size(), 2u);
    EXPECT_TRUE(t.center.pending.count(reminder)) << "the future reminder comes back";
}

TEST_F(Weeks, DetailPillsIntentionAndTypingBurst) {
    UndoManager* undo = t.context.ensureUndoManager();
    Week* w = week(2026, 3, 4);
    drainEvents();
    WeekDetailModel m(t.env, *w);
    EXPECT_EQ(m.ritualPillText(), QStringLiteral("Ritual not started"));
    EXPECT_FALSE(m.allItemsDone());
    w->setRitualCompletedAt(t.now);
    EXPECT_EQ(m.ritualPillText(), QStringLiteral("Ritual done"));
    drainEvents();

    for (const char* text : {"R", "Ru", "Run"})
        m.setIntention(QString::fromLatin1(text));
    drainEvents();
    m.endTypingBurst();
    m.setIntention(QString());
    EXPECT_FALSE(w->intention().has_value()) << "empty is stored as absent";
    drainEvents();
    undo->undo();
    EXPECT_EQ(w->intention(), QStringLiteral("Run")) << "the new burst is its own step";
    undo->undo();
    EXPECT_FALSE(w->intention().has_value()) << "one step for the first burst";
    EXPECT_TRUE(w->ritualCompletedAt().has_value()) << "not part of the typing";
}

TEST_F(Weeks, AddItemSortsLastOverAllGoalsAndNeedsATitle) {
    Week* w = week(2026, 3, 4);
    Goal* marathon = goal(QStringLiteral("Marathon"));
    Goal* archived = goal(QStringLiteral("Old"), 0, GoalStatus::archived);
    for (int i = 0; i < 5; ++i)
        item(w, QString::number(i), i, i % 2 ? marathon : nullptr);
    drainEvents();
    WeekDetailModel m(t.env, *w);
    EXPECT_EQ(m.goals(), (std::vector<Goal*>{marathon, archived})) << "every goal, store order";

    m.setNewItemTitle(QStringLiteral("  \n\t "));
    EXPECT_FALSE(m.canAddItem());
    EXPECT_EQ(m.addItem(), nullptr);
    m.setNewItemTitle(QStringLiteral("  Long run \n"));
    m.setNewItemGoal(archived);
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
    EXPECT_EQ(titles(m.sortedItems()), (QStringList{"a1", "a2", "b", "c"}));

    EXPECT_FALSE(m.moveItemRow(0, -1));
    EXPECT_FALSE(m.moveItemRow(3, 1));
    EXPECT_TRUE(m.moveItemRow(3, -1));
    EXPECT_TRUE(m.moveItemRow(0, 1));
    drainEvents();
    EXPECT_EQ(titles(m.sortedItems()), (QStringList{"a2", "a1", "c", "b"}));
    for (qint64 i = 0; i < 4; ++i)
        EXPECT_EQ(m.sortedItems()[std::size_t(i)]->sortOrder(), i);
    // A drag of the first two rows to the end.
    EXPECT_TRUE(m.list()->moveRows({}, 0, 2, {}, 4));
    drainEvents();
    EXPECT_EQ(titles(m.sortedItems()), (QStringList{"c", "b", "a2", "a1"}));
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

    m.deleteItems({run});
    EXPECT_TRUE(run->isDeleted() && task->isDeleted());
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

TEST_F(Weeks, RitualStepsStartAtIntentionWithoutAPreviousWeekAndFollowTheList) {
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
    EXPECT_EQ(m.stepIndex(), 3);
    // It goes again: index 3 is past the list, the step is still the last.
    t.context.remove(previous);
    drainEvents();
    EXPECT_EQ(m.steps().size(), 3u);
    EXPECT_EQ(m.step(), RitualStep::finish);
    m.back();
    EXPECT_EQ(m.step(), RitualStep::finish) << "index 2 is the last step now";
    m.back();
    EXPECT_EQ(m.step(), RitualStep::planItems);

    // With a previous week a new presentation opens on the retro step; only
    // a week that starts before this one counts.
    lastWeek();
    WeeklyRitualModel again(t.env, thisWeek());
    EXPECT_EQ(again.step(), RitualStep::retro);
    week(2026, 3, 10);
    EXPECT_EQ(again.previousWeek(), lastWeek());
}

TEST_F(Weeks, RitualRetroListsGoallessItemsFirstThenByGoalTitleThenSortOrder) {
    Week* previous = lastWeek();
    Goal* write = goal(QStringLiteral("Write"), 0);
    Goal* exercise = goal(QStringLiteral("Exercise"), 1);
    Goal* exerciseToo = goal(QStringLiteral("Exercise"), 2); // same title: one group
    item(previous, QStringLiteral("Edit"), 3, write);
    item(previous, QStringLiteral("Run"), 4, exercise);
    item(previous, QStringLiteral("Call mum"), 5);
    item(previous, QStringLiteral("Draft"), 0, write);
    item(previous, QStringLiteral("Lift"), 2, exerciseToo);
    item(previous, QStringLiteral("Swim"), 1, exercise)->setComplete(true);
    item(previous, QStringLiteral("Stretch"), 1, exerciseToo); // ties Swim: stays after it
    item(thisWeek(), QStringLiteral("Not last week's"), 0, write);

    WeeklyRitualModel m(t.env, thisWeek());
    EXPECT_EQ(titles(m.retroItems()),
              (QStringList{"Call mum", "Swim", "Stretch", "Lift", "Run", "Draft", "Edit"}));
    auto data = [&](int row, int role) { return m.retroList()->rowAt(row)->data.value(role); };
    EXPECT_EQ(data(1, WeeklyRitualModel::GoalTitleRole).toString(), QStringLiteral("Exercise"));
    EXPECT_TRUE(data(1, WeeklyRitualModel::CompleteRole).toBool());
    EXPECT_TRUE(data(0, WeeklyRitualModel::GoalTitleRole).toString().isEmpty());

    // The list follows the records.
    write->setTitle(QStringLiteral("Acting"));
    drainEvents();
    EXPECT_EQ(data(1, Qt::DisplayRole).toString(), QStringLiteral("Draft"));
}

TEST_F(Weeks, RitualTextIsStoredAsTypedClearedToAbsentOneUndoStepABurst) {
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

TEST_F(Weeks, RitualAddsATrimmedItemLastInTheWeekAndClearsOnlyThatGoalsField) {
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

    m.setNewItemTitle(*write, QStringLiteral("  First chapter \n"));
    m.setNewItemTitle(*run, QStringLiteral("5k"));
    WeekItem* added = m.addItem(*write);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->title(), QStringLiteral("First chapter"));
    EXPECT_EQ(added->sortOrder(), 5);
    EXPECT_EQ(added->goal(), write);
    EXPECT_TRUE(m.newItemTitle(*write).isEmpty());
    EXPECT_EQ(m.newItemTitle(*run), QStringLiteral("5k"));
    EXPECT_EQ(m.addItem(*run)->sortOrder(), 6) << "counted over all goals";
    EXPECT_EQ(titles(m.itemsForGoal(*write)), (QStringList{"Outline", "First chapter"}));

    RowListModel* writeRows = m.planList(*write);
    item(current, QStringLiteral("Second chapter"), 7, write);
    drainEvents();
    EXPECT_EQ(writeRows->rowCount(), 3) << "the rows follow the records";
    EXPECT_EQ(m.finishList()->rowAt(0)->data.value(Qt::DisplayRole).toString(),
              QStringLiteral("Loose end"));
    EXPECT_EQ(m.finishList()->rowCount(), 6);
}

TEST_F(Weeks, RitualReviewTextIsTheIntentionThenTheItemsInTheWeeksOwnOrder) {
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
TEST_F(Weeks, RitualFinishStampsNowEachTime) {
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
