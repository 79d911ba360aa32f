#include "Platform/NetworkRequestPerformer.h"
#include "Services/DataExportService.h"
#include "Store/ModelContext.h"
#include "Sync/CalDavClient.h"
#include "Sync/CalDavServers.h"
#include "support/AppProcess.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

using namespace orvana;
using namespace orvana::test;

namespace {

constexpr int taskCount = 400;
// Focus minutes: ten entries a day over thirty days, a resource a day.
constexpr int entryCount = 300;
constexpr int entryDays = 30;

void signIn(const Sandbox& box, const CalDavServer& server) {
    OrvanaProcess setup(box.env(true), {"sync", "setup", server.url().toString(), "--user",
                                        server.user, "--password-stdin"});
    setup.input(server.password.toUtf8());
    expectExit(setup.outcome(), 0);
}

// One field of each record of a kind by id, from the device's own export.
QHash<QString, QString> records(const Sandbox& box, const char* kind, const char* field) {
    const Outcome exported = runOrvana({"export"}, box.env(true));
    expectExit(exported, 0);
    QHash<QString, QString> found;
    const QJsonArray list =
        QJsonDocument::fromJson(exported.out.toUtf8()).object().value(kind).toArray();
    for (const QJsonValue& r : list)
        found.insert(r.toObject().value("id").toString(),
                     r.toObject().value(field).toVariant().toString());
    EXPECT_EQ(found.size(), list.size()) << kind << " twice";
    return found;
}

// Runs `orvana sync` and kills it at random moments, then lets one finish.
void syncKilledAtRandom(const Sandbox& box, QRandomGenerator& random) {
    int kills = 0;
    for (int round = 0; round < 6; ++round) {
        OrvanaProcess sync(box.env(true), {"sync"});
        if (!sync.staysUpFor(random.bounded(150, 900)))
            break; // it finished first
        ::kill(pid_t(sync.pid()), SIGKILL);
        ++kills;
    }
    EXPECT_GE(kills, 1) << "the sync ended before it could be killed";
    expectExit(runOrvana({"sync"}, box.env(true)), 0);
}

// A first sync, then one that sends an edit of every task, each killed at
// random moments and run to its end: the server holds each task and each
// day of focus minutes once, nothing is left to send, and a second device
// gets every task and every entry once, tasks as last edited.
TEST(SyncKilled, FirstAndLaterSyncsKilledAtRandomResumeWithoutDuplicatesOrLosses) {
    CalDavServer server(CalDavServer::Kind::radicale);
    ASSERT_TRUE(server.ready());
    Sandbox laptop(Sandbox::Bus::none), phone(Sandbox::Bus::none);
    QRandomGenerator random(20261208);

    ModelContext made;
    for (int i = 0; i < taskCount; ++i)
        made.create<DayTask>(QStringLiteral("Task %1").arg(i), 1'796'684'400.0);
    Goal* goal = made.create<Goal>(QStringLiteral("Focus"));
    for (int i = 0; i < entryCount; ++i)
        made.create<TrailEntry>(1'796'727'600.0 - (i % entryDays) * 86'400.0 + i, 25, goal);
    writeFile(laptop.path("tasks.json"),
              DataExportService::exportJSON(made, 1'796'718'600).value());
    expectExit(runOrvana({"import", laptop.path("tasks.json")}, laptop.env(true)), 0);
    signIn(laptop, server);
    syncKilledAtRandom(laptop, random);

    // Every task renamed (an import overwrites by id), then sent.
    for (DayTask* t : made.fetch<DayTask>())
        t->setTitle(t->title() + QStringLiteral(", edited"));
    writeFile(laptop.path("edited.json"),
              DataExportService::exportJSON(made, 1'796'719'600).value());
    expectExit(runOrvana({"import", laptop.path("edited.json")}, laptop.env(true)), 0);
    syncKilledAtRandom(laptop, random);

    NetworkRequestPerformer http;
    CalDavClient client(http, {server.url(), server.user, server.password});
    const QString home = QCoro::waitFor(client.findCalendarHome()).value();
    const auto listing =
        QCoro::waitFor(client.changesSince(home + QStringLiteral("orvana-tasks/"), QString()));
    ASSERT_TRUE(listing.ok() && listing.value());
    EXPECT_EQ(listing.value()->responses.size(), std::size_t(taskCount));
    const auto log =
        QCoro::waitFor(client.changesSince(home + QStringLiteral("orvana-focus-log/"), QString()));
    ASSERT_TRUE(log.ok() && log.value());
    EXPECT_EQ(log.value()->responses.size(), std::size_t(entryDays));
    const Outcome status = runOrvana({"sync", "status", "--json"}, laptop.env(true));
    EXPECT_EQ(QJsonDocument::fromJson(status.out.toUtf8()).object().value("pending"), 0) << status;

    signIn(phone, server);
    expectExit(runOrvana({"sync"}, phone.env(true)), 0);
    const QHash<QString, QString> onPhone = records(phone, "dayTasks", "title");
    EXPECT_EQ(onPhone, records(laptop, "dayTasks", "title"));
    EXPECT_EQ(onPhone.size(), taskCount);
    const QHash<QString, QString> minutes = records(phone, "trailEntries", "minutes");
    EXPECT_EQ(minutes, records(laptop, "trailEntries", "minutes"));
    EXPECT_EQ(minutes.size(), entryCount);
    for (const QString& title : onPhone)
        EXPECT_TRUE(title.endsWith(", edited")) << title.toStdString();
}

} // namespace
