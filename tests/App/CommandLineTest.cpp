// The `orvana` verbs, run as a person would: the real binary, with HOME and
// the XDG folders in a temporary directory.
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "support/AppProcess.h"
#include "support/TestSupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace orvana;

namespace {

struct Outcome {
    int code = -1;
    QByteArray out;
    QString err;
};

class Verbs : public ::testing::Test {
protected:
    // No display and no session bus: an import can reach no running app.
    Outcome orvana(const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(sandbox.env(/*headless=*/true));
        p.start(QStringLiteral(ORVANA_BINARY), args);
        p.waitForFinished(60000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError())};
    }
    QString storePath() const { return sandbox.storePath(); }
    test::Sandbox sandbox{test::Sandbox::Bus::none};
};

TEST_F(Verbs, ExportImportStatsAndTodayWorkWithoutADisplay) {
    {
        auto ctx = openModelContext(storePath());
        ASSERT_TRUE(ctx.ok());
        auto* goal = ctx.value()->create<Goal>(QStringLiteral("Run"));
        ctx.value()->create<TrailEntry>(systemNow() - 60, 25, goal);
        ctx.value()->create<DayTask>(QStringLiteral("Ship it"), systemNow(), std::nullopt, false,
                                     true);
        ASSERT_TRUE(ctx.value()->save().ok());
    }
    const Outcome exported = orvana({QStringLiteral("export")});
    ASSERT_EQ(exported.code, 0) << exported.err.toStdString();
    EXPECT_TRUE(exported.out.startsWith("{\n  \"dayTasks\" : ["));

    const Outcome stats = orvana({QStringLiteral("stats"), QStringLiteral("--json")});
    ASSERT_EQ(stats.code, 0);
    const QJsonObject figures = QJsonDocument::fromJson(stats.out).object();
    EXPECT_EQ(figures.value(QLatin1String("totalFocusMinutes")).toInt(), 25);
    EXPECT_EQ(figures.value(QLatin1String("todaysOneThing")).toString(), QStringLiteral("Ship it"));
    EXPECT_EQ(figures.value(QLatin1String("goalBreakdown")).toArray().size(), 1);
    EXPECT_EQ(orvana({QStringLiteral("today")}).out, "Today's One Thing is Ship it.\n");
    const Outcome goals = orvana({QStringLiteral("goals")});
    EXPECT_TRUE(goals.out.endsWith("\tRun\n")) << goals.out.toStdString();

    // Into a second, empty profile: the same document comes back out.
    const QString file = sandbox.path(QStringLiteral("export.json"));
    ASSERT_EQ(orvana({QStringLiteral("export"), file}).code, 0);
    static const QRegularExpression stamp(QStringLiteral("\"exportedAt\" : \"[^\"]*\""));
    {
        // Written to a file as it is made: the same bytes as on standard output.
        QFile written(file);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromUtf8(written.readAll()).remove(stamp),
                  QString::fromUtf8(exported.out).remove(stamp));
    }
    ASSERT_TRUE(QFile::remove(storePath()));
    const Outcome imported = orvana({QStringLiteral("import"), file});
    EXPECT_EQ(imported.code, 0) << imported.err.toStdString();
    EXPECT_EQ(imported.out, "Imported from export.json\n");
    // The same document, but for the time it was written.
    EXPECT_EQ(QString::fromUtf8(orvana({QStringLiteral("export")}).out).remove(stamp),
              QString::fromUtf8(exported.out).remove(stamp));
}

TEST_F(Verbs, WhileTheAppHoldsTheStoreReadsWorkAndImportChangesNothing) {
    auto held = SqliteStore::open(storePath());
    ASSERT_TRUE(held.ok());
    EXPECT_EQ(orvana({QStringLiteral("stats")}).code, 0) << "reading beside the app";
    QFile doc(sandbox.path(QStringLiteral("doc.json")));
    ASSERT_TRUE(doc.open(QIODevice::WriteOnly));
    doc.write(orvana({QStringLiteral("export")}).out);
    doc.close();
    const Outcome refused = orvana({QStringLiteral("import"), doc.fileName()});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.startsWith(QStringLiteral("Import failed: Orvana is running")))
        << refused.err.toStdString();
}

TEST_F(Verbs, UsageErrorsExitWithTwoAndFailuresWithOne) {
    EXPECT_EQ(orvana({QStringLiteral("import")}).code, 2);
    EXPECT_EQ(orvana({QStringLiteral("stats"), QStringLiteral("--yaml")}).code, 2);
    const Outcome missing =
        orvana({QStringLiteral("import"), sandbox.path(QStringLiteral("none"))});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.startsWith(QStringLiteral("Import failed: ")));
    QFile v2(sandbox.path(QStringLiteral("v2.json")));
    ASSERT_TRUE(v2.open(QIODevice::WriteOnly));
    v2.write(orvana({QStringLiteral("export")})
                 .out.replace("\"schemaVersion\" : 1", "\"schemaVersion\" : 2"));
    v2.close();
    const Outcome newer = orvana({QStringLiteral("import"), v2.fileName()});
    EXPECT_EQ(newer.code, 1);
    EXPECT_EQ(newer.err, QStringLiteral("Import failed: This file uses export format 2, which "
                                        "this version of Orvana doesn't understand.\n"));
}

// A FIFO or a device is written where it is: replaced by a file, the reader
// would get nothing and the device would be gone. A regular file behind a
// link is replaced, the link kept. What cannot be written is refused in one
// line that names it.
TEST_F(Verbs, ExportWritesIntoFifosAndDevicesAndRefusesWhatItCannotWrite) {
    static const QRegularExpression stamp(QStringLiteral("\"exportedAt\" : \"[^\"]*\""));
    auto unstamped = [](const QByteArray& json) {
        return QString::fromUtf8(json).remove(stamp).toStdString();
    };
    const std::string document = unstamped(orvana({QStringLiteral("export")}).out);
    ASSERT_FALSE(document.empty());
    auto refusedNaming = [](const Outcome& o, const QString& path) {
        return o.code == 1 && o.err.count(u'\n') == 1 && o.err.endsWith(u'\n') &&
               o.err.contains(path);
    };
    struct stat st;

    const QString fifo = sandbox.path(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Open before the export starts, so that it never waits for a reader.
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    QProcess writer;
    writer.setProcessEnvironment(sandbox.env(/*headless=*/true));
    writer.start(QStringLiteral(ORVANA_BINARY), {QStringLiteral("export"), fifo});
    QByteArray received;
    const QDeadlineTimer deadline(test::exitTimeoutMs);
    for (bool done = false; !done && !deadline.hasExpired();) {
        done = writer.state() == QProcess::NotRunning || writer.waitForFinished(10);
        char buffer[65536];
        for (ssize_t n; (n = ::read(reader, buffer, sizeof buffer)) > 0;)
            received.append(buffer, n);
    }
    ::close(reader);
    EXPECT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();
    EXPECT_EQ(unstamped(received), document);
    ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "still a FIFO";

    // A device that takes nothing: a node of our own where we may make one.
    QString full = sandbox.path(QStringLiteral("full"));
    if (::mknod(QFile::encodeName(full).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        full = QStringLiteral("/dev/full");
    if (::stat(QFile::encodeName(full).constData(), &st) == 0 && S_ISCHR(st.st_mode)) {
        const Outcome o = orvana({QStringLiteral("export"), full});
        EXPECT_TRUE(refusedNaming(o, full)) << o.code << ' ' << o.err.toStdString();
        ASSERT_EQ(::lstat(QFile::encodeName(full).constData(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode)) << "still a device";
    }

    const QString folder = sandbox.path(QStringLiteral("folder"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const Outcome intoFolder = orvana({QStringLiteral("export"), folder});
    EXPECT_TRUE(refusedNaming(intoFolder, folder)) << intoFolder.err.toStdString();
    if (::geteuid() != 0) { // root writes anywhere
        ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        const QString inside = folder + QStringLiteral("/out.json");
        const Outcome unwritable = orvana({QStringLiteral("export"), inside});
        EXPECT_TRUE(refusedNaming(unwritable, inside)) << unwritable.err.toStdString();
        EXPECT_TRUE(QDir(folder).isEmpty());
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    const QString real = sandbox.path(QStringLiteral("real.json"));
    const QString link = sandbox.path(QStringLiteral("link.json"));
    QFile old(real);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    ASSERT_TRUE(QFile::link(real, link));
    EXPECT_EQ(orvana({QStringLiteral("export"), link}).code, 0);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(unstamped(test::fileBytes(real)), document);
}

} // namespace
