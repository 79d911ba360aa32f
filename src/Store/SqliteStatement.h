#pragma once

// One prepared statement and the store's way of reporting a failure, for the
// store's helpers that work on its connection (the kept sums, the sync's
// tables). Included by src/Store only.

#include "Core/Result.h"
#include "Store/SqliteStore.h"

#include <QByteArray>
#include <QString>
#include <QUuid>
#include <sqlite3.h>

namespace orvana {

class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &s_, nullptr) != SQLITE_OK)
            s_ = nullptr;
    }
    ~SqliteStatement() { sqlite3_finalize(s_); }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool ok() const { return s_ != nullptr; }
    sqlite3_stmt* get() const { return s_; }
    void bind(int i, const QUuid& id) {
        const QByteArray bytes = id.toRfc4122();
        sqlite3_bind_blob(s_, i, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    }
    void bind(int i, const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(s_, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bind(int i, double v) { sqlite3_bind_double(s_, i, v); }
    void bind(int i, qint64 v) { sqlite3_bind_int64(s_, i, v); }
    // Steps once, then resets and clears the bindings; true when done.
    bool run() {
        const int rc = sqlite3_step(s_);
        sqlite3_reset(s_);
        sqlite3_clear_bindings(s_);
        return rc == SQLITE_DONE;
    }
    QString text(int column) const {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s_, column)),
                                 sqlite3_column_bytes(s_, column));
    }
    QUuid id(int column) const {
        return sqlite3_column_bytes(s_, column) == 16
                   ? QUuid::fromRfc4122(QByteArrayView(
                         static_cast<const char*>(sqlite3_column_blob(s_, column)), 16))
                   : QUuid();
    }

private:
    sqlite3_stmt* s_ = nullptr;
};

// The connection's last failure as one sentence, with its kind.
inline Error sqliteFailure(sqlite3* db) {
    QString cause = QString::fromUtf8(sqlite3_errmsg(db));
    if (!cause.endsWith(u'.'))
        cause += u'.';
    return Error{cause, sqliteErrorKind(sqlite3_extended_errcode(db))};
}

} // namespace orvana
