#include "Services/BackupService.h"

#include "Services/DataExportService.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QSaveFile>
#include <QStandardPaths>
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
};

Job plan(const ModelContext& context, const Calendar& calendar, Timestamp now,
         const QString& directory) {
    Job job{directory, QDir(directory).filePath(BackupService::fileName(now, calendar)),
            std::nullopt, calendar.addDays(now, -14)};
    if (!QFileInfo::exists(job.path))
        job.snapshot = DataExportService::exportDocument(context, now);
    return job;
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

} // namespace

QString BackupService::backupsDirectory() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/Orvana/Backups");
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
    if (directory.isEmpty())
        return {};
    return run(plan(context, calendar, now, directory));
}

void BackupService::backupIfNeededInBackground(const ModelContext& context,
                                               const Calendar& calendar, Timestamp now,
                                               const QString& directory, QObject* receiver,
                                               std::function<void(QString)> done) {
    auto job = std::make_shared<const Job>(
        directory.isEmpty() ? Job{} : plan(context, calendar, now, directory));
    // The worker cannot touch the receiver, which may be going away on its
    // own thread. It posts to a relay that only the answer deletes; the
    // receiver is looked at there, on its thread.
    QObject* relay = nullptr;
    if (receiver && done) {
        relay = new QObject;
        relay->moveToThread(receiver->thread());
    }
    QThreadPool::globalInstance()->start([job = std::move(job), relay,
                                          target = QPointer<QObject>(receiver),
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

void BackupService::prune(const QString& directory, const Calendar& calendar, Timestamp now) {
    if (const auto cutoff = calendar.addDays(now, -14))
        pruneBefore(directory, *cutoff);
}

} // namespace orvana
