#include "Services/BackupService.h"
#include "Store/ModelContext.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvana;

namespace {

void touch(const QString& path, Timestamp modified) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(toDateTime(modified), QFileDevice::FileModificationTime));
}

TEST(Backup, OncePerLocalDayAndNeverRewrittenThatDay) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Orvana/Backups"));
    const Calendar cal = test::berlinMondayFirst();
    ModelContext ctx;
    // 23:30 in Berlin is already the next day in UTC terms of some zones:
    // the name follows the calendar's zone.
    const Timestamp now = test::at(QTimeZone("Europe/Berlin"), 2026, 6, 10, 23, 30);

    const QString path = BackupService::backupIfNeeded(ctx, cal, now, folder);
    EXPECT_TRUE(path.endsWith(QStringLiteral("/Orvana-Backup-2026-06-10.json")));
    const QJsonObject doc = QJsonDocument::fromJson(test::fileBytes(path)).object();
    EXPECT_EQ(doc.value(QLatin1String("schemaVersion")).toInt(), 1) << "an empty store too";

    // The user edited today's file: the next run the same day leaves it.
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("edited");
    }
    ctx.create<Goal>(QStringLiteral("new"));
    EXPECT_EQ(BackupService::backupIfNeeded(ctx, cal, now + 600, folder), path);
    EXPECT_EQ(test::fileBytes(path), "edited");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 1);
}

TEST(Backup, PrunesByModificationTimeToTheSecondWhateverTheName) {
    QTemporaryDir dir;
    const Calendar cal = test::berlinMondayFirst();
    const Timestamp now = test::at(QTimeZone("Europe/Berlin"), 2026, 6, 20, 12);
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
