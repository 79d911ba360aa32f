#pragma once

#include "Core/Result.h"
#include "Core/Timestamp.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTimeZone>
#include <memory>
#include <optional>

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
    // setting replaces every property of that name with one.
    std::optional<QString> text(const char* name) const;
    void setText(const char* name, const std::optional<QString>& value);
    // A DATE, or the local day of a DATE-TIME in `local` (a floating time is
    // already local).
    std::optional<QDate> day(const char* name, const QTimeZone& local) const;
    void setDay(const char* name, std::optional<QDate> day);
    // A DATE-TIME in UTC (CREATED, COMPLETED, LAST-MODIFIED), whole seconds.
    std::optional<Timestamp> instant(const char* name) const;
    void setInstant(const char* name, std::optional<Timestamp> t);

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
