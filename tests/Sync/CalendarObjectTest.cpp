#include "Sync/CalendarObject.h"

#include <gtest/gtest.h>

namespace {

using namespace orvana;

const QTimeZone berlin("Europe/Berlin");

// What another client wrote: its own properties and alarm, a due time in
// New York with the zone inside, text with escapes, folded lines.
const QByteArray foreign =
    "BEGIN:VCALENDAR\r\n"
    "VERSION:2.0\r\n"
    "PRODID:-//Phone//Tasks//EN\r\n"
    "BEGIN:VTIMEZONE\r\n"
    "TZID:America/New_York\r\n"
    "BEGIN:STANDARD\r\n"
    "DTSTART:19701101T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\n"
    "TZOFFSETFROM:-0400\r\n"
    "TZOFFSETTO:-0500\r\n"
    "END:STANDARD\r\n"
    "BEGIN:DAYLIGHT\r\n"
    "DTSTART:19700308T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\n"
    "TZOFFSETFROM:-0500\r\n"
    "TZOFFSETTO:-0400\r\n"
    "END:DAYLIGHT\r\n"
    "END:VTIMEZONE\r\n"
    "BEGIN:VTODO\r\n"
    "UID:phone-1@example.org\r\n"
    "SUMMARY:Buy milk\\, eggs\\nand bread\r\n"
    "DESCRIPTION:A long note that a client folded over more than one line so\r\n"
    "  that it stays under the line length\r\n"
    "DUE;TZID=America/New_York:20261207T200000\r\n"
    "CATEGORIES:errands\r\n"
    "X-PHONE-COLOR:green\r\n"
    "BEGIN:VALARM\r\n"
    "ACTION:DISPLAY\r\n"
    "TRIGGER:-PT15M\r\n"
    "END:VALARM\r\n"
    "END:VTODO\r\n"
    "END:VCALENDAR\r\n";

TEST(CalendarObject, ReadsAnotherClientsObjectAndKeepsWhatItDoesNotOwn) {
    auto parsed = CalendarObject::parse(foreign);
    ASSERT_TRUE(parsed.ok()) << parsed.error().message.toStdString();
    CalendarObject object = parsed.value();
    EXPECT_EQ(object.kind(), CalendarObject::Kind::todo);
    EXPECT_EQ(object.uid(), "phone-1@example.org");
    EXPECT_EQ(object.text("SUMMARY"), "Buy milk, eggs\nand bread");
    EXPECT_EQ(object.text("DESCRIPTION"),
              "A long note that a client folded over more than one line so that it stays under "
              "the line length");
    // 20:00 on 7 Dec in New York is 02:00 on 8 Dec in Berlin.
    EXPECT_EQ(object.day("DUE", berlin), QDate(2026, 12, 8));
    EXPECT_EQ(object.day("DUE", QTimeZone("America/New_York")), QDate(2026, 12, 7));
    EXPECT_FALSE(object.text("X-ORVANA-SORT"));

    object.setText("SUMMARY", QStringLiteral("Buy oat milk; eggs"));
    object.setText("X-ORVANA-SORT", QStringLiteral("3"));
    object.setDay("DUE", QDate(2026, 12, 9));
    object.setText("DESCRIPTION", std::nullopt);

    auto again = CalendarObject::parse(object.bytes());
    ASSERT_TRUE(again.ok());
    const CalendarObject& written = again.value();
    EXPECT_EQ(written.text("SUMMARY"), "Buy oat milk; eggs");
    EXPECT_EQ(written.text("X-ORVANA-SORT"), "3");
    EXPECT_EQ(written.day("DUE", QTimeZone("Pacific/Apia")), QDate(2026, 12, 9));
    EXPECT_FALSE(written.text("DESCRIPTION"));
    const QByteArray bytes = written.bytes();
    EXPECT_TRUE(bytes.contains("DUE;VALUE=DATE:20261209")) << bytes.constData();
    for (const char* kept :
         {"CATEGORIES:errands", "X-PHONE-COLOR:green", "TRIGGER:-PT15M", "TZID:America/New_York"})
        EXPECT_TRUE(bytes.contains(kept)) << kept;
}

TEST(CalendarObject, WritesOwnObjectsThatReadBack) {
    CalendarObject object(CalendarObject::Kind::event, QStringLiteral("A1B2"));
    object.setInstant("CREATED", 1'796'000'000.75);
    object.setText("STATUS", QStringLiteral("CANCELLED"));
    auto read = CalendarObject::parse(object.bytes());
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value().kind(), CalendarObject::Kind::event);
    EXPECT_EQ(read.value().uid(), "A1B2");
    EXPECT_EQ(read.value().instant("CREATED"), 1'796'000'000.0);
    EXPECT_EQ(read.value().text("STATUS"), "CANCELLED");
}

TEST(CalendarObject, RefusesWhatIsNotOneCalendarObject) {
    for (const QByteArray& bad : {
             QByteArray(),
             QByteArray("BEGIN:VTODO\r\nUID:x\r\nEND:VTODO\r\n"),
             QByteArray("BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nSUMMARY:no uid\r\nEND:VTODO\r\n"
                        "END:VCALENDAR\r\n"),
             QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nEND:VCALENDAR\r\n"),
             QByteArray("<html>Sign in</html>"),
             QByteArray(2 * 1024 * 1024, 'A'),
         }) {
        auto parsed = CalendarObject::parse(bad);
        EXPECT_TRUE(!parsed.ok() && parsed.error().kind == ErrorKind::damaged)
            << bad.left(60).constData();
    }
}

// A Berlin device's 09:00 reads as 09:00 in New York and means 08:00 UTC;
// a UTC time shows in the reader's zone; a zone libical lacks stays floating.
TEST(CalendarObject, WallClocksDurationsWeeklyRulesAndRepeatedFields) {
    CalendarObject object(CalendarObject::Kind::event, QStringLiteral("B1"));
    object.setWallClock("DTSTART", {QDate(2026, 12, 7), 9, 0}, berlin);
    object.setWallClock("DTSTART", {QDate(2026, 12, 7), 9, 0}, berlin); // no second VTIMEZONE
    object.setDurationMinutes("DURATION", 90);
    object.setWeeklyRecurrence({4, 2});
    object.setTexts("X-ORVANA-ENTRY", {QStringLiteral("a b,c;d\\e\nf"), QString(),
                                       QStringLiteral("tab\tand\rreturn")});
    object.setInstant("CREATED", 40'000'000'000.0); // the year 3237
    object.setDay("DUE", QDate(3001, 1, 1));

    auto parsed = CalendarObject::parse(object.bytes());
    ASSERT_TRUE(parsed.ok());
    const CalendarObject& read = parsed.value();
    const QByteArray bytes = read.bytes();
    EXPECT_TRUE(bytes.contains("DTSTART;TZID=Europe/Berlin:20261207T090000")) << bytes.constData();
    EXPECT_EQ(bytes.count("BEGIN:VTIMEZONE"), 1);
    EXPECT_TRUE(bytes.contains("DURATION:PT90M"));
    EXPECT_TRUE(bytes.contains("RRULE:FREQ=WEEKLY;BYDAY=MO,WE"));
    EXPECT_FALSE(bytes.contains("CREATED") || bytes.contains("DUE"));

    const auto clock = read.wallClock("DTSTART", QTimeZone("America/New_York"));
    ASSERT_TRUE(clock);
    EXPECT_EQ(std::tuple(clock->date, clock->hour, clock->minute),
              std::tuple(QDate(2026, 12, 7), 9, 0));
    EXPECT_EQ(read.instant("DTSTART"), 1'796'630'400); // 08:00 UTC
    EXPECT_EQ(read.duration("DURATION"), 5'400);
    EXPECT_EQ(read.recurrenceWeekdays(), std::vector<int>({2, 4}));
    EXPECT_EQ(
        read.texts("X-ORVANA-ENTRY"),
        std::vector<QString>({QStringLiteral("a b,c;d\\e\nf"), QStringLiteral("tab\tandreturn")}));

    auto foreign = CalendarObject::parse("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:x\r\n"
                                         "DTSTART:20261207T080000Z\r\nDURATION:-P1DT2H\r\n"
                                         "RRULE:FREQ=WEEKLY\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    ASSERT_TRUE(foreign.ok());
    EXPECT_EQ(foreign.value().wallClock("DTSTART", berlin)->hour, 9);
    EXPECT_EQ(foreign.value().duration("DURATION"), -93'600);
    EXPECT_EQ(foreign.value().recurrenceWeekdays(), std::vector<int>());

    object.setWallClock("DTSTART", {QDate(2026, 12, 7), 9, 0}, QTimeZone::utc());
    object.setWeeklyRecurrence({});
    EXPECT_TRUE(object.bytes().contains("DTSTART:20261207T090000\r\n"));
    EXPECT_FALSE(object.recurrenceWeekdays());
}

} // namespace
