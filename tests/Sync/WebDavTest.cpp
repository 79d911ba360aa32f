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
    EXPECT_FALSE(report.value().truncated);
}

// Nextcloud's sync-collection answer as sabre/dav writes it: hrefs
// percent-encoded, quotes in ETags as entities, a removed member without a
// propstat, and the collection itself with a 507 when the list is cut short
// (RFC 6578 3.6): read as "more to come", never as a member or a deletion.
TEST(WebDav, ReadsNextcloudsTruncatedSyncReport) {
    auto report = dav::parseMultistatus(R"(<?xml version="1.0"?>
<d:multistatus xmlns:d="DAV:" xmlns:s="http://sabredav.org/ns" xmlns:cal="urn:ietf:params:xml:ns:caldav" xmlns:cs="http://calendarserver.org/ns/" xmlns:oc="http://owncloud.org/ns" xmlns:nc="http://nextcloud.org/ns">
 <d:response>
  <d:href>/remote.php/dav/calendars/alice/orvana-tasks/Einkauf%20f%C3%BCr%20Sonntag@phone.ics</d:href>
  <d:propstat>
   <d:prop>
    <d:getetag>&quot;6a1f7be3c0b2d4e2f1a9b8c7d6e5f403&quot;</d:getetag>
   </d:prop>
   <d:status>HTTP/1.1 200 OK</d:status>
  </d:propstat>
 </d:response>
 <d:response>
  <d:href>/remote.php/dav/calendars/alice/orvana-tasks/5C0FFEE0-0000-4000-8000-000000000001.ics</d:href>
  <d:status>HTTP/1.1 404 Not Found</d:status>
 </d:response>
 <d:response>
  <d:href>/remote.php/dav/calendars/alice/orvana-tasks/</d:href>
  <d:status>HTTP/1.1 507 Insufficient Storage</d:status>
 </d:response>
 <d:sync-token>http://sabre.io/ns/sync/1274</d:sync-token>
</d:multistatus>
)");
    ASSERT_TRUE(report.ok());
    const auto& r = report.value().responses;
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].href,
              u"/remote.php/dav/calendars/alice/orvana-tasks/Einkauf für Sonntag@phone.ics");
    EXPECT_EQ(r[0].etag, "\"6a1f7be3c0b2d4e2f1a9b8c7d6e5f403\"");
    EXPECT_EQ(r[1].status, 404);
    EXPECT_TRUE(r[1].etag.isEmpty());
    EXPECT_TRUE(report.value().truncated);
    EXPECT_EQ(report.value().syncToken, "http://sabre.io/ns/sync/1274");
}

// The words of an error document, on one line; nothing from other bodies.
TEST(WebDav, ReadsTheWordsOfAnErrorDocument) {
    const std::pair<QByteArray, QString> cases[] = {
        {R"(<?xml version="1.0" encoding="utf-8"?>
<d:error xmlns:d="DAV:" xmlns:s="http://sabredav.org/ns">
  <s:exception>Sabre\DAV\Exception\BadRequest</s:exception>
  <s:message>Calendar object with uid already
 exists in this calendar collection.</s:message>
</d:error>)",
         "Calendar object with uid already exists in this calendar collection."},
        {R"(<D:error xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav"><C:no-uid-conflict><D:href>/a/b.ics</D:href></C:no-uid-conflict></D:error>)",
         "no-uid-conflict"},
        {"<html><body>Bad Request</body></html>", ""},
        {R"(<!DOCTYPE e [<!ENTITY a "x">]><d:error xmlns:d="DAV:"><d:a>&a;</d:a></d:error>)", ""},
        {"<d:error xmlns:d=\"DAV:\"><s:message xmlns:s=\"http://sabredav.org/ns\">" +
             QByteArray(500, 'x') + "</s:message></d:error>",
         QString(199, u'x') + u'\u2026'},
    };
    for (const auto& [body, words] : cases)
        EXPECT_EQ(dav::errorMessage(body), words) << body.left(60).constData();
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
    const QByteArray mk = dav::mkcalendarBody("Orvana Plan", "VTODO,VJOURNAL");
    EXPECT_TRUE(mk.contains("<c:comp name=\"VTODO\"/><c:comp name=\"VJOURNAL\"/>"));
    for (const QByteArray& body :
         {multiget, sync, mk, dav::propfindBody(dav::Props::collections)}) {
        QXmlStreamReader x(body);
        while (!x.atEnd())
            x.readNext();
        EXPECT_FALSE(x.hasError()) << body.constData();
    }
}

} // namespace
