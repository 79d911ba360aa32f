// The writing verbs killed (SIGKILL) at random moments, the real binary on
// a store of tens of thousands of records: whatever moment the kill comes,
// the store and the files are as before or as after, never in between.
//
// Each scenario runs ORVANA_FAULT_ROUNDS kills (default 4); for the files
// written through QSaveFile, half of them with the app believing its file
// system has no unnamed temporary files (as NFS or FUSE), where QSaveFile
// writes a named temporary that a kill leaves behind.
#include "Services/BackupService.h"
#include "Services/DataExportService.h"
#include "Services/DataImport.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "support/AppProcess.h"
#include "support/Sample.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <optional>
#include <random>

using namespace orvana;
using test::Sandbox;

namespace {

int faultRounds() {
    bool ok = false;
    const int rounds = qEnvironmentVariableIntValue("ORVANA_FAULT_ROUNDS", &ok);
    return ok && rounds > 0 ? rounds : 4;
}

// Tens of thousands of records of every kind, linked as in real use: the
// sample's goals, weeks, tasks, blocks and sessions, week after week.
void fillLarge(ModelContext& ctx) {
    const Calendar calendar = test::berlinMondayFirst();
    for (int week = 0; week < 1500; ++week)
        test::fillSample(ctx, calendar, 1.75e9 + week * 604800.0);
}

// Records as a document (stamped at one fixed moment), to compare stores by.
QByteArray document(const ModelContext& ctx) {
    auto json = DataExportService::exportJSON(ctx, 1.8e9);
    EXPECT_TRUE(json.ok()) << json.error().message.toStdString();
    return json.ok() ? json.value() : QByteArray();
}

QByteArray storeDocument(const QString& path) {
    auto ctx = openModelContext(path);
    EXPECT_TRUE(ctx.ok()) << ctx.error().message.toStdString();
    return ctx.ok() ? document(*ctx.value()) : QByteArray();
}

QByteArray withoutStamp(QByteArray document) {
    static const QRegularExpression stamp(QStringLiteral("\"exportedAt\" : \"[^\"]*\""));
    return QString::fromUtf8(document).remove(stamp).toUtf8();
}

// As on a file system without O_TMPFILE.
QProcessEnvironment withoutUnnamedTemporaries(QProcessEnvironment env) {
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(ORVANA_NO_TMPFILE));
    // The sanitizer runtime would insist on being loaded first.
    const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), (asan.isEmpty() ? QString() : asan + u':') +
                                                   QStringLiteral("verify_asan_link_order=0"));
    return env;
}

struct Ending {
    bool killed = false;   // still running when its moment came
    test::Outcome outcome; // when it ended by itself
    qint64 ms = 0;         // from the start to the end
};

// Runs `orvana args` and kills it `killAtMs` after the start unless it has
// ended by then (never, when negative). `watch` is called about every
// millisecond while it runs, with the time since the start.
Ending runAndKill(const QProcessEnvironment& env, const QStringList& args, qint64 killAtMs,
                  const std::function<void(qint64)>& watch = {}) {
    Ending run;
    QProcess p;
    p.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    p.start(QStringLiteral(ORVANA_BINARY), args);
    if (!p.waitForStarted(10000)) {
        ADD_FAILURE() << "orvana did not start: " << p.errorString().toStdString();
        return run;
    }
    while (p.state() == QProcess::Running) {
        const qint64 now = clock.elapsed();
        if ((killAtMs >= 0 && now >= killAtMs) || now > test::exitTimeoutMs) {
            ::kill(pid_t(p.processId()), SIGKILL);
            run.killed = true;
            EXPECT_LE(now, test::exitTimeoutMs)
                << "orvana " << args.join(u' ').toStdString() << " hung";
            break;
        }
        if (watch)
            watch(now);
        p.waitForFinished(1);
    }
    p.waitForFinished(10000);
    run.ms = clock.elapsed();
    if (!run.killed)
        run.outcome = {true, p.exitStatus(), p.exitCode(),
                       QString::fromLocal8Bit(p.readAllStandardOutput()),
                       QString::fromLocal8Bit(p.readAllStandardError())};
    return run;
}

class Killed : public ::testing::Test {
protected:
    // Made once for all scenarios: a large store and its export, and a small
    // store of the user's own.
    static void SetUpTestSuite() {
        files.emplace();
        auto make = [](const QString& path, void (*fill)(ModelContext&), QByteArray& made) {
            auto ctx = openModelContext(path);
            ASSERT_TRUE(ctx.ok());
            fill(*ctx.value());
            ASSERT_TRUE(ctx.value()->save().ok());
            made = document(*ctx.value());
        };
        make(smallStore(), test::fillEveryKind, smallDocument);
        make(largeStore(), fillLarge, largeDocument);
    }
    static void TearDownTestSuite() { files.reset(); }
    static QString largeStore() { return files->filePath(QStringLiteral("large.sqlite")); }
    static QString smallStore() { return files->filePath(QStringLiteral("small.sqlite")); }

    void SetUp() override {
        if (largeDocument.isEmpty())
            GTEST_SKIP() << "the stores could not be made";
    }

    // Half the rounds as on a file system without unnamed temporaries.
    QProcessEnvironment envForRound(int round) const {
        return round % 2 ? withoutUnnamedTemporaries(sandbox.env(true)) : sandbox.env(true);
    }
    qint64 randomMs(qint64 from, qint64 to) {
        return std::uniform_int_distribution<qint64>(from, std::max(from, to))(random);
    }

    // `args` run whole on what `prepare` makes (where `state()` is
    // `before`) must leave `after`; then killed at random moments, each time
    // on what `prepare` makes, it leaves `before` or `after`. When `writing`
    // is given, every other kill lands once it first held in the whole run.
    void expectBeforeOrAfter(const char* verb, const QStringList& args, bool savedFile,
                             const std::function<void()>& prepare,
                             const std::function<QByteArray()>& state, const QByteArray& before,
                             const QByteArray& after, const std::function<bool()>& writing = {}) {
        SCOPED_TRACE(testing::Message() << "random seed " << seed);
        prepare();
        qint64 writeStartsMs = -1;
        const Ending whole = runAndKill(sandbox.env(true), args, -1, [&](qint64 now) {
            if (writing && writeStartsMs < 0 && writing())
                writeStartsMs = now;
        });
        test::expectExit(whole.outcome, 0);
        ASSERT_TRUE(state() == after) << "the whole run left " << state().size() << " bytes";
        if (writeStartsMs < 0)
            writeStartsMs = writing ? whole.ms * 3 / 4 : 0;

        int kept = 0, took = 0;
        for (int round = 0; round < faultRounds(); ++round) {
            SCOPED_TRACE(round);
            prepare();
            const qint64 at =
                round % 2 ? randomMs(writeStartsMs * 9 / 10, whole.ms) : randomMs(0, whole.ms);
            const Ending run =
                runAndKill(savedFile ? envForRound(round) : sandbox.env(true), args, at);
            if (!run.killed)
                test::expectExit(run.outcome, 0);
            const QByteArray now = state();
            if (now == before && run.killed)
                ++kept;
            else if (now == after)
                ++took;
            else
                ADD_FAILURE() << "killed at " << at << " ms: " << now.size() << " bytes; before "
                              << before.size() << ", after " << after.size();
        }
        std::printf("%s: %d rounds (%lld ms each): %d left as before, %d as after\n", verb,
                    faultRounds(), static_cast<long long>(whole.ms), kept, took);
    }

    static inline std::optional<QTemporaryDir> files;
    static inline QByteArray largeDocument, smallDocument;

    Sandbox sandbox{Sandbox::Bus::none};
    const unsigned seed = std::random_device()();
    std::mt19937 random{seed};
};

TEST_F(Killed, ImportLeavesTheStoreAsItWasOrWithTheWholeDocument) {
    const QString file = sandbox.path(QStringLiteral("large.json"));
    test::writeFile(file, largeDocument);
    ModelContext merged; // the small store's records with the large document's
    ASSERT_TRUE(DataImport::importJSON(smallDocument, merged).ok());
    ASSERT_TRUE(DataImport::importJSON(largeDocument, merged).ok());
    const QString store = sandbox.storePath();
    expectBeforeOrAfter(
        "import", {QStringLiteral("import"), file}, false,
        [&] {
            QFile::remove(store + QStringLiteral("-wal"));
            QFile::remove(store + QStringLiteral("-shm"));
            test::writeFile(store, test::fileBytes(smallStore()));
        },
        [&] { return storeDocument(store); }, smallDocument, document(merged),
        // The WAL grows only as the save commits.
        [&] { return QFileInfo(store + QStringLiteral("-wal")).size() > 0; });
}

TEST_F(Killed, ExportLeavesTheOldFileOrTheWholeNewDocument) {
    test::writeFile(sandbox.storePath(), test::fileBytes(largeStore()));
    const QString target = sandbox.path(QStringLiteral("out/export.json"));
    expectBeforeOrAfter(
        "export", {QStringLiteral("export"), target}, true,
        [&] { test::writeFile(target, smallDocument); },
        [&] { return withoutStamp(test::fileBytes(target)); }, withoutStamp(smallDocument),
        withoutStamp(largeDocument));
}
TEST_F(Killed, BackupLeavesOnlyWholeBackupsAndTheNextRunClearsWhatAKillLeft) {
    SCOPED_TRACE(testing::Message() << "random seed " << seed);
    test::writeFile(sandbox.storePath(), test::fileBytes(largeStore()));
    const QString folder = sandbox.backupsFolder();
    const QByteArray expected = withoutStamp(largeDocument);
    static const QRegularExpression backupName(
        QStringLiteral("^Orvana-Backup-\\d{4}-\\d\\d-\\d\\d\\.json$"));
    auto entries = [&] {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                      QDir::Name);
    };
    // Whole backups, and the write's temporaries (returned) only.
    auto checkFolder = [&](const char* when) -> QStringList {
        QStringList others;
        for (const QString& name : entries()) {
            if (!backupName.match(name).hasMatch()) {
                EXPECT_TRUE(name.startsWith(QLatin1String("Orvana-Backup-")) &&
                            name.contains(QLatin1String(".json.")))
                    << when << ": not a backup's temporary: " << name.toStdString();
                others << name;
                continue;
            }
            const QByteArray bytes = test::fileBytes(QDir(folder).filePath(name));
            EXPECT_TRUE(DataImport::decode(bytes).ok()) << when << ": " << name.toStdString();
            EXPECT_TRUE(withoutStamp(bytes) == expected) << when << ": " << name.toStdString();
        }
        return others;
    };
    auto temporary = [&](Timestamp day, const char* suffix) {
        const QString path = QDir(folder).filePath(
            BackupService::fileName(day, Calendar::current()) + QLatin1String(suffix));
        test::writeFile(path, smallDocument.left(100));
        return path;
    };

    // Uninterrupted first, as on a file system without unnamed temporaries:
    // how long it takes, and when the temporary appears.
    qint64 writeStartsMs = -1;
    const Ending whole = runAndKill(withoutUnnamedTemporaries(sandbox.env(true)),
                                    {QStringLiteral("backup")}, -1, [&](qint64 now) {
                                        if (writeStartsMs < 0 && !entries().isEmpty())
                                            writeStartsMs = now;
                                    });
    test::expectExit(whole.outcome, 0);
    ASSERT_EQ(entries().size(), 1) << entries().join(u' ').toStdString();
    EXPECT_TRUE(checkFolder("whole").isEmpty());
    if (writeStartsMs < 0)
        writeStartsMs = whole.ms / 2;

    int leftovers = 0;
    for (int round = 0; round < faultRounds(); ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(QDir(folder).removeRecursively());
        const qint64 at = randomMs(writeStartsMs * 8 / 10, whole.ms);
        const Ending run = runAndKill(envForRound(round), {QStringLiteral("backup")}, at);
        if (!run.killed)
            test::expectExit(run.outcome, 0);
        leftovers += int(checkFolder("after the kill").size());

        // The next run comes later: what the kill left has aged, as has one
        // of an earlier kill; one just made belongs to a write in progress
        // elsewhere and must stay.
        temporary(1.7e9, ".Ab12Cd");
        for (const QString& name : checkFolder("aged")) {
            QFile file(QDir(folder).filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-3600),
                                         QFileDevice::FileModificationTime));
        }
        const QString inProgress = temporary(systemNow(), ".Zz99Yy");

        const Ending next = runAndKill(envForRound(round), {QStringLiteral("backup")}, -1);
        test::expectExit(next.outcome, 0);
        EXPECT_EQ(checkFolder("after the next run").join(u' ').toStdString(),
                  QFileInfo(inProgress).fileName().toStdString());
        EXPECT_EQ(entries().size(), 2) << entries().join(u' ').toStdString();
    }
    std::printf("backup: %d rounds (%lld ms each): %d temporaries left by kills\n", faultRounds(),
                static_cast<long long>(whole.ms), leftovers);
}

} // namespace
