#include "Sync/SyncEngine.h"
#include "Platform/NetworkRequestPerformer.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "Sync/CalDavServers.h"
#include "Sync/CalendarObject.h"
#include "Sync/RecordMapping.h"
#include "Sync/SyncSetup.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

namespace {

using namespace orvana;
using test::CalDavServer;

class SyncEngineTest : public ::testing::TestWithParam<CalDavServer::Kind> {};

// A device's changes reach the server: new tasks are created once, edits go
// over the server's copy, deletions remove it, and a second push with
// nothing new sends nothing. A task another client changed meanwhile is
// held back, not overwritten, and stays in the journal.
TEST_P(SyncEngineTest, PushSendsEachChangeOnceAndNeverOverwritesAnotherClients) {
    CalDavServer server(GetParam());
    ASSERT_TRUE(server.ready());
    QTemporaryDir dir;
    auto opened = openModelContext(dir.filePath("Orvana.sqlite"));
    ASSERT_TRUE(opened.ok());
    ModelContext& ctx = *opened.value();
    const Calendar calendar(QTimeZone("Europe/Berlin"), 2);
    const Timestamp day = calendar.startOfDay(1'796'718'600); // 8 Dec 2026
    ctx.setClock([] { return 1'796'718'600.0; });
    DayTask* run = ctx.create<DayTask>(QStringLiteral("Run"), day);
    DayTask* swim = ctx.create<DayTask>(QStringLiteral("Swim"), day);
    ASSERT_TRUE(ctx.save().ok());

    NetworkRequestPerformer http;
    CalDavClient client(http, {server.url(), server.user, server.password});
    Result<SyncAccount> account =
        QCoro::waitFor(signIn(client, server.url().toString(), server.user, false));
    ASSERT_TRUE(account.ok()) << account.error().message.toStdString();
    ASSERT_TRUE(ctx.store()->startSync(account.value(), ctx.now()).ok());
    const QString tasks = account.value().collections[std::size_t(SyncCollection::tasks)];
    SyncEngine engine(ctx, client, calendar);

    auto push = [&] {
        Result<SyncReport> r = QCoro::waitFor(engine.push());
        EXPECT_TRUE(r.ok()) << r.error().message.toStdString();
        return r.ok() ? r.value() : SyncReport{};
    };
    auto summaryOf = [&](const DayTask* task) -> std::optional<QString> {
        Result<DavReply> got = QCoro::waitFor(client.get(tasks + sync::uidOf(task->id()) + ".ics"));
        if (!got.ok() || got.value().status != 200)
            return std::nullopt;
        return CalendarObject::parse(got.value().body).value().text("SUMMARY");
    };

    EXPECT_EQ(push().sent, 2);
    EXPECT_EQ(summaryOf(run), "Run");
    EXPECT_EQ(push().sent, 0);
    EXPECT_EQ(ctx.store()->sync()->pendingCount().value(), 0);

    run->setTitle(QStringLiteral("Run 10 km"));
    ctx.remove(swim);
    const SyncReport second = push();
    EXPECT_EQ(second.sent, 1);
    EXPECT_EQ(second.removed, 1);
    EXPECT_EQ(summaryOf(run), "Run 10 km");
    EXPECT_EQ(summaryOf(swim), std::nullopt);

    // Another client renames it on the server; this device's edit waits.
    const QString href = tasks + sync::uidOf(run->id()) + ".ics";
    const DavReply there = QCoro::waitFor(client.get(href)).value();
    CalendarObject theirs = CalendarObject::parse(there.body).value();
    theirs.setText("SUMMARY", QStringLiteral("Run 12 km"));
    ASSERT_EQ(QCoro::waitFor(client.put(href, theirs.bytes(), there.etag)).value().status / 100, 2);
    run->setTitle(QStringLiteral("Run 8 km"));
    EXPECT_EQ(push().heldBack, 1);
    EXPECT_EQ(summaryOf(run), "Run 12 km");
    EXPECT_EQ(ctx.store()->sync()->pendingCount().value(), 1);
}

INSTANTIATE_TEST_SUITE_P(Servers, SyncEngineTest,
                         ::testing::Values(CalDavServer::Kind::radicale,
                                           CalDavServer::Kind::xandikos),
                         test::serverName);

} // namespace
