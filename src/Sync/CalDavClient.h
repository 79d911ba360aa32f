#pragma once

#include "Core/Result.h"
#include "Services/URLRequestPerforming.h"
#include "Sync/WebDav.h"

#include <QString>
#include <QUrl>
#include <optional>
#include <vector>

namespace orvana {

struct DavAccount {
    QUrl server;
    QString user;
    QString password;
};

// What a write or a read of one resource came back with.
struct DavReply {
    int status = 0;
    QByteArray etag;
    QByteArray body;
};

// The CalDAV requests sync needs, over the app's HTTP. Statuses the caller
// acts on (201, 204, 207, 404, 412, a sync token refused) come back as
// replies; the rest are errors in words with a kind: 401 authentication,
// 507 disk full, 5xx and transport failures network, a certificate the
// system does not trust certificate; a refusal carries the server's own
// words when it gives them. The password goes only into the
// Authorization header, never into a message.
class CalDavClient {
public:
    CalDavClient(URLRequestPerforming& http, DavAccount account);

    // Plain HTTP is for this machine only, unless the user allowed it.
    static bool transportAllowed(const QUrl& server, bool allowInsecure);

    // The calendar home: through /.well-known/caldav or the address itself,
    // the user's principal and its calendar-home-set. A path.
    QCoro::Task<Result<QString>> findCalendarHome();
    // The calendars in `home`.
    QCoro::Task<Result<std::vector<dav::Response>>> calendars(QString home);
    QCoro::Task<Result<void>> makeCalendar(QString href, QString displayName, QByteArray component);

    QCoro::Task<Result<DavReply>> get(QString href);
    // Without `ifMatch`, only creates (If-None-Match: *): an existing
    // resource answers 412.
    QCoro::Task<Result<DavReply>> put(QString href, QByteArray ics,
                                      std::optional<QByteArray> ifMatch);
    QCoro::Task<Result<DavReply>> remove(QString href, QByteArray ifMatch);

    // The changes since `token` (empty: everything), whole: a listing the
    // server cuts short is asked on from the token it gave. A token the
    // server no longer knows gives nullopt: the caller lists the collection
    // afresh.
    QCoro::Task<Result<std::optional<dav::Multistatus>>> changesSince(QString collection,
                                                                      QString token);
    QCoro::Task<Result<dav::Multistatus>> multiget(QString collection, std::vector<QString> hrefs);

    QUrl urlOf(const QString& path) const;

private:
    QCoro::Task<Result<HttpResponse>> send(QByteArray method, QUrl url, QByteArray body, int depth,
                                           HttpHeaders extra = {});
    QCoro::Task<Result<dav::Multistatus>> propfind(QUrl url, dav::Props props, int depth);
    Error failure(const HttpResponse& response, const QUrl& url) const;

    URLRequestPerforming& http_;
    DavAccount account_;
    QByteArray authorization_;
};

} // namespace orvana
