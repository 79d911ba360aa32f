#pragma once

#include "Core/Calendar.h"

#include <QString>
#include <functional>

class QObject;

namespace orvana {

class ModelContext;

// Once per local calendar day, the whole store in the export format goes to
// "Orvana-Backup-{yyyy-MM-dd}.json" in the backups folder; entries of that
// folder last modified more than 14 days ago are removed. Never fails towards
// its caller: every problem is silent and the next run tries again.
class BackupService {
public:
    // $XDG_DATA_HOME/Orvana/Backups
    static QString backupsDirectory();

    static QString fileName(Timestamp now, const Calendar& calendar);

    // Writes today's file unless it exists (atomically, so a reader never
    // sees half a backup), then prunes. Returns the path of today's file, or
    // an empty text when there is none.
    static QString backupIfNeeded(const ModelContext& context, const Calendar& calendar,
                                  Timestamp now, const QString& directory = backupsDirectory());

    // The same without blocking the interface for the export: when today's
    // file is missing, the records are copied now, on the calling (main)
    // thread; encoding, the atomic write and pruning run on a worker of the
    // global QThreadPool, which sees only that copy. Changes made after the
    // call are not in the file. `done` runs later on `receiver`'s thread with
    // the path of today's file (empty when there is none), never within this
    // call, and not at all if `receiver` is destroyed first. Two runs for the
    // same day may overlap: each write replaces the file whole.
    static void backupIfNeededInBackground(const ModelContext& context, const Calendar& calendar,
                                           Timestamp now, const QString& directory,
                                           QObject* receiver, std::function<void(QString)> done);

    // Removes every file whose modification time is strictly before now minus
    // 14 calendar days, whatever its name.
    static void prune(const QString& directory, const Calendar& calendar, Timestamp now);
};

} // namespace orvana
