#include "Sync/CalDavClient.h"
#include "Platform/NetworkRequestPerformer.h"
#include "Sync/CalDavServers.h"
#include "Sync/CalendarObject.h"

#include <QCoroTask>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace {

using namespace orvana;
using test::CalDavServer;

class CalDavClientTest : public ::testing::TestWithParam<CalDavServer::Kind> {};

QByteArray todo(const QString& uid, const QString& summary) {
    CalendarObject object(CalendarObject::Kind::todo, uid);
    object.setText("SUMMARY", summary);
    return object.bytes();
}

// Everything a sync asks of a server, against the real one: sign in, make a
// calendar, write with ETags, list changes by token, fetch in a batch.
TEST_P(CalDavClientTest, DoesWhatASyncNeedsOnARealServer) {
    CalDavServer server(GetParam());
    ASSERT_TRUE(server.ready());
    NetworkRequestPerformer http;
    CalDavClient client(http, {server.url(), server.user, server.password});

    Result<QString> home = QCoro::waitFor(client.findCalendarHome());
    ASSERT_TRUE(home.ok()) << home.error().message.toStdString();
    const QString tasks = home.value() + QStringLiteral("orvana-tasks/");
    ASSERT_TRUE(
        QCoro::waitFor(client.makeCalendar(tasks, QStringLiteral("Orvana Tasks"), "VTODO")).ok());
    Result<std::vector<dav::Response>> calendars = QCoro::waitFor(client.calendars(home.value()));
    ASSERT_TRUE(calendars.ok());
    ASSERT_EQ(calendars.value().size(), 1u);
    EXPECT_EQ(calendars.value()[0].displayName, "Orvana Tasks");
    EXPECT_EQ(calendars.value()[0].href, tasks);

    Result<std::optional<dav::Multistatus>> first =
        QCoro::waitFor(client.changesSince(tasks, QString()));
    ASSERT_TRUE(first.ok() && first.value());
    const QString emptyToken = first.value()->syncToken;

    // Create only once; then write only over the copy we know.
    const QString href = tasks + QStringLiteral("A1.ics");
    Result<DavReply> created = QCoro::waitFor(client.put(href, todo("A1", "Run"), std::nullopt));
    ASSERT_TRUE(created.ok());
    EXPECT_EQ(created.value().status, 201);
    EXPECT_EQ(QCoro::waitFor(client.put(href, todo("A1", "Run"), std::nullopt)).value().status,
              412);
    QByteArray etag = QCoro::waitFor(client.get(href)).value().etag;
    ASSERT_FALSE(etag.isEmpty());
    EXPECT_EQ(QCoro::waitFor(client.put(href, todo("A1", "Walk"), QByteArray("\"stale\"")))
                  .value()
                  .status,
              412);
    Result<DavReply> updated = QCoro::waitFor(client.put(href, todo("A1", "Run 5 km"), etag));
    ASSERT_TRUE(updated.ok());
    EXPECT_TRUE(updated.value().status == 204 || updated.value().status == 201 ||
                updated.value().status == 200);
    ASSERT_TRUE(QCoro::waitFor(
                    client.put(tasks + QStringLiteral("B2.ics"), todo("B2", "Swim"), std::nullopt))
                    .ok());

    Result<std::optional<dav::Multistatus>> changes =
        QCoro::waitFor(client.changesSince(tasks, emptyToken));
    ASSERT_TRUE(changes.ok() && changes.value());
    EXPECT_EQ(changes.value()->responses.size(), 2u);
    const QString token = changes.value()->syncToken;
    EXPECT_NE(token, emptyToken);

    Result<dav::Multistatus> fetched =
        QCoro::waitFor(client.multiget(tasks, {href, tasks + QStringLiteral("B2.ics")}));
    ASSERT_TRUE(fetched.ok());
    ASSERT_EQ(fetched.value().responses.size(), 2u);
    for (const dav::Response& r : fetched.value().responses) {
        auto object = CalendarObject::parse(r.calendarData);
        ASSERT_TRUE(object.ok());
        EXPECT_EQ(object.value().text("SUMMARY"), r.href == href ? "Run 5 km" : "Swim");
        EXPECT_FALSE(r.etag.isEmpty());
    }

    // A deletion shows as a removed member; a stale condition refuses it.
    etag = QCoro::waitFor(client.get(href)).value().etag;
    EXPECT_EQ(QCoro::waitFor(client.remove(href, "\"stale\"")).value().status, 412);
    EXPECT_EQ(QCoro::waitFor(client.remove(href, etag)).value().status / 100, 2);
    Result<std::optional<dav::Multistatus>> after =
        QCoro::waitFor(client.changesSince(tasks, token));
    ASSERT_TRUE(after.ok() && after.value());
    ASSERT_EQ(after.value()->responses.size(), 1u);
    EXPECT_EQ(after.value()->responses[0].href, href);
    EXPECT_EQ(after.value()->responses[0].status, 404);

    // A token the server never gave means a fresh listing, not an error.
    Result<std::optional<dav::Multistatus>> unknown = QCoro::waitFor(
        client.changesSince(tasks, QStringLiteral("http://radicale.org/ns/sync/0000")));
    ASSERT_TRUE(unknown.ok()) << unknown.error().message.toStdString();
    EXPECT_FALSE(unknown.value());
}

TEST_P(CalDavClientTest, SaysWhatWentWrongInWords) {
    CalDavServer server(GetParam());
    ASSERT_TRUE(server.ready());
    NetworkRequestPerformer http;
    if (server.checksPasswords()) {
        CalDavClient wrong(http, {server.url(), server.user, QStringLiteral("wrong")});
        Result<QString> refused = QCoro::waitFor(wrong.findCalendarHome());
        ASSERT_FALSE(refused.ok());
        EXPECT_EQ(refused.error().kind, ErrorKind::authentication);
        EXPECT_FALSE(refused.error().message.contains("wrong"));
    }
    QUrl closed = server.url();
    closed.setPort(1);
    CalDavClient nobody(http, {closed, server.user, server.password});
    Result<QString> unreachable = QCoro::waitFor(nobody.findCalendarHome());
    ASSERT_FALSE(unreachable.ok());
    EXPECT_EQ(unreachable.error().kind, ErrorKind::network);

    EXPECT_TRUE(CalDavClient::transportAllowed(QUrl("http://127.0.0.1:5232/"), false));
    EXPECT_TRUE(CalDavClient::transportAllowed(QUrl("http://[::1]/"), false));
    EXPECT_FALSE(CalDavClient::transportAllowed(QUrl("http://dav.example.org/"), false));
    EXPECT_TRUE(CalDavClient::transportAllowed(QUrl("http://dav.example.org/"), true));
    EXPECT_FALSE(CalDavClient::transportAllowed(QUrl("ftp://dav.example.org/"), true));
}

// Answers recorded from Nextcloud, played back on loopback one a request,
// in order; keeps each request.
class Replay {
public:
    explicit Replay(std::vector<std::pair<int, QByteArray>> answers) : answers_(answers) {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            QTcpSocket* socket = server_.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                QByteArray& data = partial_[socket];
                data += socket->readAll();
                const qsizetype end = data.indexOf("\r\n\r\n");
                const auto length = QRegularExpression("content-length: *(\\d+)",
                                                       QRegularExpression::CaseInsensitiveOption)
                                        .match(data.left(end))
                                        .captured(1)
                                        .toLongLong();
                if (end < 0 || data.size() < end + 4 + length)
                    return;
                requests.push_back(std::exchange(data, QByteArray()));
                const auto& [status, body] =
                    answers_.at(std::min(requests.size(), answers_.size()) - 1);
                socket->write("HTTP/1.1 " + QByteArray::number(status) +
                              " X\r\nContent-Type: application/xml\r\nContent-Length: " +
                              QByteArray::number(body.size()) + "\r\n\r\n" + body);
            });
        });
    }
    QUrl url() const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(server_.serverPort()));
    }
    std::vector<QByteArray> requests;

private:
    std::vector<std::pair<int, QByteArray>> answers_;
    QHash<QTcpSocket*, QByteArray> partial_;
    QTcpServer server_;
};

// What Nextcloud answers and Radicale and Xandikos never do: a UID already
// in the calendar (under another name, or in its trash bin) refuses a PUT
// with a 400 whose reason is in sabre/dav's error document, and the client
// says that reason in one line; a change list cut short (a 507 for the
// collection) is asked on from its token until it is whole, a later page's
// word on a member replacing the earlier one.
TEST(CalDavClientRecorded, NextcloudsUidRefusalsAndTruncatedChangeLists) {
    const QByteArray refusal = R"(<?xml version="1.0" encoding="utf-8"?>
<d:error xmlns:d="DAV:" xmlns:s="http://sabredav.org/ns">
  <s:exception>Sabre\DAV\Exception\BadRequest</s:exception>
  <s:message>%1alendar object with uid already exists in this calendar collection.</s:message>
</d:error>
)";
    Replay nextcloud({
        {400, QByteArray(refusal).replace("%1", "C")},
        {400, QByteArray(refusal).replace("%1", "Deleted c")},
        {207, R"(<d:multistatus xmlns:d="DAV:">
<d:response><d:href>/t/A.ics</d:href><d:propstat><d:prop><d:getetag>&quot;a1&quot;</d:getetag></d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>
<d:response><d:href>/t/B.ics</d:href><d:propstat><d:prop><d:getetag>&quot;b1&quot;</d:getetag></d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>
<d:response><d:href>/t/</d:href><d:status>HTTP/1.1 507 Insufficient Storage</d:status></d:response>
<d:sync-token>http://sabre.io/ns/sync/41</d:sync-token></d:multistatus>)"},
        {207, R"(<d:multistatus xmlns:d="DAV:">
<d:response><d:href>/t/B.ics</d:href><d:status>HTTP/1.1 404 Not Found</d:status></d:response>
<d:response><d:href>/t/C%20D.ics</d:href><d:propstat><d:prop><d:getetag>&quot;c1&quot;</d:getetag></d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>
<d:sync-token>http://sabre.io/ns/sync/42</d:sync-token></d:multistatus>)"},
    });
    NetworkRequestPerformer http;
    CalDavClient client(http, {nextcloud.url(), QStringLiteral("alice"), QStringLiteral("pw")});
    for (const char* reason : {"Calendar object with uid", "Deleted calendar object with uid"}) {
        Result<DavReply> put = QCoro::waitFor(client.put("/t/A.ics", todo("A", "Run"), {}));
        ASSERT_FALSE(put.ok());
        const QString message = put.error().message;
        EXPECT_TRUE(message.contains(QLatin1String(reason)) &&
                    message.endsWith("already exists in this calendar collection.") &&
                    message.contains("/t/A.ics") && !message.contains(u'\n'))
            << message.toStdString();
    }

    Result<std::optional<dav::Multistatus>> changes =
        QCoro::waitFor(client.changesSince("/t/", QStringLiteral("http://sabre.io/ns/sync/40")));
    ASSERT_TRUE(changes.ok() && changes.value());
    ASSERT_EQ(nextcloud.requests.size(), 4u); // asked on once, from the token it gave
    EXPECT_TRUE(nextcloud.requests[3].contains("<d:sync-token>http://sabre.io/ns/sync/41<"));
    const auto& r = changes.value()->responses;
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].etag, "\"a1\"");
    EXPECT_EQ(r[1].status, 404);
    EXPECT_EQ(r[2].href, "/t/C D.ics");
    EXPECT_EQ(changes.value()->syncToken, "http://sabre.io/ns/sync/42");
}

INSTANTIATE_TEST_SUITE_P(Servers, CalDavClientTest,
                         ::testing::Values(CalDavServer::Kind::radicale,
                                           CalDavServer::Kind::xandikos),
                         test::serverName);

} // namespace
