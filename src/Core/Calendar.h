#pragma once

#include "Core/Timestamp.h"

#include <QTimeZone>
#include <optional>

namespace orvana {

// Broken-down local date and time in a calendar's time zone.
struct DateComponents {
    int year = 1970;
    int month = 1; // 1...12
    int day = 1;   // 1...31
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const DateComponents&, const DateComponents&) = default;
};

// Half-open interval [start, end).
struct DateInterval {
    Timestamp start = 0;
    Timestamp end = 0;
    bool contains(Timestamp t) const { return start <= t && t < end; }
    friend bool operator==(const DateInterval&, const DateInterval&) = default;
};

// Every calendar question of the app goes through this value: a Gregorian
// calendar in one time zone with a first weekday. It is cheap to copy and is
// passed explicitly, so rules can be tested in any zone and across DST.
//
// Weekday numbers run 1 = Sunday ... 7 = Saturday everywhere.
class Calendar {
public:
    // firstWeekday: 1 = Sunday ... 7 = Saturday; values outside are clamped into range. An
    // invalid zone is replaced by UTC.
    Calendar(QTimeZone zone, int firstWeekday);

    // The user's calendar: the system time zone and the system locale's first day of the week.
    static Calendar current();

    const QTimeZone& timeZone() const { return zone_; }
    int firstWeekday() const { return firstWeekday_; }

    // First instant of the calendar day containing t (DST-safe: where midnight
    // does not exist, the first instant that does; where it occurs twice, the
    // earlier one).
    Timestamp startOfDay(Timestamp t) const;

    // The same wall-clock time `days` calendar days later (or earlier). Where
    // that time does not exist on the target day (DST gap) it is pushed forward
    // by the gap's length (02:30 becomes 03:30); where it occurs twice, t's
    // occurrence (same UTC offset) if there is one, else the earlier. Absent
    // only when the result is outside the representable range.
    std::optional<Timestamp> addDays(Timestamp t, int days) const;

    // Start of the day `days` calendar days after the day of t.
    std::optional<Timestamp> startOfDayAfter(Timestamp t, int days) const;

    bool isSameDay(Timestamp a, Timestamp b) const;

    // 1 = Sunday ... 7 = Saturday.
    int weekday(Timestamp t) const;

    // The week (as the calendar's first weekday defines it) containing t:
    // start = start of the day of its first weekday, end = start of the day
    // seven days later (exclusive).
    std::optional<DateInterval> weekInterval(Timestamp t) const;

    DateComponents components(Timestamp t) const;

    // The instant of the given local date and time; a time inside a DST gap
    // moves forward by the gap's length, a time that occurs twice gives the
    // earlier instant. Absent for an invalid date or time.
    std::optional<Timestamp> date(const DateComponents& c) const;

    // Standalone weekday name for 1...7 in the default QLocale ("Sunday" ... "Saturday"),
    // empty text for any other number.
    static QString weekdayName(int weekday);

    // The same zone (by id) and first weekday: every answer is the same.
    friend bool operator==(const Calendar& a, const Calendar& b) {
        return a.zone_.id() == b.zone_.id() && a.firstWeekday_ == b.firstWeekday_;
    }

private:
    QTimeZone zone_;
    int firstWeekday_;
};

} // namespace orvana
