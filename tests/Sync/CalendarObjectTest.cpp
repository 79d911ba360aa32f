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

} // namespace
