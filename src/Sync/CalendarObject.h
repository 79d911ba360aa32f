#pragma once

#include "Core/Result.h"
#include "Core/Timestamp.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTimeZone>
#include <memory>
#include <optional>
#include <vector>

typedef struct icalcomponent_impl icalcomponent;

namespace orvana {

// One calendar object resource, as a server keeps it: a VCALENDAR with one
// to-do, event or journal (a recurring event's exceptions ride along). Read
// and written with libical; what Orvana does not own (other clients'
// properties, alarms, categories) is kept as it came. Safe to use on a
// worker thread; one object is used by one thread at a time.
class CalendarObject {
public:
    enum class Kind { todo, event, journal };

    // A fresh object of `kind` with this UID.
    CalendarObject(Kind kind, const QString& uid);
    CalendarObject(const CalendarObject& other);
    CalendarObject& operator=(const CalendarObject& other);
    CalendarObject(CalendarObject&&) noexcept;
    CalendarObject& operator=(CalendarObject&&) noexcept;
    ~CalendarObject();

    // Strict where it matters to us: one VCALENDAR, within the size bound,
    // whose first to-do, event or journal has a UID.
    static Result<CalendarObject> parse(const QByteArray& ics);
    QByteArray bytes() const;

    Kind kind() const;
    QString uid() const;

    // Properties of the main component, by their iCalendar names
    // ("SUMMARY", "X-ORVANA-SORT"). Setting nothing removes the property;
    // setting replaces every property of that name with one. An empty text
    // is not written (iCalendar readers drop it), nor are control characters
    // other than tab and line feed, which iCalendar text cannot hold.
    std::optional<QString> text(const char* name) const;
    void setText(const char* name, const std::optional<QString>& value);
    // Every property of that name, in order (a repeated X- property);
    // setting replaces them all.
    std::vector<QString> texts(const char* name) const;
    void setTexts(const char* name, const std::vector<QString>& values);
    // What a date or time value can hold here: libical states the years 1
    // to 3000. Other days and instants are not written.
    static bool canState(QDate day);
    static bool canState(Timestamp t);

    // A DATE, or the local day of a DATE-TIME in `local` (a floating time is
    // already local).
    std::optional<QDate> day(const char* name, const QTimeZone& local) const;
    void setDay(const char* name, std::optional<QDate> day);
    // A DATE-TIME in UTC (CREATED, COMPLETED, LAST-MODIFIED), whole seconds.
    std::optional<Timestamp> instant(const char* name) const;
    void setInstant(const char* name, std::optional<Timestamp> t);

    // A wall-clock time as the property states it, in its own zone (TZID, or
    // floating): 09:00 in Berlin reads as 09:00 on every device. A UTC time
    // is shown in `utcShownIn`.
    struct WallClock {
        QDate date;
        int hour = 0;
        int minute = 0;
    };
    std::optional<WallClock> wallClock(const char* name, const QTimeZone& utcShownIn) const;
    // A DATE-TIME with TZID = `zone` and the zone's VTIMEZONE (libical's copy
    // of the system's zones, relabelled with the plain zone id that clients
    // expect); floating where libical has no definition (UTC, an unknown id).
    void setWallClock(const char* name, const WallClock& at, const QTimeZone& zone);

    // A DURATION in seconds (negative ones are negative).
    std::optional<qint64> duration(const char* name) const;
    void setDurationMinutes(const char* name, std::optional<int> minutes);

    // The BYDAY weekdays (1 = Sunday ... 7 = Saturday) of the recurrence
    // rule, in the rule's order; empty for a rule without BYDAY; nothing
    // without a rule.
    std::optional<std::vector<int>> recurrenceWeekdays() const;
    // Replaces the recurrence rule with a weekly one on `weekdays` (1...7);
    // none for an empty list.
    void setWeeklyRecurrence(const std::vector<int>& weekdays);

    // The reminder: Orvana's alarm (marked as ours), else the first alarm
    // at an absolute time, which another client may have set. Setting
    // replaces that alarm; other alarms stay.
    std::optional<Timestamp> reminder() const;
    void setReminder(std::optional<Timestamp> at, const QString& description);

    icalcomponent* component() const { return main_; }

private:
    CalendarObject() = default;
    void adopt(icalcomponent* root);

    icalcomponent* root_ = nullptr;
    icalcomponent* main_ = nullptr;
};

} // namespace orvana
