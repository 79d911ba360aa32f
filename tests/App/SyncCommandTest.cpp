#include "Platform/NetworkRequestPerformer.h"
#include "Services/DataExportService.h"
#include "Store/ModelContext.h"
#include "Sync/CalDavClient.h"
#include "Sync/CalDavServers.h"
#include "support/AppProcess.h"
#include "support/TestSupport.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

using namespace orvana;
using namespace orvana::test;

namespace {

Outcome orvanaWithInput(const Sandbox& box, const QStringList& args, const QByteArray& input) {
    OrvanaProcess process(box.env(true), args);
    process.input(input);
    return process.outcome();
}

QJsonObject statusOf(const Sandbox& box) {
    const Outcome o = runOrvana({"sync", "status", "--json"}, box.env(true));
    expectExit(o, 0);
    return QJsonDocument::fromJson(o.out.toUtf8()).object();
}

// Every file of the sandbox but the secret store's own, for "the password is
// nowhere else".
QByteArray everythingButTheSecrets(const Sandbox& box) {
    QByteArray all;
    QDirIterator it(box.path(QString()), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (!file.contains(QLatin1String("secret"), Qt::CaseInsensitive))
            all += fileBytes(file);
    }
    return all;
}

// Two devices sign in to one real server: the first makes Orvana's four
// calendars and the account's mark, the second joins them; the password is
// kept only in the secret store; signing out forgets it and keeps the data.
TEST(SyncCommand, SignInStatusAndSignOutAgainstARealServer) {
    CalDavServer server(CalDavServer::Kind::radicale);
    ASSERT_TRUE(server.ready());
    const QString url = server.url().toString();
    const QByteArray password = server.password.toUtf8();
    Sandbox laptop, desktop;

    expectExit(runOrvana({"sync", "status"}, laptop.env(true)), 0);
    EXPECT_EQ(statusOf(laptop).value("account"), QJsonValue::Null);

    const Outcome wrong = orvanaWithInput(
        laptop, {"sync", "setup", url, "--user", server.user, "--password-stdin"}, "nope\n");
    expectExit(wrong, 1);
    EXPECT_TRUE(wrong.err.contains("user name or password")) << wrong;

    for (Sandbox* device : {&laptop, &desktop}) {
        const Outcome in = orvanaWithInput(
            *device, {"sync", "setup", url, "--user", server.user, "--password-stdin"},
            password + "\n");
        expectExit(in, 0);
        EXPECT_TRUE(in.out.startsWith("Signed in to")) << in;
        const QJsonObject status = statusOf(*device);
        EXPECT_EQ(status.value("account"), url);
        EXPECT_EQ(status.value("user"), server.user);
        EXPECT_EQ(status.value("lastSync"), QJsonValue::Null);
        EXPECT_EQ(status.value("pending"), 0);
        EXPECT_FALSE(everythingButTheSecrets(*device).contains(password));
    }

    NetworkRequestPerformer http;
    CalDavClient client(http, {server.url(), server.user, server.password});
    const QString home = QCoro::waitFor(client.findCalendarHome()).value();
    QStringList names;
    const Result<std::vector<dav::Response>> calendars = QCoro::waitFor(client.calendars(home));
    ASSERT_TRUE(calendars.ok());
    for (const dav::Response& calendar : calendars.value())
        names << calendar.displayName;
    names.sort();
    EXPECT_EQ(names, (QStringList{"Orvana Focus Blocks", "Orvana Focus Log", "Orvana Plan",
                                  "Orvana Tasks"}));

    // One cycle on the store itself, remembered in the status.
    const Outcome synced = runOrvana({"sync", "--json"}, laptop.env(true));
    expectExit(synced, 0);
    EXPECT_EQ(QJsonDocument::fromJson(synced.out.toUtf8()).object().value("sent"), 0) << synced;
    EXPECT_TRUE(statusOf(laptop).value("lastSync").toString().endsWith("Z"));

    expectExit(runOrvana({"sync", "signout"}, laptop.env(true)), 0);
    const Outcome off = runOrvana({"sync"}, laptop.env(true));
    expectExit(off, 1);
    EXPECT_TRUE(off.err.contains("no account")) << off;
    EXPECT_EQ(statusOf(laptop).value("account"), QJsonValue::Null);
    EXPECT_FALSE(fileBytes(laptop.storeFolder() + "/secrets.json").contains(password));
}

// The resources of "Orvana Tasks" on the server.
std::vector<dav::Response> serverTasks(CalDavClient& client) {
    const QString home = QCoro::waitFor(client.findCalendarHome()).value();
    const Result<std::vector<dav::Response>> calendars = QCoro::waitFor(client.calendars(home));
    QString tasks;
    for (const dav::Response& calendar : calendars.value())
        if (calendar.displayName == QLatin1String("Orvana Tasks"))
            tasks = calendar.href;
    const auto listed = QCoro::waitFor(client.changesSince(tasks, QString()));
    EXPECT_TRUE(listed.ok() && listed.value());
    std::vector<dav::Response> resources;
    if (listed.ok() && listed.value())
        for (const dav::Response& r : listed.value()->responses)
            if (!r.href.endsWith(u'/'))
                resources.push_back(r);
    return resources;
}

// While the app runs it holds the store, so `orvana sync` hands the cycle
// to it and answers with its words and exit status: two calls at once take
// turns (the tasks go out once), and the deletion guard stops it there too
// until --allow-deletions, which reaches the app.
TEST(SyncCommand, RunsTheCycleInTheRunningApp) {
    CalDavServer server(CalDavServer::Kind::radicale);
    ASSERT_TRUE(server.ready());
    Sandbox laptop;
    if (laptop.busAddress().isEmpty())
        GTEST_SKIP() << "dbus-daemon could not be started";
    expectExit(orvanaWithInput(laptop,
                               {"sync", "setup", server.url().toString(), "--user", server.user,
                                "--password-stdin"},
                               server.password.toUtf8()),
               0);

    OrvanaProcess app(laptop.env());
    const QString connectionName = QStringLiteral("sync-through-app-test");
    const auto disconnect =
        qScopeGuard([&] { QDBusConnection::disconnectFromBus(connectionName); });
    QDBusConnection bus = QDBusConnection::connectToBus(laptop.busAddress(), connectionName);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return bus.interface()->isServiceRegistered("app.orvana.Orvana").value(); },
        exitTimeoutMs))
        << app.outcome();
    // Handed over too: merged into the app's records, not yet sent.
    constexpr int taskCount = 25;
    ModelContext made;
    for (int i = 0; i < taskCount; ++i)
        made.create<DayTask>(QStringLiteral("Task %1").arg(i), 1'796'684'400.0);
    writeFile(laptop.path("tasks.json"),
              DataExportService::exportJSON(made, 1'796'718'600).value());
    expectExit(runOrvana({"import", laptop.path("tasks.json")}, laptop.env(true)), 0);

    OrvanaProcess first(laptop.env(true), {"sync", "--json"});
    OrvanaProcess second(laptop.env(true), {"sync", "--json"});
    std::vector<qint64> sent;
    for (OrvanaProcess* sync : {&first, &second}) {
        const Outcome o = sync->outcome();
        expectExit(o, 0);
        sent.push_back(QJsonDocument::fromJson(o.out.toUtf8()).object().value("sent").toInteger());
    }
    // The app syncs by itself too (at start, after the import): whichever
    // cycle sent them, they went once, in one cycle.
    for (qint64 n : sent)
        EXPECT_TRUE(n == 0 || n == taskCount) << "not one cycle after the other: " << n;
    EXPECT_LE(sent[0] + sent[1], taskCount);
    EXPECT_TRUE(statusOf(laptop).value("lastSync").toString().endsWith("Z"));

    NetworkRequestPerformer http;
    CalDavClient client(http, {server.url(), server.user, server.password});
    const std::vector<dav::Response> tasks = serverTasks(client);
    ASSERT_EQ(tasks.size(), std::size_t(taskCount));
    EXPECT_TRUE(QCoro::waitFor(client.get(tasks.front().href)).value().body.contains("Task "));

    // Another device deleted them all.
    for (const dav::Response& task : tasks)
        ASSERT_TRUE(QCoro::waitFor(client.remove(task.href, task.etag)).ok());
    const Outcome stopped = runOrvana({"sync", "--json"}, laptop.env(true));
    expectExit(stopped, 3);
    EXPECT_TRUE(stopped.out.isEmpty()) << stopped;
    EXPECT_TRUE(stopped.err.startsWith("Sync stopped: it would delete 25 records")) << stopped;
    const Outcome allowed = runOrvana({"sync", "--allow-deletions"}, laptop.env(true));
    expectExit(allowed, 0);
    EXPECT_TRUE(allowed.out.startsWith("Synced: 0 received, 25 deleted here,")) << allowed;
    EXPECT_TRUE(app.staysUpFor(0)) << app.outcome();
}

TEST(SyncCommand, RefusesUnsafeOrIncompleteRequests) {
    Sandbox box;
    const Outcome plain = orvanaWithInput(
        box, {"sync", "setup", "http://dav.example.org/", "--user", "a", "--password-stdin"},
        "pw\n");
    expectExit(plain, 1);
    EXPECT_TRUE(plain.err.contains("--allow-insecure")) << plain;
    for (const QStringList& args :
         {QStringList{"sync", "bogus"}, QStringList{"sync", "--bogus"},
          QStringList{"sync", "setup"}, QStringList{"sync", "setup", "https://dav.example.org/"},
          QStringList{"sync", "setup", "https://a/", "https://b/", "--user", "u"},
          QStringList{"sync", "status", "--yaml"}, QStringList{"sync", "signout", "now"}})
        expectExit(runOrvana(args, box.env(true)), 2);
}

} // namespace
