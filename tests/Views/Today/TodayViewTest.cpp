#include "Views/Today/TodayView.h"

#include "Models/FocusBlockTemplate.h"
#include "Views/Focus/FocusTimerController.h"
#include "Views/Focus/FocusTimerView.h"
#include "Views/Shared/RecordListView.h"
#include "Views/Shared/UndoBanner.h"
#include "Views/Shared/UndoToast.h"
#include "Views/Today/DayTaskFormModel.h"
#include "Views/Today/DayTaskFormView.h"
#include "Views/Today/TodayModel.h"
#include "support/TestEnvironment.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace orvana;
using orvana::test::drainEvents;

// The accessible names of the list's rows, as a screen reader reads them.
QStringList accessibleRows(QAbstractItemView* list) {
    QStringList out;
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(list);
    for (int i = 0; i < view->childCount(); ++i)
        out << view->child(i)->text(QAccessible::Name);
    return out;
}

// The row menu's entries for the row at hand.
QStringList menuFor(TodayView& view, int row) {
    emit view.list()->aboutToShowRowMenu(row);
    QStringList texts;
    for (QAction* a : view.list()->actions()) {
        if (!a->text().isEmpty() && a->isVisible())
            texts << a->text();
    }
    return texts;
}

int rowOf(TodayView& view, const DayTask* task) {
    return view.model()->list()->rowOf(QStringLiteral("task:") +
                                       task->id().toString(QUuid::WithoutBraces));
}

void select(TodayView& view, int row) {
    // Back from a dialog: the screen's window has to be active for its keys.
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    view.list()->setFocus();
    view.list()->selectionModel()->setCurrentIndex(view.model()->list()->index(row),
                                                   QItemSelectionModel::ClearAndSelect);
}

TEST(TodayScreen, TheWholeRoadByKeyboard) {
    test::TestEnvironment t; // Monday 10:00
    t.context.ensureUndoManager();
    const Timestamp monday = t.local(2026, 3, 2);
    auto* late = t.context.create<DayTask>(QStringLiteral("Late report"), monday - 86400);
    auto* block = t.context.create<FocusBlockTemplate>(QStringLiteral("Deep work"),
                                                       std::vector<qint64>{2, 4}, 7, 30, 45);
    TodayView view(t.env);
    view.resize(700, 500);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));

    // Ctrl+N, type, make it the one thing, Return.
    QTest::keyClick(&view, Qt::Key_N, Qt::ControlModifier);
    auto* form = view.findChild<DayTaskFormView*>();
    ASSERT_NE(form, nullptr);
    QTest::keyClicks(form->titleField(), QStringLiteral("Ship the release"));
    form->oneThingToggle()->setFocus();
    QTest::keyClick(form->oneThingToggle(), Qt::Key_Space);
    QTest::keyClick(form->titleField(), Qt::Key_Return);
    drainEvents();
    ASSERT_NE(view.model()->oneThingTask(), nullptr);
    DayTask* ship = view.model()->oneThingTask();
    EXPECT_EQ(ship->title(), QStringLiteral("Ship the release"));

    // The row reads its title; Space completes it, and the reader hears so.
    select(view, rowOf(view, ship));
    EXPECT_TRUE(accessibleRows(view.list()).contains(QStringLiteral("Ship the release")));
    QTest::keyClick(view.list(), Qt::Key_Space);
    drainEvents();
    EXPECT_TRUE(ship->isComplete());
    EXPECT_TRUE(accessibleRows(view.list()).contains(QStringLiteral("Ship the release, done")));

    // Ctrl+Return opens the focus timer on the task.
    QTest::keyClick(view.list(), Qt::Key_Return, Qt::ControlModifier);
    drainEvents();
    auto* timer = view.window()->findChild<FocusTimerView*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->controller().dayTask(), ship);
    timer->close();
    drainEvents();

    // Move the overdue task to today (Ctrl+T); the row menu follows the row.
    EXPECT_EQ(menuFor(view, rowOf(view, late)),
              (QStringList{"Mark as Done", "Move to Today", "Start a focus session", "Edit…"}));
    select(view, rowOf(view, late));
    QTest::keyClick(view.list(), Qt::Key_T, Qt::ControlModifier);
    drainEvents();
    EXPECT_TRUE(view.model()->filteredOverdueTasks().empty());
    EXPECT_EQ(menuFor(view, rowOf(view, late)),
              (QStringList{"Mark as Done", "Start a focus session", "Edit…", "Move Up", "Move Down",
                           "Delete"}));

    // Delete it with the Delete key; the banner's Undo brings it back.
    select(view, rowOf(view, late));
    QTest::keyClick(view.list(), Qt::Key_Delete);
    drainEvents();
    EXPECT_TRUE(late->isDeleted());
    ASSERT_TRUE(view.undoBanner()->isVisible());
    QTest::keyClick(view.undoBanner()->toast()->undoButton(), Qt::Key_Space);
    drainEvents();
    EXPECT_FALSE(late->isDeleted());

    // Start the block: today's task with the block's length, in the timer.
    const QString blockKey = QStringLiteral("block:") + block->id().toString(QUuid::WithoutBraces);
    select(view, view.model()->list()->rowOf(blockKey));
    QTest::keyClick(view.list(), Qt::Key_Return);
    drainEvents();
    timer = view.window()->findChild<FocusTimerView*>();
    ASSERT_NE(timer, nullptr);
    ASSERT_NE(timer->controller().dayTask(), nullptr);
    EXPECT_EQ(timer->controller().dayTask()->sourceTemplateID(), block->id());
    timer->close();
}

} // namespace
