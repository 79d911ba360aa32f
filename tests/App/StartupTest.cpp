// End-to-end start-up checks: each test runs the real `orvana` binary with
// HOME and every XDG folder inside a temporary directory.
#include "Store/SqliteStore.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <sqlite3.h>

#include <ostream>
#include <string>
#include <unistd.h>

static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using namespace orvana;
using orvana::test::fileBytes;

// Generous: a sanitizer build on a loaded machine starts slowly, and a hang
// is the fault being looked for, not a slow start.
constexpr int exitTimeoutMs = 20000;
// How long a started app must stay up to count as started.
constexpr int settleMs = 1500;

// A private HOME and XDG tree; the store lives where the app looks for it.
class Sandbox {
public:
    Sandbox() {
        for (const char* sub : {"home", "data", "config", "state", "cache", "runtime"})
            QDir().mkpath(dir_.filePath(QLatin1String(sub)));
        QFile::setPermissions(dir_.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString storePath() const { return dir_.filePath(QStringLiteral("data/Orvana/Orvana.sqlite")); }
    QString storeFolder() const { return dir_.filePath(QStringLiteral("data/Orvana")); }

    // No display at all: what a terminal over SSH or a build machine has.
    QProcessEnvironment headless() const {
        QProcessEnvironment env = base();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        return env;
    }

    // Offscreen: the app runs, and fatal reports go to stderr only.
    QProcessEnvironment offscreen() const {
        QProcessEnvironment env = base();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

private:
    QProcessEnvironment base() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), dir_.filePath(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir_.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_STATE_HOME"), dir_.filePath(QStringLiteral("state")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), dir_.filePath(QStringLiteral("cache")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.filePath(QStringLiteral("runtime")));
        return env;
    }

    QTemporaryDir dir_;
};

struct Outcome {
    bool finished = false;
    QProcess::ExitStatus status = QProcess::CrashExit;
    int code = -1;
    QString out;
    QString err;
};

std::ostream& operator<<(std::ostream& os, const Outcome& o) {
    return os << "finished=" << o.finished << " crashed=" << (o.status == QProcess::CrashExit)
              << " code=" << o.code << "\n--- stdout ---\n"
              << o.out.toStdString() << "--- stderr ---\n"
              << o.err.toStdString();
}

// Runs the binary to completion (or kills it after the timeout).
Outcome runOrvana(const QStringList& args, const QProcessEnvironment& env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ORVANA_BINARY), args);
    Outcome o;
    if (!p.waitForStarted()) {
        o.err = p.errorString();
        return o;
    }
    o.finished = p.waitForFinished(exitTimeoutMs);
    if (!o.finished) {
        p.kill();
        p.waitForFinished();
    }
    o.status = p.exitStatus();
    o.code = p.exitCode();
    o.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    o.err = QString::fromLocal8Bit(p.readAllStandardError());
    return o;
}

// An exit the program chose (not a crash, a hang or a sanitizer abort).
void expectCleanExit(const Outcome& o, int code) {
    EXPECT_TRUE(o.finished && o.status == QProcess::NormalExit && o.code == code)
        << "expected exit status " << code << "; " << o;
}

void expectRefusal(const Outcome& o) {
    EXPECT_TRUE(o.finished && o.status == QProcess::NormalExit && o.code != 0 &&
                !o.err.contains(QLatin1String("Sanitizer")) &&
                !o.err.contains(QLatin1String("runtime error:")))
        << "expected a refusal with a non-zero exit status; " << o;
}

// The app left running for a while; stopped (and reaped) on destruction.
class RunningOrvana {
public:
    explicit RunningOrvana(const QProcessEnvironment& env) {
        process_.setProcessEnvironment(env);
        process_.start(QStringLiteral(ORVANA_BINARY), {});
        started_ = process_.waitForStarted();
    }
    ~RunningOrvana() { stop(); }

    // True when the app is still up after `ms`. (waitForFinished() alone
    // cannot tell: it also returns false for a process that already ended.)
    bool staysUpFor(int ms) {
        if (!started_)
            return false;
        process_.waitForFinished(ms);
        return process_.state() == QProcess::Running;
    }

    void stop() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    std::string report() {
        return "exit code " + std::to_string(process_.exitCode()) + "\n--- stderr ---\n" +
               process_.readAllStandardError().toStdString();
    }

private:
    QProcess process_;
    bool started_ = false;
};

// --- command line ------------------------------------------------------

class CommandLine : public ::testing::Test {
protected:
    Outcome run(const QStringList& args) { return runOrvana(args, sandbox.headless()); }

    // Options answered from the command line must not open or create a store.
    void expectNoStoreTouched() {
        EXPECT_FALSE(QFileInfo::exists(sandbox.storeFolder()))
            << "the command line created " << sandbox.storeFolder().toStdString();
    }

    Sandbox sandbox;
};

TEST_F(CommandLine, VersionPrintsNameAndVersionWithoutADisplay) {
    for (const QString& option : {QStringLiteral("--version"), QStringLiteral("-v")}) {
        SCOPED_TRACE(option.toStdString());
        const Outcome o = run({option});
        expectCleanExit(o, 0);
        EXPECT_EQ(o.out, QStringLiteral("orvana " ORVANA_VERSION "\n"));
        EXPECT_EQ(o.err, QString()) << "nothing should be reported on stderr";
    }
    expectNoStoreTouched();
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

TEST_F(CommandLine, HelpListsTheOptionsWithoutADisplay) {
    const Outcome o = run({QStringLiteral("--help")});
    expectCleanExit(o, 0);
    EXPECT_TRUE(o.out.contains(QLatin1String("--version"))) << o;
    EXPECT_TRUE(o.out.contains(QLatin1String("--help"))) << o;
    // The usage line names the program as it was run.
    EXPECT_TRUE(o.out.contains(QRegularExpression(QStringLiteral("Usage: \\S*orvana ")))) << o;
    EXPECT_EQ(o.err, QString());
    expectNoStoreTouched();
}

// Whatever the help text offers must answer and stop: none of its options
// may fall through to starting the app.
TEST_F(CommandLine, EveryOptionTheHelpOffersAnswersWithoutStartingTheApp) {
    const QStringList flags = listedFlags(run({QStringLiteral("--help")}).out);
    ASSERT_TRUE(flags.contains(QStringLiteral("--version"))) << flags.join(u' ').toStdString();
    for (const QString& flag : flags) {
        SCOPED_TRACE(flag.toStdString());
        const Outcome o = run({flag});
        expectCleanExit(o, 0);
        EXPECT_FALSE(o.out.isEmpty()) << o;
        EXPECT_EQ(o.err, QString());
    }
    expectNoStoreTouched();
}

TEST_F(CommandLine, UnknownOptionsAndStrayArgumentsExitWithStatus2) {
    for (const QString& bad : {QStringLiteral("--frobnicate"), QStringLiteral("notes.txt")}) {
        SCOPED_TRACE(bad.toStdString());
        const Outcome o = run({bad});
        expectCleanExit(o, 2);
        EXPECT_TRUE(o.err.contains(bad.mid(bad.lastIndexOf(u'-') + 1))) << o;
        EXPECT_TRUE(o.out.isEmpty()) << o;
    }
    expectNoStoreTouched();
}

// --- stores the app must refuse ----------------------------------------

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        << f.errorString().toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

void sqliteExec(const QString& path, const char* sql, int openFlags = SQLITE_OPEN_READWRITE) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, openFlags, nullptr);
    ASSERT_EQ(rc, SQLITE_OK) << sqlite3_errmsg(db);
    char* message = nullptr;
    const int execRc = sqlite3_exec(db, sql, nullptr, nullptr, &message);
    const std::string text = message ? message : "";
    sqlite3_free(message);
    EXPECT_TRUE(execRc != SQLITE_OK || sqlite3_changes(db) > 0) << "the statement changed nothing";
    ASSERT_EQ(sqlite3_close(db), SQLITE_OK);
    ASSERT_EQ(execRc, SQLITE_OK) << text;
}

// A real, empty store as this build makes it, closed again.
void makeStore(const QString& path) {
    auto store = SqliteStore::open(path);
    ASSERT_TRUE(store.ok()) << store.error().message.toStdString();
}

void prepareGarbage(const QString& path) {
    QByteArray bytes(8192, Qt::Uninitialized);
    quint32 x = 2463534242u; // xorshift: the same "random" file every run
    for (char& c : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x);
    }
    writeFile(path, bytes);
}

void prepareNewerStore(const QString& path) {
    makeStore(path);
    sqliteExec(path, "UPDATE meta SET value = '2.0.0' WHERE key = 'schemaVersion'");
    // The last close checkpoints: the change is in the main file, no WAL left.
    ASSERT_FALSE(QFileInfo(path + QStringLiteral("-wal")).size() > 0);
}

// As a newer version leaves its store when it is killed: the change to the
// version sits in the WAL only. Reading must see it there, and closing must
// not fold the WAL into the file.
void prepareNewerStoreWithPendingWal(const QString& path) {
    makeStore(path);
    sqlite3* db = nullptr;
    ASSERT_EQ(
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr),
        SQLITE_OK);
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    const int rc = sqlite3_exec(db, "UPDATE meta SET value = '2.0.0' WHERE key = 'schemaVersion'",
                                nullptr, nullptr, nullptr);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK);
    ASSERT_GT(QFileInfo(path + QStringLiteral("-wal")).size(), 0);
}

// Our header (and application id) intact, the pages behind it overwritten.
void prepareDamagedStore(const QString& path) {
    makeStore(path);
    QByteArray bytes = fileBytes(path);
    ASSERT_GT(bytes.size(), 4096);
    bytes.replace(100, bytes.size() - 100, QByteArray(bytes.size() - 100, '\x5a'));
    writeFile(path, bytes);
}

void prepareFolder(const QString& path) {
    QDir().mkpath(path);
    writeFile(path + QStringLiteral("/keep.txt"), "a file of the user's");
}

void prepareReadOnly(const QString& path) {
    makeStore(path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
}

// What "left exactly as it was" is compared on: the bytes of a file, or the
// names and bytes of everything in a folder.
QByteArray fingerprint(const QString& path) {
    const QFileInfo info(path);
    if (!info.isDir())
        return fileBytes(path);
    QByteArray all = "folder:";
    const QDir dir(path);
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name))
        all += name.toUtf8() + '\0' + fileBytes(dir.filePath(name)) + '\0';
    return all;
}

struct RefusalCase {
    const char* name;
    void (*prepare)(const QString& path);
    const char* reason; // in the message, any case
};

void PrintTo(const RefusalCase& c, std::ostream* out) {
    *out << c.name;
}

class StoreRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(StoreRefusal, StopsStartupNamesFileAndReasonAndLeavesTheFileAlone) {
    const RefusalCase& c = GetParam();
    Sandbox sandbox;
    const QString path = sandbox.storePath();
    ASSERT_NO_FATAL_FAILURE(c.prepare(path));
    const QByteArray before = fingerprint(path);
    const QByteArray walBefore = fileBytes(path + QStringLiteral("-wal"));
    const bool wasDir = QFileInfo(path).isDir();

    const Outcome o = runOrvana({}, sandbox.offscreen());

    expectRefusal(o);
    EXPECT_TRUE(o.err.contains(QLatin1String("could not set up its data store"))) << o;
    EXPECT_TRUE(o.err.contains(path)) << o;
    EXPECT_TRUE(o.err.contains(QLatin1String(c.reason), Qt::CaseInsensitive))
        << "expected the reason \"" << c.reason << "\"\n"
        << o;

    EXPECT_EQ(QFileInfo(path).isDir(), wasDir);
    const QByteArray after = fingerprint(path);
    EXPECT_TRUE(after == before) << "the store changed: " << before.size() << " bytes before, "
                                 << after.size() << " after";
    // Readers see the WAL too, so it must be as it was; and no half-made new
    // store may remain.
    EXPECT_TRUE(fileBytes(path + QStringLiteral("-wal")) == walBefore) << "the WAL changed";
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-journal")));
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".creating")));
}

// File permissions do not bind root, so the read-only case runs only for
// other users.
std::vector<RefusalCase> refusalCases() {
    std::vector<RefusalCase> cases{
        {"Garbage", prepareGarbage, "not an Orvana data store"},
        {"NewerSchema", prepareNewerStore, "newer version"},
        {"NewerSchemaPendingWal", prepareNewerStoreWithPendingWal, "newer version"},
        {"DamagedPages", prepareDamagedStore, "damaged"},
        {"Folder", prepareFolder, "folder"},
    };
    if (::geteuid() != 0)
        cases.push_back({"ReadOnly", prepareReadOnly, "cannot be written"});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Files, StoreRefusal, ::testing::ValuesIn(refusalCases()),
                         [](const ::testing::TestParamInfo<RefusalCase>& info) {
                             return info.param.name;
                         });

// --- one writer ----------------------------------------------------------

TEST(OneWriter, AppIsTurnedAwayWhileAnotherProcessHoldsTheStore) {
    Sandbox sandbox;
    const QString path = sandbox.storePath();
    auto held = SqliteStore::open(path);
    ASSERT_TRUE(held.ok()) << held.error().message.toStdString();
    const QByteArray before = fileBytes(path);

    const Outcome refused = runOrvana({}, sandbox.offscreen());
    expectRefusal(refused);
    EXPECT_TRUE(refused.err.contains(QLatin1String("Another Orvana process"))) << refused;
    EXPECT_TRUE(refused.err.contains(path)) << refused;
    EXPECT_TRUE(fileBytes(path) == before) << "the refused app changed the store";

    held.value().reset();
    RunningOrvana app(sandbox.offscreen());
    ASSERT_TRUE(app.staysUpFor(settleMs)) << "after the store was released: " << app.report();
    EXPECT_TRUE(QFileInfo(path).isFile());

    // Two copies of the app itself exclude each other the same way.
    const Outcome second = runOrvana({}, sandbox.offscreen());
    expectRefusal(second);
    EXPECT_TRUE(second.err.contains(QLatin1String("Another Orvana process"))) << second;
    EXPECT_TRUE(app.staysUpFor(0)) << "the first copy went away: " << app.report();
}

// --- first start -----------------------------------------------------------

TEST(FreshStart, CreatesAnOrvanaStoreAtTheXdgDataPath) {
    Sandbox sandbox;
    const QString path = sandbox.storePath();
    ASSERT_FALSE(QFileInfo::exists(sandbox.storeFolder()));

    {
        RunningOrvana app(sandbox.offscreen());
        ASSERT_TRUE(app.staysUpFor(settleMs)) << app.report();
        ASSERT_TRUE(QFileInfo(path).isFile()) << "no store at " << path.toStdString();
        EXPECT_TRUE(fileBytes(path).startsWith(QByteArrayView("SQLite format 3\0", 16)));
    }

    // What the app made is a store this build accepts, not just any database.
    auto reopened = SqliteStore::open(path);
    EXPECT_TRUE(reopened.ok()) << reopened.error().message.toStdString();
}

} // namespace
