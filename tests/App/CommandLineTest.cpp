// The `orvana` verbs, run as a person would: the real binary, with HOME and
// the XDG folders in a temporary directory, no display and no session bus
// (an import can reach no running app).
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "support/AppProcess.h"
#include "support/TestSupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
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
using namespace orvana::test;

namespace {

class Verbs : public ::testing::Test {
protected:
    Outcome orvana(const QStringList& args) { return runOrvana(args, sandbox.env(true)); }
    Sandbox sandbox{Sandbox::Bus::none};
};

// A document without the moment it was written.
std::string unstamped(const QString& json) {
    static const QRegularExpression stamp(QStringLiteral("\"exportedAt\" : \"[^\"]*\""));
    return QString(json).remove(stamp).toStdString();
}

// The flags listed under "Options:" in a help text ("-h", "--help", ...);
// options that take a value are left out.
QStringList listedFlags(const QString& help) {
    static const QRegularExpression optionLine(QStringLiteral("^\\s+(-\\S.*?)(\\s{2,}|$)"));
    static const QRegularExpression flag(QStringLiteral("--?[\\w-]+"));
    QStringList flags;
    for (const QString& line : help.split(u'\n')) {
        const auto m = optionLine.match(line);
        if (!m.hasMatch() || m.captured(1).contains(u'<'))
            continue;
        for (const auto& f : flag.globalMatch(m.captured(1)))
            flags << f.captured();
    }
    return flags;
}

// Whatever the help text offers must answer and stop: none of its options
// may fall through to starting the app. Mistakes are refused with status 2.
TEST_F(Verbs, OptionsAnswerAndMistakesAreRefusedWithoutAStore) {
    const Outcome help = orvana({QStringLiteral("--help")});
    expectExit(help, 0);
    // The usage line names the program as it was run.
    EXPECT_TRUE(help.out.contains(QRegularExpression(QStringLiteral("Usage: \\S*orvana "))))
        << help;
    const QStringList flags = listedFlags(help.out);
    for (const char* expected : {"-h", "--help", "-v", "--version"})
        ASSERT_TRUE(flags.contains(QLatin1String(expected))) << expected << "\n" << help;

    for (const QString& flag : flags) {
        SCOPED_TRACE(flag.toStdString());
        const Outcome o = orvana({flag});
        expectExit(o, 0);
        if (flag == QLatin1String("-v") || flag == QLatin1String("--version"))
            EXPECT_EQ(o.out.toStdString(), "orvana " ORVANA_VERSION "\n");
        else
            EXPECT_FALSE(o.out.isEmpty()) << o;
        EXPECT_EQ(o.err, QString()) << "nothing should be reported on stderr";
    }

    // Each with what the message must name.
    const std::pair<QStringList, const char*> mistakes[] = {
        {{QStringLiteral("--frobnicate")}, "frobnicate"},
        {{QStringLiteral("notes.txt")}, "notes.txt"},
        {{QStringLiteral("import")}, "import takes"},
        {{QStringLiteral("stats"), QStringLiteral("--yaml")}, "stats takes"}};
    for (const auto& [args, named] : mistakes) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const Outcome o = orvana(args);
        expectExit(o, 2);
        EXPECT_TRUE(o.err.contains(QLatin1String(named))) << o;
        EXPECT_TRUE(o.out.isEmpty()) << o;
    }
    EXPECT_FALSE(QFileInfo::exists(sandbox.storeFolder()));
}

// In German the help, a mistake and a failure are German; how the verbs are
// written stays, and the help still fits a terminal of 80 columns.
TEST_F(Verbs, SpeakTheUsersLanguage) {
    QProcessEnvironment env = sandbox.env(true);
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
        env.remove(QLatin1String(variable));
    env.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));

    const Outcome help = runOrvana({QStringLiteral("--help")}, env);
    expectExit(help, 0);
    for (const char* german : {"Aufruf: orvana", "Optionen:", "Diese Hilfe anzeigen", "Befehle:",
                               "  export [FILE]   alle Daten", "  sync signout    Konto"})
        EXPECT_TRUE(help.out.contains(QString::fromUtf8(german))) << german << "\n" << help;
    EXPECT_FALSE(help.out.contains(QLatin1String("write all data"))) << help;
    for (const QString& line : help.out.split(u'\n'))
        EXPECT_LE(line.size(), 80) << line.toStdString();

    const std::pair<QStringList, const char*> refused[] = {
        {{QStringLiteral("stats"), QStringLiteral("--yaml")}, "orvana: stats nimmt nur --json"},
        {{QStringLiteral("import"), sandbox.path(QStringLiteral("none.json"))},
         "Import fehlgeschlagen: "}};
    for (const auto& [args, german] : refused) {
        const Outcome o = runOrvana(args, env);
        expectExit(o, -1);
        EXPECT_TRUE(o.err.startsWith(QString::fromUtf8(german))) << o;
    }

    // A script's LC_ALL=C keeps English, though the session names German.
    env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("de"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    const Outcome plain = runOrvana({QStringLiteral("stats"), QStringLiteral("--yaml")}, env);
    EXPECT_TRUE(plain.err.startsWith(QLatin1String("orvana: stats takes only --json"))) << plain;
}

TEST_F(Verbs, ExportImportStatsAndTodayWorkWithoutADisplay) {
    {
        auto ctx = openModelContext(sandbox.storePath());
        ASSERT_TRUE(ctx.ok());
        auto* goal = ctx.value()->create<Goal>(QStringLiteral("Run"));
        ctx.value()->create<TrailEntry>(systemNow() - 60, 25, goal);
        ctx.value()->create<DayTask>(QStringLiteral("Ship it"), systemNow(), std::nullopt, false,
                                     true);
        ASSERT_TRUE(ctx.value()->save().ok());
    }
    const Outcome exported = orvana({QStringLiteral("export")});
    expectExit(exported, 0);
    EXPECT_TRUE(exported.out.startsWith(QLatin1String("{\n  \"dayTasks\" : [")));

    const Outcome stats = orvana({QStringLiteral("stats"), QStringLiteral("--json")});
    expectExit(stats, 0);
    const QJsonObject figures = QJsonDocument::fromJson(stats.out.toUtf8()).object();
    EXPECT_EQ(figures.value(QLatin1String("totalFocusMinutes")).toInt(), 25);
    EXPECT_EQ(figures.value(QLatin1String("todaysOneThing")).toString(), QStringLiteral("Ship it"));
    EXPECT_EQ(figures.value(QLatin1String("goalBreakdown")).toArray().size(), 1);
    EXPECT_EQ(orvana({QStringLiteral("today")}).out.toStdString(),
              "Today's One Thing is Ship it.\n");
    const Outcome goals = orvana({QStringLiteral("goals")});
    EXPECT_TRUE(goals.out.endsWith(QLatin1String("\tRun\n"))) << goals;

    // Written to a file as it is made: the same document as on standard
    // output; imported into a second, empty profile, it comes back out.
    const QString file = sandbox.path(QStringLiteral("export.json"));
    expectExit(orvana({QStringLiteral("export"), file}), 0);
    EXPECT_EQ(unstamped(QString::fromUtf8(fileBytes(file))), unstamped(exported.out));
    ASSERT_TRUE(QFile::remove(sandbox.storePath()));
    const Outcome imported = orvana({QStringLiteral("import"), file});
    expectExit(imported, 0);
    EXPECT_EQ(imported.out.toStdString(), "Imported from export.json\n");
    EXPECT_EQ(unstamped(orvana({QStringLiteral("export")}).out), unstamped(exported.out));
}

TEST_F(Verbs, ImportFailuresExitWithOneAndSayWhy) {
    const QByteArray document = orvana({QStringLiteral("export")}).out.toUtf8();
    const QString current = sandbox.path(QStringLiteral("doc.json"));
    const QString newer = sandbox.path(QStringLiteral("v2.json"));
    writeFile(current, document);
    writeFile(newer,
              QByteArray(document).replace("\"schemaVersion\" : 1", "\"schemaVersion\" : 2"));
    auto expectRefused = [&](const QString& file, const QString& message) {
        const Outcome o = orvana({QStringLiteral("import"), file});
        expectExit(o, 1);
        EXPECT_TRUE(o.err.startsWith(message)) << o;
    };
    expectRefused(sandbox.path(QStringLiteral("none")), QStringLiteral("Import failed: "));
    expectRefused(newer, QStringLiteral("Import failed: This file uses export format 2, which "
                                        "this version of Orvana doesn't understand.\n"));
    // Beside the app holding the store, reading works and importing is refused.
    auto held = SqliteStore::open(sandbox.storePath());
    ASSERT_TRUE(held.ok());
    expectExit(orvana({QStringLiteral("stats")}), 0);
    expectRefused(current, QStringLiteral("Import failed: Orvana is running"));
}

// A FIFO or a device is written where it is: replaced by a file, the reader
// would get nothing and the device would be gone. A regular file behind a
// link is replaced, the link kept. What cannot be written is refused in one
// line that names it.
TEST_F(Verbs, ExportWritesIntoFifosAndDevicesAndRefusesWhatItCannotWrite) {
    const std::string document = unstamped(orvana({QStringLiteral("export")}).out);
    ASSERT_FALSE(document.empty());
    auto expectRefusedNaming = [&](const QString& path) {
        const Outcome o = orvana({QStringLiteral("export"), path});
        expectExit(o, 1);
        EXPECT_TRUE(o.err.count(u'\n') == 1 && o.err.endsWith(u'\n') && o.err.contains(path)) << o;
    };
    struct stat st;

    const QString fifo = sandbox.path(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Open before the export starts, so that it never waits for a reader.
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    QProcess writer;
    writer.setProcessEnvironment(sandbox.env(true));
    writer.start(QStringLiteral(ORVANA_BINARY), {QStringLiteral("export"), fifo});
    QByteArray received;
    const QDeadlineTimer deadline(exitTimeoutMs);
    for (bool done = false; !done && !deadline.hasExpired();) {
        done = writer.state() == QProcess::NotRunning || writer.waitForFinished(10);
        char buffer[65536];
        for (ssize_t n; (n = ::read(reader, buffer, sizeof buffer)) > 0;)
            received.append(buffer, n);
    }
    ::close(reader);
    EXPECT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();
    EXPECT_EQ(unstamped(QString::fromUtf8(received)), document);
    ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "still a FIFO";

    // A device that takes nothing: a node of our own where we may make one.
    QString full = sandbox.path(QStringLiteral("full"));
    if (::mknod(QFile::encodeName(full).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        full = QStringLiteral("/dev/full");
    if (::stat(QFile::encodeName(full).constData(), &st) == 0 && S_ISCHR(st.st_mode)) {
        expectRefusedNaming(full);
        ASSERT_EQ(::lstat(QFile::encodeName(full).constData(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode)) << "still a device";
    }

    const QString folder = sandbox.path(QStringLiteral("folder"));
    ASSERT_TRUE(QDir().mkpath(folder));
    expectRefusedNaming(folder);
    if (::geteuid() != 0) { // root writes anywhere
        ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        expectRefusedNaming(folder + QStringLiteral("/out.json"));
        EXPECT_TRUE(QDir(folder).isEmpty());
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    const QString real = sandbox.path(QStringLiteral("real.json"));
    const QString link = sandbox.path(QStringLiteral("link.json"));
    writeFile(real, "old");
    ASSERT_TRUE(QFile::link(real, link));
    expectExit(orvana({QStringLiteral("export"), link}), 0);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(unstamped(QString::fromUtf8(fileBytes(real))), document);
}

} // namespace
