#include "Services/BackupService.h"

#include "Services/DataExportService.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace orvana {

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
    const QString path = QDir(directory).filePath(fileName(now, calendar));
    if (!QFileInfo::exists(path) && QDir().mkpath(directory)) {
        if (auto json = DataExportService::exportJSON(context, now); json.ok()) {
            QSaveFile file(path);
            if (file.open(QIODevice::WriteOnly) && file.write(json.value()) == json.value().size())
                file.commit(); // a failed write leaves no file: the next run retries
        }
    }
    prune(directory, calendar, now);
    return QFileInfo::exists(path) ? path : QString();
}

void BackupService::prune(const QString& directory, const Calendar& calendar, Timestamp now) {
    const auto cutoff = calendar.addDays(now, -14);
    if (!cutoff)
        return;
    const QDir dir(directory);
    if (!dir.exists())
        return;
    for (const QFileInfo& entry :
         dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const QDateTime modified = entry.lastModified();
        if (modified.isValid() && fromDateTime(modified) < *cutoff)
            QFile::remove(entry.filePath()); // a failure is left for the next run
    }
}

} // namespace orvana
