#pragma once

#include "Core/Calendar.h"
#include "Core/Result.h"
#include "Store/SyncState.h"
#include "Sync/CalDavClient.h"

#include <QHash>
#include <QStringList>
#include <QUuid>
#include <functional>
#include <qcoro/qcorotask.h>

namespace orvana {

class ModelContext;
struct SyncWrite;
struct SyncSent;

// What a pull does with records another device deleted, when the deletion
// guard would stop it: stop and ask, delete them here, or keep them here and
// send them to the server again.
enum class SyncDeletions { ask, apply, keep };

struct SyncReport {
    qint64 sent = 0;        // resources written to the server
    qint64 removed = 0;     // resources deleted on the server
    qint64 heldBack = 0;    // changed on the server meanwhile: merged at the next pull
    qint64 received = 0;    // records changed or made here from the server
    qint64 removedHere = 0; // records deleted here because another device deleted them
    qint64 conflicts = 0;   // fields both sides changed; the later edit won
    // Records the server would not take (a UID still in its trash bin, say):
    // held back while the others go on, and the first reason in its words.
    qint64 refused = 0;
    QString refusal;
    // Records a pull would have deleted here when the deletion guard stopped
    // it: then nothing was changed.
    qint64 guarded = 0;
    QStringList guardedIn; // the calendars they are in, by name
    // The server lost the account's mark (restored, reset, another
    // account's data): the pull stopped before changing anything.
    bool identityLost = false;
};

// Brings back a record another device deleted, with what went with it, as
// one step the user can undo; the next sync sends it again. Main thread.
Result<void> restoreDeleted(ModelContext& context, const QUuid& record);

// Takes the value that lost a conflict instead of the one that stayed, as
// one step the user can undo; the next sync sends it. Main thread.
Result<void> useLostValue(ModelContext& context, qint64 conflict);

// One account's sync, on the main thread beside the context it syncs.
class SyncEngine {
public:
    SyncEngine(ModelContext& context, CalDavClient& client, Calendar calendar);

    // Sends what the journal holds: each changed record written over the
    // copy the server last confirmed (If-Match its ETag), a new one only if
    // it is still new there (If-None-Match), a deleted one removed. The
    // journal and the confirmed copies change in one transaction per batch,
    // after the server answered, so a sync that is killed resends at most a
    // batch, and never makes a second copy. Focus minutes go a day to a
    // resource, each day's list the union of what both sides hold.
    QCoro::Task<Result<SyncReport>> push();

    // Takes what changed on the server since the last pull (sync-collection
    // with the collection's token; a token the server forgot lists it
    // afresh, which never deletes anything here). Each changed resource is
    // merged with this device's change when there is one, field by field;
    // a resource deleted there is deleted here unless it changed here (then
    // it is sent again). Applied on this thread in one step, outside the
    // undo history, and saved; the confirmed copies and the token follow in
    // one transaction. More than 20 deletions that are also more than 10 %
    // of the synced records, or a server that lost the account's mark, stop
    // the pull before it changes anything, unless `allowDeletions` (then a
    // server that lost the mark gets everything again). A listing that
    // misses resources the server had confirmed (a token it forgot) sends
    // them again: it is never read as deletions.
    // With SyncDeletions::keep the guard's deletions are not made: the
    // records stay here and are sent to the server again.
    QCoro::Task<Result<SyncReport>> pull(SyncDeletions deletions);
    QCoro::Task<Result<SyncReport>> pull(bool allowDeletions) {
        return pull(allowDeletions ? SyncDeletions::apply : SyncDeletions::ask);
    }

    // Told after each batch the push confirmed: records sent of those that
    // were waiting when it began.
    void onProgress(std::function<void(qint64 sent, qint64 of)> progress) {
        progress_ = std::move(progress);
    }

private:
    // The account, once sync is set up and what the user did is saved.
    Result<SyncAccount> prepare();
    QCoro::Task<Result<void>> pushTrail(SyncReport& report);
    // One write or removal, and what the server made of it.
    QCoro::Task<Result<SyncSent>> send(SyncWrite w, SyncCollection collection, SyncReport& report);
    // With a server that lost the account: the mark written back and
    // everything to be sent again.
    QCoro::Task<Result<void>> startOver();
    // The sync's own one-per-day rules over the days a pull touched.
    Result<void> keepOnePerDay(const QHash<QUuid, Timestamp>& arrived, SyncState& state);
    void keepOneWeekPerDay(const std::vector<QUuid>& arrived);

    ModelContext& context_;
    CalDavClient& client_;
    Calendar calendar_;
    std::function<void(qint64, qint64)> progress_;
};

} // namespace orvana
