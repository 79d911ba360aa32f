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

void signIn(const Sandbox& box, const CalDavServer& server) {
    OrvanaProcess setup(box.env(true), {"sync", "setup", server.url().toString(), "--user",
                                        server.user, "--password-stdin"});
    setup.input(server.password.toUtf8());
    expectExit(setup.outcome(), 0);
}

// Each task's title by id, from the device's own export.
QHash<QString, QString> dayTasks(const Sandbox& box) {
    const Outcome exported = runOrvana({"export"}, box.env(true));
    expectExit(exported, 0);
    QHash<QString, QString> titles;
    const QJsonArray tasks =
        QJsonDocument::fromJson(exported.out.toUtf8()).object().value("dayTasks").toArray();
    for (const QJsonValue& t : tasks)
        titles.insert(t.toObject().value("id").toString(), t.toObject().value("title").toString());
    EXPECT_EQ(titles.size(), tasks.size()) << "a task twice";
    return titles;
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
// random moments and run to its end: the server holds each task once,
// nothing is left to send, and a second device gets every task once, as
// last edited.
TEST(SyncKilled, FirstAndLaterSyncsKilledAtRandomResumeWithoutDuplicatesOrLosses) {
    CalDavServer server(CalDavServer::Kind::radicale);
    ASSERT_TRUE(server.ready());
    Sandbox laptop(Sandbox::Bus::none), phone(Sandbox::Bus::none);
    QRandomGenerator random(20261208);

    ModelContext made;
    for (int i = 0; i < taskCount; ++i)
        made.create<DayTask>(QStringLiteral("Task %1").arg(i), 1'796'684'400.0);
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
    const Outcome status = runOrvana({"sync", "status", "--json"}, laptop.env(true));
    EXPECT_EQ(QJsonDocument::fromJson(status.out.toUtf8()).object().value("pending"), 0) << status;

    signIn(phone, server);
    expectExit(runOrvana({"sync"}, phone.env(true)), 0);
    const QHash<QString, QString> onPhone = dayTasks(phone);
    EXPECT_EQ(onPhone, dayTasks(laptop));
    EXPECT_EQ(onPhone.size(), taskCount);
    for (const QString& title : onPhone)
        EXPECT_TRUE(title.endsWith(", edited")) << title.toStdString();
}

} // namespace
