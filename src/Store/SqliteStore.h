#pragma once

#include "Core/Result.h"
#include "Core/Timestamp.h"

#include <QString>
#include <QUuid>
#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_value;

namespace orvana {

class Calendar;
class ModelContext;
struct DayTaskExport;
struct FocusBlockTemplateExport;
struct FocusSessionExport;
struct GoalExport;
struct TrailEntryExport;
struct WeekExport;
struct WeekItemExport;
class Record;
class SqliteBindBuffer;
class TrailSums;
class SyncState;
struct SyncAccount;

// The kind of a failure, by SQLite's result code (extended or not).
ErrorKind sqliteErrorKind(int code);

// One row of a query, its columns by position, read as the loader reads them.
class StoreRow {
public:
    StoreRow(sqlite3_value** values, int count) : values_(values), count_(count) {}
    int size() const { return count_; }
    bool isNull(int column) const;
    qint64 integer(int column) const;
    bool boolean(int column) const { return integer(column) != 0; }
    double real(int column) const;
    QString text(int column) const;
    // 16 bytes as an id; anything else reads as the null id.
    QUuid uuid(int column) const;
    std::optional<qint64> optionalInteger(int column) const;
    std::optional<double> optionalReal(int column) const;
    std::optional<QString> optionalText(int column) const;
    std::optional<QUuid> optionalUuid(int column) const;
    // "1,3,5" as the numbers.
    std::vector<qint64> integerList(int column) const;

private:
    sqlite3_value** values_;
    int count_;
};

// The store file: one SQLite database in WAL mode holding the seven record
// types, with the schema version recorded inside.
//
// Opening never changes a file it refuses: a file that is not an Orvana
// store, is damaged, or was written by a newer schema is left byte for byte
// as it was. Exactly one process writes a store; it holds an exclusive lock
// on "<file>.lock" for as long as the store is open.
class SqliteStore {
public:
    static constexpr const char* schemaVersion = "1.0.0";

    ~SqliteStore();
    SqliteStore(const SqliteStore&) = delete;
    SqliteStore& operator=(const SqliteStore&) = delete;

    // Opens the store at `path`, creating an empty one (and its folder) when
    // no file exists. The error message says what is wrong with the file in
    // one sentence (without the path).
    static Result<std::unique_ptr<SqliteStore>> open(const QString& path);

    // Opens an existing store for reading only, beside a process that may be
    // writing it (no lock is taken). A missing file reads as an empty store.
    static Result<std::unique_ptr<SqliteStore>> openForReading(const QString& path);

    // Reads every record into an empty context. A store opened for writing
    // keeps the trail's sums by the days of `days` (the user's calendar
    // unless given) from then on, and makes them now if they follow another.
    Result<void> load(ModelContext& context, const Calendar* days = nullptr);

    // Writes the given records (inserted, changed or deleted) in one
    // transaction; on failure nothing is written. While sync is on, the same
    // transaction notes them as changed at `at`.
    Result<void> write(const std::vector<Record*>& records, Timestamp at);

    // --- sync (a store opened for writing) --------------------------------
    // The sync's tables; none until an account is set up.
    SyncState* sync() const { return sync_.get(); }
    // Sets up `account`; every record in the file is noted to be sent.
    Result<void> startSync(const SyncAccount& account, Timestamp at);
    // Forgets the account and the sync state; the records stay.
    Result<void> stopSync();
    // Runs `change` to the sync's tables in one transaction.
    Result<void> changeSync(const std::function<Result<void>(SyncState&)>& change);

    const QString& path() const { return path_; }

    // --- reading by query (a store opened for reading) ------------------
    // All queries of one store read one snapshot: the first starts a read
    // transaction that lasts until the store is closed, so a writer beside
    // it never shows half its work. A store file that does not exist yet
    // answers every query with no rows.

    // Every record of one type in store order, read into a plain record and
    // handed to `each` one at a time, so that little is held however large
    // the store. Each holds what loading the row would give: a link to a
    // record that is not there reads as none, an unknown goal status as
    // active, an absent or unknown session kind as "work". Times are as
    // stored, fractions and all.
    Result<void> readRecords(const std::function<void(const GoalExport&)>& each);
    Result<void> readRecords(const std::function<void(const WeekExport&)>& each);
    Result<void> readRecords(const std::function<void(const WeekItemExport&)>& each);
    Result<void> readRecords(const std::function<void(const DayTaskExport&)>& each);
    Result<void> readRecords(const std::function<void(const FocusSessionExport&)>& each);
    Result<void> readRecords(const std::function<void(const FocusBlockTemplateExport&)>& each);
    Result<void> readRecords(const std::function<void(const TrailEntryExport&)>& each);

    // Whether a focus session holds an infinite duration, which no JSON
    // number can hold (SQLite keeps no NaN: it stores NULL instead).
    Result<bool> holdsInfiniteDuration();

    // The raw queries below serve the store's own readers in src/Store
    // (the figures, the trail's sums); everything else reads through the
    // typed operations.

    // Runs `sql` with its ? parameters bound to `parameters` in order and
    // calls `row` for each result row.
    Result<void> select(const char* sql, std::initializer_list<double> parameters,
                        const std::function<void(const StoreRow&)>& row);

    // Calls `row` with `columns` of every row of `table`, in the order of
    // the sequence. Faster than select() for whole tables: the rows are
    // handed over inside SQLite rather than stepped out one by one.
    Result<void> visit(const char* table, const char* columns,
                       const std::function<void(const StoreRow&)>& row);
    // The same for the rows `where` (an SQL condition with ? parameters)
    // selects, in the order SQLite finds them.
    Result<void> visit(const char* table, const char* columns, const char* where,
                       std::initializer_list<double> parameters,
                       const std::function<void(const StoreRow&)>& row);

    // A second connection to the same file that reads the same snapshot as
    // this one, for a query split between two threads (each uses its own).
    // Made before this store's first query; nothing when this store has
    // already read, or when a writer keeps changing the file meanwhile.
    Result<std::unique_ptr<SqliteStore>> twin();

private:
    SqliteStore(QString path, int lockFd);

    Result<void> exec(const char* sql);
    Result<sqlite3_stmt*> statement(int index, const char* sql);
    Result<void> deleteRecord(Record* record);
    // `count` live records of one type: rowsPerInsert at once, or one by one.
    Result<void> writeRecords(Record* const* records, std::size_t count);
    Result<void> countTrail(const std::vector<Record*>& records);
    // Counts out the trail entry of `s`'s row (date, minutes, goal).
    void countStoredEntry(sqlite3_stmt* s);
    Result<void> beginSnapshot();
    Result<qint64> dataVersion();
    void endSnapshot();
    Error lastError(const char* action) const;

    QString path_;
    int lockFd_ = -1;
    sqlite3* db_ = nullptr;
    // Per type: one-row insert, delete, multi-row insert; then a trail entry's
    // stored values, and its delete that gives them.
    std::array<sqlite3_stmt*, 23> statements_{};
    std::unique_ptr<SqliteBindBuffer> bindBuffer_;
    bool inSnapshot_ = false;
    // Set by load() on a store opened for writing; while keepSums_ is false,
    // a save that changes the trail drops the kept sums.
    std::unique_ptr<TrailSums> sums_;
    std::unique_ptr<SyncState> sync_;
    bool keepSums_ = false;
    bool hasSumTables_ = false;
};

// Opens the store at `path`, loads it into a new context and attaches it.
Result<std::unique_ptr<ModelContext>> openModelContext(const QString& path,
                                                       const Calendar* days = nullptr);

// The same for reading only: the context cannot save.
Result<std::unique_ptr<ModelContext>> openModelContextForReading(const QString& path);

} // namespace orvana
