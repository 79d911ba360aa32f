#include "Models/DayTask.h"
#include "Models/Goal.h"
#include "Models/Week.h"
#include "Models/WeekItem.h"
#include "Store/UndoManager.h"
#include "Views/Navigation/NavigationStack.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/RecordListView.h"
#include "Views/Shared/UndoBanner.h"
#include "Views/Shared/UndoToast.h"
#include "Views/Weeks/PlanWeekDialog.h"
#include "Views/Weeks/WeekDetailModel.h"
#include "Views/Weeks/WeekDetailView.h"
#include "Views/Weeks/WeekListModel.h"
#include "Views/Weeks/WeekListView.h"
#include "support/Sample.h"
#include "support/Shots.h"
#include "support/TestEnvironment.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

// The Weeks section: the list at the bottom of its navigation stack.
struct Section {
    Section() {
        t.context.ensureUndoManager();
        stack = std::make_unique<NavigationStack>(new WeekListView(t.env));
        stack->resize(640, 560);
    }

    WeekListView* list() const { return qobject_cast<WeekListView*>(stack->root()); }
    WeekDetailView* detail() const { return qobject_cast<WeekDetailView*>(stack->currentPage()); }

    void show() {
        stack->show();
        activate();
    }
    void activate() {
        stack->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(stack.get()));
        drainEvents();
    }
    // Ctrl+N, a day, Return: the planned week's dialog.
    PlannedWeekDialog* plan(QDate day, QDate expectShown) {
        activate(); // back from a dialog
        QTest::keyClick(list(), Qt::Key_N, Qt::ControlModifier);
        PlanWeekDialog* dialog = list()->planDialog();
        EXPECT_NE(dialog, nullptr);
        if (!dialog)
            return nullptr;
        EXPECT_EQ(dialog->dateField()->date(), expectShown);
        dialog->dateField()->setDate(day);
        QTest::keyClick(dialog->dateField(), Qt::Key_Return);
        drainEvents();
        EXPECT_EQ(list()->planDialog(), nullptr) << "Plan is the default button";
        return list()->plannedWeekDialog();
    }

    test::TestEnvironment t; // Monday 2 March 2026, Monday first
    std::unique_ptr<NavigationStack> stack;
};

TEST(WeekScreens, PlanAWeekAheadAndReopenItByPickingAnotherDayOfIt) {
    Section s;
    Goal* marathon = s.t.context.create<Goal>(QStringLiteral("Marathon"));
    s.show();
    EXPECT_TRUE(s.list()->emptyState()->isVisible());

    // Cancel plans nothing but keeps the day picked for the next time.
    QTest::keyClick(s.list(), Qt::Key_N, Qt::ControlModifier);
    ASSERT_NE(s.list()->planDialog(), nullptr);
    s.list()->planDialog()->dateField()->setDate(QDate(2026, 4, 1));
    QTest::keyClick(s.list()->planDialog()->dateField(), Qt::Key_Escape);
    drainEvents();
    EXPECT_EQ(s.list()->planDialog(), nullptr);
    EXPECT_EQ(s.t.context.count<Week>(), 0u);

    // Plan the week of Sunday 14 June: Monday 8 June to Monday 15 June.
    PlannedWeekDialog* planned = s.plan(QDate(2026, 6, 14), QDate(2026, 4, 1));
    ASSERT_NE(planned, nullptr);
    ASSERT_EQ(s.t.context.count<Week>(), 1u);
    Week* week = s.t.context.fetch<Week>().front();
    EXPECT_EQ(s.list()->list()->model()->rowCount(), 1) << "listed at once";

    // Two items; Return in the field adds nothing, "Add" waits for a title.
    WeekDetailView* detail = planned->detail();
    EXPECT_FALSE(detail->addButton()->isEnabled());
    detail->newItemField()->setFocus();
    QTest::keyClicks(detail->newItemField(), QStringLiteral("   "));
    EXPECT_FALSE(detail->addButton()->isEnabled());
    QTest::keyClicks(detail->newItemField(), QStringLiteral("Long run"));
    QTest::keyClick(detail->newItemField(), Qt::Key_Return);
    drainEvents();
    EXPECT_TRUE(week->items().empty());
    EXPECT_TRUE(planned->isVisible()) << "Return is not Done";
    EXPECT_EQ(detail->goalPicker()->accessibleName(), QStringLiteral("Goal"));
    EXPECT_EQ(detail->goalPicker()->count(), 2); // None, Marathon
    detail->goalPicker()->setFocus();
    QTest::keyClick(detail->goalPicker(), Qt::Key_Down);
    EXPECT_EQ(detail->model()->newItemGoal(), marathon);
    QTest::keyClick(detail->addButton(), Qt::Key_Space);
    drainEvents();
    QTest::keyClicks(detail->newItemField(), QStringLiteral("Stretch"));
    QTest::keyClick(detail->addButton(), Qt::Key_Space);
    drainEvents();
    ASSERT_EQ(week->items().size(), 2u);
    EXPECT_TRUE(detail->newItemField()->text().isEmpty());
    EXPECT_EQ(detail->goalPicker()->currentIndex(), 0);
    QTest::mouseClick(planned->doneButton(), Qt::LeftButton);
    drainEvents();
    EXPECT_EQ(s.list()->plannedWeekDialog(), nullptr);

    // Wednesday of the same week, from the date kept since: the same week.
    planned = s.plan(QDate(2026, 6, 10), QDate(2026, 6, 14));
    ASSERT_NE(planned, nullptr);
    EXPECT_EQ(s.t.context.count<Week>(), 1u);
    EXPECT_EQ(planned->detail()->model()->week(), week);
    EXPECT_EQ(planned->detail()->items()->model()->rowCount(), 2);
    QTest::keyClick(planned, Qt::Key_Escape);
    drainEvents();
    EXPECT_EQ(s.list()->plannedWeekDialog(), nullptr);
    s.activate();

    // Return on the row opens it on the stack; the items by keyboard.
    RecordListView* list = s.list()->list();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    drainEvents();
    ASSERT_EQ(s.stack->depth(), 2);
    detail = s.detail();
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(s.stack->currentTitle(), weeks::rangeText(*week, s.t.calendar));
    RecordListView* items = detail->items();
    items->setFocus();
    items->setCurrentIndex(items->model()->index(0, 0));
    WeekItem* run = detail->model()->itemAt(0);
    ASSERT_EQ(run->title(), QStringLiteral("Long run"));
    QTest::keyClick(items, Qt::Key_T, Qt::ControlModifier); // Add to Today
    drainEvents();
    ASSERT_EQ(run->dayTasks().size(), 1u);
    EXPECT_TRUE(items->model()->index(0, 0).data(WeekDetailModel::OnTodayRole).toBool());
    QTest::keyClick(items, Qt::Key_Down, Qt::AltModifier);
    drainEvents();
    EXPECT_EQ(detail->model()->itemAt(1), run);
    EXPECT_EQ(items->currentIndex().row(), 1) << "the moved row stays current";
    QTest::keyClick(items, Qt::Key_Space);
    drainEvents();
    EXPECT_TRUE(run->isComplete());

    // Back to the list; Delete deletes the week, "Undo" brings it back.
    QTest::keyClick(items, Qt::Key_Left, Qt::AltModifier);
    drainEvents();
    ASSERT_EQ(s.stack->depth(), 1);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Delete);
    drainEvents();
    EXPECT_TRUE(week->isDeleted());
    EXPECT_TRUE(s.list()->emptyState()->isVisible());
    UndoBanner* banner = s.list()->undoBanner();
    QTest::mouseClick(banner->toast()->undoButton(), Qt::LeftButton);
    drainEvents();
    EXPECT_FALSE(week->isDeleted());
    EXPECT_EQ(week->items().size(), 2u);
    EXPECT_EQ(list->model()->rowCount(), 1);
}

// Only with ORVANA_SHOTS_DIR set (scripts/screenshots).
TEST(Screenshots, Weeks) {
    if (!test::shotsWanted())
        GTEST_SKIP() << "set ORVANA_SHOTS_DIR to take pictures";
    Section s;
    s.show();
    test::saveShots(s.stack.get(), QStringLiteral("weeks-empty"));

    test::fillSample(s.t.context, s.t.calendar, s.t.now);
    Week* current = Week::findOrCreate(s.t.now, s.t.context, s.t.calendar);
    Week* ahead = Week::findOrCreate(s.t.now + 7 * 86400, s.t.context, s.t.calendar); // empty
    drainEvents();
    s.list()->list()->setCurrentIndex(s.list()->list()->model()->index(1, 0));
    test::saveShots(s.stack.get(), QStringLiteral("weeks-list"));

    s.list()->presentPlanDialog();
    drainEvents();
    PlanWeekDialog* plan = s.list()->planDialog();
    ASSERT_NE(plan, nullptr);
    plan->adjustSize();
    test::saveShots(plan, QStringLiteral("weeks-plan"));
    plan->close();
    drainEvents();

    s.list()->presentPlannedWeek(*ahead);
    drainEvents();
    PlannedWeekDialog* planned = s.list()->plannedWeekDialog();
    ASSERT_NE(planned, nullptr);
    test::saveShots(planned, QStringLiteral("weeks-planned"));
    planned->close();
    drainEvents();

    s.list()->openWeek(*current);
    drainEvents();
    test::saveShots(s.stack.get(), QStringLiteral("week-detail"));
}

} // namespace
