#include "Store/SqliteStore.h"
#include "Services/DataExportService.h"
#include "Store/ModelContext.h"
#include "Store/UndoManager.h"
#include "support/FullDisk.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace orvana;

namespace {

// Runs SQL on the file through a second, independent connection.
void runSQL(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &message);
    EXPECT_EQ(rc, SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
}

class Store : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("data/Orvana.sqlite"));

    std::unique_ptr<ModelContext> open() {
        auto opened = openModelContext(path);
        EXPECT_TRUE(opened.ok()) << qPrintable(opened.ok() ? QString() : opened.error().message);
        return opened.ok() ? std::move(opened.value()) : nullptr;
    }
};

// The export records hold every field the store keeps but two of a session's;
// those are checked by hand. Read row by row, the rows must export as the
// loaded records do, whatever an older or damaged file holds: links to
// records that are gone, kinds a session does not know, odd text, empty lists.
TEST_F(Store, EveryFieldSurvivesSaveAndReopenAndTheRowsExportAsTheLoadedRecords) {
    OrvanaExport saved;
    QUuid sessionID, bareSessionID;
    {
        auto ctx = open();
        ASSERT_TRUE(ctx);
        test::fillEveryKind(*ctx);
        ctx->create<Goal>(QStringLiteral("Run a marathon 🏃 \" \\ / \t\x01"),
                          QStringLiteral("Ü\nnotes"), 1.8e9 + 0.25, GoalStatus::archived,
                          QStringLiteral("teal"), -3, 1.7e9 + 0.5);
        ctx->create<Goal>(QString()); // every optional absent
        ctx->create<Week>(1.75e9, 1.75e9 + 604800, QStringLiteral("intent"),
                          QStringLiteral("reflect"), 1.74e9, 1.76e9);
        ctx->create<DayTask>(QStringLiteral("bare"), 0.0);
        ctx->create<TrailEntry>(1.74e9 + 1, std::numeric_limits<qint64>::max(), nullptr,
                                1.74e9 + 2);
        ctx->create<FocusBlockTemplate>(QStringLiteral("None"), std::vector<qint64>{}, 0, 0, 15);
        ctx->create<WeekItem>(QStringLiteral("Loose"))->setWeek(ctx->fetch<Week>().front());
        ctx->create<FocusSession>(300, 1.7e9 + 0.75)->setKindRawValue(QStringLiteral("nap"));
        sessionID = ctx->create<FocusSession>(1500.0, 1.73e9, 600.5, 1.73e9 + 10, 1.73e9 + 20, true,
                                              true, FocusSessionKind::shortBreak, 3)
                        ->id();
        auto* bareSession = ctx->create<FocusSession>(60.0);
        bareSession->setKindRawValue(std::nullopt);
        bareSessionID = bareSession->id();
        saved = DataExportService::exportDocument(*ctx, 0);
        ASSERT_TRUE(ctx->save().ok());
    }

    auto ctx = open();
    ASSERT_TRUE(ctx);
    EXPECT_TRUE(DataExportService::exportDocument(*ctx, 0) == saved);
    const FocusSession* session = ctx->findByID<FocusSession>(sessionID);
    ASSERT_TRUE(session);
    EXPECT_EQ(session->currentSegmentStartedAt(), 1.73e9 + 10);
    EXPECT_TRUE(session->hasBeenLogged());
    const FocusSession* bareSession = ctx->findByID<FocusSession>(bareSessionID);
    ASSERT_TRUE(bareSession);
    EXPECT_FALSE(bareSession->kindRawValue() || bareSession->currentSegmentStartedAt() ||
                 bareSession->hasBeenLogged());
    // The other side of each link is rebuilt on loading.
    const Goal* goal = ctx->fetch<Goal>().front();
    EXPECT_EQ(goal->weekItems().size(), 1u);
    EXPECT_EQ(ctx->fetch<WeekItem>().front()->dayTasks().size(), 1u);
    EXPECT_FALSE(ctx->hasChanges()) << "loading is not a change";
    ctx.reset();

    runSQL(path, "UPDATE weekItem SET week = 4242 WHERE title = 'Loose';"
                 "UPDATE goal SET status = 'paused' WHERE title = 'Run';");
    auto loaded = openModelContextForReading(path);
    ASSERT_TRUE(loaded.ok());
    auto store = SqliteStore::openForReading(path);
    ASSERT_TRUE(store.ok());
    QBuffer streamed;
    streamed.open(QIODevice::WriteOnly);
    ASSERT_TRUE(DataExportService::exportStore(*store.value(), 1.8e9, streamed).ok());
    EXPECT_EQ(streamed.data(), DataExportService::exportJSON(*loaded.value(), 1.8e9).value());

    // A duration JSON cannot hold is refused before the first byte.
    runSQL(path, "UPDATE focusSession SET accumulatedActiveDuration = 1e999;");
    QBuffer refused;
    refused.open(QIODevice::WriteOnly);
    EXPECT_FALSE(
        DataExportService::exportStore(*SqliteStore::openForReading(path).value(), 0, refused)
            .ok());
    EXPECT_TRUE(refused.data().isEmpty());
}

TEST_F(Store, DeletesEditsAndAutosavesReachTheFileAndNewRecordsGetFreshPositions) {
    QUuid keptID, goneID;
    {
        auto ctx = open();
        auto* kept = ctx->create<Goal>(QStringLiteral("kept"));
        auto* gone = ctx->create<Goal>(QStringLiteral("gone"));
        auto* item = ctx->create<WeekItem>(QStringLiteral("item"));
        item->setGoal(gone);
        keptID = kept->id();
        goneID = gone->id();
        ASSERT_TRUE(ctx->save().ok());
        ctx->remove(gone);
        kept->setTitle(QStringLiteral("kept, renamed"));
        ASSERT_TRUE(ctx->save().ok());
    }
    auto ctx = open();
    EXPECT_EQ(ctx->count<Goal>(), 1u);
    EXPECT_EQ(ctx->count<WeekItem>(), 0u);
    EXPECT_EQ(ctx->findByID<Goal>(goneID), nullptr);
    EXPECT_EQ(ctx->findByID<Goal>(keptID)->title(), QStringLiteral("kept, renamed"));
    ctx->setAutosaveInterval(0); // the next turn of the event loop, not half a second
    ctx->setAutosaveEnabled(true);
    const QUuid laterID = ctx->create<Goal>(QStringLiteral("later"))->id();
    test::drainEvents();
    EXPECT_FALSE(ctx->hasChanges()) << "autosaved";
    ctx.reset();
    ctx = open();
    EXPECT_EQ(ctx->count<Goal>(), 2u);
    EXPECT_EQ(ctx->fetch<Goal>().back()->id(), laterID);
}

TEST_F(Store, RecordsReadOverSeveralBlocksStayInOrderAndInTheirContextAndUndoBringsBackTheSame) {
    {
        auto ctx = open();
        for (int i = 0; i < 1500; ++i) // a few blocks' worth
            ctx->create<TrailEntry>(double(i), i);
        ASSERT_TRUE(ctx->save().ok());
    }
    auto ctx = open();
    UndoManager* undo = ctx->ensureUndoManager();
    auto* later = ctx->create<TrailEntry>(1e6, 7);
    const auto all = ctx->fetch<TrailEntry>();
    ASSERT_EQ(all.size(), 1501u);
    for (int i = 0; i < 1500; ++i)
        ASSERT_EQ(all[size_t(i)]->minutes(), i);
    EXPECT_EQ(all.back(), later);

    // With a second context alive, each record, read into any block or
    // inserted, reaches its own, and no link or removal crosses over.
    ModelContext other;
    auto* stranger = other.create<Goal>(QStringLiteral("other's"));
    EXPECT_EQ(stranger->context(), &other);
    for (TrailEntry* entry : all)
        ASSERT_EQ(entry->context(), ctx.get());
    all[1499]->setGoal(stranger);
    later->setGoal(stranger);
    EXPECT_EQ(all[1499]->goal(), nullptr);
    EXPECT_EQ(later->goal(), nullptr);
    other.remove(all[700]);
    EXPECT_FALSE(all[700]->isDeleted());

    TrailEntry* loaded = all[1100];
    test::drainEvents();
    ctx->remove(loaded);
    test::drainEvents();
    undo->undo();
    EXPECT_EQ(ctx->findByID<TrailEntry>(loaded->id()), loaded);
    EXPECT_EQ(ctx->fetch<TrailEntry>(), all);
}

TEST_F(Store, AFailedSaveWritesNothingAndKeepsThePendingChanges) {
    auto ctx = open();
    ASSERT_TRUE(ctx);
    ctx->create<Week>(1.0, 2.0);
    ctx->create<Goal>(QStringLiteral("blocked"));
    // Goals are written after weeks, so the week row is already in the
    // transaction when the goal row fails.
    runSQL(path, "CREATE TRIGGER refuse BEFORE INSERT ON goal "
                 "BEGIN SELECT RAISE(ABORT, 'disk on fire'); END;");
    auto failed = ctx->save();
    ASSERT_FALSE(failed.ok());
    EXPECT_TRUE(failed.error().message.contains(QStringLiteral("disk on fire")));
    EXPECT_TRUE(ctx->hasChanges());
    EXPECT_EQ(ctx->pendingChangeCount(), 2u);

    runSQL(path, "DROP TRIGGER refuse;");
    ASSERT_TRUE(ctx->save().ok());
    EXPECT_FALSE(ctx->hasChanges());
    ctx.reset();
    ctx = open();
    EXPECT_EQ(ctx->count<Week>(), 1u);
    EXPECT_EQ(ctx->count<Goal>(), 1u);
}

// The disk is full: every failed save (automatic or asked for) puts the next
// automatic try further off, from 5 s up to a minute; once one goes through,
// the next failure starts over at 5 s. Nothing is damaged meanwhile.
TEST_F(Store, FailedSavesOnAFullDiskRetryLaterAndLaterUntilOneGoesThrough) {
    test::FullDisk disk;
    auto ctx = open();
    ASSERT_TRUE(ctx);
    ctx->setAutosaveEnabled(true);
    ctx->create<Goal>(QStringLiteral("first"));
    disk.setFull(true);
    std::vector<int> delays;
    for (int i = 0; i < 6; ++i) {
        auto failed = ctx->save();
        ASSERT_FALSE(failed.ok());
        EXPECT_EQ(failed.error().kind, ErrorKind::diskFull) << failed.error().message.toStdString();
        delays.push_back(ctx->pendingAutosaveDelay());
    }
    EXPECT_EQ(delays, (std::vector<int>{5000, 10000, 20000, 40000, 60000, 60000}));
    EXPECT_GT(disk.refusedWrites(), 0);

    disk.setFull(false);
    ASSERT_TRUE(ctx->save().ok());
    EXPECT_EQ(ctx->pendingAutosaveDelay(), -1);
    ctx->create<Goal>(QStringLiteral("second"));
    disk.setFull(true);
    ASSERT_FALSE(ctx->save().ok());
    EXPECT_EQ(ctx->pendingAutosaveDelay(), 5000);
    disk.setFull(false);
    ASSERT_TRUE(ctx->save().ok());

    ctx.reset();
    ctx = open();
    ASSERT_TRUE(ctx);
    EXPECT_EQ(ctx->count<Goal>(), 2u);
}

TEST_F(Store, RefusesFilesItCannotTrustAndLeavesThemByteIdentical) {
    {
        auto created = SqliteStore::open(path); // a real store to tamper with
        ASSERT_TRUE(created.ok());
    }
    const QString newer = dir.filePath(QStringLiteral("newer.sqlite"));
    ASSERT_TRUE(QFile::copy(path, newer));
    runSQL(newer, "UPDATE meta SET value = '2.0.0' WHERE key = 'schemaVersion';");
    const QString foreign = dir.filePath(QStringLiteral("foreign.sqlite"));
    runSQL(foreign, "CREATE TABLE notes(body TEXT); INSERT INTO notes VALUES('mine');");
    const QString truncated = dir.filePath(QStringLiteral("truncated.sqlite"));
    const QString empty = dir.filePath(QStringLiteral("empty.sqlite"));
    {
        QFile t(truncated);
        ASSERT_TRUE(t.open(QIODevice::WriteOnly));
        t.write(test::fileBytes(path).left(60));
        QFile e(empty);
        ASSERT_TRUE(e.open(QIODevice::WriteOnly));
    }
    const QString dropped = dir.filePath(QStringLiteral("dropped.sqlite"));
    ASSERT_TRUE(QFile::copy(path, dropped));
    runSQL(dropped, "DROP TABLE trailEntry;");

    const struct {
        QString file;
        const char* reason;
        ErrorKind kind = ErrorKind::damaged;
    } cases[] = {
        {newer, "newer version", ErrorKind::newerVersion},
        {foreign, "another program"},
        {truncated, "not an Orvana"},
        {empty, "empty"},
        {dropped, "trailEntry"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(qPrintable(c.file));
        const QByteArray before = test::fileBytes(c.file);
        auto opened = openModelContext(c.file);
        ASSERT_FALSE(opened.ok());
        EXPECT_TRUE(opened.error().message.contains(QLatin1String(c.reason)))
            << qPrintable(opened.error().message);
        EXPECT_EQ(opened.error().kind, c.kind);
        EXPECT_EQ(test::fileBytes(c.file), before);
        EXPECT_FALSE(QFile::exists(c.file + QStringLiteral("-wal")));
        EXPECT_FALSE(QFile::exists(c.file + QStringLiteral("-shm")));
    }

    const QString folder = dir.filePath(QStringLiteral("folder.sqlite"));
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_FALSE(openModelContext(folder).ok());
}

// Damage inside a table is only found while loading, after the file was
// opened for writing; closing it then must not fold a pending WAL in.
TEST_F(Store, ARefusedDamagedStoreKeepsItsPendingWal) {
    {
        auto ctx = open();
        for (int i = 0; i < 2000; ++i)
            ctx->create<Goal>(
                QStringLiteral("goal %1 with a title long enough to fill pages").arg(i));
        ASSERT_TRUE(ctx->save().ok());
    }
    QByteArray bytes = test::fileBytes(path);
    ASSERT_GT(bytes.size(), 16 * 4096);
    bytes.replace(bytes.size() - 4096, 4096, QByteArray(4096, '\x5a')); // a goal page
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // A session that was killed: its last change sits in the WAL only.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    ASSERT_EQ(sqlite3_exec(db, "INSERT INTO meta VALUES('lastSession', 'killed')", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    const QString wal = path + QStringLiteral("-wal");
    ASSERT_GT(QFileInfo(wal).size(), 0);
    const QByteArray fileBefore = test::fileBytes(path), walBefore = test::fileBytes(wal);

    auto opened = openModelContext(path);
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(test::fileBytes(path), fileBefore);
    EXPECT_EQ(test::fileBytes(wal), walBefore);
}

TEST_F(Store, OnlyOneOpenerAtATime) {
    auto first = SqliteStore::open(path);
    ASSERT_TRUE(first.ok());
    auto second = SqliteStore::open(path);
    ASSERT_FALSE(second.ok());
    EXPECT_EQ(second.error().kind, ErrorKind::busy); // what `orvana import` tells apart
    first.value().reset();
    EXPECT_TRUE(SqliteStore::open(path).ok()) << "closing releases the lock";
}

} // namespace
