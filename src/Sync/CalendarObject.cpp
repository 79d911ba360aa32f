#include "Sync/CalendarObject.h"

#include "Sync/WebDav.h"

#include <QObject>
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
    const Error refused{QObject::tr("The server sent a calendar entry that could not be read."),
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
    return QString::fromUtf8(icalcomponent_get_uid(main_));
}

std::optional<QString> CalendarObject::text(const char* name) const {
    icalproperty* p = find(main_, name);
    if (!p)
        return std::nullopt;
    const icalvalue* v = icalproperty_get_value(p);
    if (icalvalue_isa(v) == ICAL_TEXT_VALUE)
        return QString::fromUtf8(icalvalue_get_text(v));
    if (icalproperty_isa(p) == ICAL_X_PROPERTY)
        return QString::fromUtf8(icalproperty_get_x(p));
    char* s = icalproperty_get_value_as_string_r(p);
    QString out = QString::fromUtf8(s);
    icalmemory_free_buffer(s);
    return out;
}

void CalendarObject::setText(const char* name, const std::optional<QString>& value) {
    removeAll(main_, name);
    if (!value)
        return;
    icalproperty* p = newProperty(name);
    const QByteArray utf8 = value->toUtf8();
    if (icalproperty_isa(p) == ICAL_X_PROPERTY)
        icalproperty_set_x(p, utf8.constData());
    else if (icalproperty_kind_to_value_kind(icalproperty_isa(p)) == ICAL_TEXT_VALUE)
        icalproperty_set_value(p, icalvalue_new_text(utf8.constData()));
    else
        icalproperty_set_value_from_string(p, utf8.constData(), "NO");
    icalcomponent_add_property(main_, p);
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
    if (!day || !day->isValid())
        return;
    icaltimetype t = icaltime_null_date();
    t.year = day->year();
    t.month = day->month();
    t.day = day->day();
    icalproperty* p = newProperty(name);
    icalproperty_set_value(p, icalvalue_new_date(t));
    icalcomponent_add_property(main_, p);
}

std::optional<Timestamp> CalendarObject::instant(const char* name) const {
    const std::optional<icaltimetype> t = timeNamed(root_, main_, name);
    return t ? std::optional(Timestamp(secondsOf(*t))) : std::nullopt;
}

void CalendarObject::setInstant(const char* name, std::optional<Timestamp> t) {
    removeAll(main_, name);
    if (!t || !std::isfinite(*t))
        return;
    const icaltimetype v =
        icaltime_from_timet_with_zone(time_t(std::floor(*t)), 0, icaltimezone_get_utc_timezone());
    icalproperty* p = newProperty(name);
    icalproperty_set_value(p, icalvalue_new_datetime(v));
    icalcomponent_add_property(main_, p);
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
    if (!at || !std::isfinite(*at))
        return;
    icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icalcomponent_add_property(alarm,
                               icalproperty_new_description(description.toUtf8().constData()));
    icaltriggertype trigger = icaltriggertype_from_int(0);
    trigger.time =
        icaltime_from_timet_with_zone(time_t(std::floor(*at)), 0, icaltimezone_get_utc_timezone());
    icalproperty* when = icalproperty_new_trigger(trigger);
    icalproperty_add_parameter(when, icalparameter_new_value(ICAL_VALUE_DATETIME));
    icalcomponent_add_property(alarm, when);
    icalproperty* mark = newProperty(reminderMark);
    icalproperty_set_x(mark, "1");
    icalcomponent_add_property(alarm, mark);
    icalcomponent_add_component(main_, alarm);
}

} // namespace orvana
