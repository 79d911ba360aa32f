#pragma once

#include "Core/Calendar.h"

#include <QCoreApplication>
#include <QString>

namespace orvana {
class ModelContext;
}

namespace orvana::test {

// Runs the event loop until nothing is pending (queued notifications, the
// implicit undo group's end of turn).
void drainEvents();

// Instant of a local date and time in `zone`.
Timestamp at(const QTimeZone& zone, int year, int month, int day, int hour = 0, int minute = 0,
             int second = 0);

// A Monday-first calendar in Europe/Berlin (has DST).
Calendar berlinMondayFirst();

// A small store with every kind of record and relationship.
void fillEveryKind(ModelContext& ctx);

// The bytes of a file, for "unchanged" checks.
QByteArray fileBytes(const QString& path);

} // namespace orvana::test
