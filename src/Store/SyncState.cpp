#include "Store/SyncState.h"

#include "Store/SqliteStatement.h"

#include <QCoreApplication>
#include <algorithm>
#include <limits>
#include <sqlite3.h>

namespace orvana {

namespace {

// Its errors reach the window and the command line; named so that lupdate files them under it.
struct SyncStateText {
    Q_DECLARE_TR_FUNCTIONS(SyncState)
};

constexpr const char* schemaSQL = R"sql(
CREATE TABLE syncAccount(id INTEGER PRIMARY KEY CHECK (id = 1), server TEXT NOT NULL,
  user TEXT NOT NULL, home TEXT NOT NULL, allowInsecure INTEGER NOT NULL,
  accountID TEXT NOT NULL, lastSync REAL, lastError TEXT NOT NULL DEFAULT '');
CREATE TABLE syncJournal(record BLOB PRIMARY KEY, type INTEGER NOT NULL,
  changedAt REAL NOT NULL, deleted INTEGER NOT NULL);
CREATE INDEX syncJournalByTime ON syncJournal(changedAt);
CREATE TABLE syncCollection(kind INTEGER PRIMARY KEY, href TEXT NOT NULL,
  token TEXT NOT NULL DEFAULT '');
CREATE TABLE syncResource(record BLOB PRIMARY KEY, type INTEGER NOT NULL,
  href TEXT NOT NULL UNIQUE, etag TEXT NOT NULL, ics BLOB NOT NULL);
CREATE TABLE syncConflict(id INTEGER PRIMARY KEY, record BLOB NOT NULL, type INTEGER NOT NULL,
  field TEXT NOT NULL, kept TEXT NOT NULL, lost TEXT NOT NULL, thisDeviceLost INTEGER NOT NULL,
  at REAL NOT NULL);
CREATE TABLE syncDeleted(record BLOB PRIMARY KEY, type INTEGER NOT NULL, contents TEXT NOT NULL,
  at REAL NOT NULL);
CREATE TABLE syncMember(entry BLOB PRIMARY KEY, resource BLOB NOT NULL);
CREATE INDEX syncMemberByResource ON syncMember(resource);
)sql";

// The record types that travel; focus sessions are timer state.
constexpr EntityType syncedTypes[] = {EntityType::goal,
                                      EntityType::week,
                                      EntityType::weekItem,
                                      EntityType::dayTask,
                                      EntityType::focusBlockTemplate,
                                      EntityType::trailEntry};
constexpr const char* tableNames[] = {
    "goal", "week", "weekItem", "dayTask", "focusSession", "focusBlockTemplate", "trailEntry"};

bool synced(EntityType type) {
    return type != EntityType::focusSession;
}

} // namespace

bool SyncState::present(sqlite3* db) {
    SqliteStatement st(db, "SELECT count(*) FROM syncAccount");
    return st.ok() && sqlite3_step(st.get()) == SQLITE_ROW &&
           sqlite3_column_int64(st.get(), 0) == 1;
}

Result<void> SyncState::create(sqlite3* db, const SyncAccount& account, Timestamp at) {
    if (sqlite3_exec(db, schemaSQL, nullptr, nullptr, nullptr) != SQLITE_OK)
        return sqliteFailure(db);
    SqliteStatement insert(db, "INSERT INTO syncAccount VALUES(1, ?, ?, ?, ?, ?, NULL, '')");
    if (!insert.ok())
        return sqliteFailure(db);
    insert.bind(1, account.server);
    insert.bind(2, account.user);
    insert.bind(3, account.home);
    insert.bind(4, qint64(account.allowInsecure));
    insert.bind(5, account.accountID);
    if (!insert.run())
        return sqliteFailure(db);
    SqliteStatement collection(db, "INSERT INTO syncCollection(kind, href) VALUES(?, ?)");
    if (!collection.ok())
        return sqliteFailure(db);
    for (std::size_t kind = 0; kind < account.collections.size(); ++kind) {
        collection.bind(1, qint64(kind));
        collection.bind(2, account.collections[kind]);
        if (!collection.run())
            return sqliteFailure(db);
    }
    return noteAll(db, at);
}

Result<void> SyncState::noteAll(sqlite3* db, Timestamp at) {
    for (EntityType type : syncedTypes) {
        const QByteArray sql = QByteArray("INSERT INTO syncJournal SELECT id, ") +
                               QByteArray::number(int(type)) + ", ?, 0 FROM " +
                               tableNames[int(type)] + " WHERE true ON CONFLICT(record) DO NOTHING";
        SqliteStatement all(db, sql.constData());
        if (!all.ok())
            return sqliteFailure(db);
        all.bind(1, at);
        if (!all.run())
            return sqliteFailure(db);
    }
    return {};
}

Result<void> SyncState::restart(Timestamp at) {
    if (sqlite3_exec(db_,
                     "DELETE FROM syncResource; DELETE FROM syncMember;"
                     "UPDATE syncCollection SET token = '';",
                     nullptr, nullptr, nullptr) != SQLITE_OK)
        return sqliteFailure(db_);
    return noteAll(db_, at);
}

Result<void> SyncState::setMembers(const QUuid& resource, const std::vector<QUuid>& entries) {
    SqliteStatement clear(db_, "DELETE FROM syncMember WHERE resource = ?");
    SqliteStatement add(db_, "INSERT OR REPLACE INTO syncMember VALUES(?, ?)");
    if (!clear.ok() || !add.ok())
        return sqliteFailure(db_);
    clear.bind(1, resource);
    if (!clear.run())
        return sqliteFailure(db_);
    for (const QUuid& entry : entries) {
        add.bind(1, entry);
        add.bind(2, resource);
        if (!add.run())
            return sqliteFailure(db_);
    }
    return {};
}

Result<std::optional<QUuid>> SyncState::resourceOf(const QUuid& entry) {
    SqliteStatement st(db_, "SELECT resource FROM syncMember WHERE entry = ?");
    if (!st.ok())
        return sqliteFailure(db_);
    st.bind(1, entry);
    const int rc = sqlite3_step(st.get());
    if (rc == SQLITE_DONE)
        return std::optional<QUuid>();
    if (rc != SQLITE_ROW)
        return sqliteFailure(db_);
    return std::optional<QUuid>(st.id(0));
}

Result<void> SyncState::drop(sqlite3* db) {
    if (sqlite3_exec(db,
                     "DROP TABLE IF EXISTS syncAccount; DROP TABLE IF EXISTS syncJournal;"
                     "DROP TABLE IF EXISTS syncCollection; DROP TABLE IF EXISTS syncResource;"
                     "DROP TABLE IF EXISTS syncConflict; DROP TABLE IF EXISTS syncDeleted;"
                     "DROP TABLE IF EXISTS syncMember;",
                     nullptr, nullptr, nullptr) != SQLITE_OK)
        return sqliteFailure(db);
    return {};
}

Result<void> SyncState::note(const std::vector<Record*>& records, Timestamp at) {
    SqliteStatement st(db_,
                       "INSERT INTO syncJournal VALUES(?, ?, ?, ?) ON CONFLICT(record) DO UPDATE "
                       "SET changedAt = excluded.changedAt, deleted = excluded.deleted");
    if (!st.ok())
        return sqliteFailure(db_);
    for (Record* r : records) {
        if (!synced(r->entityType()))
            continue;
        st.bind(1, r->id());
        st.bind(2, qint64(r->entityType()));
        st.bind(3, at);
        st.bind(4, qint64(r->isDeleted()));
        if (!st.run())
            return sqliteFailure(db_);
    }
    return {};
}

Result<SyncAccount> SyncState::account() {
    SqliteStatement st(db_,
                       "SELECT server, user, home, allowInsecure, accountID, lastSync, lastError "
                       "FROM syncAccount");
    if (!st.ok())
        return sqliteFailure(db_);
    if (sqlite3_step(st.get()) != SQLITE_ROW)
        return Error{SyncStateText::tr("No sync account is set up."), ErrorKind::notFound};
    SyncAccount a;
    a.server = st.text(0);
    a.user = st.text(1);
    a.home = st.text(2);
    a.allowInsecure = sqlite3_column_int64(st.get(), 3) != 0;
    a.accountID = st.text(4);
    if (sqlite3_column_type(st.get(), 5) != SQLITE_NULL)
        a.lastSync = sqlite3_column_double(st.get(), 5);
    a.lastError = st.text(6);
    SqliteStatement collections(db_, "SELECT kind, href FROM syncCollection");
    if (!collections.ok())
        return sqliteFailure(db_);
    while (sqlite3_step(collections.get()) == SQLITE_ROW) {
        const qint64 kind = sqlite3_column_int64(collections.get(), 0);
        if (kind >= 0 && kind < qint64(a.collections.size()))
            a.collections[std::size_t(kind)] = collections.text(1);
    }
    return a;
}

Result<std::vector<SyncJournalEntry>> SyncState::pending(std::size_t most, unsigned types) {
    SqliteStatement st(db_, "SELECT record, type, changedAt, deleted FROM syncJournal "
                            "WHERE ((1 << type) & ?) != 0 ORDER BY changedAt, rowid LIMIT ?");
    if (!st.ok())
        return sqliteFailure(db_);
    st.bind(1, qint64(types));
    st.bind(2, qint64(std::min<std::size_t>(most, std::numeric_limits<qint64>::max())));
    std::vector<SyncJournalEntry> out;
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        const qint64 type = sqlite3_column_int64(st.get(), 1);
        if (type < 0 || type >= entityTypeCount || !synced(EntityType(type)))
            continue; // written by a newer version, or damaged: not ours to send
        out.push_back({st.id(0), EntityType(type), sqlite3_column_double(st.get(), 2),
                       sqlite3_column_int64(st.get(), 3) != 0});
    }
    if (rc != SQLITE_DONE)
        return sqliteFailure(db_);
    return out;
}

Result<qint64> SyncState::pendingCount() {
    SqliteStatement st(db_, "SELECT count(*) FROM syncJournal");
    if (!st.ok() || sqlite3_step(st.get()) != SQLITE_ROW)
        return sqliteFailure(db_);
    return sqlite3_column_int64(st.get(), 0);
}

Result<void> SyncState::confirm(const std::vector<SyncJournalEntry>& sent) {
    SqliteStatement st(db_, "DELETE FROM syncJournal WHERE record = ? AND changedAt <= ?");
    if (!st.ok())
        return sqliteFailure(db_);
    for (const SyncJournalEntry& e : sent) {
        st.bind(1, e.record);
        st.bind(2, e.changedAt);
        if (!st.run())
            return sqliteFailure(db_);
    }
    return {};
}

namespace {

Result<std::optional<SyncBase>> readBase(sqlite3* db, SqliteStatement& st) {
    const int rc = sqlite3_step(st.get());
    if (rc == SQLITE_DONE)
        return std::optional<SyncBase>();
    if (rc != SQLITE_ROW)
        return sqliteFailure(db);
    SyncBase base;
    base.record = st.id(0);
    base.type =
        EntityType(std::clamp<qint64>(sqlite3_column_int64(st.get(), 1), 0, entityTypeCount - 1));
    base.href = st.text(2);
    base.etag = st.text(3).toUtf8();
    base.ics = QByteArray(static_cast<const char*>(sqlite3_column_blob(st.get(), 4)),
                          sqlite3_column_bytes(st.get(), 4));
    return std::optional<SyncBase>(std::move(base));
}

} // namespace

Result<std::optional<SyncBase>> SyncState::baseOf(const QUuid& record) {
    SqliteStatement st(db_,
                       "SELECT record, type, href, etag, ics FROM syncResource WHERE record = ?");
    if (!st.ok())
        return sqliteFailure(db_);
    st.bind(1, record);
    return readBase(db_, st);
}

Result<std::vector<SyncBase>> SyncState::basesIn(const QString& collection) {
    SqliteStatement st(db_, "SELECT record, type, href, etag, x'' FROM syncResource "
                            "WHERE substr(href, 1, length(?1)) = ?1");
    if (!st.ok())
        return sqliteFailure(db_);
    st.bind(1, collection);
    std::vector<SyncBase> out;
    for (;;) {
        Result<std::optional<SyncBase>> next = readBase(db_, st);
        if (!next.ok())
            return next.error();
        if (!next.value())
            return out;
        out.push_back(std::move(*next.value()));
    }
}

Result<std::vector<QUuid>> SyncState::membersOf(const QUuid& resource) {
    SqliteStatement st(db_, "SELECT entry FROM syncMember WHERE resource = ?");
    if (!st.ok())
        return sqliteFailure(db_);
    st.bind(1, resource);
    std::vector<QUuid> out;
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW)
        out.push_back(st.id(0));
    if (rc != SQLITE_DONE)
        return sqliteFailure(db_);
    return out;
}

Result<void> SyncState::touch(const QUuid& record, EntityType type, Timestamp at) {
    SqliteStatement st(db_, "INSERT INTO syncJournal VALUES(?, ?, ?, 0) ON CONFLICT(record) DO "
                            "UPDATE SET changedAt = excluded.changedAt, deleted = 0");
    if (!st.ok())
        return sqliteFailure(db_);
    st.bind(1, record);
    st.bind(2, qint64(type));
    st.bind(3, at);
    if (!st.run())
        return sqliteFailure(db_);
    return {};
}

Result<std::optional<SyncBase>> SyncState::baseAt(const QString& href) {
    SqliteStatement st(db_,
                       "SELECT record, type, href, etag, ics FROM syncResource WHERE href = ?");
    if (!st.ok())
        return sqliteFailure(db_);
    st.bind(1, href);
    return readBase(db_, st);
}

Result<void> SyncState::keep(const SyncBase& base) {
    SqliteStatement st(db_, "INSERT OR REPLACE INTO syncResource VALUES(?, ?, ?, ?, ?)");
    if (!st.ok())
        return sqliteFailure(db_);
    st.bind(1, base.record);
    st.bind(2, qint64(base.type));
    st.bind(3, base.href);
    st.bind(4, QString::fromUtf8(base.etag));
    sqlite3_bind_blob(st.get(), 5, base.ics.constData(), int(base.ics.size()), SQLITE_TRANSIENT);
    if (!st.run())
        return sqliteFailure(db_);
    return {};
}

Result<void> SyncState::forget(const QUuid& record) {
    SqliteStatement st(db_, "DELETE FROM syncResource WHERE record = ?");
    SqliteStatement members(db_, "DELETE FROM syncMember WHERE resource = ?");
    if (!st.ok() || !members.ok())
        return sqliteFailure(db_);
    st.bind(1, record);
    members.bind(1, record);
    if (!st.run() || !members.run())
        return sqliteFailure(db_);
    return {};
}

Result<std::optional<SyncJournalEntry>> SyncState::journalOf(const QUuid& record) {
    SqliteStatement st(db_, "SELECT type, changedAt, deleted FROM syncJournal WHERE record = ?");
    if (!st.ok())
        return sqliteFailure(db_);
    st.bind(1, record);
    const int rc = sqlite3_step(st.get());
    if (rc == SQLITE_DONE)
        return std::optional<SyncJournalEntry>();
    if (rc != SQLITE_ROW)
        return sqliteFailure(db_);
    return std::optional<SyncJournalEntry>(SyncJournalEntry{
        record,
        EntityType(std::clamp<qint64>(sqlite3_column_int64(st.get(), 0), 0, entityTypeCount - 1)),
        sqlite3_column_double(st.get(), 1), sqlite3_column_int64(st.get(), 2) != 0});
}

Result<qint64> SyncState::syncedCount() {
    SqliteStatement st(db_, "SELECT (SELECT count(*) FROM syncResource WHERE type != ?) + "
                            "(SELECT count(*) FROM syncMember)");
    if (!st.ok())
        return sqliteFailure(db_);
    st.bind(1, qint64(EntityType::trailEntry));
    if (sqlite3_step(st.get()) != SQLITE_ROW)
        return sqliteFailure(db_);
    return sqlite3_column_int64(st.get(), 0);
}

Result<QString> SyncState::token(int collection) {
    SqliteStatement st(db_, "SELECT token FROM syncCollection WHERE kind = ?");
    if (!st.ok())
        return sqliteFailure(db_);
    st.bind(1, qint64(collection));
    const int rc = sqlite3_step(st.get());
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        return sqliteFailure(db_);
    return rc == SQLITE_ROW ? st.text(0) : QString();
}

Result<void> SyncState::setToken(int collection, const QString& token) {
    SqliteStatement st(db_, "UPDATE syncCollection SET token = ? WHERE kind = ?");
    if (!st.ok())
        return sqliteFailure(db_);
    st.bind(1, token);
    st.bind(2, qint64(collection));
    if (!st.run())
        return sqliteFailure(db_);
    return {};
}

Result<void> SyncState::setOutcome(std::optional<Timestamp> lastSync, const QString& lastError) {
    SqliteStatement st(db_, lastSync ? "UPDATE syncAccount SET lastSync = ?, lastError = ?"
                                     : "UPDATE syncAccount SET lastError = ?");
    if (!st.ok())
        return sqliteFailure(db_);
    int i = 1;
    if (lastSync)
        st.bind(i++, *lastSync);
    st.bind(i, lastError);
    if (!st.run())
        return sqliteFailure(db_);
    return {};
}

Result<void> SyncState::addConflict(const QUuid& record, EntityType type, const QString& field,
                                    const QByteArray& kept, const QByteArray& lost,
                                    bool thisDeviceLost, Timestamp at) {
    SqliteStatement st(db_,
                       "INSERT INTO syncConflict(record, type, field, kept, lost, thisDeviceLost, "
                       "at) VALUES(?, ?, ?, ?, ?, ?, ?)");
    if (!st.ok())
        return sqliteFailure(db_);
    st.bind(1, record);
    st.bind(2, qint64(type));
    st.bind(3, field);
    st.bind(4, QString::fromUtf8(kept));
    st.bind(5, QString::fromUtf8(lost));
    st.bind(6, qint64(thisDeviceLost));
    st.bind(7, at);
    if (!st.run())
        return sqliteFailure(db_);
    return {};
}

Result<qint64> SyncState::conflictCount() {
    SqliteStatement st(db_, "SELECT count(*) FROM syncConflict");
    if (!st.ok() || sqlite3_step(st.get()) != SQLITE_ROW)
        return sqliteFailure(db_);
    return sqlite3_column_int64(st.get(), 0);
}

Result<std::vector<SyncConflictEntry>> SyncState::conflicts() {
    SqliteStatement st(db_, "SELECT id, record, type, field, kept, lost, thisDeviceLost, at FROM "
                            "syncConflict ORDER BY at DESC, id DESC");
    if (!st.ok())
        return sqliteFailure(db_);
    std::vector<SyncConflictEntry> out;
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW)
        out.push_back({sqlite3_column_int64(st.get(), 0), st.id(1),
                       EntityType(std::clamp<qint64>(sqlite3_column_int64(st.get(), 2), 0,
                                                     entityTypeCount - 1)),
                       st.text(3), st.text(4).toUtf8(), st.text(5).toUtf8(),
                       sqlite3_column_int64(st.get(), 6) != 0, sqlite3_column_double(st.get(), 7)});
    if (rc != SQLITE_DONE)
        return sqliteFailure(db_);
    return out;
}

Result<void> SyncState::forgetConflict(qint64 id) {
    SqliteStatement st(db_, "DELETE FROM syncConflict WHERE id = ?");
    if (!st.ok())
        return sqliteFailure(db_);
    st.bind(1, id);
    if (!st.run())
        return sqliteFailure(db_);
    return {};
}

Result<void> SyncState::addDeleted(const QUuid& record, EntityType type, const QByteArray& contents,
                                   Timestamp at) {
    SqliteStatement st(db_, "INSERT OR REPLACE INTO syncDeleted VALUES(?, ?, ?, ?)");
    if (!st.ok())
        return sqliteFailure(db_);
    st.bind(1, record);
    st.bind(2, qint64(type));
    st.bind(3, QString::fromUtf8(contents));
    st.bind(4, at);
    if (!st.run())
        return sqliteFailure(db_);
    return {};
}

Result<qint64> SyncState::deletedCount(Timestamp since) {
    SqliteStatement st(db_, "SELECT count(*) FROM syncDeleted WHERE at >= ?");
    if (!st.ok())
        return sqliteFailure(db_);
    st.bind(1, since);
    if (sqlite3_step(st.get()) != SQLITE_ROW)
        return sqliteFailure(db_);
    return sqlite3_column_int64(st.get(), 0);
}

Result<std::vector<SyncDeletedRecord>> SyncState::deleted(Timestamp since) {
    SqliteStatement st(db_, "SELECT record, type, contents, at FROM syncDeleted WHERE at >= ? "
                            "ORDER BY at DESC, rowid DESC");
    if (!st.ok())
        return sqliteFailure(db_);
    st.bind(1, since);
    std::vector<SyncDeletedRecord> out;
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW)
        out.push_back({st.id(0),
                       EntityType(std::clamp<qint64>(sqlite3_column_int64(st.get(), 1), 0,
                                                     entityTypeCount - 1)),
                       st.text(2).toUtf8(), sqlite3_column_double(st.get(), 3)});
    if (rc != SQLITE_DONE)
        return sqliteFailure(db_);
    return out;
}

Result<void> SyncState::forgetDeleted(const QUuid& record) {
    SqliteStatement st(db_, "DELETE FROM syncDeleted WHERE record = ?");
    if (!st.ok())
        return sqliteFailure(db_);
    st.bind(1, record);
    if (!st.run())
        return sqliteFailure(db_);
    return {};
}

} // namespace orvana
