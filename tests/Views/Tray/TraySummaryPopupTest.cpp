#include "Views/Tray/TraySummaryPopup.h"

#include "Models/FocusBlockTemplate.h"
#include "Models/Goal.h"
#include "Views/Tray/TrayIcon.h"
#include "Views/Tray/TraySummaryModel.h"
#include "support/TestEnvironment.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

// Monday 2026-03-02 10:00: a one thing, focus yesterday and today, and a block
// at 11:00 on Mondays.
struct Day {
    explicit Day(test::TestEnvironment& t) {
        auto* goal = t.context.create<Goal>(QStringLiteral("Ship the release"));
        one = t.context.create<DayTask>(QStringLiteral("Finish the release notes"),
                                        t.local(2026, 3, 2), std::nullopt, false, true);
        t.context.create<TrailEntry>(t.local(2026, 3, 1, 17, 0), 40, goal);
        t.context.create<TrailEntry>(t.local(2026, 3, 2, 8, 0), 25, goal);
        block = t.context.create<FocusBlockTemplate>(QStringLiteral("Deep work"),
                                                     std::vector<qint64>{2}, 11, 0, 50);
    }
    DayTask* one;
    FocusBlockTemplate* block;
};

QWidget* focused() {
    return QApplication::focusWidget();
}

bool isChecked(QWidget* widget) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
    return a && a->state().checked;
}

TEST(TraySummaryPopup, TickTheOneThingThenOpenOrvanaByKeyboardAndFindTomorrowEmpty) {
    test::TestEnvironment t;
    Day day(t);
    TrayIcon tray(t.env);
    EXPECT_EQ(tray.show(), TrayIcon::isSystemTrayAvailable()) << "no tray offscreen: no icon";
    EXPECT_FALSE(tray.hasPopup()) << "nothing is built before the first opening";

    tray.setOverdueCount(3);
    EXPECT_EQ(tray.toolTip(), QStringLiteral("Orvana — 3 overdue tasks"));
    tray.setOverdueCount(1);
    EXPECT_EQ(tray.toolTip(), QStringLiteral("Orvana — 1 overdue task"));
    tray.setOverdueCount(0);
    EXPECT_EQ(tray.toolTip(), QStringLiteral("Orvana"));

    // The menu's entries in order, each with its request.
    QStringList entries;
    std::vector<std::unique_ptr<QSignalSpy>> requests;
    for (auto request : {&TrayIcon::openRequested, &TrayIcon::quickAddRequested,
                         &TrayIcon::focusRequested, &TrayIcon::quitRequested})
        requests.push_back(std::make_unique<QSignalSpy>(&tray, request));
    for (QAction* a : tray.contextMenu()->actions()) {
        if (!a->isVisible())
            continue; // the sync's lines, while signed out
        if (!a->isSeparator())
            entries << a->text();
        a->trigger();
    }
    EXPECT_EQ(entries,
              (QStringList{QStringLiteral("Open Orvana"), QStringLiteral("Quick Add…"),
                           QStringLiteral("Start Focus Session"), QStringLiteral("Quit")}));
    for (const auto& spy : requests)
        EXPECT_EQ(spy->count(), 1);
    QSignalSpy& open = *requests[0];
    open.clear();

    // Activation opens the summary (at the pointer: offscreen the icon has no
    // place), with the keyboard on the one thing.
    tray.togglePopup();
    TraySummaryPopup* popup = tray.popup();
    drainEvents();
    ASSERT_TRUE(popup->isVisible());
    EXPECT_TRUE(popup->frameGeometry().intersects(popup->screen()->availableGeometry()));
    QAbstractButton* toggle = popup->oneThingToggle();
    ASSERT_EQ(focused(), toggle);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(toggle)->text(QAccessible::Name),
              QStringLiteral("Finish the release notes"));
    EXPECT_FALSE(isChecked(toggle));
    EXPECT_FALSE(popup->nothingSet()->isVisible());
    EXPECT_EQ(popup->streakLabel()->text(), QStringLiteral("2 days streak"));
    EXPECT_EQ(popup->blockLabel()->text(),
              QStringLiteral("Deep work · ") + TraySummaryModel::timeLabel(*day.block));

    // Space ticks it off (the model's test has what else that does).
    QTest::keyClick(focused(), Qt::Key_Space);
    drainEvents();
    EXPECT_TRUE(day.one->isComplete());
    EXPECT_TRUE(isChecked(toggle));
    EXPECT_TRUE(popup->isVisible());

    // Tab on to "Open Orvana"; Return opens the main window and closes.
    QTest::keyClick(focused(), Qt::Key_Tab);
    EXPECT_EQ(focused(), popup->openButton());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(popup->openButton())->text(QAccessible::Name),
              QStringLiteral("Open Orvana"));
    QTest::keyClick(focused(), Qt::Key_Return);
    drainEvents();
    EXPECT_EQ(open.count(), 1);
    EXPECT_FALSE(popup->isVisible());

    // Opened again the next morning: the day is read afresh. Nothing is set,
    // the streak counts from yesterday, Monday's block is gone; Escape closes.
    t.now = t.local(2026, 3, 3, 9, 0);
    tray.showPopup();
    drainEvents();
    ASSERT_TRUE(popup->isVisible());
    EXPECT_FALSE(toggle->isVisible());
    EXPECT_TRUE(popup->nothingSet()->isVisible());
    EXPECT_EQ(focused(), popup->openButton());
    EXPECT_EQ(popup->streakLabel()->text(), QStringLiteral("2 days streak"));
    EXPECT_FALSE(popup->blockLabel()->isVisible());
    QTest::keyClick(focused(), Qt::Key_Escape);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(open.count(), 1);
}

TEST(TraySummaryPopup, PlacementKeepsThePopupBesideTheIconAndOnTheScreen) {
    const QSize size(300, 200);
    const QRect underTopPanel(0, 32, 1920, 1048);
    // An icon at the right of a top panel: under it, pulled in from the edge.
    EXPECT_EQ(TraySummaryPopup::placement(size, QRect(1880, 4, 24, 24), underTopPanel),
              QPoint(1620, 32));
    // An icon in a bottom panel: above it (on the panel's edge), centred on it.
    const QRect aboveBottomPanel(0, 0, 1920, 1040);
    EXPECT_EQ(TraySummaryPopup::placement(size, QRect(700, 1048, 24, 24), aboveBottomPanel),
              QPoint(711 - 150, 1040 - 200));
    // An icon placed inside the free area (a panel that does not reserve
    // its room): a small gap above it.
    EXPECT_EQ(TraySummaryPopup::placement(size, QRect(700, 1000, 24, 24), aboveBottomPanel),
              QPoint(711 - 150, 1000 - 4 - 200));
    // A bare point: centred on it, but never off the free area.
    EXPECT_EQ(TraySummaryPopup::placement(size, QRect(QPoint(960, 540), QSize()), underTopPanel),
              QPoint(810, 440));
    EXPECT_EQ(TraySummaryPopup::placement(size, QRect(QPoint(5, 5), QSize()), underTopPanel),
              QPoint(0, 32));
    // A screen smaller than the popup: from its top-left corner.
    EXPECT_EQ(
        TraySummaryPopup::placement(size, QRect(QPoint(50, 50), QSize()), QRect(10, 20, 200, 100)),
        QPoint(10, 20));
}

} // namespace
