#pragma once

#include "Core/Result.h"

#include <QString>
#include <array>
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace orvana {

class ModelContext;
class Record;

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

    // Reads every record into an empty context.
    Result<void> load(ModelContext& context);

    // Writes the given records (inserted, changed or deleted) in one
    // transaction; on failure nothing is written.
    Result<void> write(const std::vector<Record*>& records);

    const QString& path() const { return path_; }

private:
    SqliteStore(QString path, int lockFd);

    Result<void> exec(const char* sql);
    Result<sqlite3_stmt*> statement(int index, const char* sql);
    Result<void> writeRecord(Record* record);
    Error lastError(const char* action) const;

    QString path_;
    int lockFd_ = -1;
    sqlite3* db_ = nullptr;
    std::array<sqlite3_stmt*, 14> statements_{};
};

// Opens the store at `path`, loads it into a new context and attaches it.
Result<std::unique_ptr<ModelContext>> openModelContext(const QString& path);

// The same for reading only: the context cannot save.
Result<std::unique_ptr<ModelContext>> openModelContextForReading(const QString& path);

} // namespace orvana
