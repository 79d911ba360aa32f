#include "Sync/CalendarObject.h"

#include "Sync/WebDav.h"

#include <QCoreApplication>
#include <QObject>
#include <algorithm>
#include <cmath>
#include <libical/ical.h>
#include <mutex>

namespace orvana {

namespace {

void setUpLibical() {
    static std::once_flag once;
    // A malformed value from a server is an answer we refuse, not a reason
    // to abort the process.
    std::call_once(once, [] { icalerror_set_errors_are_fatal(0); });
}

icalcomponent_kind icalKind(CalendarObject::Kind kind) {
    switch (kind) {
    case CalendarObject::Kind::todo:
        return ICAL_VTODO_COMPONENT;
    case CalendarObject::Kind::event:
        return ICAL_VEVENT_COMPONENT;
    case CalendarObject::Kind::journal:
        return ICAL_VJOURNAL_COMPONENT;
    }
    return ICAL_NO_COMPONENT;
}

// The master component: the first to-do, event or journal that is not one
// occurrence's exception.
icalcomponent* mainOf(icalcomponent* root) {
    for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_ANY_COMPONENT)) {
        const icalcomponent_kind kind = icalcomponent_isa(c);
        if ((kind == ICAL_VTODO_COMPONENT || kind == ICAL_VEVENT_COMPONENT ||
             kind == ICAL_VJOURNAL_COMPONENT) &&
            !icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY))
            return c;
    }
    return nullptr;
}

icalproperty_kind propertyKind(const char* name) {
    return icalproperty_string_to_kind(name);
}

icalproperty* find(icalcomponent* c, const char* name) {
    const icalproperty_kind kind = propertyKind(name);
    for (icalproperty* p = icalcomponent_get_first_property(c, kind); p;
         p = icalcomponent_get_next_property(c, kind)) {
        if (kind != ICAL_X_PROPERTY || qstricmp(icalproperty_get_x_name(p), name) == 0)
            return p;
    }
    return nullptr;
}

std::vector<icalproperty*> findAll(icalcomponent* c, const char* name) {
    const icalproperty_kind kind = propertyKind(name);
    std::vector<icalproperty*> found;
    for (icalproperty* p = icalcomponent_get_first_property(c, kind); p;
         p = icalcomponent_get_next_property(c, kind)) {
        if (kind != ICAL_X_PROPERTY || qstricmp(icalproperty_get_x_name(p), name) == 0)
            found.push_back(p);
    }
    return found;
}

void removeAll(icalcomponent* c, const char* name) {
    while (icalproperty* p = find(c, name)) {
        icalcomponent_remove_property(c, p);
        icalproperty_free(p);
    }
}

icalproperty* newProperty(const char* name) {
    const icalproperty_kind kind = propertyKind(name);
    icalproperty* p = icalproperty_new(kind);
    if (kind == ICAL_X_PROPERTY)
        icalproperty_set_x_name(p, name);
    return p;
}

// A time value with its zone found: in the object's own VTIMEZONE, else
// libical's copy of the system's zones.
icaltimetype timeOf(icalcomponent* root, icalproperty* p) {
    const icalvalue* v = icalproperty_get_value(p);
    icaltimetype t =
        icalvalue_isa(v) == ICAL_DATE_VALUE ? icalvalue_get_date(v) : icalvalue_get_datetime(v);
    if (!t.zone && !t.is_date && !icaltime_is_utc(t)) {
        if (const char* tzid = icalproperty_get_parameter_as_string(p, "TZID")) {
            icaltimezone* zone = icalcomponent_get_timezone(root, tzid);
            t.zone = zone ? zone : icaltimezone_get_builtin_timezone(tzid);
        }
    }
    return t;
}

// The time of the first property `name`, its zone found; nothing when absent.
std::optional<icaltimetype> timeNamed(icalcomponent* root, icalcomponent* main, const char* name) {
    icalproperty* p = find(main, name);
    if (!p)
        return std::nullopt;
    const icaltimetype t = timeOf(root, p);
    return icaltime_is_null_time(t) ? std::nullopt : std::optional(t);
}

// Seconds since 1970 of a time in its zone; a floating one is taken as UTC.
time_t secondsOf(const icaltimetype& t) {
    return icaltime_as_timet_with_zone(t, t.zone ? t.zone : icaltimezone_get_utc_timezone());
}

// Text without the control characters iCalendar text cannot hold (all but
// tab and line feed): a carriage return would not read back.
QString plain(QString text) {
    text.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\t' && c != u'\n'; });
    return text;
}

// The UTC time of an instant that can be stated (converting any other
// double to time_t would be undefined).
std::optional<icaltimetype> utcTime(std::optional<Timestamp> t) {
    if (!t || !CalendarObject::canState(*t))
        return std::nullopt;
    return icaltime_from_timet_with_zone(time_t(std::floor(*t)), 0,
                                         icaltimezone_get_utc_timezone());
}

void addValue(icalcomponent* c, const char* name, icalvalue* value) {
    icalproperty* p = newProperty(name);
    icalproperty_set_value(p, value);
    icalcomponent_add_property(c, p);
}

// Replaces the calendar's definitions of `tzid` with `definition`, relabelled.
void putTimezone(icalcomponent* root, const char* tzid, icalcomponent* definition) {
    std::vector<icalcomponent*> stale;
    for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VTIMEZONE_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_VTIMEZONE_COMPONENT)) {
        icalproperty* id = icalcomponent_get_first_property(c, ICAL_TZID_PROPERTY);
        if (id && qstrcmp(icalproperty_get_tzid(id), tzid) == 0)
            stale.push_back(c);
    }
    for (icalcomponent* c : stale) {
        icalcomponent_remove_component(root, c);
        icalcomponent_free(c);
    }
    icalcomponent* copy = icalcomponent_new_clone(definition);
    if (icalproperty* id = icalcomponent_get_first_property(copy, ICAL_TZID_PROPERTY))
        icalproperty_set_tzid(id, tzid);
    icalcomponent_add_component(root, copy);
}

} // namespace

CalendarObject::CalendarObject(Kind kind, const QString& uid) {
    setUpLibical();
    icalcomponent* root = icalcomponent_new(ICAL_VCALENDAR_COMPONENT);
    icalcomponent_add_property(root, icalproperty_new_version("2.0"));
    icalcomponent_add_property(root, icalproperty_new_prodid("-//Orvana//Orvana//EN"));
    icalcomponent* main = icalcomponent_new(icalKind(kind));
    icalcomponent_set_uid(main, uid.toUtf8().constData());
    icalcomponent_add_component(root, main);
    adopt(root);
}

CalendarObject::CalendarObject(const CalendarObject& other) {
    if (other.root_)
        adopt(icalcomponent_new_clone(other.root_));
}

CalendarObject& CalendarObject::operator=(const CalendarObject& other) {
    if (this != &other) {
        CalendarObject copy(other);
        *this = std::move(copy);
    }
    return *this;
}

CalendarObject::CalendarObject(CalendarObject&& other) noexcept
    : root_(std::exchange(other.root_, nullptr)), main_(std::exchange(other.main_, nullptr)) {}

CalendarObject& CalendarObject::operator=(CalendarObject&& other) noexcept {
    if (this != &other) {
        if (root_)
            icalcomponent_free(root_);
        root_ = std::exchange(other.root_, nullptr);
        main_ = std::exchange(other.main_, nullptr);
    }
    return *this;
}

CalendarObject::~CalendarObject() {
    if (root_)
        icalcomponent_free(root_);
}

void CalendarObject::adopt(icalcomponent* root) {
    root_ = root;
    main_ = root ? mainOf(root) : nullptr;
}

Result<CalendarObject> CalendarObject::parse(const QByteArray& ics) {
    setUpLibical();
    const Error refused{
        QCoreApplication::translate("CalendarObject",
                                    "The server sent a calendar entry that could not be read."),
        ErrorKind::damaged};
    if (ics.size() > dav::maxResourceBytes || ics.contains('\0'))
        return refused;
    icalcomponent* root = icalparser_parse_string(ics.constData());
    if (!root)
        return refused;
    CalendarObject object;
    object.adopt(root);
    if (icalcomponent_isa(root) != ICAL_VCALENDAR_COMPONENT || !object.main_)
        return refused;
    const char* uid = icalcomponent_get_uid(object.main_);
    if (!uid || !*uid)
        return refused;
    return object;
}

QByteArray CalendarObject::bytes() const {
    char* text = icalcomponent_as_ical_string_r(root_);
    QByteArray out(text);
    icalmemory_free_buffer(text);
    return out;
}

CalendarObject::Kind CalendarObject::kind() const {
    switch (icalcomponent_isa(main_)) {
    case ICAL_VEVENT_COMPONENT:
        return Kind::event;
    case ICAL_VJOURNAL_COMPONENT:
        return Kind::journal;
    default:
        return Kind::todo;
    }
}

QString CalendarObject::uid() const {
    return plain(QString::fromUtf8(icalcomponent_get_uid(main_)));
}

std::optional<QString> CalendarObject::text(const char* name) const {
    icalproperty* p = find(main_, name);
    if (!p)
        return std::nullopt;
    const icalvalue* v = icalproperty_get_value(p);
    if (icalvalue_isa(v) == ICAL_TEXT_VALUE)
        return plain(QString::fromUtf8(icalvalue_get_text(v)));
    if (icalproperty_isa(p) == ICAL_X_PROPERTY)
        return plain(QString::fromUtf8(icalproperty_get_x(p)));
    char* s = icalproperty_get_value_as_string_r(p);
    QString out = plain(QString::fromUtf8(s));
    icalmemory_free_buffer(s);
    return out;
}

namespace {

// An empty value is not written: iCalendar readers drop it with an error.
void addText(icalcomponent* main, const char* name, const QString& text) {
    const QString value = plain(text);
    if (value.isEmpty())
        return;
    icalproperty* p = newProperty(name);
    const QByteArray utf8 = value.toUtf8();
    if (icalproperty_isa(p) == ICAL_X_PROPERTY)
        icalproperty_set_x(p, utf8.constData());
    else if (icalproperty_kind_to_value_kind(icalproperty_isa(p)) == ICAL_TEXT_VALUE)
        icalproperty_set_value(p, icalvalue_new_text(utf8.constData()));
    else
        icalproperty_set_value_from_string(p, utf8.constData(), "NO");
    icalcomponent_add_property(main, p);
}

} // namespace

void CalendarObject::setText(const char* name, const std::optional<QString>& value) {
    removeAll(main_, name);
    if (value)
        addText(main_, name, *value);
}

std::vector<QString> CalendarObject::texts(const char* name) const {
    std::vector<QString> out;
    for (icalproperty* p : findAll(main_, name)) {
        if (icalproperty_isa(p) == ICAL_X_PROPERTY)
            out.push_back(plain(QString::fromUtf8(icalproperty_get_x(p))));
        else if (icalvalue_isa(icalproperty_get_value(p)) == ICAL_TEXT_VALUE)
            out.push_back(plain(QString::fromUtf8(icalvalue_get_text(icalproperty_get_value(p)))));
    }
    return out;
}

void CalendarObject::setTexts(const char* name, const std::vector<QString>& values) {
    removeAll(main_, name);
    for (const QString& value : values)
        addText(main_, name, value);
}

bool CalendarObject::canState(QDate day) {
    // libical writes a later year as 00000000 (icaltime_is_valid_time).
    return day.isValid() && day.year() >= 1 && day.year() <= 3000;
}

bool CalendarObject::canState(Timestamp t) {
    constexpr double first = -62'135'596'800; // 0001-01-01T00:00:00Z
    constexpr double last = 32'535'215'999;   // 3000-12-31T23:59:59Z
    return t >= first && t <= last;
}

std::optional<QDate> CalendarObject::day(const char* name, const QTimeZone& local) const {
    const std::optional<icaltimetype> t = timeNamed(root_, main_, name);
    if (!t)
        return std::nullopt;
    if (t->is_date || (!t->zone && !icaltime_is_utc(*t))) {
        const QDate day(t->year, t->month, t->day);
        return day.isValid() ? std::optional(day) : std::nullopt;
    }
    return QDateTime::fromSecsSinceEpoch(qint64(secondsOf(*t)), local).date();
}

void CalendarObject::setDay(const char* name, std::optional<QDate> day) {
    removeAll(main_, name);
    if (!day || !canState(*day))
        return;
    icaltimetype t = icaltime_null_date();
    t.year = day->year();
    t.month = day->month();
    t.day = day->day();
    addValue(main_, name, icalvalue_new_date(t));
}

std::optional<Timestamp> CalendarObject::instant(const char* name) const {
    const std::optional<icaltimetype> t = timeNamed(root_, main_, name);
    return t ? std::optional(Timestamp(secondsOf(*t))) : std::nullopt;
}

void CalendarObject::setInstant(const char* name, std::optional<Timestamp> t) {
    removeAll(main_, name);
    if (const std::optional<icaltimetype> v = utcTime(t))
        addValue(main_, name, icalvalue_new_datetime(*v));
}

std::optional<CalendarObject::WallClock>
CalendarObject::wallClock(const char* name, const QTimeZone& utcShownIn) const {
    const std::optional<icaltimetype> t = timeNamed(root_, main_, name);
    if (!t)
        return std::nullopt;
    WallClock at;
    if (icaltime_is_utc(*t)) {
        const QDateTime local = QDateTime::fromSecsSinceEpoch(
            qint64(secondsOf(*t)), utcShownIn.isValid() ? utcShownIn : QTimeZone::utc());
        at = {local.date(), local.time().hour(), local.time().minute()};
    } else {
        at = {QDate(t->year, t->month, t->day), t->is_date ? 0 : t->hour,
              t->is_date ? 0 : t->minute};
    }
    const bool valid =
        at.date.isValid() && at.hour >= 0 && at.hour < 24 && at.minute >= 0 && at.minute < 60;
    return valid ? std::optional(at) : std::nullopt;
}

void CalendarObject::setWallClock(const char* name, const WallClock& at, const QTimeZone& zone) {
    removeAll(main_, name);
    if (!canState(at.date))
        return;
    icaltimetype t = icaltime_null_time();
    t.year = at.date.year();
    t.month = at.date.month();
    t.day = at.date.day();
    t.hour = std::clamp(at.hour, 0, 23);
    t.minute = std::clamp(at.minute, 0, 59);
    icalproperty* p = newProperty(name);
    icalproperty_set_value(p, icalvalue_new_datetime(t));
    const QByteArray tzid = zone.id();
    icaltimezone* builtin =
        tzid.isEmpty() ? nullptr : icaltimezone_get_builtin_timezone(tzid.constData());
    if (icalcomponent* definition = builtin ? icaltimezone_get_component(builtin) : nullptr) {
        icalproperty_set_parameter(p, icalparameter_new_tzid(tzid.constData()));
        putTimezone(root_, tzid.constData(), definition);
    }
    icalcomponent_add_property(main_, p);
}

std::optional<qint64> CalendarObject::duration(const char* name) const {
    icalproperty* p = find(main_, name);
    if (!p || icalvalue_isa(icalproperty_get_value(p)) != ICAL_DURATION_VALUE)
        return std::nullopt;
    const icaldurationtype d = icalvalue_get_duration(icalproperty_get_value(p));
    if (icaldurationtype_is_bad_duration(d))
        return std::nullopt;
    // In 64 bits: libical's own sum overflows an int for long durations.
    const qint64 seconds =
        ((qint64(d.weeks) * 7 + d.days) * 24 + d.hours) * 3600 + qint64(d.minutes) * 60 + d.seconds;
    return d.is_neg ? -seconds : seconds;
}

void CalendarObject::setDurationMinutes(const char* name, std::optional<int> minutes) {
    removeAll(main_, name);
    if (!minutes)
        return;
    icaldurationtype d = icaldurationtype_null_duration();
    d.is_neg = *minutes < 0;
    d.minutes = unsigned(std::abs(qint64(*minutes)));
    addValue(main_, name, icalvalue_new_duration(d));
}

std::optional<std::vector<int>> CalendarObject::recurrenceWeekdays() const {
    icalproperty* p = find(main_, "RRULE");
    if (!p || icalvalue_isa(icalproperty_get_value(p)) != ICAL_RECUR_VALUE)
        return std::nullopt;
    const icalrecurrencetype rule = icalproperty_get_rrule(p);
    std::vector<int> days;
    for (int i = 0; i < ICAL_BY_DAY_SIZE && rule.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
        const int day = icalrecurrencetype_day_day_of_week(rule.by_day[i]);
        if (day >= 1 && day <= 7)
            days.push_back(day);
    }
    return days;
}

void CalendarObject::setWeeklyRecurrence(const std::vector<int>& weekdays) {
    removeAll(main_, "RRULE");
    if (weekdays.empty())
        return;
    icalrecurrencetype rule;
    icalrecurrencetype_clear(&rule);
    rule.freq = ICAL_WEEKLY_RECURRENCE;
    int n = 0;
    for (const int day : weekdays) {
        if (day >= 1 && day <= 7 && n < ICAL_BY_DAY_SIZE - 1)
            rule.by_day[n++] = short(day); // position 0: every such weekday
    }
    rule.by_day[n] = ICAL_RECURRENCE_ARRAY_MAX;
    addValue(main_, "RRULE", icalvalue_new_recur(rule));
}

namespace {

constexpr const char* reminderMark = "X-ORVANA-REMINDER";

std::optional<Timestamp> absoluteTrigger(icalcomponent* alarm) {
    icalproperty* p = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
    if (!p)
        return std::nullopt;
    const icaltriggertype trigger = icalproperty_get_trigger(p);
    if (icaltime_is_null_time(trigger.time))
        return std::nullopt;
    return Timestamp(secondsOf(trigger.time));
}

// Orvana's alarm, else the first at an absolute time.
icalcomponent* reminderAlarm(icalcomponent* main) {
    icalcomponent* absolute = nullptr;
    for (icalcomponent* a = icalcomponent_get_first_component(main, ICAL_VALARM_COMPONENT); a;
         a = icalcomponent_get_next_component(main, ICAL_VALARM_COMPONENT)) {
        if (find(a, reminderMark))
            return a;
        if (!absolute && absoluteTrigger(a))
            absolute = a;
    }
    return absolute;
}

} // namespace

std::optional<Timestamp> CalendarObject::reminder() const {
    icalcomponent* alarm = reminderAlarm(main_);
    return alarm ? absoluteTrigger(alarm) : std::nullopt;
}

void CalendarObject::setReminder(std::optional<Timestamp> at, const QString& description) {
    if (icalcomponent* old = reminderAlarm(main_)) {
        icalcomponent_remove_component(main_, old);
        icalcomponent_free(old);
    }
    if (!utcTime(at))
        return;
    icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icalcomponent_add_property(alarm,
                               icalproperty_new_description(description.toUtf8().constData()));
    icaltriggertype trigger = icaltriggertype_from_int(0);
    trigger.time = *utcTime(at);
    icalproperty* when = icalproperty_new_trigger(trigger);
    icalproperty_add_parameter(when, icalparameter_new_value(ICAL_VALUE_DATETIME));
    icalcomponent_add_property(alarm, when);
    icalproperty* mark = newProperty(reminderMark);
    icalproperty_set_x(mark, "1");
    icalcomponent_add_property(alarm, mark);
    icalcomponent_add_component(main_, alarm);
}

} // namespace orvana
