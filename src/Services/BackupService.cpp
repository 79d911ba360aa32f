#include "Services/BackupService.h"

#include "Core/AppPaths.h"

#include "Services/DataExportService.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QSaveFile>
#include <QThreadPool>
#include <memory>
#include <utility>

namespace orvana {

namespace {

// One run, decided on the caller's thread: where today's file goes, the
// records to write when it is missing, and the pruning cutoff. What runs
// from here on needs neither the store nor the calendar.
struct Job {
    QString directory;
    QString path;
    std::optional<OrvanaExport> snapshot;
    QString storePath; // instead of a snapshot: the store file, read on the worker
    Timestamp exportedAt = 0;
    std::optional<Timestamp> cutoff;

    bool needsSnapshot() const { return !directory.isEmpty() && !QFileInfo::exists(path); }
};

Job plan(const Calendar& calendar, Timestamp now, const QString& directory) {
    if (directory.isEmpty())
        return {};
    return {directory,    QDir(directory).filePath(BackupService::fileName(now, calendar)),
            std::nullopt, QString(),
            now,          calendar.addDays(now, -14)};
}

void pruneBefore(const QString& directory, Timestamp cutoff) {
    const QDir dir(directory);
    if (!dir.exists())
        return;
    for (const QFileInfo& entry :
         dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const QDateTime modified = entry.lastModified();
        if (modified.isValid() && fromDateTime(modified) < cutoff)
            QFile::remove(entry.filePath()); // a failure is left for the next run
    }
}

// Today's file from the store's rows as they are read.
void writeFromStore(SqliteStore& store, const Job& job) {
    QSaveFile file(job.path);
    if (file.open(QIODevice::WriteOnly) &&
        DataExportService::exportStore(store, job.exportedAt, file).ok())
        file.commit(); // a failed write leaves no file: the next run retries
}

// Where a file system has no unnamed temporary files (NFS, FUSE), a write
// killed midway leaves QSaveFile's temporary beside the backup:
// "Orvana-Backup-2026-03-05.json.Ab12Cd". One touched in the last minutes
// may be another run's, still being written, and stays.
void removeLeftoverTemporaries(const QString& directory) {
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-10 * 60);
    const QDir dir(directory);
    for (const QFileInfo& entry : dir.entryInfoList({QStringLiteral("Orvana-Backup-*.json.*")},
                                                    QDir::Files | QDir::Hidden)) {
        if (entry.lastModified() < stale)
            QFile::remove(entry.filePath());
    }
}

// Writes and prunes; safe on any thread. Returns today's path when the file
// is there afterwards.
QString run(const Job& job, SqliteStore* openStore = nullptr) {
    if (job.directory.isEmpty())
        return {};
    removeLeftoverTemporaries(job.directory);
    // Asked again: an overlapping run may have written the file meanwhile.
    const bool wanted = !QFileInfo::exists(job.path);
    if (wanted && job.snapshot && QDir().mkpath(job.directory)) {
        QSaveFile file(job.path);
        if (file.open(QIODevice::WriteOnly) && DataExportService::encode(*job.snapshot, file).ok())
            file.commit(); // a failed write leaves no file: the next run retries
    } else if (wanted && openStore && QDir().mkpath(job.directory)) {
        writeFromStore(*openStore, job);
    } else if (wanted && !job.storePath.isEmpty() && QDir().mkpath(job.directory)) {
        // This worker's own connection: the store is only ever read here.
        if (auto store = SqliteStore::openForReading(job.storePath); store.ok())
            writeFromStore(*store.value(), job);
    }
    if (job.cutoff)
        pruneBefore(job.directory, *job.cutoff);
    return QFileInfo::exists(job.path) ? job.path : QString();
}

// Writes and prunes on a worker, then answers `receiver` (when it is
// still there) with today's path.
void runJob(Job job, QObject* receiver, std::function<void(QString)> done) {
    if (!done)
        receiver = nullptr;
    // The job, snapshot and all, is freed on the worker too.
    runOnWorker(
        receiver, [job = std::move(job)] { return run(job); }, std::move(done));
}

} // namespace

SlicedSnapshot::SlicedSnapshot(const ModelContext& context, Timestamp exportedAt,
                               const BackupSlicing& slicing, QObject* parent)
    : QObject(parent), context_(&context), seen_(context.changeCount()),
      snapshot_(context, exportedAt), slicing_(slicing) {}

SlicedSnapshot::~SlicedSnapshot() {
    dropOnWorker(snapshot_.takeDocument());
}

void SlicedSnapshot::start(Done done) {
    done_ = std::move(done);
    next();
}

void SlicedSnapshot::next() {
    if (!done_)
        return;
    if (!context_) { // its records are gone with it
        dropOnWorker(snapshot_.takeDocument());
        return std::exchange(done_, {})(std::nullopt);
    }
    QDeadlineTimer deadline(slicing_.budget, Qt::PreciseTimer);
    std::size_t maxRecords = slicing_.maxRecords;
    if (context_->changeCount() != seen_) {
        seen_ = context_->changeCount();
        dropOnWorker(snapshot_.takeDocument());
        if (++restarts_ >= slicing_.maxRestarts) {
            deadline = QDeadlineTimer::Forever;
            maxRecords = std::numeric_limits<std::size_t>::max();
        }
    }
    if (!snapshot_.copySlice(deadline, maxRecords)) {
        QMetaObject::invokeMethod(
            this, [this] { next(); }, Qt::QueuedConnection);
        return;
    }
    // Last, as `done` may delete this.
    std::exchange(done_, {})(snapshot_.takeDocument());
}

void dropOnWorker(OrvanaExport copy) {
    QThreadPool::globalInstance()->start(
        [copy = std::make_shared<OrvanaExport>(std::move(copy))]() mutable { copy.reset(); });
}

QString BackupService::backupsDirectory() {
    return AppPaths::standard().backupsDirectory;
}

QString BackupService::fileName(Timestamp now, const Calendar& calendar) {
    const DateComponents d = calendar.components(now);
    return QStringLiteral("Orvana-Backup-%1-%2-%3.json")
        .arg(d.year, 4, 10, QLatin1Char('0'))
        .arg(d.month, 2, 10, QLatin1Char('0'))
        .arg(d.day, 2, 10, QLatin1Char('0'));
}

QString BackupService::backupIfNeeded(const ModelContext& context, const Calendar& calendar,
                                      Timestamp now, const QString& directory) {
    Job job = plan(calendar, now, directory);
    if (job.directory.isEmpty())
        return {};
    if (job.needsSnapshot())
        job.snapshot = DataExportService::exportDocument(context, now);
    return run(job);
}

QString BackupService::backupIfNeeded(SqliteStore& store, const Calendar& calendar, Timestamp now,
                                      const QString& directory) {
    return run(plan(calendar, now, directory), &store);
}

void BackupService::backupIfNeededInBackground(const ModelContext& context,
                                               const Calendar& calendar, Timestamp now,
                                               const QString& directory, QObject* receiver,
                                               std::function<void(QString)> done,
                                               const BackupSlicing& slicing) {
    Job job = plan(calendar, now, directory);
    if (!job.needsSnapshot())
        return runJob(std::move(job), receiver, std::move(done));
    // Saved is what the file holds: read there, the records need no copy.
    if (context.store() && !context.hasChanges()) {
        job.storePath = context.store()->path();
        return runJob(std::move(job), receiver, std::move(done));
    }
    auto* copy = new SlicedSnapshot(context, now, slicing);
    copy->start([copy, job = std::move(job), target = QPointer<QObject>(receiver),
                 done = std::move(done)](std::optional<OrvanaExport> document) mutable {
        job.snapshot = std::move(document); // none: the store closed; pruning still runs
        runJob(std::move(job), target, std::move(done));
        copy->deleteLater();
    });
}

void BackupService::prune(const QString& directory, const Calendar& calendar, Timestamp now) {
    if (const auto cutoff = calendar.addDays(now, -14))
        pruneBefore(directory, *cutoff);
}

} // namespace orvana
