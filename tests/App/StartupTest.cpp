// End-to-end start-up checks: each test runs the real `orvana` binary with
// HOME and every XDG folder inside a temporary directory.
#include "Models/Goal.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "support/AppProcess.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <sqlite3.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using namespace orvana;
using namespace orvana::test;
using Orvana = OrvanaProcess;

// An export holding one goal, "Run a marathon".
const QByteArray oneGoalDocument =
    R"({"dayTasks":[],"exportedAt":"2026-03-02T10:00:00Z","focusBlockTemplates":[],)"
    R"("focusSessions":[],"goals":[{"createdAt":"2026-03-01T09:00:00Z",)"
    R"("id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","sortOrder":0,"status":"active",)"
    R"("title":"Run a marathon"}],"schemaVersion":1,"trailEntries":[],"weekItems":[],)"
    R"("weeks":[]})";

// --- data the app must refuse ----------------------------------------------

// A real, empty store as this build makes it, closed again.
void makeStore(const QString& path) {
    auto store = SqliteStore::open(path);
    ASSERT_TRUE(store.ok()) << store.error().message.toStdString();
}

// As a newer version leaves its store when it is killed: the change to the
// version sits in the WAL only. Reading must see it there, and closing must
// not fold the WAL into the file. (The store's own tests cover the rest.)
void makeNewerStoreWithPendingWal(const QString& path) {
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

// `folder` bound read-only onto itself in a mount namespace of the app's
// own, which binds root too. Without the privilege for that, the folder's
// mode is taken away instead (root ignores that).
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder) : folder_(folder) {
        // Root may make the namespace; anyone else needs a user namespace.
        unshare_ = {::geteuid() == 0 ? QStringLiteral("-m") : QStringLiteral("-rm"),
                    QStringLiteral("sh"),
                    QStringLiteral("-c"),
                    QStringLiteral("mount --bind \"$1\" \"$1\" && "
                                   "mount -o remount,bind,ro \"$1\" && shift && exec \"$@\""),
                    QStringLiteral("sh"),
                    folder};
        QProcess probe;
        probe.start(QStringLiteral("unshare"), unshare_ + QStringList{QStringLiteral("true")});
        mounted_ = probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit &&
                   probe.exitCode() == 0;
        if (!mounted_)
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                              QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    }
    ~ReadOnlyFolder() {
        if (!mounted_)
            QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Whether the folder really is read-only for the app.
    bool binds() const { return mounted_ || ::geteuid() != 0; }

    Outcome run(const QStringList& args, const QProcessEnvironment& env) const {
        if (!mounted_)
            return test::runOrvana(args, env);
        return test::OrvanaProcess(env,
                                   unshare_ + QStringList{QStringLiteral(ORVANA_BINARY)} + args,
                                   QStringLiteral("unshare"))
            .outcome();
    }

private:
    QString folder_;
    QStringList unshare_;
    bool mounted_ = false;
};

struct RefusalCase {
    const char* name;
    void (*prepare)(const Sandbox& sandbox);
    const char* reason; // in the messages, any case
    // The data folder is refused (its path right before the reason), not
    // the store file.
    bool folder = false;
};

// Whatever is wrong with the store or its folder, the window and the
// command line stop with a message naming it and the reason, and leave
// every file as it was (no half-made new store either).
TEST(StoreRefusal, StartAndCommandsStopNamingTheFileOrFolderAndReasonAndChangeNothing) {
    const RefusalCase cases[] = {
        {"garbage",
         [](const Sandbox& s) {
             writeFile(s.storePath(), QByteArray("the user's own notes\n").repeated(400));
         },
         "not an Orvana data store"},
        {"newer schema, pending WAL",
         [](const Sandbox& s) { makeNewerStoreWithPendingWal(s.storePath()); }, "newer version"},
        // Our header (and application id) intact, the pages behind it overwritten.
        {"damaged pages",
         [](const Sandbox& s) {
             makeStore(s.storePath());
             QByteArray bytes = fileBytes(s.storePath());
             ASSERT_GT(bytes.size(), 4096);
             bytes.replace(100, bytes.size() - 100, QByteArray(bytes.size() - 100, '\x5a'));
             writeFile(s.storePath(), bytes);
         },
         "damaged"},
        {"folder in the store's place",
         [](const Sandbox& s) { writeFile(s.storePath() + "/keep.txt", "a file of the user's"); },
         "folder"},
        {"read-only store",
         [](const Sandbox& s) {
             makeStore(s.storePath());
             QFile::setPermissions(s.storePath(),
                                   QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
         },
         "cannot be written"},
        {"file in the folder's place",
         [](const Sandbox& s) { writeFile(s.storeFolder(), "the user's own notes\n"); },
         "is a file, not a folder", true},
        // Last: a skip ends the test.
        {"read-only folder", [](const Sandbox& s) { makeStore(s.storePath()); },
         "cannot be written", true},
    };
    for (const RefusalCase& c : cases) {
        // File permissions do not bind root.
        if (std::string_view(c.name) == "read-only store" && ::geteuid() == 0)
            continue;
        SCOPED_TRACE(c.name);
        Sandbox sandbox;
        ASSERT_NO_FATAL_FAILURE(c.prepare(sandbox));
        const QString document = sandbox.path(QStringLiteral("import.json"));
        writeFile(document, oneGoalDocument);
        std::optional<ReadOnlyFolder> locked;
        if (std::string_view(c.name) == "read-only folder") {
            locked.emplace(sandbox.storeFolder());
            if (!locked->binds())
                GTEST_SKIP() << "no mount namespace here, and root ignores file modes";
        }
        auto run = [&](const QStringList& args, const QProcessEnvironment& env) {
            return locked ? locked->run(args, env) : runOrvana(args, env);
        };
        const QString named = c.folder ? sandbox.storeFolder() : sandbox.storePath();
        const QString wal = sandbox.storePath() + QStringLiteral("-wal");
        const QByteArray before = fingerprint(named), walBefore = fileBytes(wal);
        const QString reason = (c.folder ? named + u' ' : QString()) + QLatin1String(c.reason);

        const Outcome window = run({}, sandbox.env());
        expectExit(window, 1);
        EXPECT_TRUE(window.err.contains(QLatin1String("could not set up its data store")))
            << window;
        EXPECT_TRUE(window.err.contains(named) && window.err.contains(reason, Qt::CaseInsensitive))
            << "expected " << named.toStdString() << " and " << reason.toStdString() << "\n"
            << window;
        // The command line names it too, importing or (with a store to read) reading.
        if (!c.folder) {
            const Outcome read = run({QStringLiteral("today")}, sandbox.env(true));
            expectExit(read, 1);
            EXPECT_TRUE(read.err.contains(named)) << read;
        }
        const Outcome import = run({QStringLiteral("import"), document}, sandbox.env(true));
        expectExit(import, 1);
        EXPECT_TRUE(import.err.startsWith(QLatin1String("Import failed: "))) << import;
        EXPECT_TRUE(import.err.contains(named) && import.err.contains(reason, Qt::CaseInsensitive))
            << import;

        locked.reset();
        EXPECT_TRUE(fingerprint(named) == before) << "the store (or folder) changed";
        // Readers see the WAL too, so it must be as it was; and no half-made
        // new store may remain.
        EXPECT_TRUE(fileBytes(wal) == walBefore) << "the WAL changed";
        EXPECT_FALSE(QFileInfo::exists(sandbox.storePath() + QStringLiteral("-journal")));
        EXPECT_FALSE(QFileInfo::exists(sandbox.storePath() + QStringLiteral(".creating")));
    }
}

// --- first start, one app per session, one writer ------------------------

QString runText(const QStringList& args, const QProcessEnvironment& env, int code = 0) {
    const Outcome o = runOrvana(args, env);
    expectExit(o, code);
    return o.out.trimmed();
}

// Ten starts at once on a new profile: one app, a store only its owner may
// read, the desktop's and the command line's requests answered; stopped, a
// sound store; held by another process, the app is turned away.
TEST(FirstStart, TenStartsMakeOneAppWithAPrivateStoreThatAnswersTheDesktopAndTheCommandLine) {
    Sandbox sandbox;
    if (sandbox.busAddress().isEmpty())
        GTEST_SKIP() << "dbus-daemon could not be started";
    const QProcessEnvironment env = sandbox.env();
    const QString path = sandbox.storePath();
    // Left readable by others by an earlier version, under a lax umask.
    const QString preferences = sandbox.path(QStringLiteral("config/Orvana/preferences.json"));
    writeFile(preferences, "{}");
    ::chmod(QFile::encodeName(preferences).constData(), 0644);
    ::chmod(QFile::encodeName(QFileInfo(preferences).absolutePath()).constData(), 0755);
    const mode_t umaskBefore = ::umask(022);
    const auto restoreUmask = qScopeGuard([umaskBefore] { ::umask(umaskBefore); });

    std::vector<std::unique_ptr<Orvana>> starts;
    for (int i = 0; i < 10; ++i)
        starts.push_back(std::make_unique<Orvana>(env));
    int left = 0;
    Orvana* app = nullptr;
    for (auto& start : starts) {
        if (start->staysUpFor(exitTimeoutMs / 2)) {
            app = start.get();
            continue;
        }
        expectExit(start->outcome(), 0);
        ++left;
    }
    ASSERT_EQ(left, 9) << "one app and nine that left";
    ASSERT_NE(app, nullptr);
    ASSERT_TRUE(QFileInfo(path).isFile()) << "no store at " << path.toStdString();

    // Nobody else may read a person's plans.
    auto mode = [](const QString& p) {
        struct stat st {};
        return ::stat(QFile::encodeName(p).constData(), &st) == 0 ? st.st_mode & 0777 : 0777;
    };
    EXPECT_EQ(mode(sandbox.storeFolder()), 0700u);
    EXPECT_EQ(mode(path), 0600u);
    EXPECT_EQ(mode(path + QStringLiteral("-wal")), 0600u);
    EXPECT_EQ(mode(QFileInfo(preferences).absolutePath()), 0700u) << "tightened at start";
    EXPECT_EQ(mode(preferences), 0600u);

    // The desktop's door: org.freedesktop.Application and the intents.
    const QString connectionName = QStringLiteral("orvana-single-instance-test");
    QDBusConnection bus = QDBusConnection::connectToBus(sandbox.busAddress(), connectionName);
    const auto disconnect =
        qScopeGuard([&] { QDBusConnection::disconnectFromBus(connectionName); });
    ASSERT_TRUE(bus.isConnected());
    auto call = [&](const QString& interface, const QString& method, const QVariantList& args) {
        QDBusMessage message =
            QDBusMessage::createMethodCall(QStringLiteral("app.orvana.Orvana"),
                                           QStringLiteral("/app/orvana/Orvana"), interface, method);
        message.setArguments(args);
        return bus.call(message, QDBus::Block, 10'000);
    };
    const QString intents = QStringLiteral("app.orvana.Orvana.Intents");
    const QDBusMessage today = call(intents, QStringLiteral("GetTodaysOneThing"), {});
    ASSERT_EQ(today.type(), QDBusMessage::ReplyMessage) << today.errorMessage().toStdString();
    EXPECT_EQ(today.arguments().value(0).toString(), QString());
    EXPECT_EQ(today.arguments().value(1).toString(),
              QStringLiteral("Nothing is set as Today's One Thing yet."));
    EXPECT_EQ(call(QStringLiteral("org.freedesktop.Application"), QStringLiteral("Activate"),
                   {QVariantMap()})
                  .type(),
              QDBusMessage::ReplyMessage);
    EXPECT_EQ(
        call(intents, QStringLiteral("StartFocusSession"), {QStringLiteral("not an id")}).type(),
        QDBusMessage::ErrorMessage);

    // The command line asks the running app.
    EXPECT_EQ(runText({QStringLiteral("today")}, env),
              QStringLiteral("Nothing is set as Today's One Thing yet."));
    EXPECT_EQ(runText({QStringLiteral("focus")}, env),
              QStringLiteral("Opening Orvana to start a focus session for a goal."));
    EXPECT_EQ(runText({QStringLiteral("goals")}, env), QString());

    // An import is handed over and merged by the app itself.
    const QString document = sandbox.path(QStringLiteral("mine.json"));
    writeFile(document, oneGoalDocument);
    EXPECT_EQ(runText({QStringLiteral("import"), document}, env),
              QStringLiteral("Imported from mine.json"));
    EXPECT_EQ(runText({QStringLiteral("goals")}, env),
              QStringLiteral("6F9619FF-8B86-D011-B42D-00C04FC964FF\tRun a marathon"));
    const Outcome broken = runOrvana({QStringLiteral("import"), sandbox.path("none.json")}, env);
    expectExit(broken, -1);
    EXPECT_TRUE(broken.err.contains(QLatin1String("Import failed"))) << broken;
    EXPECT_TRUE(app->staysUpFor(0)) << app->outcome();

    // Stopped, the one app leaves a sound store with the import in it.
    starts.clear();
    {
        auto reopened = openModelContextForReading(path);
        ASSERT_TRUE(reopened.ok()) << reopened.error().message.toStdString();
        const auto goals = reopened.value()->fetch<Goal>();
        ASSERT_EQ(goals.size(), 1u);
        EXPECT_EQ(goals.front()->title(), QStringLiteral("Run a marathon"));
    }

    // While another process holds the store, the app is turned away.
    auto held = SqliteStore::open(path);
    ASSERT_TRUE(held.ok()) << held.error().message.toStdString();
    const QByteArray before = fileBytes(path);
    const Outcome refused = runOrvana({}, env);
    expectExit(refused, -1);
    EXPECT_TRUE(refused.err.contains(QLatin1String("Another Orvana process"))) << refused;
    EXPECT_TRUE(refused.err.contains(path)) << refused;
    EXPECT_TRUE(fileBytes(path) == before) << "the refused app changed the store";
}

} // namespace
