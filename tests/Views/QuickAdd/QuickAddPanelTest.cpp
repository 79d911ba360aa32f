#include "Views/QuickAdd/QuickAddPanel.h"

#include "Views/QuickAdd/QuickAddModel.h"
#include "Views/Today/TodayModel.h"
#include "support/TestEnvironment.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace orvana;
using orvana::test::drainEvents;

bool otherWindowsShown(const QWidget* panel) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != panel && w->isVisible())
            return true;
    }
    return false;
}

// Opens the panel as the hot key does and waits until it takes the typing.
QuickAddView* openPanel(QuickAddPanel& panel) {
    panel.toggle();
    QuickAddView* view = panel.panel();
    if (!view || !QTest::qWaitForWindowActive(view))
        return nullptr;
    drainEvents();
    return view;
}

TEST(QuickAddWindow, TypeReturnEscapeAndTheSecondPress) {
    test::TestEnvironment t; // Monday 10:00
    TodayModel today(t.env);
    QuickAddPanel panel(t.env);
    EXPECT_EQ(panel.panel(), nullptr);

    QuickAddView* view = openPanel(panel);
    ASSERT_NE(view, nullptr);
    const Qt::WindowFlags flags = view->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::Tool));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    const QRect screen = view->screen()->availableGeometry();
    EXPECT_LE((view->frameGeometry().center() - screen.center()).manhattanLength(), 1);
    EXPECT_EQ(QApplication::focusWidget(), view->field());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(view->field())->text(QAccessible::Name),
              QStringLiteral("Quick Add to Today"));
    // Closing the panel alone on screen must not end the app.
    const bool alone = !otherWindowsShown(view);
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);

    // Type, Return: the trimmed task is on Today and the panel is gone.
    QTest::keyClicks(view->field(), QStringLiteral("  Buy milk "));
    QTest::keyClick(view->field(), Qt::Key_Return);
    drainEvents();
    EXPECT_FALSE(panel.isVisible());
    ASSERT_EQ(today.otherTasks().size(), 1u);
    EXPECT_EQ(today.otherTasks()[0]->title(), QStringLiteral("Buy milk"));
    if (alone) {
        EXPECT_EQ(lastClosed.count(), 0);
    }

    // The next press opens a new, empty panel; the one after closes it.
    QPointer<QuickAddView> first = view;
    view = openPanel(panel);
    ASSERT_NE(view, nullptr);
    EXPECT_NE(view, first.data());
    EXPECT_TRUE(view->field()->text().isEmpty());
    QTest::keyClicks(view->field(), QStringLiteral("Half typed"));
    panel.toggle();
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(t.context.count<DayTask>(), 1u);
    drainEvents();
    EXPECT_TRUE(first.isNull()) << "a replaced panel is released";

    // Escape closes without adding; the typed text is lost.
    view = openPanel(panel);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->field()->text().isEmpty());
    QTest::keyClicks(view->field(), QStringLiteral("Call the bank"));
    QTest::keyClick(view->field(), Qt::Key_Escape);
    drainEvents();
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(t.context.count<DayTask>(), 1u);

    // Return on an empty field closes too, adding nothing.
    view = openPanel(panel);
    ASSERT_NE(view, nullptr);
    QTest::keyClick(view->field(), Qt::Key_Return);
    drainEvents();
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(t.context.count<DayTask>(), 1u);
}

} // namespace
