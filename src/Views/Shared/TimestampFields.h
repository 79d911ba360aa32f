#pragma once

#include "Core/Calendar.h"

#include <QDate>
#include <QDateTime>

namespace orvana {

// Date and time editors show wall-clock values of the app's calendar; these
// convert between them and instants.
QDate dateOf(Timestamp t, const Calendar& calendar);
Timestamp startOf(QDate day, const Calendar& calendar);
// A QDateTime carrying the calendar's wall-clock date and time (no zone meaning).
QDateTime wallClockOf(Timestamp t, const Calendar& calendar);
Timestamp instantOf(const QDateTime& wallClock, const Calendar& calendar);
// `t` moved to `day`, keeping its wall-clock time: what a date-only editor
// of an instant changes.
Timestamp onDay(QDate day, Timestamp t, const Calendar& calendar);

} // namespace orvana
