#include "Services/BackupService.h"
#include "Services/DataExportService.h"
#include "Store/ModelContext.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <gtest/gtest.h>

using namespace orvana;

namespace {

void touch(const QString& path, Timestamp modified) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(toDateTime(modified), QFileDevice::FileModificationTime));
}

// Every kind of record, and enough of them that the text is written in
// several pieces and the worker is still busy for a while after the call.
void fillSeveralPieces(ModelContext& ctx, Timestamp now) {
    test::fillEveryKind(ctx);
    for (int i = 0; i < 3000; ++i)
        ctx.create<TrailEntry>(now + i, i, nullptr, now);
}

// The whole copy in the slice taken within the call, however busy the
// machine running the tests.
const BackupSlicing withinTheCall{.budget = std::chrono::hours(1)};
// A slice per record, so that even a small store takes many events.
const BackupSlicing recordBySlice{.maxRecords = 1};

QString idText(const Record* record) {
    return record->id().toString(QUuid::WithoutBraces).toUpper();
}

class Backup : public ::testing::Test {
protected:
    QTemporaryDir dir;
    const Calendar cal = test::berlinMondayFirst();
    Timestamp now = test::at(QTimeZone("Europe/Berlin"), 2026, 6, 10, 9);
    ModelContext ctx;
    QObject receiver;
    std::optional<QString> delivered;

    void startInBackground(const ModelContext& context, const QString& folder,
                           const BackupSlicing& slicing = {}) {
        delivered.reset();
        BackupService::backupIfNeededInBackground(
            context, cal, now, folder, &receiver, [this](QString path) { delivered = path; },
            slicing);
    }
    // Waits for the worker thread, not for a timer.
    bool waitForDelivery() {
        return QTest::qWaitFor([&] { return delivered.has_value(); });
    }
};

// Named after the day in the calendar's zone (23:30 in Berlin is the next
// day in UTC), and written once that day, in the call or in the background.
TEST_F(Backup, OncePerLocalDayWithTheRecordsAsTheyWereAtTheCall) {
    now = test::at(QTimeZone("Europe/Berlin"), 2026, 6, 10, 23, 30);
    fillSeveralPieces(ctx, now);
    const QByteArray expected = DataExportService::exportJSON(ctx, now).value();
    const QString syncFolder = dir.filePath(QStringLiteral("Orvana/Backups"));
    const QString syncPath = BackupService::backupIfNeeded(ctx, cal, now, syncFolder);
    EXPECT_TRUE(syncPath.endsWith(QStringLiteral("/Orvana-Backup-2026-06-10.json")));

    const QString folder = dir.filePath(QStringLiteral("async"));
    startInBackground(ctx, folder, withinTheCall);
    EXPECT_FALSE(delivered) << "never within the call";
    ctx.fetch<Goal>().front()->setTitle(QStringLiteral("changed after the call"));
    ctx.create<Goal>(QStringLiteral("added after the call"));
    ASSERT_TRUE(waitForDelivery());
    EXPECT_EQ(*delivered, QDir(folder).filePath(BackupService::fileName(now, cal)));
    EXPECT_TRUE(test::fileBytes(*delivered) == expected);
    EXPECT_TRUE(test::fileBytes(syncPath) == expected);

    // Today's files are there: left as they are, and their paths are the answer.
    now += 60;
    EXPECT_EQ(BackupService::backupIfNeeded(ctx, cal, now, syncFolder), syncPath);
    startInBackground(ctx, folder);
    ASSERT_TRUE(waitForDelivery());
    EXPECT_TRUE(test::fileBytes(*delivered) == expected);
    EXPECT_TRUE(test::fileBytes(syncPath) == expected);
    EXPECT_EQ(QDir(syncFolder).entryList(QDir::Files).size(), 1);
}

TEST_F(Backup, InTheBackgroundNothingReachesAReceiverThatIsGone) {
    fillSeveralPieces(ctx, now);
    int calls = 0;
    // One receiver goes while its worker still runs, the other after its
    // worker has finished but before the answer is delivered.
    auto beforeDelivery = std::make_unique<QObject>();
    auto whileRunning = std::make_unique<QObject>();
    BackupService::backupIfNeededInBackground(
        ctx, cal, now, dir.path(), beforeDelivery.get(), [&](QString) { ++calls; }, withinTheCall);
    BackupService::backupIfNeededInBackground(
        ctx, cal, now, dir.path(), whileRunning.get(), [&](QString) { ++calls; }, withinTheCall);
    whileRunning.reset();
    QThreadPool::globalInstance()->waitForDone();
    beforeDelivery.reset();
    test::drainEvents();
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(QFile::exists(dir.filePath(BackupService::fileName(now, cal))))
        << "the backup itself still happens";
}

// A user who keeps editing while the copy is taken: at every turn of the
// event loop the task moves to the other goal and both goals are renamed. A
// copy carried on across such a change would hold the goals of one moment
// and the task of another.
TEST_F(Backup, InTheBackgroundTheFileShowsOneInstantOfAStoreThatKeepsChanging) {
    test::fillEveryKind(ctx);
    Goal* goals[] = {ctx.create<Goal>(QStringLiteral("A 0")),
                     ctx.create<Goal>(QStringLiteral("B 0"))};
    auto* task = ctx.create<DayTask>(QStringLiteral("moving"), now);
    task->setGoal(goals[0]);
    int moves = 0;
    QTimer typing;
    QObject::connect(&typing, &QTimer::timeout, [&] {
        ++moves;
        goals[0]->setTitle(QStringLiteral("A %1").arg(moves));
        goals[1]->setTitle(QStringLiteral("B %1").arg(moves));
        task->setGoal(goals[moves % 2]);
    });
    typing.start(0);

    startInBackground(ctx, dir.path(), recordBySlice);
    ASSERT_TRUE(waitForDelivery()) << "steady changes do not hold the backup off";
    typing.stop();

    const QJsonObject doc = QJsonDocument::fromJson(test::fileBytes(*delivered)).object();
    QHash<QString, QString> titles;
    for (const QJsonValue goal : doc.value(QLatin1String("goals")).toArray())
        titles.insert(goal[QLatin1String("id")].toString(),
                      goal[QLatin1String("title")].toString());
    const int state = titles.value(idText(goals[0])).mid(2).toInt();
    EXPECT_GT(state, 0) << "the copy was taken while the store changed";
    EXPECT_EQ(titles.value(idText(goals[1])), QStringLiteral("B %1").arg(state));
    QString taskGoal;
    for (const QJsonValue t : doc.value(QLatin1String("dayTasks")).toArray()) {
        if (t[QLatin1String("title")] == QLatin1String("moving"))
            taskGoal = t[QLatin1String("goalID")].toString();
    }
    EXPECT_EQ(taskGoal, idText(goals[state % 2]));
}

TEST_F(Backup, InTheBackgroundAStoreClosedDuringTheCopyLeavesNoFile) {
    auto closing = std::make_unique<ModelContext>();
    test::fillEveryKind(*closing);
    startInBackground(*closing, dir.path(), recordBySlice);
    closing.reset();
    ASSERT_TRUE(waitForDelivery());
    EXPECT_EQ(*delivered, QString());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(Backup, PrunesByModificationTimeToTheSecondWhateverTheName) {
    now = test::at(QTimeZone("Europe/Berlin"), 2026, 6, 20, 12);
    const Timestamp cutoff = *cal.addDays(now, -14);
    const QString kept = dir.filePath(QStringLiteral("Orvana-Backup-2026-06-06.json"));
    const QString old = dir.filePath(QStringLiteral("Orvana-Backup-2026-06-05.json"));
    const QString foreign = dir.filePath(QStringLiteral("notes.txt"));
    touch(kept, cutoff);
    touch(old, cutoff - 1);
    touch(foreign, cutoff - 86400);

    BackupService::prune(dir.path(), cal, now);
    EXPECT_TRUE(QFile::exists(kept)) << "exactly 14 days old stays";
    EXPECT_FALSE(QFile::exists(old));
    EXPECT_FALSE(QFile::exists(foreign));
    BackupService::prune(dir.filePath(QStringLiteral("missing")), cal, now); // silent
}

} // namespace
