#include "Sync/CalDavServers.h"
#include "support/AppProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace orvana::test;

namespace {

// The other clients, each run with HOME and every XDG folder in `dir`, so
// neither reads nor writes the user's own configuration.
class ForeignTools {
public:
    ForeignTools() {
        for (const char* sub : {"home", "config/vdirsyncer", "config/todoman", "cache", "data",
                                "status", "vdir/orvana-tasks"})
            QDir().mkpath(dir_.filePath(QLatin1String(sub)));
        env_.insert(QStringLiteral("HOME"), path("home"));
        for (const QString sub : {"config", "cache", "data"})
            env_.insert("XDG_" + sub.toUpper() + "_HOME", path(sub));
        env_.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    void set(const QString& name, const QString& value) { env_.insert(name, value); }

    // Its standard output; the test fails on a non-zero exit.
    QString run(const QString& program, const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(env_);
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(program, args);
        const bool finished = p.waitForFinished(120'000);
        EXPECT_TRUE(finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
            << program.toStdString() << ' ' << args.join(' ').toStdString() << '\n'
            << p.readAllStandardError().toStdString();
        return QString::fromUtf8(p.readAllStandardOutput());
    }

private:
    QTemporaryDir dir_;
    QProcessEnvironment env_ = QProcessEnvironment::systemEnvironment();
};

QDate dayOf(const QJsonObject& task) {
    return QDateTime::fromString(task.value("date").toString(), Qt::ISODate).toLocalTime().date();
}

// Debian's vdirsyncer and todoman, and curl, edit "Orvana Tasks" the way
// their users do; everything reaches Orvana through its command line:
// todoman's rename and completion of Orvana's task (which it rewrites whole)
// keep the one-thing flag and the sort order, its new task lands on its due
// day, and a to-do PUT without a due date lands on today.
TEST(SyncForeignClients, TodomanVdirsyncerAndCurlEditOrvanasTasks) {
    for (const char* program : {"vdirsyncer", "todoman", "curl"}) {
        if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty())
            GTEST_SKIP() << program << " is not installed (scripts/bootstrap installs it)";
    }
    CalDavServer server(CalDavServer::Kind::radicale);
    ASSERT_TRUE(server.ready());
    const QString url = server.url().toString();
    Sandbox laptop;

    OrvanaProcess setup(laptop.env(true),
                        {"sync", "setup", url, "--user", server.user, "--password-stdin"});
    setup.input(server.password.toUtf8() + '\n');
    expectExit(setup.outcome(), 0);
    const QString eighth = QDateTime(QDate(2026, 12, 8), QTime(0, 0)).toUTC().toString(Qt::ISODate);
    const QString runId = QStringLiteral("5C0FFEE0-0000-4000-8000-000000000001");
    writeFile(laptop.path("run.json"), QStringLiteral(R"({"schemaVersion":1,"exportedAt":"%1",
"dayTasks":[{"id":"%2","title":"Run","date":"%1","createdAt":"%1","isComplete":false,
"isTodaysOneThing":true,"sortOrder":7}],"goals":[],"weeks":[],"weekItems":[],
"focusSessions":[],"focusBlockTemplates":[],"trailEntries":[]})")
                                           .arg(eighth, runId)
                                           .toUtf8());
    expectExit(runOrvana({"import", laptop.path("run.json")}, laptop.env(true)), 0);
    expectExit(runOrvana({"sync"}, laptop.env(true)), 0);

    ForeignTools tools;
    const QString vdirsyncerConfig = tools.path("config/vdirsyncer/config");
    writeFile(
        vdirsyncerConfig,
        QStringLiteral("[general]\nstatus_path = \"%1\"\n[pair orvana]\na = \"local\"\n"
                       "b = \"server\"\ncollections = [\"orvana-tasks\"]\n[storage local]\n"
                       "type = \"filesystem\"\npath = \"%2\"\nfileext = \".ics\"\n"
                       "[storage server]\ntype = \"caldav\"\nurl = \"%3\"\n"
                       "username = \"%4\"\npassword = \"%5\"\n")
            .arg(tools.path("status/"), tools.path("vdir/"), url, server.user, server.password)
            .toUtf8());
    writeFile(tools.path("config/todoman/config.py"),
              QStringLiteral("path = \"%1/*\"\ndate_format = \"%Y-%m-%d\"\n"
                             "time_format = \"%H:%M\"\ndefault_list = \"orvana-tasks\"\n")
                  .arg(tools.path("vdir"))
                  .toUtf8());
    const QStringList vdirsyncer{"-c", vdirsyncerConfig};
    tools.run("vdirsyncer", vdirsyncer + QStringList{"discover"});
    tools.run("vdirsyncer", vdirsyncer + QStringList{"sync"});

    const QJsonArray listed =
        QJsonDocument::fromJson(tools.run("todoman", {"--porcelain", "list"}).toUtf8()).array();
    ASSERT_EQ(listed.size(), 1) << "vdirsyncer did not bring \"Run\" over";
    const QString id = QString::number(listed[0].toObject().value("id").toInt());
    // todoman renames only in its editor: a scripted one.
    tools.set("EDITOR", "sed -i 's/^SUMMARY:.*/SUMMARY:Run 5 km/'");
    tools.run("todoman", {"edit", "--raw", id});
    tools.run("todoman", {"done", id});
    tools.run("todoman", {"new", "--due", "2026-12-10", "Water plants"});
    tools.run("vdirsyncer", vdirsyncer + QStringList{"sync"});

    writeFile(tools.path("curl.ics"),
              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//tests//curl//EN\r\n"
              "BEGIN:VTODO\r\nUID:curl-1\r\nDTSTAMP:20261201T090000Z\r\n"
              "SUMMARY:Call the plumber\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
    tools.run("curl", {"-sSf", "-X", "PUT", "-u", server.user + ':' + server.password, "-H",
                       "Content-Type: text/calendar; charset=utf-8", "--data-binary",
                       QStringLiteral("@") + tools.path("curl.ics"),
                       url + server.user + "/orvana-tasks/curl-1.ics"});

    const QDate before = QDate::currentDate();
    const Outcome synced = runOrvana({"sync", "--json"}, laptop.env(true));
    expectExit(synced, 0);
    EXPECT_EQ(QJsonDocument::fromJson(synced.out.toUtf8()).object().value("received"), 3) << synced;
    const Outcome exported = runOrvana({"export"}, laptop.env(true));
    expectExit(exported, 0);
    const QJsonArray all =
        QJsonDocument::fromJson(exported.out.toUtf8()).object().value("dayTasks").toArray();
    EXPECT_EQ(all.size(), 3) << exported.out.toStdString(); // none twice
    QHash<QString, QJsonObject> tasks;
    for (const QJsonValue& t : all)
        tasks.insert(t.toObject().value("title").toString(), t.toObject());

    const QJsonObject renamed = tasks.value("Run 5 km");
    EXPECT_EQ(renamed.value("id"), runId);
    EXPECT_EQ(renamed.value("isComplete"), true);
    EXPECT_EQ(renamed.value("isTodaysOneThing"), true);
    EXPECT_EQ(renamed.value("sortOrder"), 7);
    EXPECT_EQ(dayOf(renamed), QDate(2026, 12, 8));
    EXPECT_EQ(dayOf(tasks.value("Water plants")), QDate(2026, 12, 10));
    const QDate plumber = dayOf(tasks.value("Call the plumber"));
    EXPECT_TRUE(plumber == before || plumber == QDate::currentDate())
        << plumber.toString().toStdString();
}

} // namespace
