#include "Sync/CalDavClient.h"

#include <QCoreApplication>
#include <QHash>
#include <QHostAddress>

namespace orvana {

namespace {

constexpr int requestTimeoutMs = 60'000;
constexpr int mostRedirects = 5;
// Pages of one change listing that the server cuts short, at most.
constexpr int mostPages = 1000;

bool isMultistatus(const HttpResponse& r) {
    return r.isHttp && r.statusCode == 207;
}

} // namespace

CalDavClient::CalDavClient(URLRequestPerforming& http, DavAccount account)
    : http_(http), account_(std::move(account)),
      authorization_("Basic " + (account_.user + u':' + account_.password).toUtf8().toBase64()) {}

bool CalDavClient::transportAllowed(const QUrl& server, bool allowInsecure) {
    if (server.scheme() == QLatin1String("https"))
        return true;
    if (server.scheme() != QLatin1String("http"))
        return false;
    if (allowInsecure || server.host() == QLatin1String("localhost"))
        return true;
    const QHostAddress address(server.host());
    return !address.isNull() && address.isLoopback();
}

QUrl CalDavClient::urlOf(const QString& path) const {
    QUrl url = account_.server;
    url.setPath(path, QUrl::DecodedMode);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

QCoro::Task<Result<HttpResponse>> CalDavClient::send(QByteArray method, QUrl url, QByteArray body,
                                                     int depth, HttpHeaders extra) {
    HttpRequest request;
    request.url = url;
    request.method = method;
    request.body = body;
    request.timeoutMs = requestTimeoutMs;
    request.maxResponseBytes = dav::maxAnswerBytes;
    request.followRedirects = false;
    request.headers = {{"Authorization", authorization_}};
    if (!body.isEmpty()) {
        request.headers.emplaceBack("Content-Type",
                                    method == "PUT" ? QByteArray("text/calendar; charset=utf-8")
                                                    : QByteArray("application/xml; charset=utf-8"));
    }
    if (depth >= 0)
        request.headers.emplaceBack("Depth", QByteArray::number(depth));
    request.headers.append(extra);
    co_return co_await http_.perform(request);
}

Error CalDavClient::failure(const HttpResponse& response, const QUrl& url) const {
    const QString where = url.host();
    const int status = response.statusCode;
    if (status == 401)
        return {QCoreApplication::translate("CalDavClient",
                                            "The server refused the user name or password."),
                ErrorKind::authentication};
    if (status == 507)
        return {
            QCoreApplication::translate("CalDavClient", "The server %1 has no room left for %2.")
                .arg(where, url.path()),
            ErrorKind::diskFull};
    if (status >= 500)
        return {
            QCoreApplication::translate("CalDavClient", "The server %1 had a problem (HTTP %2).")
                .arg(where)
                .arg(status),
            ErrorKind::network};
    // Nextcloud (sabre/dav) says why in its error document: a UID already in
    // the calendar or its trash bin, a write it forbids. Its words beat a
    // status number.
    const QString said = dav::errorMessage(response.body);
    if (status == 403)
        return {said.isEmpty()
                    ? QCoreApplication::translate(
                          "CalDavClient", "The server %1 did not allow this (HTTP 403) at %2.")
                          .arg(where, url.path())
                    : QCoreApplication::translate("CalDavClient",
                                                  "The server %1 did not allow this at %2: %3")
                          .arg(where, url.path(), said),
                ErrorKind::permission};
    if (status == 404)
        return {QCoreApplication::translate("CalDavClient", "Nothing was found at %1 on %2.")
                    .arg(url.path(), where),
                ErrorKind::notFound};
    if (!said.isEmpty())
        return {QCoreApplication::translate("CalDavClient", "The server %1 refused %2: %3")
                    .arg(where, url.path(), said),
                ErrorKind::general};
    return {QCoreApplication::translate("CalDavClient", "The server %1 answered HTTP %2 at %3.")
                .arg(where)
                .arg(status)
                .arg(url.path()),
            ErrorKind::general};
}

QCoro::Task<Result<dav::Multistatus>> CalDavClient::propfind(QUrl url, dav::Props props,
                                                             int depth) {
    const QByteArray body = dav::propfindBody(props);
    Result<HttpResponse> answer = co_await send("PROPFIND", url, body, depth);
    if (!answer.ok())
        co_return answer.error();
    if (!isMultistatus(answer.value()))
        co_return failure(answer.value(), url);
    co_return dav::parseMultistatus(answer.value().body);
}

QCoro::Task<Result<QString>> CalDavClient::findCalendarHome() {
    // The well-known address redirects to where the server keeps CalDAV;
    // a server without it is asked at the address the user gave.
    QUrl url = account_.server.resolved(QUrl(QStringLiteral("/.well-known/caldav")));
    std::optional<dav::Multistatus> found;
    for (int hop = 0; hop <= mostRedirects; ++hop) {
        const QByteArray body = dav::propfindBody(dav::Props::principal);
        Result<HttpResponse> answer = co_await send("PROPFIND", url, body, 0);
        if (!answer.ok())
            co_return answer.error();
        const HttpResponse& r = answer.value();
        const QByteArray location = r.header("Location");
        if (r.statusCode >= 300 && r.statusCode < 400 && !location.isEmpty()) {
            const QUrl next = url.resolved(QUrl::fromEncoded(location));
            // Never from HTTPS down to HTTP, nor to another host.
            if (next.host() != url.host() ||
                (url.scheme() == QLatin1String("https") && next.scheme() != url.scheme()))
                break;
            url = next;
            continue;
        }
        if (r.statusCode == 401)
            co_return failure(r, url);
        if (isMultistatus(r)) {
            Result<dav::Multistatus> parsed = dav::parseMultistatus(r.body);
            if (!parsed.ok())
                co_return parsed.error();
            found = std::move(parsed.value());
        }
        break;
    }
    if (!found) {
        url = account_.server;
        Result<dav::Multistatus> direct = co_await propfind(url, dav::Props::principal, 0);
        if (!direct.ok()) {
            if (direct.error().kind == ErrorKind::authentication ||
                direct.error().kind == ErrorKind::network ||
                direct.error().kind == ErrorKind::certificate)
                co_return direct.error();
            co_return Error{
                QCoreApplication::translate("CalDavClient", "No CalDAV server was found at %1.")
                    .arg(account_.server.toDisplayString()),
                ErrorKind::notFound};
        }
        found = std::move(direct.value());
    }
    QString principal;
    for (const dav::Response& r : found->responses) {
        if (!r.principal.isEmpty())
            principal = r.principal;
    }
    const QUrl principalUrl = principal.isEmpty() ? url : urlOf(principal);
    Result<dav::Multistatus> homes = co_await propfind(principalUrl, dav::Props::calendarHome, 0);
    if (homes.ok()) {
        for (const dav::Response& r : homes.value().responses) {
            if (!r.calendarHome.isEmpty())
                co_return r.calendarHome;
        }
    } else if (homes.error().kind != ErrorKind::notFound &&
               homes.error().kind != ErrorKind::general) {
        co_return homes.error();
    }
    co_return Error{
        QCoreApplication::translate("CalDavClient", "No CalDAV calendars were found for %1 at %2.")
            .arg(account_.user, account_.server.toDisplayString()),
        ErrorKind::notFound};
}

QCoro::Task<Result<std::vector<dav::Response>>> CalDavClient::calendars(QString home) {
    Result<dav::Multistatus> listing = co_await propfind(urlOf(home), dav::Props::collections, 1);
    if (!listing.ok())
        co_return listing.error();
    std::vector<dav::Response> out;
    for (dav::Response& r : listing.value().responses) {
        if (r.isCalendar)
            out.push_back(std::move(r));
    }
    co_return out;
}

QCoro::Task<Result<void>> CalDavClient::makeCalendar(QString href, QString displayName,
                                                     QByteArray component) {
    const QUrl url = urlOf(href);
    const QByteArray body = dav::mkcalendarBody(displayName, component);
    Result<HttpResponse> answer = co_await send("MKCALENDAR", url, body, -1);
    if (!answer.ok())
        co_return answer.error();
    if (answer.value().statusCode != 201) {
        const Error cause = failure(answer.value(), url);
        co_return Error{QCoreApplication::translate("CalDavClient",
                                                    "The server refused to create the calendar "
                                                    "\u201c%1\u201d: %2")
                            .arg(displayName, cause.message),
                        cause.kind};
    }
    co_return Result<void>();
}

QCoro::Task<Result<DavReply>> CalDavClient::get(QString href) {
    const QUrl url = urlOf(href);
    Result<HttpResponse> answer = co_await send("GET", url, QByteArray(), -1);
    if (!answer.ok())
        co_return answer.error();
    const HttpResponse& r = answer.value();
    if (r.statusCode != 200 && r.statusCode != 404)
        co_return failure(r, url);
    co_return DavReply{r.statusCode, r.header("ETag"), r.body};
}

QCoro::Task<Result<DavReply>> CalDavClient::put(QString href, QByteArray ics,
                                                std::optional<QByteArray> ifMatch) {
    const QUrl url = urlOf(href);
    HttpHeaders condition;
    if (ifMatch)
        condition.emplaceBack("If-Match", *ifMatch);
    else
        condition.emplaceBack("If-None-Match", "*");
    Result<HttpResponse> answer = co_await send("PUT", url, ics, -1, condition);
    if (!answer.ok())
        co_return answer.error();
    const HttpResponse& r = answer.value();
    if (r.statusCode != 200 && r.statusCode != 201 && r.statusCode != 204 && r.statusCode != 412)
        co_return failure(r, url);
    co_return DavReply{r.statusCode, r.header("ETag"), {}};
}

QCoro::Task<Result<DavReply>> CalDavClient::remove(QString href, QByteArray ifMatch) {
    const QUrl url = urlOf(href);
    HttpHeaders condition;
    if (!ifMatch.isEmpty())
        condition.emplaceBack("If-Match", ifMatch);
    Result<HttpResponse> answer = co_await send("DELETE", url, QByteArray(), -1, condition);
    if (!answer.ok())
        co_return answer.error();
    const int status = answer.value().statusCode;
    if (status != 200 && status != 204 && status != 404 && status != 412)
        co_return failure(answer.value(), url);
    co_return DavReply{status, {}, {}};
}

QCoro::Task<Result<std::optional<dav::Multistatus>>> CalDavClient::changesSince(QString collection,
                                                                                QString token) {
    const QUrl url = urlOf(collection);
    dav::Multistatus all;
    QHash<QString, std::size_t> place; // a later page's word on an href replaces the earlier one
    for (int page = 0; page < mostPages; ++page) {
        const QByteArray body = dav::syncCollectionBody(token);
        Result<HttpResponse> answer = co_await send("REPORT", url, body, 0);
        if (!answer.ok())
            co_return answer.error();
        const HttpResponse& r = answer.value();
        // A token the server no longer knows: 403 or 409 (valid-sync-token), or
        // from some servers a bare 500. Listing afresh is the answer, never
        // reading it as "everything was deleted"; a server that is really down
        // fails that listing too.
        if (!token.isEmpty() && (r.statusCode == 403 || r.statusCode == 409 || r.statusCode == 500))
            co_return std::optional<dav::Multistatus>();
        if (!isMultistatus(r))
            co_return failure(r, url);
        Result<dav::Multistatus> parsed = dav::parseMultistatus(r.body);
        if (!parsed.ok())
            co_return parsed.error();
        for (dav::Response& member : parsed.value().responses) {
            const auto known = place.constFind(member.href);
            if (known != place.cend()) {
                all.responses[*known] = std::move(member);
            } else {
                place.insert(member.href, all.responses.size());
                all.responses.push_back(std::move(member));
            }
        }
        const QString next = parsed.value().syncToken;
        all.syncToken = next;
        if (!parsed.value().truncated)
            co_return std::optional<dav::Multistatus>(std::move(all));
        // Cut short (RFC 6578 3.6): its token covers what it listed, so ask
        // on from there; a server that does not move on is not asked forever.
        if (next.isEmpty() || next == token)
            break;
        token = next;
    }
    co_return Error{QCoreApplication::translate(
                        "CalDavClient", "The server %1 listed the changes of %2 only in part.")
                        .arg(url.host(), url.path()),
                    ErrorKind::general};
}

QCoro::Task<Result<dav::Multistatus>> CalDavClient::multiget(QString collection,
                                                             std::vector<QString> hrefs) {
    const QUrl url = urlOf(collection);
    const QByteArray body = dav::multigetBody(hrefs);
    Result<HttpResponse> answer = co_await send("REPORT", url, body, 1);
    if (!answer.ok())
        co_return answer.error();
    if (!isMultistatus(answer.value()))
        co_return failure(answer.value(), url);
    co_return dav::parseMultistatus(answer.value().body);
}

} // namespace orvana
