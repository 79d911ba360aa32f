#pragma once

#include "Core/Calendar.h"

#include <QString>

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

    // Removes every file whose modification time is strictly before now minus
    // 14 calendar days, whatever its name.
    static void prune(const QString& directory, const Calendar& calendar, Timestamp now);
};

} // namespace orvana
