#include "Store/SqliteStore.h"

#include "Core/Calendar.h"
#include "Store/ModelContext.h"
#include "Store/RecordTables.h"
#include "Store/SyncState.h"
#include "Store/TrailSums.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QVersionNumber>
#include <QtEndian>
#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <type_traits>
#include <unistd.h>
#include <utility>

namespace orvana {

// The bytes of the values being bound (UTF-8 text, 16-byte ids), kept until
// the statement has run: SQLite reads them in place instead of copying each
// one. Blocks are kept and reused from one statement to the next.
class SqliteBindBuffer {
public:
    // Room for `n` bytes that stays where it is until clear().
    char* reserve(std::size_t n) {
        if (block_ == blocks_.size() || blocks_[block_].size - used_ < n) {
            if (block_ < blocks_.size())
                ++block_;
            used_ = 0;
            if (block_ == blocks_.size() || blocks_[block_].size < n) {
                const std::size_t size = std::max<std::size_t>(n, 64 * 1024);
                blocks_.insert(blocks_.begin() + std::ptrdiff_t(block_),
                               Block{std::make_unique<char[]>(size), size});
            }
        }
        return blocks_[block_].bytes.get() + used_;
    }
    void commit(std::size_t n) { used_ += n; }
    void clear() {
        block_ = 0;
        used_ = 0;
    }

private:
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t size;
    };
    std::vector<Block> blocks_;
    std::size_t block_ = 0;
    std::size_t used_ = 0;
};

ErrorKind sqliteErrorKind(int code) {
    switch (code & 0xff) {
    case SQLITE_FULL:
        return ErrorKind::diskFull;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return ErrorKind::busy;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return ErrorKind::damaged;
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_AUTH:
        return ErrorKind::permission;
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
        return ErrorKind::io;
    default:
        return ErrorKind::general;
    }
}

namespace {

// Its errors reach the window and the command line; named so that lupdate files them under it.
struct StoreText {
    Q_DECLARE_TR_FUNCTIONS(SqliteStore)
};

// 'ORVN': marks the file as ours for tools such as `file` and for opening.
constexpr int applicationID = 0x4F52564E;

constexpr const char* schemaSQL = R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE goal(seq INTEGER PRIMARY KEY, id BLOB NOT NULL, title TEXT NOT NULL,
  goalDescription TEXT, createdAt REAL NOT NULL, targetDate REAL, status TEXT NOT NULL,
  colorTag TEXT, sortOrder INTEGER NOT NULL);
CREATE TABLE week(seq INTEGER PRIMARY KEY, id BLOB NOT NULL, startDate REAL NOT NULL,
  endDate REAL NOT NULL, intention TEXT, reflection TEXT, createdAt REAL NOT NULL,
  ritualCompletedAt REAL);
CREATE TABLE weekItem(seq INTEGER PRIMARY KEY, id BLOB NOT NULL, title TEXT NOT NULL,
  notes TEXT, isComplete INTEGER NOT NULL, sortOrder INTEGER NOT NULL,
  createdAt REAL NOT NULL, week INTEGER, goal INTEGER);
CREATE TABLE dayTask(seq INTEGER PRIMARY KEY, id BLOB NOT NULL, title TEXT NOT NULL,
  notes TEXT, date REAL NOT NULL, isComplete INTEGER NOT NULL,
  isTodaysOneThing INTEGER NOT NULL, sortOrder INTEGER NOT NULL, createdAt REAL NOT NULL,
  sourceTemplateID BLOB, reminderAt REAL, weekItem INTEGER, goal INTEGER);
CREATE TABLE focusSession(seq INTEGER PRIMARY KEY, id BLOB NOT NULL, createdAt REAL NOT NULL,
  plannedDuration REAL NOT NULL, accumulatedActiveDuration REAL NOT NULL,
  currentSegmentStartedAt REAL, endedAt REAL, isCompleted INTEGER NOT NULL,
  hasBeenLogged INTEGER NOT NULL, kindRawValue TEXT, pomodoroCycleNumber INTEGER,
  dayTask INTEGER, goal INTEGER);
CREATE TABLE focusBlockTemplate(seq INTEGER PRIMARY KEY, id BLOB NOT NULL,
  title TEXT NOT NULL, createdAt REAL NOT NULL, isActive INTEGER NOT NULL,
  weekdays TEXT NOT NULL, hour INTEGER NOT NULL, minute INTEGER NOT NULL,
  durationMinutes INTEGER NOT NULL, goal INTEGER);
CREATE TABLE trailEntry(seq INTEGER PRIMARY KEY, id BLOB NOT NULL, date REAL NOT NULL,
  minutes INTEGER NOT NULL, createdAt REAL NOT NULL, goal INTEGER);
)sql";

// Lets the figures of the trail be read without touching its rows: a
// million entries are summed from this in a fraction of the table's time.
// Stores made before it get it when opened for writing.
constexpr const char* indexSQL =
    "CREATE INDEX IF NOT EXISTS trailEntryByDate ON trailEntry(date, minutes, goal);";

// Table name and column count per entity type, in EntityType order.
struct TableInfo {
    const char* name;
    int columns;
};
constexpr std::array<TableInfo, entityTypeCount> tables{{
    {"goal", 9},
    {"week", 8},
    {"weekItem", 9},
    {"dayTask", 13},
    {"focusSession", 13},
    {"focusBlockTemplate", 10},
    {"trailEntry", 6},
}};

QString sqliteMessage(sqlite3* db) {
    return QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
}

// The kind of the last failure on `db`.
ErrorKind sqliteKind(sqlite3* db) {
    return db ? sqliteErrorKind(sqlite3_extended_errcode(db)) : ErrorKind::general;
}

// Binds parameters 1, 2, 3, ... in order; text and ids go through `buffer`.
class Binder {
public:
    Binder(sqlite3_stmt* s, SqliteBindBuffer& buffer) : s_(s), buffer_(buffer) {}
    Binder& operator<<(qint64 v) {
        sqlite3_bind_int64(s_, ++i_, v);
        return *this;
    }
    Binder& operator<<(bool v) { return *this << qint64(v ? 1 : 0); }
    Binder& operator<<(double v) {
        sqlite3_bind_double(s_, ++i_, v);
        return *this;
    }
    Binder& operator<<(const QString& v) {
        const std::size_t n = std::size_t(v.size());
        const QChar* in = v.constData();
        char* out = buffer_.reserve(n);
        std::size_t i = 0;
        for (; i < n && in[i].unicode() < 0x80; ++i)
            out[i] = char(in[i].unicode());
        if (i < n) {
            const QByteArray utf8 = v.toUtf8();
            out = buffer_.reserve(std::size_t(utf8.size()));
            std::memcpy(out, utf8.constData(), std::size_t(utf8.size()));
            i = std::size_t(utf8.size());
        }
        buffer_.commit(i);
        sqlite3_bind_text(s_, ++i_, out, int(i), SQLITE_STATIC);
        return *this;
    }
    Binder& operator<<(const QUuid& v) {
        // RFC 4122 byte order, as QUuid::toRfc4122 has it.
        char* out = buffer_.reserve(16);
        qToBigEndian(v.data1, out);
        qToBigEndian(v.data2, out + 4);
        qToBigEndian(v.data3, out + 6);
        std::memcpy(out + 8, v.data4, 8);
        buffer_.commit(16);
        sqlite3_bind_blob(s_, ++i_, out, 16, SQLITE_STATIC);
        return *this;
    }
    Binder& operator<<(const Record* owner) {
        if (owner)
            return *this << owner->sequence();
        sqlite3_bind_null(s_, ++i_);
        return *this;
    }
    Binder& operator<<(const std::vector<qint64>& list) {
        QString text;
        for (qint64 v : list) {
            if (!text.isEmpty())
                text += u',';
            text += QString::number(v);
        }
        return *this << text;
    }
    template <class T> Binder& operator<<(const std::optional<T>& v) {
        if (v)
            return *this << *v;
        sqlite3_bind_null(s_, ++i_);
        return *this;
    }

private:
    sqlite3_stmt* s_;
    SqliteBindBuffer& buffer_;
    int i_ = 0;
};

// Equal texts read while loading share one QString: titles, kinds and the
// like repeat across many rows, and one buffer each is enough. Keyed by the
// stored UTF-8, so a repeat is found without converting it; dropped after
// loading.
class TextPool {
public:
    QString text(const char* utf8, int size) {
        auto found = texts_.constFind(QByteArray::fromRawData(utf8, size));
        if (found != texts_.cend())
            return *found;
        QString text = QString::fromUtf8(utf8, size);
        texts_.insert(QByteArray(utf8, size), text);
        return text;
    }

private:
    QHash<QByteArray, QString> texts_;
};

// Reads columns 0, 1, 2, ... in order.
class Reader {
public:
    explicit Reader(sqlite3_stmt* s, TextPool* pool = nullptr) : s_(s), pool_(pool) {}
    bool isNull() const { return sqlite3_column_type(s_, i_) == SQLITE_NULL; }
    Reader& operator>>(qint64& v) {
        v = sqlite3_column_int64(s_, i_++);
        return *this;
    }
    Reader& operator>>(bool& v) {
        v = sqlite3_column_int64(s_, i_++) != 0;
        return *this;
    }
    Reader& operator>>(double& v) {
        v = sqlite3_column_double(s_, i_++);
        return *this;
    }
    Reader& operator>>(QString& v) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s_, i_));
        const int size = sqlite3_column_bytes(s_, i_);
        v = pool_ && text ? pool_->text(text, size) : QString::fromUtf8(text, size);
        ++i_;
        return *this;
    }
    Reader& operator>>(QUuid& v) {
        const void* blob = sqlite3_column_blob(s_, i_);
        const int size = sqlite3_column_bytes(s_, i_);
        v = size == 16 ? QUuid::fromRfc4122(QByteArrayView(static_cast<const char*>(blob), 16))
                       : QUuid();
        ++i_;
        return *this;
    }
    Reader& operator>>(std::vector<qint64>& list) {
        QString text;
        *this >> text;
        list.clear();
        for (QStringView part : QStringView(text).split(u',', Qt::SkipEmptyParts))
            list.push_back(part.toLongLong());
        return *this;
    }
    template <class T> Reader& operator>>(std::optional<T>& v) {
        if (isNull()) {
            v.reset();
            ++i_;
            return *this;
        }
        T value{};
        *this >> value;
        v = std::move(value);
        return *this;
    }

private:
    sqlite3_stmt* s_;
    TextPool* pool_;
    int i_ = 0;
};

struct Statement {
    sqlite3_stmt* s = nullptr;
    ~Statement() { sqlite3_finalize(s); }
};

QString selectSQL(EntityType type) {
    return QStringLiteral("SELECT * FROM %1 ORDER BY seq")
        .arg(QLatin1String(tables[size_t(type)].name));
}

// Verifies an existing file without writing to it: the SQLite header, our
// application id, the schema version and that every table reads.
Result<void> validateExisting(const QString& path) {
    QFileInfo info(path);
    if (info.isDir())
        return Error{StoreText::tr("The path is a folder, not a store file."), ErrorKind::damaged};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const ErrorKind kind = errorKindOfErrno(errno);
        return Error{StoreText::tr("The file cannot be read (%1).").arg(file.errorString()), kind};
    }
    const QByteArray header = file.read(100);
    file.close();
    if (header.isEmpty())
        return Error{StoreText::tr("The file is empty; it is not an Orvana data store."),
                     ErrorKind::damaged};
    if (header.size() < 100 || !header.startsWith(QByteArrayView("SQLite format 3\0", 16)))
        return Error{StoreText::tr("The file is not an Orvana data store (unrecognised "
                                   "contents)."),
                     ErrorKind::damaged};
    if (::access(QFile::encodeName(path).constData(), W_OK) != 0) {
        const int error = errno;
        return Error{StoreText::tr("The file cannot be written (%1).")
                         .arg(QString::fromLocal8Bit(strerror(error))),
                     errorKindOfErrno(error)};
    }

    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                             SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> guard(db, sqlite3_close_v2);
    if (rc != SQLITE_OK)
        return Error{StoreText::tr("The file cannot be opened (%1).").arg(sqliteMessage(db)),
                     sqliteErrorKind(rc)};

    auto scalar = [&](const char* sql, QString* out) -> int {
        Statement st;
        int r = sqlite3_prepare_v2(db, sql, -1, &st.s, nullptr);
        if (r != SQLITE_OK)
            return r;
        r = sqlite3_step(st.s);
        if (r == SQLITE_ROW) {
            *out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.s, 0)));
            return SQLITE_OK;
        }
        return r == SQLITE_DONE ? SQLITE_NOTFOUND : r;
    };

    QString appID;
    rc = scalar("PRAGMA application_id", &appID);
    if (rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT)
        return Error{
            StoreText::tr("The file is damaged or not a database (%1).").arg(sqliteMessage(db)),
            ErrorKind::damaged};
    if (rc != SQLITE_OK)
        return Error{StoreText::tr("The file cannot be read (%1).").arg(sqliteMessage(db)),
                     sqliteErrorKind(rc)};
    if (appID.toInt() != applicationID)
        return Error{StoreText::tr("The file is a database of another program, not an Orvana "
                                   "data store."),
                     ErrorKind::damaged};

    QString version;
    rc = scalar("SELECT value FROM meta WHERE key = 'schemaVersion'", &version);
    if (rc != SQLITE_OK)
        return Error{StoreText::tr("The file records no schema version; it is damaged (%1).")
                         .arg(rc == SQLITE_NOTFOUND ? QStringLiteral("no version entry")
                                                    : sqliteMessage(db)),
                     ErrorKind::damaged};
    const auto stored = QVersionNumber::fromString(version);
    const auto supported = QVersionNumber::fromString(QLatin1String(SqliteStore::schemaVersion));
    if (stored != supported) {
        if (stored > supported)
            return Error{StoreText::tr("The store was written by a newer version of Orvana "
                                       "(store version %1; this version reads %2).")
                             .arg(version, supported.toString()),
                         ErrorKind::newerVersion};
        return Error{StoreText::tr("The store has an unsupported version (%1; this version "
                                   "reads %2).")
                         .arg(version, supported.toString())};
    }

    for (int t = 0; t < entityTypeCount; ++t) {
        Statement st;
        const QByteArray sql = selectSQL(EntityType(t)).toUtf8();
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &st.s, nullptr) != SQLITE_OK ||
            sqlite3_column_count(st.s) != tables[size_t(t)].columns)
            return Error{StoreText::tr("The store is damaged: table %1 is missing or has the "
                                       "wrong columns.")
                             .arg(QLatin1String(tables[size_t(t)].name)),
                         ErrorKind::damaged};
    }
    return {};
}

// Builds a new, empty store beside `path` and moves it into place in one
// rename, so a crash during creation never leaves a half-made store behind.
Result<void> createStore(const QString& path) {
    const QString temp = path + QStringLiteral(".creating");
    QFile::remove(temp);
    QFile::remove(temp + QStringLiteral("-wal"));
    QFile::remove(temp + QStringLiteral("-shm"));
    QFile::remove(temp + QStringLiteral("-journal"));

    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(temp).constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> guard(db, sqlite3_close_v2);
    if (rc != SQLITE_OK)
        return Error{StoreText::tr("The store cannot be created (%1).").arg(sqliteMessage(db)),
                     sqliteErrorKind(rc)};
    // Nobody sees the file before the rename: it is built without a journal
    // or syncing, then synced once, whole, before it takes the store's place.
    const QByteArray script =
        QByteArray("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; BEGIN;") + schemaSQL +
        indexSQL + TrailSums::schemaSQL + "INSERT INTO meta VALUES('schemaVersion', '" +
        SqliteStore::schemaVersion + "'), ('application', 'app.orvana.Orvana');" +
        "PRAGMA application_id = " + QByteArray::number(applicationID) +
        ";COMMIT;PRAGMA journal_mode = WAL;";
    char* message = nullptr;
    if (const int failed = sqlite3_exec(db, script.constData(), nullptr, nullptr, &message);
        failed != SQLITE_OK) {
        Error error{
            StoreText::tr("The store cannot be created (%1).").arg(QString::fromUtf8(message)),
            sqliteErrorKind(failed)};
        sqlite3_free(message);
        guard.reset();
        QFile::remove(temp);
        return error;
    }
    guard.reset(); // closing checkpoints the WAL into the file
    const QByteArray tempName = QFile::encodeName(temp);
    const int fd = ::open(tempName.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        QFile::remove(temp);
        return Error{StoreText::tr("The store cannot be created (%1).")
                         .arg(QString::fromLocal8Bit(strerror(error))),
                     errorKindOfErrno(error)};
    }
    ::close(fd);
    if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        QFile::remove(temp);
        return Error{StoreText::tr("The store cannot be created (%1).")
                         .arg(QString::fromLocal8Bit(strerror(error))),
                     errorKindOfErrno(error)};
    }
    return {};
}

} // namespace

SqliteStore::SqliteStore(QString path, int lockFd) : path_(std::move(path)), lockFd_(lockFd) {}

SqliteStore::~SqliteStore() {
    if (inSnapshot_)
        (void)exec("COMMIT");
    for (sqlite3_stmt* s : statements_)
        sqlite3_finalize(s);
    if (db_)
        sqlite3_close_v2(db_);
    if (lockFd_ >= 0)
        ::close(lockFd_); // releases the writer lock
}

Result<std::unique_ptr<SqliteStore>> SqliteStore::open(const QString& path) {
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    if (!QDir().mkpath(folder)) {
        const ErrorKind kind = errorKindOfErrno(errno);
        if (QFileInfo(folder).exists())
            return Error{StoreText::tr("%1 is a file, not a folder.").arg(folder),
                         ErrorKind::invalidInput};
        return Error{StoreText::tr("The folder %1 cannot be created.").arg(folder), kind};
    }
    // The lock, the WAL and its index are all made beside the store.
    if (::access(QFile::encodeName(folder).constData(), W_OK) != 0) {
        const int error = errno;
        return Error{StoreText::tr("The folder %1 cannot be written (%2).")
                         .arg(folder, QString::fromLocal8Bit(strerror(error))),
                     errorKindOfErrno(error)};
    }

    // The lock comes first so that two processes never create or check the
    // same file at once.
    const QByteArray lockPath = QFile::encodeName(path + QStringLiteral(".lock"));
    const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        const int error = errno;
        return Error{StoreText::tr("The lock file %1 cannot be opened (%2).")
                         .arg(QFile::decodeName(lockPath), QString::fromLocal8Bit(strerror(error))),
                     errorKindOfErrno(error)};
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return Error{StoreText::tr("Another Orvana process is already using this store."),
                         ErrorKind::busy};
        return Error{StoreText::tr("The store cannot be locked for writing (%1).")
                         .arg(QString::fromLocal8Bit(strerror(error))),
                     errorKindOfErrno(error)};
    }
    std::unique_ptr<SqliteStore> store(new SqliteStore(path, fd));

    if (info.exists() || info.isSymLink()) {
        // Checking a WAL-mode file makes SQLite create its side files; a
        // refused file should be left as it was found, so empty ones we
        // created go again.
        const QString wal = path + QStringLiteral("-wal"), shm = path + QStringLiteral("-shm");
        const bool hadWal = QFileInfo::exists(wal), hadShm = QFileInfo::exists(shm);
        if (auto valid = validateExisting(path); !valid.ok()) {
            if (!hadWal && QFileInfo(wal).size() == 0) {
                QFile::remove(wal);
                if (!hadShm)
                    QFile::remove(shm);
            }
            return valid.error();
        }
    } else if (auto created = createStore(path); !created.ok()) {
        return created.error();
    }

    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &store->db_,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK)
        return Error{
            StoreText::tr("The file cannot be opened (%1).").arg(sqliteMessage(store->db_)),
            sqliteKind(store->db_)};
    // FULL: a save that returned is on disk even if the machine loses power.
    // No memory map and a small page cache: the records are read once into
    // memory, and pages kept besides them would only add to the app's size.
    if (auto ok = store->exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;"
                              "PRAGMA cache_size = -8192;");
        !ok.ok())
        return ok.error();
    // Without the index or the kept sums everything still works, only slower.
    (void)store->exec(indexSQL);
    store->hasSumTables_ = store->exec(TrailSums::schemaSQL).ok();
    if (SyncState::present(store->db_))
        store->sync_ = std::make_unique<SyncState>(store->db_);
    // Until the records are loaded, closing must not fold a pending WAL into
    // the file: a store that turns out damaged is left as it was found.
    sqlite3_db_config(store->db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    // Only outside tools can hold the write lock; don't freeze the window
    // waiting for them (a failed autosave is retried).
    sqlite3_busy_timeout(store->db_, 250);
    return store;
}

Result<std::unique_ptr<SqliteStore>> SqliteStore::openForReading(const QString& path) {
    std::unique_ptr<SqliteStore> store(new SqliteStore(path, -1));
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return store; // nothing stored yet
    if (auto valid = validateExisting(path); !valid.ok())
        return valid.error();
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &store->db_,
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
        return Error{
            StoreText::tr("The file cannot be opened (%1).").arg(sqliteMessage(store->db_)),
            sqliteKind(store->db_)};
    sqlite3_busy_timeout(store->db_, 2000);
    if (SyncState::present(store->db_))
        store->sync_ = std::make_unique<SyncState>(store->db_);
    return store;
}

bool StoreRow::isNull(int column) const {
    return sqlite3_value_type(values_[column]) == SQLITE_NULL;
}

qint64 StoreRow::integer(int column) const {
    return sqlite3_value_int64(values_[column]);
}

double StoreRow::real(int column) const {
    return sqlite3_value_double(values_[column]);
}

QString StoreRow::text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(values_[column]));
    return QString::fromUtf8(text, sqlite3_value_bytes(values_[column]));
}

QUuid StoreRow::uuid(int column) const {
    const void* blob = sqlite3_value_blob(values_[column]);
    return sqlite3_value_bytes(values_[column]) == 16
               ? QUuid::fromRfc4122(QByteArrayView(static_cast<const char*>(blob), 16))
               : QUuid();
}

std::optional<qint64> StoreRow::optionalInteger(int column) const {
    return isNull(column) ? std::nullopt : std::optional<qint64>(integer(column));
}

std::optional<double> StoreRow::optionalReal(int column) const {
    return isNull(column) ? std::nullopt : std::optional<double>(real(column));
}

std::optional<QString> StoreRow::optionalText(int column) const {
    return isNull(column) ? std::nullopt : std::optional<QString>(text(column));
}

std::optional<QUuid> StoreRow::optionalUuid(int column) const {
    return isNull(column) ? std::nullopt : std::optional<QUuid>(uuid(column));
}

std::vector<qint64> StoreRow::integerList(int column) const {
    std::vector<qint64> list;
    const QString all = text(column);
    for (QStringView part : QStringView(all).split(u',', Qt::SkipEmptyParts))
        list.push_back(part.toLongLong());
    return list;
}

Result<void> SqliteStore::beginSnapshot() {
    if (inSnapshot_)
        return {};
    if (auto ok = exec("BEGIN"); !ok.ok())
        return lastError(QT_TRANSLATE_NOOP("SqliteStore", "Reading the store"));
    inSnapshot_ = true;
    return {};
}

Result<void> SqliteStore::select(const char* sql, std::initializer_list<double> parameters,
                                 const std::function<void(const StoreRow&)>& row) {
    if (!db_)
        return {};
    if (auto ok = beginSnapshot(); !ok.ok())
        return ok;
    Statement st;
    if (sqlite3_prepare_v2(db_, sql, -1, &st.s, nullptr) != SQLITE_OK)
        return lastError(QT_TRANSLATE_NOOP("SqliteStore", "Reading the store"));
    int index = 0;
    for (double parameter : parameters)
        sqlite3_bind_double(st.s, ++index, parameter);
    const int columns = sqlite3_column_count(st.s);
    std::vector<sqlite3_value*> values(std::size_t(columns), nullptr);
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c)
            values[std::size_t(c)] = sqlite3_column_value(st.s, c);
        row(StoreRow(values.data(), columns));
    }
    if (rc != SQLITE_DONE)
        return lastError(QT_TRANSLATE_NOOP("SqliteStore", "Reading the store"));
    return {};
}

Result<void> SqliteStore::visit(const char* table, const char* columns,
                                const std::function<void(const StoreRow&)>& row) {
    return visit(table, columns, nullptr, {}, row);
}

void SqliteStore::endSnapshot() {
    if (std::exchange(inSnapshot_, false))
        (void)exec("COMMIT");
}

// Starts the snapshot if need be: the version is that of what this
// connection reads.
Result<qint64> SqliteStore::dataVersion() {
    qint64 version = 0;
    auto read =
        select("PRAGMA data_version", {}, [&](const StoreRow& row) { version = row.integer(0); });
    if (!read.ok())
        return read.error();
    return version;
}

Result<std::unique_ptr<SqliteStore>> SqliteStore::twin() {
    if (!db_ || inSnapshot_ || lockFd_ >= 0)
        return std::unique_ptr<SqliteStore>();
    auto other = openForReading(path_);
    if (!other.ok())
        return other.error();
    // The other's snapshot starts between two of this connection's; when
    // no writer committed from the first to the second (the data version
    // stayed), the other reads what the second reads.
    for (int attempt = 0; attempt < 3; ++attempt) {
        auto before = dataVersion();
        if (!before.ok())
            return before.error();
        endSnapshot();
        if (auto started = other.value()->dataVersion(); !started.ok())
            return started.error();
        auto after = dataVersion();
        if (!after.ok())
            return after.error();
        if (after.value() == before.value())
            return std::move(other.value());
        other.value()->endSnapshot();
    }
    return std::unique_ptr<SqliteStore>();
}

Result<void> SqliteStore::visit(const char* table, const char* columns, const char* where,
                                std::initializer_list<double> parameters,
                                const std::function<void(const StoreRow&)>& row) {
    if (!db_)
        return {};
    if (auto ok = beginSnapshot(); !ok.ok())
        return ok;
    // An aggregate that hands each row to `row`: SQLite calls it from inside
    // its scan, which costs far less per row than stepping a statement.
    struct Visitor {
        static void step(sqlite3_context* context, int count, sqlite3_value** values) {
            const auto* row = static_cast<const std::function<void(const StoreRow&)>*>(
                sqlite3_user_data(context));
            (*row)(StoreRow(values, count));
        }
        static void final(sqlite3_context*) {}
    };
    if (sqlite3_create_function_v2(db_, "orvana_visit", -1, SQLITE_UTF8,
                                   const_cast<std::function<void(const StoreRow&)>*>(&row), nullptr,
                                   &Visitor::step, &Visitor::final, nullptr) != SQLITE_OK)
        return lastError(QT_TRANSLATE_NOOP("SqliteStore", "Reading the store"));
    QByteArray sql = QByteArray("SELECT orvana_visit(") + columns + ") FROM " + table;
    if (where)
        sql += QByteArray(" WHERE ") + where;
    Statement st;
    int rc = sqlite3_prepare_v2(db_, sql.constData(), -1, &st.s, nullptr);
    int index = 0;
    for (double parameter : parameters) {
        if (rc == SQLITE_OK)
            sqlite3_bind_double(st.s, ++index, parameter);
    }
    if (rc == SQLITE_OK)
        while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
        }
    const Result<void> outcome =
        rc == SQLITE_DONE
            ? Result<void>()
            : Result<void>(lastError(QT_TRANSLATE_NOOP("SqliteStore", "Reading the store")));
    sqlite3_finalize(std::exchange(st.s, nullptr));
    sqlite3_create_function_v2(db_, "orvana_visit", -1, SQLITE_UTF8, nullptr, nullptr, nullptr,
                               nullptr, nullptr);
    return outcome;
}

Result<void> SqliteStore::exec(const char* sql) {
    char* message = nullptr;
    if (const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &message); rc != SQLITE_OK) {
        Error error{QString::fromUtf8(message ? message : sqlite3_errmsg(db_)),
                    sqliteErrorKind(rc)};
        sqlite3_free(message);
        return error;
    }
    return {};
}

Error SqliteStore::lastError(const char* action) const {
    return Error{StoreText::tr("%1 failed: %2").arg(StoreText::tr(action), sqliteMessage(db_)),
                 sqliteKind(db_)};
}

Result<sqlite3_stmt*> SqliteStore::statement(int index, const char* sql) {
    sqlite3_stmt*& s = statements_[size_t(index)];
    if (!s && sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr) != SQLITE_OK)
        return lastError(QT_TRANSLATE_NOOP("SqliteStore", "Preparing a statement"));
    return s;
}

namespace {

// The position of the record with this sequence, or records.size().
template <class List> std::size_t slotOf(const List& records, std::optional<qint64> sequence) {
    if (!sequence)
        return records.size();
    // Sequences are dense unless records were deleted: try the direct slot first.
    if (*sequence >= 1 && std::size_t(*sequence) <= records.size() &&
        records[std::size_t(*sequence - 1)]->sequence() == *sequence)
        return std::size_t(*sequence - 1);
    auto it = std::lower_bound(records.begin(), records.end(), *sequence,
                               [](const auto* r, qint64 s) { return r->sequence() < s; });
    return it != records.end() && (*it)->sequence() == *sequence ? std::size_t(it - records.begin())
                                                                 : records.size();
}

// One to-many relationship while loading: links each child to its owner and
// counts the owner's members, so that once all children are read each list
// is allocated once, at its final size. (Grown member by member, a million
// members' lists keep about a fifth of their room unused and leave the
// smaller copies behind as garbage.)
template <class Owner, class Child, class Owners> class ToManyLoader {
public:
    ToManyLoader(const Owners& owners, Owner* Child::*toOne, std::vector<Child*> Owner::*toMany)
        : owners_(owners), toOne_(toOne), toMany_(toMany) {}

    void link(Child* child, std::optional<qint64> ownerSequence) {
        const std::size_t slot = slotOf(owners_, ownerSequence);
        if (slot == owners_.size())
            return;
        child->*toOne_ = owners_[slot];
        counts_.resize(owners_.size()); // the owners are all read by now
        ++counts_[slot];
    }

    // `children` in sequence order, as read.
    template <class Children> void fill(const Children& children) {
        for (std::size_t i = 0; i < counts_.size(); ++i)
            (owners_[i]->*toMany_).reserve(counts_[i]);
        for (Child* child : children) {
            if (Owner* owner = child->*toOne_)
                (owner->*toMany_).push_back(child);
        }
    }

private:
    const Owners& owners_;
    std::vector<std::size_t> counts_;
    Owner* Child::*toOne_;
    std::vector<Child*> Owner::*toMany_;
};

} // namespace

Result<void> SqliteStore::load(ModelContext& ctx, const Calendar* days) {
    if (!db_)
        return {}; // a store that does not exist yet
    // One read transaction: a consistent snapshot of all tables.
    if (auto ok = exec("BEGIN"); !ok.ok())
        return ok;
    auto endRead = [this] {
        (void)exec("COMMIT");
        // Every page was read once into the records; kept in the cache they
        // would only add to the app's size (about 8 MB on a large store).
        // Saves fill it again with the few pages they touch.
        sqlite3_db_release_memory(db_);
    };
    auto finish = qScopeGuard(endRead);

    // The kept sums either follow these days already or are made from the
    // entries as they are read.
    bool makeSums = false;
    if (lockFd_ >= 0 && hasSumTables_) {
        sums_ = std::make_unique<TrailSums>(days ? *days : Calendar::current());
        Statement st;
        makeSums = true;
        if (sqlite3_prepare_v2(db_, "SELECT value FROM meta WHERE key = 'trailSums'", -1, &st.s,
                               nullptr) == SQLITE_OK &&
            sqlite3_step(st.s) == SQLITE_ROW) {
            const QByteArray kept(static_cast<const char*>(sqlite3_column_blob(st.s, 0)),
                                  sqlite3_column_bytes(st.s, 0));
            makeSums = kept != sums_->zone();
        }
        keepSums_ = !makeSums;
    }
    // While the sums are kept: what they should hold, to check them by.
    qint64 trailEntries = 0;
    quint64 trailMinutes = 0;

    TextPool texts;
    auto each = [this, &texts](EntityType type, auto&& readRow) -> Result<void> {
        Statement st;
        const QByteArray sql = selectSQL(type).toUtf8();
        if (sqlite3_prepare_v2(db_, sql.constData(), -1, &st.s, nullptr) != SQLITE_OK)
            return lastError(QT_TRANSLATE_NOOP("SqliteStore", "Reading the store"));
        int rc;
        while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
            Reader row(st.s, &texts);
            qint64 sequence = 0;
            row >> sequence;
            readRow(row, sequence);
        }
        if (rc != SQLITE_DONE)
            return lastError(QT_TRANSLATE_NOOP("SqliteStore", "Reading the store"));
        return {};
    };

    auto& goals = ctx.table<Goal>().records;
    auto& weeks = ctx.table<Week>().records;
    auto& items = ctx.table<WeekItem>().records;
    auto& tasks = ctx.table<DayTask>().records;
    ToManyLoader itemsOfWeek(weeks, &WeekItem::week_, &Week::items_);
    ToManyLoader itemsOfGoal(goals, &WeekItem::goal_, &Goal::weekItems_);
    ToManyLoader tasksOfItem(items, &DayTask::weekItem_, &WeekItem::dayTasks_);
    ToManyLoader tasksOfGoal(goals, &DayTask::goal_, &Goal::directDayTasks_);
    ToManyLoader sessionsOfTask(tasks, &FocusSession::dayTask_, &DayTask::focusSessions_);
    ToManyLoader sessionsOfGoal(goals, &FocusSession::goal_, &Goal::directFocusSessions_);
    ToManyLoader blocksOfGoal(goals, &FocusBlockTemplate::goal_, &Goal::focusBlockTemplates_);
    ToManyLoader entriesOfGoal(goals, &TrailEntry::goal_, &Goal::trailEntries_);
    std::optional<qint64> owner1, owner2;
    // Records go straight into the context's blocks (only we may call the
    // loading constructor).
    auto make = [&ctx](auto type, qint64 seq) {
        using T = typename decltype(type)::type;
        return ctx.adopt<T>([](void* at) { return ::new (at) T(Record::LoadTag{}); }, seq);
    };

    Result<void> r = each(EntityType::goal, [&](Reader& row, qint64 seq) {
        auto* g = make(std::type_identity<Goal>{}, seq);
        QString status;
        row >> g->id_ >> g->title_ >> g->goalDescription_ >> g->createdAt_ >> g->targetDate_ >>
            status >> g->colorTag_ >> g->sortOrder_;
        g->status_ = goalStatusFromRaw(status).value_or(GoalStatus::active);
    });
    if (r.ok())
        r = each(EntityType::week, [&](Reader& row, qint64 seq) {
            auto* w = make(std::type_identity<Week>{}, seq);
            row >> w->id_ >> w->startDate_ >> w->endDate_ >> w->intention_ >> w->reflection_ >>
                w->createdAt_ >> w->ritualCompletedAt_;
        });
    if (r.ok())
        r = each(EntityType::weekItem, [&](Reader& row, qint64 seq) {
            auto* item = make(std::type_identity<WeekItem>{}, seq);
            row >> item->id_ >> item->title_ >> item->notes_ >> item->isComplete_ >>
                item->sortOrder_ >> item->createdAt_ >> owner1 >> owner2;
            itemsOfWeek.link(item, owner1);
            itemsOfGoal.link(item, owner2);
        });
    if (r.ok())
        r = each(EntityType::dayTask, [&](Reader& row, qint64 seq) {
            auto* task = make(std::type_identity<DayTask>{}, seq);
            row >> task->id_ >> task->title_ >> task->notes_ >> task->date_ >> task->isComplete_ >>
                task->isTodaysOneThing_ >> task->sortOrder_ >> task->createdAt_ >>
                task->sourceTemplateID_ >> task->reminderAt_ >> owner1 >> owner2;
            tasksOfItem.link(task, owner1);
            tasksOfGoal.link(task, owner2);
        });
    if (r.ok())
        r = each(EntityType::focusSession, [&](Reader& row, qint64 seq) {
            auto* session = make(std::type_identity<FocusSession>{}, seq);
            row >> session->id_ >> session->createdAt_ >> session->plannedDuration_ >>
                session->accumulatedActiveDuration_ >> session->currentSegmentStartedAt_ >>
                session->endedAt_ >> session->isCompleted_ >> session->hasBeenLogged_ >>
                session->kindRawValue_ >> session->pomodoroCycleNumber_ >> owner1 >> owner2;
            sessionsOfTask.link(session, owner1);
            sessionsOfGoal.link(session, owner2);
        });
    if (r.ok())
        r = each(EntityType::focusBlockTemplate, [&](Reader& row, qint64 seq) {
            auto* block = make(std::type_identity<FocusBlockTemplate>{}, seq);
            row >> block->id_ >> block->title_ >> block->createdAt_ >> block->isActive_ >>
                block->weekdays_ >> block->hour_ >> block->minute_ >> block->durationMinutes_ >>
                owner1;
            blocksOfGoal.link(block, owner1);
        });
    if (r.ok())
        r = each(EntityType::trailEntry, [&](Reader& row, qint64 seq) {
            auto* entry = make(std::type_identity<TrailEntry>{}, seq);
            row >> entry->id_ >> entry->date_ >> entry->minutes_ >> entry->createdAt_ >> owner1;
            entriesOfGoal.link(entry, owner1);
            if (makeSums) {
                sums_->count(entry->date_, entry->minutes_, owner1, 1);
            } else if (keepSums_) {
                ++trailEntries;
                trailMinutes += entry->minutes_;
            }
        });
    itemsOfWeek.fill(items);
    itemsOfGoal.fill(items);
    tasksOfItem.fill(tasks);
    tasksOfGoal.fill(tasks);
    const auto& sessions = ctx.table<FocusSession>().records;
    sessionsOfTask.fill(sessions);
    sessionsOfGoal.fill(sessions);
    blocksOfGoal.fill(ctx.table<FocusBlockTemplate>().records);
    entriesOfGoal.fill(ctx.table<TrailEntry>().records);
    if (!r.ok())
        return r;
    sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
    if (keepSums_) {
        // Changed by a tool other than ours, they are made again.
        Statement st;
        makeSums = sqlite3_prepare_v2(db_,
                                      "SELECT coalesce(sum(entries), 0), coalesce(sum(minutes), 0) "
                                      "FROM trailDay",
                                      -1, &st.s, nullptr) != SQLITE_OK ||
                   sqlite3_step(st.s) != SQLITE_ROW ||
                   sqlite3_column_int64(st.s, 0) != trailEntries ||
                   quint64(sqlite3_column_int64(st.s, 1)) != trailMinutes;
        if (makeSums) {
            keepSums_ = false;
            for (const TrailEntry* e : ctx.table<TrailEntry>().records)
                sums_->count(e->date_, e->minutes_,
                             e->goal_ ? std::optional<qint64>(e->goal_->sequence()) : std::nullopt,
                             1);
        }
    }
    finish.dismiss();
    endRead();
    if (makeSums) {
        // Not being able to make them costs only speed: saves drop them.
        if (exec("BEGIN IMMEDIATE").ok()) {
            if (sums_->write(db_, true).ok() && exec("COMMIT").ok())
                keepSums_ = sums_->sane();
            else
                (void)exec("ROLLBACK");
        }
        sums_->clear();
        sqlite3_db_release_memory(db_);
    }
    return r;
}

namespace {

// Only the cause ("database or disk is full."): callers put it after their
// own words ("Couldn't save your changes: ...").
Error saveError(Error cause) {
    if (!cause.message.endsWith(u'.'))
        cause.message += u'.';
    return cause;
}

} // namespace

Result<void> SqliteStore::deleteRecord(Record* record) {
    if (!record->persisted_)
        return {};
    const int type = int(record->entityType());
    // A trail entry's stored values leave the kept sums as its row goes.
    const bool counted = keepSums_ && record->entityType() == EntityType::trailEntry;
    const QByteArray sql = QByteArray("DELETE FROM ") + tables[size_t(type)].name +
                           " WHERE seq = ?" + (counted ? " RETURNING date, minutes, goal" : "");
    auto st =
        statement(counted ? 3 * entityTypeCount + 1 : entityTypeCount + type, sql.constData());
    if (!st.ok())
        return st.error();
    sqlite3_bind_int64(st.value(), 1, record->sequence_);
    int rc = sqlite3_step(st.value());
    if (counted && rc == SQLITE_ROW) {
        countStoredEntry(st.value());
        rc = sqlite3_step(st.value());
    }
    sqlite3_reset(st.value());
    return rc == SQLITE_DONE
               ? Result<void>()
               : Result<void>(lastError(QT_TRANSLATE_NOOP("SqliteStore", "Deleting a record")));
}

void SqliteStore::countStoredEntry(sqlite3_stmt* s) {
    sums_->count(sqlite3_column_double(s, 0), sqlite3_column_int64(s, 1),
                 sqlite3_column_type(s, 2) == SQLITE_NULL
                     ? std::nullopt
                     : std::optional<qint64>(sqlite3_column_int64(s, 2)),
                 -1);
}

namespace {

// Rows per multi-row INSERT: one statement step per this many records costs
// far less than a step per record.
constexpr std::size_t rowsPerInsert = 32;

} // namespace

Result<void> SqliteStore::writeRecords(Record* const* records, std::size_t count) {
    const int type = int(records[0]->entityType());
    const TableInfo& info = tables[size_t(type)];
    const bool batch = count == rowsPerInsert;
    const int index = batch ? 2 * entityTypeCount + type : type;
    QByteArray sql;
    if (!statements_[size_t(index)]) {
        sql = QByteArray("INSERT OR REPLACE INTO ") + info.name + " VALUES";
        for (std::size_t row = 0; row < (batch ? rowsPerInsert : 1); ++row) {
            sql += row ? ",(?" : "(?";
            for (int i = 1; i < info.columns; ++i)
                sql += ",?";
            sql += ")";
        }
    }
    auto st = statement(index, sql.constData());
    if (!st.ok())
        return st.error();
    sqlite3_stmt* s = st.value();
    auto bindRow = [](Binder& b, const Record* record) {
        b << record->sequence() << record->id();
        switch (record->entityType()) {
        case EntityType::goal: {
            auto* g = static_cast<const Goal*>(record);
            b << g->title_ << g->goalDescription_ << g->createdAt_ << g->targetDate_
              << rawValue(g->status_) << g->colorTag_ << g->sortOrder_;
            break;
        }
        case EntityType::week: {
            auto* w = static_cast<const Week*>(record);
            b << w->startDate_ << w->endDate_ << w->intention_ << w->reflection_ << w->createdAt_
              << w->ritualCompletedAt_;
            break;
        }
        case EntityType::weekItem: {
            auto* i = static_cast<const WeekItem*>(record);
            b << i->title_ << i->notes_ << i->isComplete_ << i->sortOrder_ << i->createdAt_
              << static_cast<const Record*>(i->week_) << static_cast<const Record*>(i->goal_);
            break;
        }
        case EntityType::dayTask: {
            auto* t = static_cast<const DayTask*>(record);
            b << t->title_ << t->notes_ << t->date_ << t->isComplete_ << t->isTodaysOneThing_
              << t->sortOrder_ << t->createdAt_ << t->sourceTemplateID_ << t->reminderAt_
              << static_cast<const Record*>(t->weekItem_) << static_cast<const Record*>(t->goal_);
            break;
        }
        case EntityType::focusSession: {
            auto* f = static_cast<const FocusSession*>(record);
            b << f->createdAt_ << f->plannedDuration_ << f->accumulatedActiveDuration_
              << f->currentSegmentStartedAt_ << f->endedAt_ << f->isCompleted_ << f->hasBeenLogged_
              << f->kindRawValue_ << f->pomodoroCycleNumber_
              << static_cast<const Record*>(f->dayTask_) << static_cast<const Record*>(f->goal_);
            break;
        }
        case EntityType::focusBlockTemplate: {
            auto* f = static_cast<const FocusBlockTemplate*>(record);
            b << f->title_ << f->createdAt_ << f->isActive_ << f->weekdays_ << f->hour_
              << f->minute_ << f->durationMinutes_ << static_cast<const Record*>(f->goal_);
            break;
        }
        case EntityType::trailEntry: {
            auto* e = static_cast<const TrailEntry*>(record);
            b << e->date_ << e->minutes_ << e->createdAt_ << static_cast<const Record*>(e->goal_);
            break;
        }
        }
    };

    if (!bindBuffer_)
        bindBuffer_ = std::make_unique<SqliteBindBuffer>();
    SqliteBindBuffer& buffer = *bindBuffer_;
    for (std::size_t done = 0; done < count;) {
        Binder b(s, buffer);
        for (std::size_t row = 0; row < (batch ? rowsPerInsert : 1); ++row)
            bindRow(b, records[done++]);
        const int rc = sqlite3_step(s);
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
        buffer.clear();
        if (rc != SQLITE_DONE)
            return saveError({sqliteMessage(db_), sqliteErrorKind(rc)});
    }
    return {};
}

Result<void> SqliteStore::write(const std::vector<Record*>& records, Timestamp at) {
    if (lockFd_ < 0)
        return Error{StoreText::tr("The store was opened for reading only."),
                     ErrorKind::permission};
    if (auto ok = exec("BEGIN IMMEDIATE"); !ok.ok())
        return saveError(ok.error());
    auto forget = qScopeGuard([this] {
        if (sums_)
            sums_->clear();
    });
    if (auto counted = countTrail(records); !counted.ok()) {
        (void)exec("ROLLBACK");
        return saveError(counted.error());
    }
    // Runs of live records of one type go in full batches; what is left of a
    // run goes a row at a time.
    for (std::size_t i = 0; i < records.size();) {
        Record* first = records[i];
        Result<void> ok;
        if (first->deleted_) {
            ok = deleteRecord(first);
            ++i;
        } else {
            std::size_t end = i + 1;
            while (end < records.size() && end - i < rowsPerInsert && !records[end]->deleted_ &&
                   records[end]->entityType() == first->entityType())
                ++end;
            ok = writeRecords(records.data() + i, end - i);
            i = end;
        }
        if (!ok.ok()) {
            (void)exec("ROLLBACK");
            return ok;
        }
    }
    const bool trailChanged = sums_ && sums_->counted();
    const bool dropSums = trailChanged && !sums_->sane();
    if (trailChanged) {
        if (auto ok = sums_->write(db_, false); !ok.ok()) {
            (void)exec("ROLLBACK");
            return saveError(ok.error());
        }
    }
    if (sync_) {
        if (auto noted = sync_->note(records, at); !noted.ok()) {
            (void)exec("ROLLBACK");
            return saveError(noted.error());
        }
    }
    if (auto ok = exec("COMMIT"); !ok.ok()) {
        (void)exec("ROLLBACK");
        return saveError(ok.error());
    }
    if (dropSums)
        keepSums_ = false;
    return {};
}

// Before the rows change: entries replaced go out with their stored values
// and come in with their new ones, new entries come in. While the sums are
// not kept, a change to the trail drops them instead.
Result<void> SqliteStore::countTrail(const std::vector<Record*>& records) {
    bool trail = false;
    for (const Record* r : records)
        trail = trail || r->entityType() == EntityType::trailEntry;
    if (!trail)
        return {};
    if (!keepSums_)
        return exec("DELETE FROM meta WHERE key = 'trailSums'");
    auto st =
        statement(3 * entityTypeCount, "SELECT date, minutes, goal FROM trailEntry WHERE seq = ?");
    if (!st.ok())
        return st.error();
    sqlite3_stmt* s = st.value();
    for (const Record* r : records) {
        if (r->entityType() != EntityType::trailEntry || r->deleted_)
            continue; // a deleted one is counted out as its row goes
        if (r->persisted_) {
            sqlite3_bind_int64(s, 1, r->sequence_);
            const int rc = sqlite3_step(s);
            if (rc == SQLITE_ROW)
                countStoredEntry(s);
            sqlite3_reset(s);
            if (rc != SQLITE_ROW && rc != SQLITE_DONE)
                return lastError(QT_TRANSLATE_NOOP("SqliteStore", "Reading the trail"));
        }
        const auto* e = static_cast<const TrailEntry*>(r);
        sums_->count(e->date_, e->minutes_,
                     e->goal_ ? std::optional<qint64>(e->goal_->sequence()) : std::nullopt, 1);
    }
    return {};
}

Result<void> SqliteStore::changeSync(const std::function<Result<void>(SyncState&)>& change) {
    if (!sync_)
        return Error{StoreText::tr("No sync account is set up."), ErrorKind::notFound};
    if (auto ok = exec("BEGIN IMMEDIATE"); !ok.ok())
        return ok;
    if (auto changed = change(*sync_); !changed.ok()) {
        (void)exec("ROLLBACK");
        return changed;
    }
    if (auto ok = exec("COMMIT"); !ok.ok()) {
        (void)exec("ROLLBACK");
        return ok;
    }
    return {};
}

Result<void> SqliteStore::startSync(const SyncAccount& account, Timestamp at) {
    if (lockFd_ < 0)
        return Error{StoreText::tr("The store was opened for reading only."),
                     ErrorKind::permission};
    if (auto ok = exec("BEGIN IMMEDIATE"); !ok.ok())
        return ok;
    Result<void> made = SyncState::drop(db_);
    if (made.ok())
        made = SyncState::create(db_, account, at);
    if (made.ok())
        made = exec("COMMIT");
    if (!made.ok()) {
        (void)exec("ROLLBACK");
        return made;
    }
    sync_ = std::make_unique<SyncState>(db_);
    return {};
}

Result<void> SqliteStore::stopSync() {
    if (auto ok = exec("BEGIN IMMEDIATE"); !ok.ok())
        return ok;
    Result<void> dropped = SyncState::drop(db_);
    if (dropped.ok())
        dropped = exec("COMMIT");
    if (!dropped.ok()) {
        (void)exec("ROLLBACK");
        return dropped;
    }
    sync_.reset();
    return {};
}

namespace {

Result<std::unique_ptr<ModelContext>> loadContext(Result<std::unique_ptr<SqliteStore>> store,
                                                  const Calendar* days = nullptr) {
    if (!store.ok())
        return store.error();
    auto context = std::make_unique<ModelContext>();
    if (auto loaded = store.value()->load(*context, days); !loaded.ok())
        return loaded.error();
    context->attachStore(std::move(store.value()));
    return context;
}

} // namespace

Result<std::unique_ptr<ModelContext>> openModelContext(const QString& path, const Calendar* days) {
    return loadContext(SqliteStore::open(path), days);
}

Result<std::unique_ptr<ModelContext>> openModelContextForReading(const QString& path) {
    return loadContext(SqliteStore::openForReading(path));
}

} // namespace orvana
