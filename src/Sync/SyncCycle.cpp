#include "Sync/SyncCycle.h"

#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "Store/SyncState.h"
#include "Sync/CalDavClient.h"
#include "Sync/SyncEngine.h"
#include "Sync/SyncSetup.h"

#include <QCoreApplication>
#include <QJsonDocument>

namespace orvana {

namespace {

// Its lines reach the command line and the window alike.
struct CycleText {
    Q_DECLARE_TR_FUNCTIONS(SyncCycle)
};

SyncCycleOutcome failed(const QString& line) {
    SyncCycleOutcome outcome;
    outcome.exitCode = 1;
    outcome.line = line;
    return outcome;
}

SyncCycleOutcome failed(const Error& error) {
    SyncCycleOutcome outcome = failed(CycleText::tr("Sync failed: %1").arg(error.message));
    outcome.retryable = error.kind == ErrorKind::network;
    return outcome;
}

// A pull the deletion guard or a server that lost the account stopped.
std::optional<SyncCycleOutcome> stopped(const SyncReport& pulled) {
    SyncCycleOutcome outcome;
    outcome.exitCode = 3;
    outcome.guarded = pulled.guarded;
    outcome.guardedIn = pulled.guardedIn;
    outcome.accountLost = pulled.identityLost;
    if (pulled.identityLost)
        outcome.line = CycleText::tr(
            "Sync stopped: the server no longer holds this account's data (it was restored or "
            "reset, or holds another account's). Nothing was changed; run orvana sync "
            "--allow-deletions to send everything on this device to it again.");
    else if (pulled.guarded > 0)
        outcome.line = CycleText::tr("Sync stopped: it would delete %n records on this device "
                                     "that another device deleted. Nothing was changed; run "
                                     "orvana sync --allow-deletions to delete them.",
                                     nullptr, int(pulled.guarded));
    else
        return std::nullopt;
    return outcome;
}

} // namespace

KeychainService syncPassword(SecretBackend& secrets) {
    return KeychainService(secrets, QStringLiteral("caldav"));
}

QString SyncCycleOutcome::text(bool asJson) const {
    if (asJson && exitCode == 0)
        return QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Compact));
    return line;
}

QCoro::Task<SyncCycleOutcome> syncOnce(ModelContext& context, URLRequestPerforming& http,
                                       SecretBackend& secrets, Calendar calendar,
                                       SyncDeletions deletions, SyncProgress progress) {
    SqliteStore* store = context.store();
    if (!store || !store->sync())
        co_return failed(CycleText::tr("Sync failed: no account is set up (orvana sync setup)."));
    const Result<SyncAccount> account = store->sync()->account();
    if (!account.ok())
        co_return failed(CycleText::tr("Sync failed: %1").arg(account.error().message));
    const KeychainService item = syncPassword(secrets);
    const std::optional<QString> password = co_await item.read();
    if (!password)
        co_return failed(CycleText::tr("Sync failed: the password is not in the secret store; "
                                       "sign in again (orvana sync setup)."));
    CalDavClient client(http,
                        DavAccount{QUrl(account.value().server), account.value().user, *password});
    SyncEngine engine(context, client, std::move(calendar));
    engine.onProgress(std::move(progress));
    // Kept for `sync status`: when it last went through, or why not.
    auto finish = [&](const Result<SyncReport>& outcome) {
        (void)store->sync()->setOutcome(outcome.ok() ? std::optional(context.now()) : std::nullopt,
                                        outcome.ok() ? QString() : outcome.error().message);
    };
    const Result<SyncReport> pulled = co_await engine.pull(deletions);
    if (!pulled.ok()) {
        finish(pulled);
        co_return failed(pulled.error());
    }
    // Nothing was changed, so there is no outcome to keep.
    if (std::optional<SyncCycleOutcome> stop = stopped(pulled.value()))
        co_return *stop;
    Result<SyncReport> pushed = co_await engine.push();
    SyncReport in = pulled.value();
    // Records changed there while this device sent its own: fetched and
    // merged once more, then sent; what is still held back waits for the
    // next cycle rather than going round.
    if (pushed.ok() && pushed.value().heldBack > 0) {
        const Result<SyncReport> again = co_await engine.pull(false);
        if (!again.ok()) {
            finish(again);
            co_return failed(again.error());
        }
        if (std::optional<SyncCycleOutcome> stop = stopped(again.value()))
            co_return *stop;
        in.received += again.value().received;
        in.removedHere += again.value().removedHere;
        in.conflicts += again.value().conflicts;
        const qint64 sent = pushed.value().sent, removed = pushed.value().removed;
        pushed = co_await engine.push();
        if (pushed.ok()) {
            pushed.value().sent += sent;
            pushed.value().removed += removed;
        }
    }
    if (pushed.ok() && pushed.value().refused > 0) {
        const QString line =
            CycleText::tr("Sync failed: the server refused %n records (%1); the others were "
                          "synced.",
                          nullptr, int(pushed.value().refused))
                .arg(pushed.value().refusal);
        (void)store->sync()->setOutcome(std::nullopt, line);
        co_return failed(line);
    }
    finish(pushed);
    if (!pushed.ok())
        co_return failed(pushed.error());
    const SyncReport& out = pushed.value();
    SyncCycleOutcome done;
    done.line = CycleText::tr("Synced: %1 received, %2 deleted here, %3 sent, %4 deleted on the "
                              "server, %5 conflicts.")
                    .arg(in.received)
                    .arg(in.removedHere)
                    .arg(out.sent)
                    .arg(out.removed)
                    .arg(in.conflicts);
    done.json = QJsonObject{{QStringLiteral("received"), double(in.received)},
                            {QStringLiteral("deletedHere"), double(in.removedHere)},
                            {QStringLiteral("conflicts"), double(in.conflicts)},
                            {QStringLiteral("sent"), double(out.sent)},
                            {QStringLiteral("deletedThere"), double(out.removed)}};
    co_return done;
}

QCoro::Task<Result<void>> setUpSync(SqliteStore& store, URLRequestPerforming& http,
                                    SecretBackend& secrets, QUrl server, QString user,
                                    QString password, bool allowInsecure, Timestamp now) {
    CalDavClient client(http, {server, user, password});
    Result<SyncAccount> account = co_await signIn(client, server.toString(), user, allowInsecure);
    if (!account.ok())
        co_return account.error();
    const KeychainService item = syncPassword(secrets);
    if (auto kept = co_await item.save(password); !kept.ok())
        co_return Error{
            CycleText::tr("the password could not be kept: %1").arg(kept.error().message),
            kept.error().kind};
    co_return store.startSync(account.value(), now);
}

QCoro::Task<Result<void>> stopSyncing(SqliteStore& store, SecretBackend& secrets) {
    if (store.sync()) {
        if (auto stopped = store.stopSync(); !stopped.ok())
            co_return stopped;
    }
    const KeychainService item = syncPassword(secrets);
    if (auto removed = co_await item.remove(); !removed.ok())
        co_return Error{
            CycleText::tr("Signed out, but the password is still in the secret store: %1")
                .arg(removed.error().message),
            removed.error().kind};
    co_return Result<void>{};
}

} // namespace orvana
