#include "Services/BackupService.h"

#include "Core/AppPaths.h"

#include "Services/DataExportService.h"
#include "Store/ModelContext.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QSaveFile>
#include <QThreadPool>
#include <memory>

namespace orvana {

namespace {

// One run, decided on the caller's thread: where today's file goes, the
// records to write when it is missing, and the pruning cutoff. What runs
// from here on needs neither the store nor the calendar.
struct Job {
    QString directory;
    QString path;
    std::optional<OrvanaExport> snapshot;
    std::optional<Timestamp> cutoff;

    bool needsSnapshot() const { return !directory.isEmpty() && !QFileInfo::exists(path); }
};

Job plan(const Calendar& calendar, Timestamp now, const QString& directory) {
    if (directory.isEmpty())
        return {};
    return {directory, QDir(directory).filePath(BackupService::fileName(now, calendar)),
            std::nullopt, calendar.addDays(now, -14)};
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

// Writes and prunes; safe on any thread. Returns today's path when the file
// is there afterwards.
QString run(const Job& job) {
    if (job.directory.isEmpty())
        return {};
    // Asked again: an overlapping run may have written the file meanwhile.
    if (job.snapshot && !QFileInfo::exists(job.path) && QDir().mkpath(job.directory)) {
        QSaveFile file(job.path);
        if (file.open(QIODevice::WriteOnly) && DataExportService::encode(*job.snapshot, file).ok())
            file.commit(); // a failed write leaves no file: the next run retries
    }
    if (job.cutoff)
        pruneBefore(job.directory, *job.cutoff);
    return QFileInfo::exists(job.path) ? job.path : QString();
}

// Hands the job to a worker. The worker cannot touch the receiver, which
// may be going away on its own thread: it posts to `relay` (on the
// receiver's thread, deleted only by the answer), where the receiver is
// looked at.
void runOnWorker(Job job, QObject* relay, QPointer<QObject> target,
                 std::function<void(QString)> done) {
    QThreadPool::globalInstance()->start([job = std::make_shared<const Job>(std::move(job)), relay,
                                          target = std::move(target),
                                          done = std::move(done)]() mutable {
        QString path = run(*job);
        job.reset(); // the snapshot is freed here, not on the interface's thread
        if (!relay)
            return;
        QMetaObject::invokeMethod(
            relay,
            [relay, target, done = std::move(done), path = std::move(path)] {
                relay->deleteLater();
                if (target)
                    done(path);
            },
            Qt::QueuedConnection);
    });
}

// Freeing a large copy takes as long as a slice.
void dropOnWorker(OrvanaExport copy) {
    QThreadPool::globalInstance()->start(
        [copy = std::make_shared<OrvanaExport>(std::move(copy))]() mutable { copy.reset(); });
}

// Copies the records on the main thread one slice per event and restarts
// when the store changed in between, then hands the job on and goes away.
class SlicedSnapshot : public QObject {
public:
    SlicedSnapshot(const ModelContext& context, Timestamp now, const BackupSlicing& slicing,
                   Job job, QObject* relay, QPointer<QObject> target,
                   std::function<void(QString)> done)
        : context_(&context), seen_(context.changeCount()), snapshot_(context, now),
          slicing_(slicing), job_(std::move(job)), relay_(relay), target_(std::move(target)),
          done_(std::move(done)) {}

    void next() {
        if (!context_) // its records are gone with it; the rest of the run still happens
            return finish();
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
        job_.snapshot = snapshot_.takeDocument();
        finish();
    }

private:
    void finish() {
        runOnWorker(std::move(job_), relay_, std::move(target_), std::move(done_));
        deleteLater();
    }

    QPointer<const ModelContext> context_;
    quint64 seen_;
    ExportSnapshot snapshot_;
    BackupSlicing slicing_;
    int restarts_ = 0;
    Job job_;
    QObject* relay_;
    QPointer<QObject> target_;
    std::function<void(QString)> done_;
};

} // namespace

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

void BackupService::backupIfNeededInBackground(const ModelContext& context,
                                               const Calendar& calendar, Timestamp now,
                                               const QString& directory, QObject* receiver,
                                               std::function<void(QString)> done,
                                               const BackupSlicing& slicing) {
    Job job = plan(calendar, now, directory);
    // Made now, while the caller vouches that the receiver is alive.
    QObject* relay = nullptr;
    if (receiver && done) {
        relay = new QObject;
        relay->moveToThread(receiver->thread());
    }
    if (!job.needsSnapshot())
        return runOnWorker(std::move(job), relay, receiver, std::move(done));
    (new SlicedSnapshot(context, now, slicing, std::move(job), relay, receiver, std::move(done)))
        ->next();
}

void BackupService::prune(const QString& directory, const Calendar& calendar, Timestamp now) {
    if (const auto cutoff = calendar.addDays(now, -14))
        pruneBefore(directory, *cutoff);
}

} // namespace orvana
