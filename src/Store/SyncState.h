#pragma once

#include "Core/Result.h"
#include "Core/Timestamp.h"
#include "Models/Record.h"

#include <QByteArray>
#include <QString>
#include <QUuid>
#include <array>
#include <optional>
#include <vector>

struct sqlite3;

namespace orvana {

// Orvana's calendars on the server, in the order SyncAccount::collections
// keeps their paths.
enum class SyncCollection { tasks, plan, blocks, focusLog };

// The account this store syncs with. The password is not here: it lives in
// the secret store.
struct SyncAccount {
    QString server; // the address the user gave
    QString user;
    QString home; // the calendar home's path
    bool allowInsecure = false;
    QString accountID; // ties the server's collections to this account
    // The paths of Orvana's calendars on the server: tasks, plan, focus
    // blocks, focus log.
    std::array<QString, 4> collections;
    std::optional<Timestamp> lastSync;
    QString lastError;
    friend bool operator==(const SyncAccount&, const SyncAccount&) = default;
};

// A record changed since the server last confirmed it.
struct SyncJournalEntry {
    QUuid record;
    EntityType type = EntityType::goal;
    Timestamp changedAt = 0;
    bool deleted = false;
    friend bool operator==(const SyncJournalEntry&, const SyncJournalEntry&) = default;
};

// The copy of a record the server last confirmed: where it is, its ETag and
// its bytes, for the three-way merge and for writing over it.
struct SyncBase {
    QUuid record;
    EntityType type = EntityType::goal;
    QString href;
    QByteArray etag;
    QByteArray ics;
    friend bool operator==(const SyncBase&, const SyncBase&) = default;
};

// A field both devices changed: the value that stayed and the one that lost
// (JSON arrays of one value, as the export document writes the field).
struct SyncConflictEntry {
    qint64 id = 0;
    QUuid record;
    EntityType type = EntityType::goal;
    QString field;
    QByteArray kept;
    QByteArray lost;
    bool thisDeviceLost = false;
    Timestamp at = 0;
};

// A record another device deleted, as it was here.
struct SyncDeletedRecord {
    QUuid record;
    EntityType type = EntityType::goal;
    QByteArray contents; // an export document holding it and what went with it
    Timestamp at = 0;
};

// The sync's own tables in the store file, there only while an account is
// set up: so that sync stays out of the file until the user signs in.
//
// The journal is written in the transaction of every save, so a change
// saved is a change that will be sent, whatever happens between the save
// and the push. Focus sessions stay on their device: they are not noted.
class SyncState {
public:
    explicit SyncState(sqlite3* db) : db_(db) {}

    // Whether `db` holds an account.
    static bool present(sqlite3* db);
    // Creates the tables with `account` and notes every record in the file
    // as changed at `at`, so that the first sync sends them all (and can
    // stop and resume). Inside the caller's transaction.
    static Result<void> create(sqlite3* db, const SyncAccount& account, Timestamp at);
    // Notes every record in the file as changed at `at` (one already noted
    // keeps its time). Inside the caller's transaction.
    static Result<void> noteAll(sqlite3* db, Timestamp at);
    // Drops the tables: account, journal and all. Inside the caller's
    // transaction.
    static Result<void> drop(sqlite3* db);

    // Inside the save's transaction.
    Result<void> note(const std::vector<Record*>& records, Timestamp at);

    Result<SyncAccount> account();
    // Oldest change first, at most `most`, of the types in `types`
    // (entityBit masks).
    Result<std::vector<SyncJournalEntry>> pending(std::size_t most,
                                                  unsigned types = allEntityTypes);
    Result<qint64> pendingCount();
    // The server confirmed these: their journal entries go, unless the
    // record changed again since (a later changedAt).
    Result<void> confirm(const std::vector<SyncJournalEntry>& sent);

    // The record's entry in the journal: changed here since the server
    // last confirmed it.
    Result<std::optional<SyncJournalEntry>> journalOf(const QUuid& record);
    // How many records the server holds: focus minutes counted one by one,
    // not by the day.
    Result<qint64> syncedCount();
    // A field both devices changed, the losing value kept (JSON text) so the
    // user can take it instead. Inside changeSync's transaction.
    Result<void> addConflict(const QUuid& record, EntityType type, const QString& field,
                             const QByteArray& kept, const QByteArray& lost, bool thisDeviceLost,
                             Timestamp at);
    Result<qint64> conflictCount();
    // Newest first.
    Result<std::vector<SyncConflictEntry>> conflicts();
    // Settled. Inside changeSync's transaction.
    Result<void> forgetConflict(qint64 id);
    // A record another device deleted, with its contents (an export
    // document holding just it) for restoring. Inside changeSync's
    // transaction.
    Result<void> addDeleted(const QUuid& record, EntityType type, const QByteArray& contents,
                            Timestamp at);
    // Those deleted at `since` or later.
    Result<qint64> deletedCount(Timestamp since);
    // Newest first.
    Result<std::vector<SyncDeletedRecord>> deleted(Timestamp since);
    // Restored, or gone for good. Inside changeSync's transaction.
    Result<void> forgetDeleted(const QUuid& record);

    // How the last sync ended: when it last succeeded, and the error of
    // the last one that failed (empty once one succeeds).
    Result<void> setOutcome(std::optional<Timestamp> lastSync, const QString& lastError);
    // A collection's sync token (empty before the first listing).
    Result<QString> token(int collection);
    // Inside changeSync's transaction.
    Result<void> setToken(int collection, const QString& token);

    Result<std::optional<SyncBase>> baseOf(const QUuid& record);
    Result<std::optional<SyncBase>> baseAt(const QString& href);
    // The copies of a collection's resources, without their bytes.
    Result<std::vector<SyncBase>> basesIn(const QString& collection);
    // Notes `record` as changed here at `at`, to be sent again. Inside
    // changeSync's transaction.
    Result<void> touch(const QUuid& record, EntityType type, Timestamp at);
    // Inside changeSync's transaction.
    Result<void> keep(const SyncBase& base);
    // Forgets the copy and, for a resource holding several records, which
    // records it held.
    Result<void> forget(const QUuid& record);

    // Focus minutes travel a day to a resource: which entries the server's
    // copy of `resource` holds. An entry stays in the resource it was first
    // sent in, whatever day another device's zone would give it. Inside
    // changeSync's transaction.
    Result<void> setMembers(const QUuid& resource, const std::vector<QUuid>& entries);
    Result<std::optional<QUuid>> resourceOf(const QUuid& entry);
    Result<std::vector<QUuid>> membersOf(const QUuid& resource);

    // Starts over with a server that lost what it held (restored, reset,
    // another account's): no confirmed copies, no tokens, and every record
    // to be sent again. Inside changeSync's transaction.
    Result<void> restart(Timestamp at);

private:
    sqlite3* db_;
};

} // namespace orvana
