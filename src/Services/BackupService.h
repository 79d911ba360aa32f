#pragma once

#include "Core/Calendar.h"

#include "Services/DataExportService.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QThreadPool>
#include <chrono>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

namespace orvana {

class ModelContext;
class SqliteStore;

// How backupIfNeededInBackground splits its copy of the records.
struct BackupSlicing {
    // Time one slice may take. It may run over by a fraction of a
    // millisecond, and a slice that fetches a piece of the largest record
    // type takes as long as that fetch (see ExportSnapshot::copySlice).
    std::chrono::milliseconds budget{8};
    // At most this many records per slice, so a test can spread a small
    // store over several slices.
    std::size_t maxRecords = std::numeric_limits<std::size_t>::max();
    // The copy restarts after a change at most this often; the last restart
    // copies every record in one go, a long pause but one that steady
    // typing cannot put off for ever.
    int maxRestarts = 3;
};

// Copies every record on the calling (main) thread in slices of about
// `slicing.budget`, the first within start() and each further one in an
// event of its own, so input is handled in between. A change to the store
// between slices restarts the copy (after `slicing.maxRestarts` restarts it
// is taken in one go), so the copy shows the store at one instant. Used by
// the background backup and by the settings screen's export.
class SlicedSnapshot : public QObject {
public:
    // The copy, or nothing when the context was destroyed before it was
    // complete. May delete the snapshot.
    using Done = std::function<void(std::optional<OrvanaExport>)>;

    SlicedSnapshot(const ModelContext& context, Timestamp exportedAt,
                   const BackupSlicing& slicing = {}, QObject* parent = nullptr);
    // Stops the copy; what was copied so far is freed on a worker.
    ~SlicedSnapshot() override;

    // `done` runs once, within this call when the first slice copies
    // everything (a small store), else after the last slice.
    void start(Done done);

private:
    void next();

    QPointer<const ModelContext> context_;
    quint64 seen_;
    ExportSnapshot snapshot_;
    BackupSlicing slicing_;
    int restarts_ = 0;
    Done done_;
};

// Frees a copy on a worker of the global QThreadPool: freeing a large one
// takes as long as a slice of copying it.
void dropOnWorker(OrvanaExport copy);

// Runs `work` on a worker of the global QThreadPool, then `done` with its
// result on `receiver`'s thread, and not at all if `receiver` is destroyed
// first (a null receiver: nothing is called back). The worker never touches
// the receiver, which may be going away on its own thread: it posts to a
// relay object made here on the receiver's thread (deleted only by that
// answer), where the receiver is looked at. What `work` captures is freed
// on the worker. `work` returns a value; `done` takes it by value.
template <class Work, class Done> void runOnWorker(QObject* receiver, Work work, Done done) {
    QObject* relay = nullptr;
    if (receiver) {
        relay = new QObject;
        relay->moveToThread(receiver->thread());
    }
    // QThreadPool and the queued call take copyable functions only.
    auto task = std::make_shared<Work>(std::move(work));
    auto answer = std::make_shared<Done>(std::move(done));
    QThreadPool::globalInstance()->start([task = std::move(task), relay,
                                          target = QPointer<QObject>(receiver),
                                          answer = std::move(answer)]() mutable {
        auto result = std::make_shared<decltype((*task)())>((*task)());
        task.reset();
        if (!relay)
            return;
        QMetaObject::invokeMethod(
            relay,
            [relay, target = std::move(target), answer = std::move(answer),
             result = std::move(result)] {
                relay->deleteLater();
                if (target)
                    (*answer)(std::move(*result));
            },
            Qt::QueuedConnection);
    });
}

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
    // The same from a store opened for reading, its rows written as they are
    // read (none of the records held in memory).
    static QString backupIfNeeded(SqliteStore& store, const Calendar& calendar, Timestamp now,
                                  const QString& directory = backupsDirectory());

    // The same without blocking the interface. When the context has a store
    // file and nothing unsaved, a worker reads that file by itself (the
    // store at one instant) and writes its rows as they are read: nothing is
    // copied. Otherwise, when today's file is missing, the records are copied on the calling (main) thread in slices of about
    // `slicing.budget`, the first within this call and each further one in
    // an event of its own, so input is handled in between. A change to the
    // store between slices restarts the copy, so the file shows the store as
    // it was at one instant between the call and the last slice (exportedAt
    // is still `now`); after `slicing.maxRestarts` restarts the copy is
    // taken in one go. Encoding, the atomic write and pruning run on a
    // worker of the global QThreadPool, which sees only that copy. If
    // `context` is destroyed before the copy is complete, nothing is
    // written; pruning still runs. `done` runs later on `receiver`'s thread
    // with the path of today's file (empty when there is none), never within
    // this call, and not at all if `receiver` is destroyed first. Two runs
    // for the same day may overlap: each write replaces the file whole.
    static void backupIfNeededInBackground(const ModelContext& context, const Calendar& calendar,
                                           Timestamp now, const QString& directory,
                                           QObject* receiver, std::function<void(QString)> done,
                                           const BackupSlicing& slicing = {});

    // Removes every file whose modification time is strictly before now minus
    // 14 calendar days, whatever its name.
    static void prune(const QString& directory, const Calendar& calendar, Timestamp now);
};

} // namespace orvana
