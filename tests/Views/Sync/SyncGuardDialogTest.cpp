#include "Views/Sync/SyncGuardDialog.h"

#include "Models/DayTask.h"
#include "Views/Navigation/MainWindow.h"
#include "Views/Tray/TrayIcon.h"
#include "support/Shots.h"
#include "support/SyncHome.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace orvana::test {
namespace {

SyncGuardDialog* openDialog(QWidget& window) {
    SyncGuardDialog* dialog = nullptr;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return (dialog = window.findChild<SyncGuardDialog*>()) && dialog->isVisible(); },
        30'000));
    return dialog;
}

// Another device deleted most of what this one has: the window asks, Return
// keeps them (and sends them back), and only "Delete Them" deletes.
TEST(SyncGuardDialog, AsksInTheWindowAndReturnKeeps) {
    CalDavServer server(CalDavServer::Kind::radicale);
    ASSERT_TRUE(server.ready());
    SyncHome laptop, phone;
    const Timestamp day = laptop.calendar.startOfDay(systemNow());
    for (int i = 0; i < 25; ++i)
        laptop.ctx->create<DayTask>(QStringLiteral("Task %1").arg(i), day);
    ASSERT_TRUE(laptop.join(server));
    ASSERT_TRUE(phone.join(server));
    ASSERT_TRUE(phone.deleteAllTasksAndSync());

    MainWindow window(*laptop.env);
    SyncGuardDialog::askWhenNeeded(&window, laptop.sync());
    TrayIcon tray(*laptop.env);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // From the command line: it exits 3 and the window asks.
    int exit = -1;
    laptop.sync().request(false, [&](const SyncCycleOutcome& o) { exit = o.exitCode; });
    SyncGuardDialog* dialog = openDialog(window);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(exit, 3);
    EXPECT_EQ(dialog->text(), QStringLiteral("Another device deleted 25 records that are on this "
                                             "device."));
    EXPECT_TRUE(dialog->informativeText().startsWith(QStringLiteral("They are in Orvana Tasks.")));
    EXPECT_EQ(tray.syncStatusAction()->text(), QStringLiteral("Sync is waiting for your answer"));
    saveShots(dialog, QStringLiteral("sync-guard"));
    QTest::keyClick(dialog, Qt::Key_Return);
    ASSERT_TRUE(laptop.settled());
    EXPECT_EQ(laptop.sync().phase(), SyncController::Phase::idle);
    EXPECT_EQ(laptop.ctx->fetch<DayTask>().size(), 25u);
    EXPECT_EQ(tray.syncStatusAction()->text(), QStringLiteral("Last synced just now"));

    // Kept, they went back to the server; deleted there once more, and this
    // time deleted here too.
    phone.sync().syncNow();
    ASSERT_TRUE(phone.settled());
    ASSERT_EQ(phone.ctx->fetch<DayTask>().size(), 25u);
    ASSERT_TRUE(phone.deleteAllTasksAndSync());
    laptop.sync().syncNow();
    dialog = openDialog(window);
    ASSERT_NE(dialog, nullptr);
    dialog->deleteButton()->click();
    ASSERT_TRUE(laptop.settled());
    EXPECT_TRUE(laptop.ctx->fetch<DayTask>().empty());
    EXPECT_EQ(laptop.sync().deletedCount(), 25);
}

} // namespace
} // namespace orvana::test
