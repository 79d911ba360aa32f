#include "Views/Shared/TimestampFields.h"

namespace orvana {

QDate dateOf(Timestamp t, const Calendar& calendar) {
    const DateComponents c = calendar.components(t);
    return QDate(c.year, c.month, c.day);
}

Timestamp startOf(QDate day, const Calendar& calendar) {
    return calendar.date({day.year(), day.month(), day.day(), 0, 0, 0}).value_or(0);
}

QDateTime wallClockOf(Timestamp t, const Calendar& calendar) {
    const DateComponents c = calendar.components(t);
    return QDateTime(QDate(c.year, c.month, c.day), QTime(c.hour, c.minute));
}

Timestamp instantOf(const QDateTime& wallClock, const Calendar& calendar) {
    const QDate d = wallClock.date();
    const QTime t = wallClock.time();
    return calendar.date({d.year(), d.month(), d.day(), t.hour(), t.minute(), 0}).value_or(0);
}

Timestamp onDay(QDate day, Timestamp t, const Calendar& calendar) {
    const DateComponents c = calendar.components(t);
    return calendar.date({day.year(), day.month(), day.day(), c.hour, c.minute, c.second})
        .value_or(startOf(day, calendar));
}

} // namespace orvana
