#include "Core/Calendar.h"

#include <QCoreApplication>
#include <QLocale>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

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
    // June 2026 in Berlin is CEST (UTC+2): local midnight is 22:00Z the day before.
    EXPECT_EQ(berlin(kMonday).weekInterval(utc(2026, 6, 14, 21, 59, 59)), // Sun 23:59:59
              (DateInterval{utc(2026, 6, 7, 22), utc(2026, 6, 14, 22)}));
}

TEST(CalendarTest, WeekdayNumbersRunFromSundayToSaturday) {
    const Calendar cal(QTimeZone::utc(), kMonday);
    EXPECT_EQ(cal.weekday(utc(2026, 6, 14, 12)), 1); // Sunday
    EXPECT_EQ(cal.weekday(utc(2026, 6, 15, 12)), 2); // Monday
    EXPECT_EQ(cal.weekday(utc(2026, 6, 20, 12)), 7); // Saturday
    // The weekday is the local one: 23:30Z on Saturday is already Sunday in Berlin.
    EXPECT_EQ(berlin(kMonday).weekday(utc(2026, 6, 13, 23, 30)), 1);

    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(Calendar::weekdayName(1), QStringLiteral("Sunday"));
    EXPECT_EQ(Calendar::weekdayName(2), QStringLiteral("Monday"));
    EXPECT_EQ(Calendar::weekdayName(7), QStringLiteral("Saturday"));
    for (int outside : {0, 8}) {
        EXPECT_TRUE(Calendar::weekdayName(outside).isEmpty()) << outside;
    }
    QLocale::setDefault(previous);
}

TEST(CalendarTest, DaysFollowTheLocalZone) {
    const Calendar cal = berlin(kMonday);
    EXPECT_INSTANT(cal.startOfDay(utc(2026, 6, 14, 10)), utc(2026, 6, 13, 22));
    EXPECT_INSTANT(cal.startOfDay(utc(2026, 6, 13, 22)), utc(2026, 6, 13, 22));
    EXPECT_INSTANT(cal.startOfDay(utc(2026, 6, 13, 21, 59, 59)), utc(2026, 6, 12, 22));
    EXPECT_INSTANT(cal.startOfDayAfter(utc(2026, 6, 14, 10), 1), utc(2026, 6, 14, 22));

    EXPECT_TRUE(cal.isSameDay(utc(2026, 6, 13, 22), utc(2026, 6, 14, 21, 59, 59)));
    EXPECT_FALSE(cal.isSameDay(utc(2026, 6, 13, 21, 59, 59), utc(2026, 6, 13, 22))); // same UTC day

    const Calendar newYork(QTimeZone("America/New_York"), kSunday);
    EXPECT_INSTANT(newYork.startOfDay(utc(2026, 6, 14, 3)), utc(2026, 6, 13, 4));
    EXPECT_EQ(newYork.weekday(utc(2026, 6, 14, 3)), 7); // still Saturday evening
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
    for (const DateComponents& invalid :
         {DateComponents{2026, 2, 29}, DateComponents{2026, 13, 1}, DateComponents{2026, 4, 31},
          DateComponents{2026, 6, 14, 24}, DateComponents{2026, 6, 14, 12, 60}})
        EXPECT_EQ(cal.date(invalid), std::nullopt) << testing::PrintToString(invalid);
}

// Berlin springs forward on Sunday 29 March 2026 at 01:00Z: 02:00 CET becomes 03:00 CEST.
TEST(CalendarTest, SpringForwardInBerlin) {
    const Calendar cal = berlin(kMonday);
    const Timestamp sundayNoon = utc(2026, 3, 29, 10);

    EXPECT_INSTANT(cal.startOfDay(sundayNoon), utc(2026, 3, 28, 23));
    EXPECT_EQ(*cal.startOfDayAfter(sundayNoon, 1) - cal.startOfDay(sundayNoon), 23 * kHour);
    EXPECT_INSTANT(cal.startOfDayAfter(sundayNoon, -1), utc(2026, 3, 27, 23));

    // Saturday 12:00 CET + 1 day = Sunday 12:00 CEST, only 23 hours later; and back.
    EXPECT_INSTANT(cal.addDays(utc(2026, 3, 28, 11), 1), sundayNoon);
    EXPECT_INSTANT(cal.addDays(sundayNoon, -1), utc(2026, 3, 28, 11));

    // The week Monday 23 March - Monday 30 March loses an hour.
    const DateInterval week = *cal.weekInterval(sundayNoon);
    EXPECT_EQ(week, (DateInterval{utc(2026, 3, 22, 23), utc(2026, 3, 29, 22)}));
    EXPECT_EQ(week.end - week.start, 167 * kHour);

    EXPECT_EQ(cal.weekday(utc(2026, 3, 29, 21, 59, 59)), 1); // 23:59:59 CEST, Sunday
    EXPECT_EQ(cal.weekday(utc(2026, 3, 29, 22)), 2);         // 00:00 CEST, Monday

    // 02:30 does not exist that day: it moves forward by the gap to 03:30 CEST.
    EXPECT_INSTANT(cal.date({2026, 3, 29, 2, 30, 0}), utc(2026, 3, 29, 1, 30));
    EXPECT_INSTANT(cal.date({2026, 3, 29, 3, 0, 0}), utc(2026, 3, 29, 1));
    EXPECT_INSTANT(cal.addDays(utc(2026, 3, 28, 1, 30), 1), utc(2026, 3, 29, 1, 30));
}

// Berlin falls back on Sunday 25 October 2026 at 01:00Z: 03:00 CEST becomes 02:00 CET, so
// 02:00-03:00 happens twice.
TEST(CalendarTest, FallBackInBerlin) {
    const Calendar cal = berlin(kMonday);
    const Timestamp sundayNoon = utc(2026, 10, 25, 11);

    EXPECT_INSTANT(cal.startOfDay(sundayNoon), utc(2026, 10, 24, 22));
    EXPECT_EQ(*cal.startOfDayAfter(sundayNoon, 1) - cal.startOfDay(sundayNoon), 25 * kHour);
    EXPECT_TRUE(cal.isSameDay(utc(2026, 10, 24, 22), utc(2026, 10, 25, 22, 59, 59)));
    EXPECT_FALSE(cal.isSameDay(utc(2026, 10, 24, 22), utc(2026, 10, 25, 23)));

    EXPECT_INSTANT(cal.addDays(utc(2026, 10, 24, 10), 1), sundayNoon); // 25 hours later

    const DateInterval week = *cal.weekInterval(sundayNoon);
    EXPECT_EQ(week, (DateInterval{utc(2026, 10, 18, 22), utc(2026, 10, 25, 23)}));
    EXPECT_EQ(week.end - week.start, 169 * kHour);

    // 02:30 occurs at 00:30Z (CEST) and again at 01:30Z (CET).
    EXPECT_INSTANT(cal.date({2026, 10, 25, 2, 30, 0}), utc(2026, 10, 25, 0, 30));
    // Stepping by days keeps the occurrence on the side the step started from.
    EXPECT_INSTANT(cal.addDays(utc(2026, 10, 24, 0, 30), 1), utc(2026, 10, 25, 0, 30));
    EXPECT_INSTANT(cal.addDays(utc(2026, 10, 26, 1, 30), -1), utc(2026, 10, 25, 1, 30));
}

// The Azores change clocks at 01:00Z, which is local midnight: in spring midnight is skipped,
// in autumn it happens twice. The day starts at its first instant in both cases.
TEST(CalendarTest, DstChangeAtMidnight) {
    const Calendar cal(QTimeZone("Atlantic/Azores"), kMonday);

    // Sunday 29 March 2026: 00:00 -01:00 becomes 01:00 +00:00.
    EXPECT_INSTANT(cal.startOfDay(utc(2026, 3, 29, 12)), utc(2026, 3, 29, 1));
    EXPECT_EQ(*cal.startOfDayAfter(utc(2026, 3, 29, 12), 1) - utc(2026, 3, 29, 1), 23 * kHour);

    // Sunday 25 October 2026: 01:00 +00:00 becomes 00:00 -01:00.
    const Timestamp firstHour = utc(2026, 10, 25, 0, 30); // 00:30 +00:00
    EXPECT_INSTANT(cal.startOfDay(firstHour), utc(2026, 10, 25));
    EXPECT_EQ(*cal.startOfDayAfter(firstHour, 1) - utc(2026, 10, 25), 25 * kHour);
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
