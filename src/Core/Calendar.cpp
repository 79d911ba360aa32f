#include "Core/Calendar.h"

#include <QLocale>
#include <algorithm>
#include <limits>

namespace orvana {

namespace {

// Local times are handled as "wall" milliseconds: the local date and time read as if it were
// UTC. That keeps the hot paths to a few offset lookups on UTC QDateTimes, which Qt stores
// inline; a zone-bound QDateTime allocates.

constexpr qint64 kMsPerDay = 86'400'000;
constexpr qint64 kJulianDayOfUnixEpoch = 2'440'588;
// Leaves a day of headroom either side so wall +- offsets and the probes below cannot overflow.
constexpr qint64 kMaxDaysFromEpoch = std::numeric_limits<qint64>::max() / kMsPerDay - 2;

qint64 floorDiv(qint64 a, qint64 b) {
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

qint64 toMs(Timestamp t) {
    return toDateTime(t).toMSecsSinceEpoch();
}

Timestamp fromMs(qint64 ms) {
    return static_cast<double>(ms) / 1000.0;
}

// Qt numbers weekdays 1 = Monday ... 7 = Sunday.
int sundayFirst(int qtDayOfWeek) {
    return qtDayOfWeek % 7 + 1;
}

qint64 offsetMs(const QTimeZone& zone, qint64 utcMs) {
    return qint64{zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(utcMs, Qt::UTC))} * 1000;
}

struct LocalTime {
    QDate date;
    qint64 msOfDay;
    qint64 offsetMs;
};

LocalTime toLocal(const QTimeZone& zone, qint64 utcMs) {
    const qint64 offset = offsetMs(zone, utcMs);
    const qint64 wall = utcMs + offset;
    const qint64 day = floorDiv(wall, kMsPerDay);
    return {QDate::fromJulianDay(kJulianDayOfUnixEpoch + day), wall - day * kMsPerDay, offset};
}

std::optional<qint64> wallMs(QDate date, qint64 msOfDay) {
    if (!date.isValid()) {
        return std::nullopt;
    }
    const qint64 days = date.toJulianDay() - kJulianDayOfUnixEpoch;
    if (days < -kMaxDaysFromEpoch || days > kMaxDaysFromEpoch) {
        return std::nullopt;
    }
    return days * kMsPerDay + msOfDay;
}

struct Resolved {
    qint64 utcMs;
    bool exists; // false: the wall time falls in a DST gap
};

// The instant at which the local clock reads `wall`. Where it reads it twice (fall-back), the
// earlier occurrence. Where it never does (spring-forward gap), `wall` read with the offset from
// before the gap: that lands after the gap, pushed forward by the gap's length (02:30 becomes
// 03:30), as java.time and Foundation do it.
Resolved fromLocal(const QTimeZone& zone, qint64 wall) {
    // UTC offsets stay within +-14 h, so every candidate lies within a day of `wall`, and the
    // offsets a day either side are the ones from before and after any transition in between.
    const qint64 before = offsetMs(zone, wall - kMsPerDay);
    const qint64 after = offsetMs(zone, wall + kMsPerDay);
    const qint64 early = wall - before;
    if (before == after || offsetMs(zone, early) == before) {
        return {early, true};
    }
    const qint64 late = wall - after;
    if (offsetMs(zone, late) == after) {
        return {late, true};
    }
    return {early, false};
}

// First instant of the local day `date`.
std::optional<qint64> startOf(const QTimeZone& zone, QDate date) {
    const auto wall = wallMs(date, 0);
    if (!wall) {
        return std::nullopt;
    }
    const Resolved midnight = fromLocal(zone, *wall);
    if (midnight.exists) {
        return midnight.utcMs;
    }
    // Midnight was skipped, so the day starts at the transition, which Qt looks up. Qt is not
    // used for the other cases because Qt 6.4 resolves a repeated midnight (Atlantic/Azores,
    // America/Havana on fall-back) to the later one, losing the day's first hour.
    const QDateTime start = date.startOfDay(zone);
    return start.isValid() ? std::optional<qint64>(start.toMSecsSinceEpoch()) : std::nullopt;
}

} // namespace

Calendar::Calendar(QTimeZone zone, int firstWeekday)
    : zone_(zone.isValid() ? std::move(zone) : QTimeZone::utc()),
      firstWeekday_(std::clamp(firstWeekday, 1, 7)) {}

Calendar Calendar::current() {
    return Calendar(QTimeZone::systemTimeZone(), sundayFirst(QLocale::system().firstDayOfWeek()));
}

Timestamp Calendar::startOfDay(Timestamp t) const {
    const qint64 ms = toMs(t);
    // Only a day at the very end of QDateTime's range has no representable start.
    return fromMs(startOf(zone_, toLocal(zone_, ms).date).value_or(ms));
}

std::optional<Timestamp> Calendar::addDays(Timestamp t, int days) const {
    const LocalTime local = toLocal(zone_, toMs(t));
    const auto wall = wallMs(local.date.addDays(days), local.msOfDay);
    if (!wall) {
        return std::nullopt;
    }
    // Keeping t's offset where it still applies also keeps t's occurrence of a repeated hour,
    // so adding zero days is the identity.
    const qint64 sameOffset = *wall - local.offsetMs;
    if (offsetMs(zone_, sameOffset) == local.offsetMs) {
        return fromMs(sameOffset);
    }
    return fromMs(fromLocal(zone_, *wall).utcMs);
}

std::optional<Timestamp> Calendar::startOfDayAfter(Timestamp t, int days) const {
    const auto start = startOf(zone_, toLocal(zone_, toMs(t)).date.addDays(days));
    return start ? std::optional<Timestamp>(fromMs(*start)) : std::nullopt;
}

bool Calendar::isSameDay(Timestamp a, Timestamp b) const {
    return toLocal(zone_, toMs(a)).date == toLocal(zone_, toMs(b)).date;
}

int Calendar::weekday(Timestamp t) const {
    return sundayFirst(toLocal(zone_, toMs(t)).date.dayOfWeek());
}

std::optional<DateInterval> Calendar::weekInterval(Timestamp t) const {
    const QDate day = toLocal(zone_, toMs(t)).date;
    const int daysIntoWeek = (sundayFirst(day.dayOfWeek()) - firstWeekday_ + 7) % 7;
    const QDate first = day.addDays(-daysIntoWeek);
    const auto start = startOf(zone_, first);
    const auto end = startOf(zone_, first.addDays(7));
    if (!start || !end) {
        return std::nullopt;
    }
    return DateInterval{fromMs(*start), fromMs(*end)};
}

DateComponents Calendar::components(Timestamp t) const {
    const LocalTime local = toLocal(zone_, toMs(t));
    const auto secondOfDay = static_cast<int>(local.msOfDay / 1000);
    return {local.date.year(),  local.date.month(),    local.date.day(),
            secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60};
}

std::optional<Timestamp> Calendar::date(const DateComponents& c) const {
    if (!QTime::isValid(c.hour, c.minute, c.second)) {
        return std::nullopt;
    }
    const auto wall =
        wallMs(QDate(c.year, c.month, c.day), (c.hour * 3600 + c.minute * 60 + c.second) * 1000LL);
    if (!wall) {
        return std::nullopt;
    }
    return fromMs(fromLocal(zone_, *wall).utcMs);
}

QString Calendar::weekdayName(int weekday) {
    if (weekday < 1 || weekday > 7) {
        return {};
    }
    return QLocale().standaloneDayName(weekday == 1 ? 7 : weekday - 1, QLocale::LongFormat);
}

} // namespace orvana
