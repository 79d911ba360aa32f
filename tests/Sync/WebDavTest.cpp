#include "Sync/WebDav.h"

#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

using namespace orvana;

// Answers as Radicale 3.1 and Xandikos 0.2 gave them.
TEST(WebDav, ReadsWhatRealServersAnswer) {
    auto radicale = dav::parseMultistatus(
        R"(<?xml version='1.0' encoding='utf-8'?>
<multistatus xmlns="DAV:" xmlns:ns1="https://orvana.app/ns"><response><href>/alice/orvana-tasks/</href><propstat><prop><sync-token>http://radicale.org/ns/sync/e3b0</sync-token><displayname>Orvana Tasks</displayname></prop><status>HTTP/1.1 200 OK</status></propstat><propstat><prop><ns1:other /></prop><status>HTTP/1.1 404 Not Found</status></propstat></response></multistatus>)");
    ASSERT_TRUE(radicale.ok());
    ASSERT_EQ(radicale.value().responses.size(), 1u);
    EXPECT_EQ(radicale.value().responses[0].href, "/alice/orvana-tasks/");
    EXPECT_EQ(radicale.value().responses[0].displayName, "Orvana Tasks");
    EXPECT_EQ(radicale.value().responses[0].syncToken, "http://radicale.org/ns/sync/e3b0");

    // Prefixed namespaces, a home set, and an href that is a whole URL,
    // percent-encoded.
    auto xandikos = dav::parseMultistatus(
        R"(<ns0:multistatus xmlns:ns0="DAV:" xmlns:ns1="urn:ietf:params:xml:ns:caldav"><ns0:response><ns0:href>http%3A//127.0.0.1%3A5233/alice/</ns0:href><ns0:propstat><ns0:status>HTTP/1.1 200 OK</ns0:status><ns0:prop><ns0:current-user-principal><ns0:href>/alice/</ns0:href></ns0:current-user-principal><ns1:calendar-home-set><ns0:href>/alice/calendars/</ns0:href></ns1:calendar-home-set></ns0:prop></ns0:propstat></ns0:response></ns0:multistatus>)");
    ASSERT_TRUE(xandikos.ok());
    const dav::Response& home = xandikos.value().responses.at(0);
    EXPECT_EQ(home.href, "/alice/");
    EXPECT_EQ(home.principal, "/alice/");
    EXPECT_EQ(home.calendarHome, "/alice/calendars/");
}

TEST(WebDav, ReadsASyncReportWithChangesAndRemovals) {
    auto report = dav::parseMultistatus(R"(<?xml version="1.0"?>
<d:multistatus xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav">
 <d:response><d:href>/alice/tasks/A%20B.ics</d:href>
  <d:propstat><d:prop><d:getetag>"e1"</d:getetag>
   <c:calendar-data>BEGIN:VCALENDAR&#13;
END:VCALENDAR</c:calendar-data></d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>
 <d:response><d:href>/alice/tasks/gone.ics</d:href><d:status>HTTP/1.1 404 Not Found</d:status></d:response>
 <d:response><d:href>/alice/tasks/</d:href><d:propstat><d:prop><d:resourcetype><d:collection/><c:calendar/></d:resourcetype>
  <c:supported-calendar-component-set><c:comp name="VTODO"/></c:supported-calendar-component-set></d:prop>
  <d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>
 <d:sync-token>token-2</d:sync-token>
</d:multistatus>)");
    ASSERT_TRUE(report.ok());
    const auto& r = report.value().responses;
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].href, "/alice/tasks/A B.ics");
    EXPECT_EQ(r[0].etag, "\"e1\"");
    EXPECT_EQ(r[0].calendarData, "BEGIN:VCALENDAR\r\nEND:VCALENDAR");
    EXPECT_EQ(r[1].status, 404);
    EXPECT_TRUE(r[2].isCollection && r[2].isCalendar);
    EXPECT_EQ(r[2].components, std::vector<QByteArray>{"VTODO"});
    EXPECT_EQ(report.value().syncToken, "token-2");
}

// Server content is untrusted: a document type (entity expansion), broken
// XML, a root that is not a multistatus and an oversized resource are
// refused, never half read.
TEST(WebDav, RefusesHostileOrBrokenAnswers) {
    const QByteArray huge = "<d:multistatus xmlns:d=\"DAV:\" "
                            "xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><d:response><d:propstat>"
                            "<d:prop><c:calendar-data>" +
                            QByteArray(dav::maxResourceBytes + 1, 'x') +
                            "</c:calendar-data></d:prop><d:status>HTTP/1.1 200 "
                            "OK</d:status></d:propstat></d:response></d:multistatus>";
    for (const QByteArray& answer : {
             QByteArray(R"(<?xml version="1.0"?><!DOCTYPE m [<!ENTITY a "aaaa">]>
<d:multistatus xmlns:d="DAV:"><d:sync-token>&a;</d:sync-token></d:multistatus>)"),
             QByteArray(R"(<d:multistatus xmlns:d="DAV:"><d:response>)"),
             QByteArray(R"(<html><body>Login</body></html>)"),
             QByteArray(R"(<multistatus><sync-token>no namespace</sync-token></multistatus>)"),
             huge,
         }) {
        auto parsed = dav::parseMultistatus(answer);
        EXPECT_TRUE(!parsed.ok() && parsed.error().kind == ErrorKind::damaged)
            << answer.left(80).constData();
    }
}

TEST(WebDav, BodiesAreWellFormedAndEscaped) {
    const QByteArray multiget = dav::multigetBody({"/alice/tasks/A B&C.ics"});
    EXPECT_TRUE(multiget.contains("<d:href>/alice/tasks/A%20B%26C.ics</d:href>"));
    const QByteArray sync = dav::syncCollectionBody("t<1>");
    EXPECT_TRUE(sync.contains("<d:sync-token>t&lt;1&gt;</d:sync-token>"));
    const QByteArray mk = dav::mkcalendarBody("Orvana Tasks", "VTODO");
    EXPECT_TRUE(mk.contains("<c:comp name=\"VTODO\"/>"));
    for (const QByteArray& body :
         {multiget, sync, mk, dav::propfindBody(dav::Props::collections)}) {
        QXmlStreamReader x(body);
        while (!x.atEnd())
            x.readNext();
        EXPECT_FALSE(x.hasError()) << body.constData();
    }
}

} // namespace
