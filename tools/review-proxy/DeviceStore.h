#pragma once

#include "Core/Result.h"

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <memory>

struct sqlite3;

namespace orvana::proxy {

// "2026-W53": the ISO 8601 week of a date (weeks start on Monday; week 1 is
// the one with the year's first Thursday, so early January can belong to
// the year before and late December to the year after).
QString isoWeek(QDate date);

// Whether the bytes are equal, looking at every byte whatever the first
// difference, so the time taken doesn't tell how much of a token matched.
bool constantTimeEquals(QByteArrayView a, QByteArrayView b);

// The proxy's devices and their weekly use, in SQLite. A token is stored
// only as its SHA-256 hash, so a copy of the database can't review.
class DeviceStore {
public:
    struct Identity {
        QString deviceID;
        QString token;
    };

    static Result<std::unique_ptr<DeviceStore>> open(const QString& path);
    ~DeviceStore();
    DeviceStore(const DeviceStore&) = delete;
    DeviceStore& operator=(const DeviceStore&) = delete;

    // A new device with a random id and a 256-bit random token.
    Result<Identity> registerDevice();
    Result<bool> verify(const QString& deviceID, const QString& token);
    Result<int> reviewsUsed(const QString& deviceID, const QString& week);
    Result<void> countReview(const QString& deviceID, const QString& week);

private:
    explicit DeviceStore(sqlite3* db) : db_(db) {}
    Error failure(const char* what) const;
    sqlite3* db_;
};

} // namespace orvana::proxy
