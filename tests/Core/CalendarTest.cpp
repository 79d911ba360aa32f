#include "Core/Calendar.h"

#include <QCoreApplication>
#include <QLocale>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <tuple>

namespace orvana {
namespace {

constexpr double kHour = 3600.0;
constexpr double kDay = 24 * kHour;

// Expected instants are written in UTC so they do not go through the code under test.
Timestamp utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return fromDateTime(
        QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc()));
}

std::string iso(Timestamp t) {
    return toDateTime(t).toString(Qt::ISODateWithMs).toStdString();
}

// Compares instants and prints them as UTC date and time on failure.
testing::AssertionResult sameInstant(const char* actualExpression, const char* expectedExpression,
                                     std::optional<Timestamp> actual, Timestamp expected) {
    if (actual == expected) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << actualExpression << " is " << (actual ? iso(*actual) : "nullopt") << ", expected "
           << expectedExpression << " = " << iso(expected);
}

#define EXPECT_INSTANT(actual, expected) EXPECT_PRED_FORMAT2(sameInstant, actual, expected)

Calendar berlin(int firstWeekday) {
    return Calendar(QTimeZone("Europe/Berlin"), firstWeekday);
}

constexpr int kSunday = 1;
constexpr int kMonday = 2;

} // namespace

// Static: other test files may print these types too.
static void PrintTo(const DateInterval& interval, std::ostream* os) {
    *os << "[" << iso(interval.start) << ", " << iso(interval.end) << ")";
}

static void PrintTo(const DateComponents& c, std::ostream* os) {
    *os << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute << ":"
        << c.second;
}

// For every first weekday and every day of a fortnight: the week contains
// the instant, starts at the start of a day that is the chosen weekday, is
// seven whole days long (no DST change in June) and is half-open, its end
// starting the next week.
TEST(CalendarTest, EveryFirstWeekdayGivesAWeekStartingOnThatDay) {
    for (int first = 1; first <= 7; ++first) {
        const Calendar cal = berlin(first);
        for (int i = 0; i < 14; ++i) {
            const Timestamp t = utc(2026, 6, 1, 10) + i * kDay;
            SCOPED_TRACE(testing::Message() << "first weekday " << first << ", day " << i);
            const DateInterval week = *cal.weekInterval(t);
            EXPECT_TRUE(week.contains(t));
            EXPECT_EQ(cal.weekday(week.start), first);
            EXPECT_INSTANT(cal.startOfDay(week.start), week.start);
            EXPECT_DOUBLE_EQ(week.end - week.start, 7 * kDay);
            EXPECT_EQ(cal.weekInterval(week.end - 0.001), week);
            EXPECT_INSTANT(cal.weekInterval(week.end)->start, week.end);
        }
    }
    // June 2026 in Berlin is CEST (UTC+2): local midnight is 22:00Z the day
    // before. Weeks lose or gain an hour where Berlin springs forward (29
    // March 2026) and falls back (25 October), both at 01:00Z.
    const Calendar cal = berlin(kMonday);
    EXPECT_EQ(cal.weekInterval(utc(2026, 6, 14, 21, 59, 59)), // Sun 23:59:59
              (DateInterval{utc(2026, 6, 7, 22), utc(2026, 6, 14, 22)}));
    EXPECT_EQ(cal.weekInterval(utc(2026, 3, 29, 10)),
              (DateInterval{utc(2026, 3, 22, 23), utc(2026, 3, 29, 22)}));
    EXPECT_EQ(cal.weekInterval(utc(2026, 10, 25, 11)),
              (DateInterval{utc(2026, 10, 18, 22), utc(2026, 10, 25, 23)}));
}

TEST(CalendarTest, WeekdayNumbersRunFromSundayToSaturdayInTheLocalZone) {
    const Calendar cal(QTimeZone::utc(), kMonday);
    EXPECT_EQ(cal.weekday(utc(2026, 6, 14, 12)), 1); // Sunday
    EXPECT_EQ(cal.weekday(utc(2026, 6, 20, 12)), 7); // Saturday
    // 23:30Z on Saturday is already Sunday in Berlin, and still Saturday in New York at 03:00Z.
    EXPECT_EQ(berlin(kMonday).weekday(utc(2026, 6, 13, 23, 30)), 1);
    EXPECT_EQ(Calendar(QTimeZone("America/New_York"), kSunday).weekday(utc(2026, 6, 14, 3)), 7);
    EXPECT_EQ(berlin(kMonday).weekday(utc(2026, 3, 29, 21, 59, 59)), 1); // 23:59:59 CEST, Sunday
    EXPECT_EQ(berlin(kMonday).weekday(utc(2026, 3, 29, 22)), 2);         // 00:00 CEST, Monday

    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(Calendar::weekdayName(1), QStringLiteral("Sunday"));
    EXPECT_EQ(Calendar::weekdayName(7), QStringLiteral("Saturday"));
    for (int outside : {0, 8}) {
        EXPECT_TRUE(Calendar::weekdayName(outside).isEmpty()) << outside;
    }
    QLocale::setDefault(previous);
}

// Where the day around an instant starts and how long it lasts, in zones and
// on days with and without a clock change.
TEST(CalendarTest, DaysFollowTheLocalZoneAndItsClockChanges) {
    const struct {
        const char* zone;
        Timestamp instant, dayStart;
        double hours;
    } cases[] = {
        {"Europe/Berlin", utc(2026, 6, 14, 10), utc(2026, 6, 13, 22), 24},
        {"Europe/Berlin", utc(2026, 6, 13, 22), utc(2026, 6, 13, 22), 24},
        {"Europe/Berlin", utc(2026, 6, 13, 21, 59, 59), utc(2026, 6, 12, 22), 24},
        {"America/New_York", utc(2026, 6, 14, 3), utc(2026, 6, 13, 4), 24},
        {"Europe/Berlin", utc(2026, 3, 29, 10), utc(2026, 3, 28, 23), 23},
        {"Europe/Berlin", utc(2026, 10, 25, 11), utc(2026, 10, 24, 22), 25},
        // The Azores change at 01:00Z, which is local midnight: skipped in
        // spring, twice in autumn; the day starts at its first instant.
        {"Atlantic/Azores", utc(2026, 3, 29, 12), utc(2026, 3, 29, 1), 23},
        {"Atlantic/Azores", utc(2026, 10, 25, 0, 30), utc(2026, 10, 25), 25},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.zone << " at " << iso(c.instant));
        const Calendar cal(QTimeZone(c.zone), kMonday);
        const Timestamp dayEnd = c.dayStart + c.hours * kHour;
        EXPECT_INSTANT(cal.startOfDay(c.instant), c.dayStart);
        EXPECT_INSTANT(cal.startOfDayAfter(c.instant, 1), dayEnd);
        EXPECT_TRUE(cal.isSameDay(c.dayStart, dayEnd - 1));
        EXPECT_FALSE(cal.isSameDay(c.dayStart - 1, c.dayStart) ||
                     cal.isSameDay(c.dayStart, dayEnd));
    }
    EXPECT_INSTANT(berlin(kMonday).startOfDayAfter(utc(2026, 3, 29, 10), -1), utc(2026, 3, 27, 23));
}

// A step by days keeps the local time of day across clock changes: a time
// that does not exist moves forward by the gap, one that happens twice stays
// on the side the step started from.
TEST(CalendarTest, AddDaysKeepsTheLocalTimeAcrossClockChanges) {
    const Calendar cal = berlin(kMonday);
    const std::tuple<Timestamp, int, Timestamp> cases[] = {
        {utc(2026, 3, 28, 11), 1, utc(2026, 3, 29, 10)}, // 23 hours later
        {utc(2026, 3, 29, 10), -1, utc(2026, 3, 28, 11)},
        {utc(2026, 3, 28, 1, 30), 1, utc(2026, 3, 29, 1, 30)}, // 02:30 CET, then 03:30 CEST
        {utc(2026, 10, 24, 10), 1, utc(2026, 10, 25, 11)},     // 25 hours later
        {utc(2026, 10, 24, 0, 30), 1, utc(2026, 10, 25, 0, 30)},
        {utc(2026, 10, 26, 1, 30), -1, utc(2026, 10, 25, 1, 30)},
    };
    for (const auto& [from, days, to] : cases)
        EXPECT_INSTANT(cal.addDays(from, days), to) << iso(from) << " + " << days << " days";
}

TEST(CalendarTest, ComponentsAndDateRoundTrip) {
    const Calendar cal = berlin(kMonday);
    const DateComponents c{2026, 6, 14, 23, 30, 15};
    const Timestamp t = utc(2026, 6, 14, 21, 30, 15);
    EXPECT_INSTANT(cal.date(c), t);
    EXPECT_EQ(cal.components(t), c);
    EXPECT_EQ(cal.components(t + 0.999), c); // fractions of a second are cut, not rounded

    // Before the epoch the local milliseconds are negative.
    const Calendar inUtc(QTimeZone::utc(), kMonday);
    EXPECT_EQ(inUtc.components(-0.5), (DateComponents{1969, 12, 31, 23, 59, 59}));
    EXPECT_INSTANT(inUtc.startOfDay(-0.5), -kDay);
    EXPECT_INSTANT(inUtc.date({1969, 12, 31, 0, 0, 0}), -kDay);

    EXPECT_INSTANT(cal.date({2028, 2, 29, 12, 0, 0}), utc(2028, 2, 29, 11));
    // 02:30 does not exist on 29 March (it moves forward by the gap) and
    // happens twice on 25 October (the first one).
    EXPECT_INSTANT(cal.date({2026, 3, 29, 2, 30, 0}), utc(2026, 3, 29, 1, 30));
    EXPECT_INSTANT(cal.date({2026, 3, 29, 3, 0, 0}), utc(2026, 3, 29, 1));
    EXPECT_INSTANT(cal.date({2026, 10, 25, 2, 30, 0}), utc(2026, 10, 25, 0, 30));
    for (const DateComponents& invalid :
         {DateComponents{2026, 2, 29}, DateComponents{2026, 13, 1}, DateComponents{2026, 4, 31},
          DateComponents{2026, 6, 14, 24}, DateComponents{2026, 6, 14, 12, 60}})
        EXPECT_EQ(cal.date(invalid), std::nullopt) << testing::PrintToString(invalid);
}

// The first weekday comes from LC_TIME. The system locale is read once per
// process, so each locale is checked in a child run of this test binary.
TEST(CalendarTest, CurrentCalendarTakesTheFirstWeekdayFromLcTime) {
    const QByteArray expected = qgetenv("ORVANA_EXPECT_FIRST_WEEKDAY");
    if (!expected.isEmpty()) {
        EXPECT_EQ(Calendar::current().firstWeekday(), expected.toInt());
        return;
    }
    const std::pair<const char*, int> cases[] = {
        {"en_US.UTF-8", 1}, {"en_GB.UTF-8", 2}, {"de_DE.UTF-8", 2}};
    for (const auto& [locale, weekday] : cases) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("LC_ALL"));
        env.remove(QStringLiteral("LANGUAGE"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("LC_TIME"), QString::fromLatin1(locale));
        env.insert(QStringLiteral("ORVANA_EXPECT_FIRST_WEEKDAY"), QString::number(weekday));
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(
            QCoreApplication::applicationFilePath(),
            {QStringLiteral(
                "--gtest_filter=CalendarTest.CurrentCalendarTakesTheFirstWeekdayFromLcTime")});
        ASSERT_TRUE(child.waitForFinished(30000));
        const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());
        EXPECT_EQ(child.exitCode(), 0) << locale << "\n" << out.toStdString();
        EXPECT_TRUE(out.contains(QStringLiteral("[  PASSED  ] 1 test"))) << out.toStdString();
    }
}

} // namespace orvana
