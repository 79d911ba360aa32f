#pragma once

#include "Core/Calendar.h"
#include "Services/KeychainService.h"
#include "Sync/SyncEngine.h"

#include <QJsonObject>
#include <QString>
#include <qcoro/qcorotask.h>

namespace orvana {

class ModelContext;
class SecretBackend;
class SqliteStore;
class URLRequestPerforming;

// The account's password in the secret store.
KeychainService syncPassword(SecretBackend& secrets);

// How one cycle ended, in the words and exit status of `orvana sync`, so the
// command line prints the same whether it ran the cycle or the app did.
struct SyncCycleOutcome {
    int exitCode = 0; // 0 synced, 1 failed, 3 stopped by the deletion guard
    QString line;     // for people: standard output on 0, standard error otherwise
    QJsonObject json; // the counts for `--json`; empty unless synced
    // Failed on the connection or the server: trying again later may mend it.
    bool retryable = false;
    // Stopped (3): the records the pull would delete and their calendars,
    // or the server lost the account.
    qint64 guarded = 0;
    QStringList guardedIn;
    bool accountLost = false;

    // What is printed: with `asJson` and synced, the counts as one compact
    // line; otherwise the line.
    QString text(bool asJson) const;
};

// Told how far a cycle's sending is.
using SyncProgress = std::function<void(qint64 sent, qint64 of)>;

// One cycle on `context`'s store: the account and its password, a pull that
// stops at the deletion guard unless told what to do with the deletions,
// then a push, and the
// outcome kept in the store's sync state for `sync status`. On the thread of
// `context`; the caller keeps it, `http` and `secrets` alive until the end.
QCoro::Task<SyncCycleOutcome> syncOnce(ModelContext& context, URLRequestPerforming& http,
                                       SecretBackend& secrets, Calendar calendar,
                                       SyncDeletions deletions, SyncProgress progress = {});
inline QCoro::Task<SyncCycleOutcome> syncOnce(ModelContext& context, URLRequestPerforming& http,
                                              SecretBackend& secrets, Calendar calendar,
                                              bool allowDeletions) {
    return syncOnce(context, http, secrets, std::move(calendar),
                    allowDeletions ? SyncDeletions::apply : SyncDeletions::ask);
}

// Signing in: the calendars found or made on `server`, the password kept in
// the secret store, and the account in `store`. The error in words, after
// "Sign-in failed: ".
QCoro::Task<Result<void>> setUpSync(SqliteStore& store, URLRequestPerforming& http,
                                    SecretBackend& secrets, QUrl server, QString user,
                                    QString password, bool allowInsecure, Timestamp now);
// Forgets the account and the sync state (the records stay) and the password.
QCoro::Task<Result<void>> stopSyncing(SqliteStore& store, SecretBackend& secrets);

} // namespace orvana
