#include "DeviceStore.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QUuid>
#include <array>
#include <sqlite3.h>

namespace orvana::proxy {

namespace {

class Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &s_, nullptr) != SQLITE_OK) {
            sqlite3_finalize(s_);
            s_ = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(s_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(s_, ++index_, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& bind(const QByteArray& blob) {
        sqlite3_bind_blob(s_, ++index_, blob.constData(), int(blob.size()), SQLITE_TRANSIENT);
        return *this;
    }
    int step() { return s_ ? sqlite3_step(s_) : SQLITE_ERROR; }
    QByteArray blob(int column) const {
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(s_, column)),
                          sqlite3_column_bytes(s_, column));
    }
    int integer(int column) const { return sqlite3_column_int(s_, column); }

private:
    sqlite3_stmt* s_ = nullptr;
    int index_ = 0;
};

QByteArray tokenHash(const QString& token) {
    return QCryptographicHash::hash(token.toUtf8(), QCryptographicHash::Sha256);
}

} // namespace

QString isoWeek(QDate date) {
    int year = 0;
    const int week = date.weekNumber(&year);
    return QStringLiteral("%1-W%2").arg(year).arg(week, 2, 10, QLatin1Char('0'));
}

bool constantTimeEquals(QByteArrayView a, QByteArrayView b) {
    if (a.size() != b.size())
        return false; // both are SHA-256 hashes; the length tells nothing
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

Result<std::unique_ptr<DeviceStore>> DeviceStore::open(const QString& path) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<DeviceStore> store(new DeviceStore(db));
    if (rc != SQLITE_OK)
        return store->failure("Couldn't open the database");
    sqlite3_busy_timeout(db, 2000);
    const char* schema = R"(
        CREATE TABLE IF NOT EXISTS devices (
            id TEXT PRIMARY KEY,
            token_hash BLOB NOT NULL,
            created TEXT NOT NULL);
        CREATE TABLE IF NOT EXISTS weekly_reviews (
            device_id TEXT NOT NULL,
            week TEXT NOT NULL,
            used INTEGER NOT NULL,
            PRIMARY KEY (device_id, week)) WITHOUT ROWID;)";
    if (sqlite3_exec(db, schema, nullptr, nullptr, nullptr) != SQLITE_OK)
        return store->failure("Couldn't set up the database");
    return store;
}

DeviceStore::~DeviceStore() {
    sqlite3_close_v2(db_);
}

Error DeviceStore::failure(const char* what) const {
    return Error{QStringLiteral("%1: %2").arg(
        QLatin1String(what), QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : "out of memory"))};
}

Result<DeviceStore::Identity> DeviceStore::registerDevice() {
    std::array<quint32, 8> random{};
    QRandomGenerator::system()->fillRange(random.data(), random.size());
    const QByteArray raw(reinterpret_cast<const char*>(random.data()), sizeof random);
    Identity identity{QUuid::createUuid().toString(QUuid::WithoutBraces),
                      QString::fromLatin1(raw.toBase64(QByteArray::Base64UrlEncoding |
                                                       QByteArray::OmitTrailingEquals))};
    Statement insert(db_, "INSERT INTO devices (id, token_hash, created) VALUES (?, ?, ?)");
    insert.bind(identity.deviceID)
        .bind(tokenHash(identity.token))
        .bind(QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
    if (insert.step() != SQLITE_DONE)
        return failure("Couldn't store the device");
    return identity;
}

Result<bool> DeviceStore::verify(const QString& deviceID, const QString& token) {
    Statement select(db_, "SELECT token_hash FROM devices WHERE id = ?");
    select.bind(deviceID);
    const int rc = select.step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        return failure("Couldn't read the devices");
    // An unknown device is compared too, against a hash no token has.
    const QByteArray stored = rc == SQLITE_ROW ? select.blob(0) : QByteArray(32, '\0');
    const bool matches = constantTimeEquals(tokenHash(token), stored);
    return rc == SQLITE_ROW && matches;
}

Result<int> DeviceStore::reviewsUsed(const QString& deviceID, const QString& week) {
    Statement select(db_, "SELECT used FROM weekly_reviews WHERE device_id = ? AND week = ?");
    select.bind(deviceID).bind(week);
    const int rc = select.step();
    if (rc == SQLITE_ROW)
        return select.integer(0);
    if (rc == SQLITE_DONE)
        return 0;
    return failure("Couldn't read the weekly use");
}

Result<void> DeviceStore::countReview(const QString& deviceID, const QString& week) {
    Statement upsert(db_, "INSERT INTO weekly_reviews (device_id, week, used) VALUES (?, ?, 1) "
                          "ON CONFLICT (device_id, week) DO UPDATE SET used = used + 1");
    upsert.bind(deviceID).bind(week);
    if (upsert.step() != SQLITE_DONE)
        return failure("Couldn't count the review");
    return {};
}

} // namespace orvana::proxy
