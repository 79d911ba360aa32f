#include "Sync/SyncController.h"

#include "Models/DayTask.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "Sync/CalDavServers.h"
#include "Views/Sync/SyncStatusText.h"
#include "support/SyncHome.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

namespace orvana::test {
namespace {

TEST(SyncController, SignsInSyncsBySelfAndSignsOut) {
    CalDavServer server(CalDavServer::Kind::radicale);
    ASSERT_TRUE(server.ready());
    SyncHome laptop;
    const Timestamp day = laptop.calendar.startOfDay(systemNow());
    laptop.ctx->create<DayTask>(QStringLiteral("Run"), day);
    SyncController& sync = laptop.sync();
    EXPECT_EQ(sync.phase(), SyncController::Phase::off);

    // Errors in words, and nothing kept.
    EXPECT_EQ(QCoro::waitFor(sync.signIn("not a server", server.user, server.password, false))
                  .error()
                  .message,
              QStringLiteral("\u201cnot a server\u201d is not a server address."));
    EXPECT_TRUE(QCoro::waitFor(sync.signIn("http://dav.example.org", "a", "b", false))
                    .error()
                    .message.startsWith("Plain http:// would send your password unencrypted"));
    EXPECT_FALSE(laptop.signIn(server, QStringLiteral("wrong")).ok());
    EXPECT_FALSE(sync.signedIn());
    EXPECT_TRUE(laptop.secrets.items.empty());

    sync.start();
    ASSERT_TRUE(laptop.signIn(server, server.password).ok());
    ASSERT_TRUE(laptop.settled());
    EXPECT_EQ(sync.phase(), SyncController::Phase::idle);
    EXPECT_EQ(syncStatusLine(sync, systemNow()), QStringLiteral("Last synced just now"));
    EXPECT_EQ(syncStatusLine(sync, systemNow() + 150), QStringLiteral("Last synced 2 min ago"));
    EXPECT_EQ(laptop.ctx->store()->sync()->pendingCount().value(), 0);
    EXPECT_NEAR(*sync.nextIn(), 300, 5);

    // An edit saved: the next cycle comes 10 s after it, and sends it.
    laptop.ctx->create<DayTask>(QStringLiteral("Swim"), day);
    ASSERT_TRUE(laptop.ctx->save().ok());
    EXPECT_NEAR(*sync.nextIn(), 10, 1);
    QSignalSpy cycles(&sync, &SyncController::cycleFinished);
    ASSERT_TRUE(cycles.wait(15'000));
    EXPECT_EQ(laptop.ctx->store()->sync()->pendingCount().value(), 0);
    // A wake or a network that came back: at once, not at the 5 minutes.
    ASSERT_TRUE(laptop.settled());
    sync.prompt();
    EXPECT_LT(*sync.nextIn(), 1);
    ASSERT_TRUE(cycles.wait(5'000));

    ASSERT_TRUE(QCoro::waitFor(sync.signOut()).ok());
    EXPECT_EQ(sync.phase(), SyncController::Phase::off);
    EXPECT_EQ(laptop.ctx->store()->sync(), nullptr);
    EXPECT_TRUE(laptop.secrets.items.empty());
    EXPECT_EQ(laptop.ctx->fetch<DayTask>().size(), 2u);
    EXPECT_FALSE(sync.nextIn());
}

TEST(SyncController, TheGuardAsksAndKeepingSendsThemAgain) {
    CalDavServer server(CalDavServer::Kind::radicale);
    ASSERT_TRUE(server.ready());
    SyncHome laptop, phone;
    const Timestamp day = laptop.calendar.startOfDay(systemNow());
    for (int i = 0; i < 25; ++i)
        laptop.ctx->create<DayTask>(QStringLiteral("Task %1").arg(i), day);
    ASSERT_TRUE(laptop.join(server));
    ASSERT_TRUE(phone.join(server));
    ASSERT_EQ(phone.ctx->fetch<DayTask>().size(), 25u);

    // The phone deletes them all; the laptop's next sync asks first.
    ASSERT_TRUE(phone.deleteAllTasksAndSync());
    QSignalSpy asked(&laptop.sync(), &SyncController::questionAsked);
    laptop.sync().syncNow();
    ASSERT_TRUE(laptop.settled());
    ASSERT_EQ(asked.size(), 1);
    ASSERT_EQ(laptop.sync().phase(), SyncController::Phase::asking);
    EXPECT_EQ(laptop.sync().question()->records, 25);
    EXPECT_EQ(laptop.sync().question()->collections, QStringList{"Orvana Tasks"});
    EXPECT_EQ(laptop.ctx->fetch<DayTask>().size(), 25u);

    // Kept here: they go to the server again and come back to the phone.
    laptop.sync().answer(false);
    ASSERT_TRUE(laptop.settled());
    EXPECT_EQ(laptop.sync().phase(), SyncController::Phase::idle);
    EXPECT_EQ(laptop.ctx->fetch<DayTask>().size(), 25u);
    phone.sync().syncNow();
    ASSERT_TRUE(phone.settled());
    EXPECT_EQ(phone.ctx->fetch<DayTask>().size(), 25u);

    // Two command-line requests queue, and each hears its own outcome.
    std::vector<int> exits;
    laptop.sync().request(false, [&](const SyncCycleOutcome& o) { exits.push_back(o.exitCode); });
    laptop.sync().request(true, [&](const SyncCycleOutcome& o) { exits.push_back(o.exitCode); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return exits.size() == 2; }, 30'000));
    EXPECT_EQ(exits, (std::vector<int>{0, 0}));
}

} // namespace
} // namespace orvana::test
