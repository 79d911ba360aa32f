#include "Models/DayTask.h"
#include "Models/Goal.h"
#include "Platform/NetworkRequestPerformer.h"
#include "Services/AppEnvironment.h"
#include "Services/NotificationService.h"
#include "Services/Preferences.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "Sync/CalDavServers.h"
#include "Sync/SyncController.h"
#include "Views/Navigation/MainWindow.h"
#include "Views/Navigation/MainWindowModel.h"
#include "Views/Navigation/NavigationStack.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/RecordListView.h"
#include "Views/Sync/DeletedElsewhereView.h"
#include "Views/Sync/SyncConflictsModel.h"
#include "Views/Sync/SyncConflictsView.h"
#include "Views/Sync/SyncStatusFooter.h"
#include "support/FakeNotificationCenter.h"
#include "support/FakeSecretBackend.h"
#include "support/Shots.h"
#include "support/TestSupport.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

// One device of the account, as the app runs it: its own store file,
// keyring, network and clock, and the sync controller.
struct Home {
    explicit Home(Timestamp start) : now(start) {
        auto opened = openModelContext(dir.filePath(QStringLiteral("Orvana.sqlite")));
        EXPECT_TRUE(opened.ok());
        context = std::move(opened.value());
        context->setClock([this] { return now; });
        preferences.setValue(PreferenceKeys::hasCompletedOnboarding, true);
        env = std::make_unique<AppEnvironment>(
            AppEnvironment::Services{*context, preferences, notifications, calendar,
                                     AppPaths::under(dir.path()), &http, &secrets});
    }
    SyncController& sync() { return SyncController::of(*env); }
    // Signs in, and the first sync ends.
    bool signIn(const QUrl& url, const QString& user, const QString& password) {
        QSignalSpy finished(&sync(), &SyncController::cycleFinished);
        Result<void> in = QCoro::waitFor(sync().signIn(url.toString(), user, password, false));
        EXPECT_TRUE(in.ok()) << in.error().message.toStdString();
        return in.ok() && QTest::qWaitFor([&] { return !finished.isEmpty(); }, 30'000) && settle();
    }
    bool signIn(const test::CalDavServer& server) {
        return signIn(server.url(), server.user, server.password);
    }
    // One cycle, to its end.
    bool syncOnce() {
        EXPECT_TRUE(context->save().ok());
        QSignalSpy finished(&sync(), &SyncController::cycleFinished);
        sync().syncNow();
        return QTest::qWaitFor([&] { return !finished.isEmpty(); }, 30'000) && settle();
    }
    bool settle() {
        const bool done = QTest::qWaitFor(
            [&] { return sync().phase() != SyncController::Phase::syncing; }, 30'000);
        drainEvents();
        return done;
    }
    template <class T> T* named(const QString& title) {
        for (T* r : context->fetch<T>())
            if (r->title() == title)
                return r;
        return nullptr;
    }

    QTemporaryDir dir;
    Timestamp now;
    Calendar calendar = test::berlinMondayFirst();
    std::unique_ptr<ModelContext> context;
    Preferences preferences{dir.filePath(QStringLiteral("config/preferences.json"))};
    test::FakeNotificationCenter center;
    NotificationService notifications{center, [this] { return now; }, calendar};
    NetworkRequestPerformer http;
    test::FakeSecretBackend secrets;
    std::unique_ptr<AppEnvironment> env;
};

std::string rowText(QAbstractItemView* list, int row) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(list);
    QAccessibleInterface* child = face ? face->child(row) : nullptr;
    return child ? child->text(QAccessible::Name).toStdString() : std::string();
}

// Two devices on a real Radicale: a goal the laptop deletes shows on the
// phone's "Deleted on Another Device" page, reached from the sidebar's sync
// status, and Restore brings it back and sends it again; a task title both
// changed shows on "Sync Conflicts", and "Use This Value" takes the phone's
// own title back. A server gone shows the error with Retry.
TEST(SyncPages, ADeletionRestoredAndAConflictSettledFromTheWindow) {
    test::CalDavServer server(test::CalDavServer::Kind::radicale);
    ASSERT_TRUE(server.ready());
    const Timestamp t0 = test::at(QTimeZone("Europe/Berlin"), 2026, 3, 2, 10, 0);
    Home phone(t0);
    Home laptop(t0);
    phone.context->create<Goal>(QStringLiteral("Learn Spanish"));
    phone.context->create<DayTask>(QStringLiteral("Buy shoes"), phone.calendar.startOfDay(t0));
    ASSERT_TRUE(phone.context->save().ok());

    MainWindow window(*phone.env);
    window.model()->setBackupDirectory(QString());
    window.resize(980, 640);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    SyncStatusFooter* footer = window.syncFooter();
    EXPECT_FALSE(footer->isVisible()) << "signed out: no sync status";

    ASSERT_TRUE(phone.signIn(server));
    ASSERT_TRUE(laptop.signIn(server));
    ASSERT_NE(laptop.named<Goal>(QStringLiteral("Learn Spanish")), nullptr);
    EXPECT_TRUE(footer->isVisible());
    EXPECT_TRUE(footer->statusLabel()->text().startsWith(QLatin1String("Last synced")))
        << footer->statusLabel()->text().toStdString();
    EXPECT_FALSE(footer->deletedButton()->isVisible());

    // The laptop deletes the goal; the phone's next sync lists it.
    laptop.now = t0 + 60;
    laptop.context->remove(laptop.named<Goal>(QStringLiteral("Learn Spanish")));
    ASSERT_TRUE(laptop.syncOnce());
    phone.now = t0 + 90;
    ASSERT_TRUE(phone.syncOnce());
    EXPECT_EQ(phone.named<Goal>(QStringLiteral("Learn Spanish")), nullptr);
    ASSERT_TRUE(footer->deletedButton()->isVisible());
    EXPECT_EQ(footer->deletedButton()->text(), QStringLiteral("1 deleted on another device"));

    QTest::mouseClick(footer->deletedButton(), Qt::LeftButton);
    drainEvents();
    auto* deleted = qobject_cast<DeletedElsewhereView*>(window.currentSection()->root());
    ASSERT_NE(deleted, nullptr);
    EXPECT_FALSE(window.model()->selection().has_value());
    ASSERT_EQ(deleted->list()->model()->rowCount(), 1);
    EXPECT_EQ(rowText(deleted->list(), 0), "Learn Spanish, deleted Monday, 2 March 2026 at 10:01");
    test::saveShots(&window, QStringLiteral("sync-deleted-elsewhere"));
    // By keyboard: the list has the focus on the row; Tab reaches Restore.
    ASSERT_TRUE(deleted->list()->hasFocus() ||
                deleted->list()->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), deleted->actionButton());
    QTest::keyClick(deleted->actionButton(), Qt::Key_Space);
    drainEvents();
    EXPECT_NE(phone.named<Goal>(QStringLiteral("Learn Spanish")), nullptr);
    EXPECT_EQ(deleted->list()->model()->rowCount(), 0);
    EXPECT_TRUE(deleted->emptyState()->isVisible());
    EXPECT_FALSE(footer->deletedButton()->isVisible());
    ASSERT_TRUE(phone.syncOnce());
    ASSERT_TRUE(laptop.syncOnce());
    EXPECT_NE(laptop.named<Goal>(QStringLiteral("Learn Spanish")), nullptr) << "sent again";

    // Both change the task's title; the laptop's later edit stays.
    phone.now = t0 + 100;
    phone.named<DayTask>(QStringLiteral("Buy shoes"))->setTitle(QStringLiteral("Buy trail shoes"));
    ASSERT_TRUE(phone.context->save().ok());
    laptop.now = t0 + 200;
    laptop.named<DayTask>(QStringLiteral("Buy shoes"))
        ->setTitle(QStringLiteral("Buy running shoes"));
    ASSERT_TRUE(laptop.syncOnce());
    phone.now = t0 + 300;
    ASSERT_TRUE(phone.syncOnce());
    ASSERT_NE(phone.named<DayTask>(QStringLiteral("Buy running shoes")), nullptr);
    ASSERT_TRUE(footer->conflictsButton()->isVisible());
    EXPECT_EQ(footer->conflictsButton()->text(), QStringLiteral("1 conflict"));

    QTest::mouseClick(footer->conflictsButton(), Qt::LeftButton);
    drainEvents();
    auto* conflicts = qobject_cast<SyncConflictsView*>(window.currentSection()->root());
    ASSERT_NE(conflicts, nullptr);
    ASSERT_EQ(conflicts->list()->model()->rowCount(), 1);
    EXPECT_EQ(rowText(conflicts->list(), 0), "Buy running shoes, title");
    EXPECT_EQ(
        conflicts->list()->model()->index(0, 0).data(SyncConflictsModel::DetailRole).toStringList(),
        (QStringList{"Task · Title", "Kept (another device): Buy running shoes",
                     "Not kept (this device): Buy trail shoes"}));
    test::saveShots(&window, QStringLiteral("sync-conflicts"));
    QTest::mouseClick(conflicts->actionButton(), Qt::LeftButton);
    drainEvents();
    EXPECT_NE(phone.named<DayTask>(QStringLiteral("Buy trail shoes")), nullptr);
    EXPECT_EQ(conflicts->list()->model()->rowCount(), 0);
    test::saveShots(&window, QStringLiteral("sync-conflicts-none"));
    EXPECT_FALSE(footer->conflictsButton()->isVisible());
    ASSERT_TRUE(phone.syncOnce());
    ASSERT_TRUE(laptop.syncOnce());
    EXPECT_NE(laptop.named<DayTask>(QStringLiteral("Buy trail shoes")), nullptr);

    // Ctrl+2 goes back to a section.
    QTest::keyClick(&window, Qt::Key_2, Qt::ControlModifier);
    drainEvents();
    EXPECT_EQ(window.model()->selection(), SidebarSection::goals);
}

// A sync that fails says so in the sidebar, with Retry, which tries again.
TEST(SyncPages, TheSidebarShowsAFailedSyncWithRetry) {
    auto server = std::make_unique<test::CalDavServer>(test::CalDavServer::Kind::radicale);
    ASSERT_TRUE(server->ready());
    Home phone(test::at(QTimeZone("Europe/Berlin"), 2026, 3, 2, 10, 0));
    ASSERT_TRUE(phone.signIn(*server));
    MainWindow window(*phone.env);
    window.model()->setBackupDirectory(QString());
    window.resize(980, 640);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    SyncStatusFooter* footer = window.syncFooter();
    EXPECT_FALSE(footer->retryButton()->isVisible());
    test::saveShots(&window, QStringLiteral("sync-footer-idle"));

    server.reset();
    ASSERT_TRUE(phone.syncOnce());
    ASSERT_EQ(phone.sync().phase(), SyncController::Phase::failed);
    ASSERT_TRUE(footer->retryButton()->isVisible());
    EXPECT_FALSE(footer->statusLabel()->text().startsWith(QLatin1String("Last synced")))
        << footer->statusLabel()->text().toStdString();
    test::saveShots(&window, QStringLiteral("sync-footer-failed"));
    QSignalSpy finished(&phone.sync(), &SyncController::cycleFinished);
    QTest::mouseClick(footer->retryButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !finished.isEmpty(); }, 30'000));
    EXPECT_TRUE(footer->retryButton()->isVisible()) << "still failing";
}

} // namespace
