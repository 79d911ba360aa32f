#pragma once

#include "Core/Result.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace orvana::dav {

// What a server may send us, at most. Answers are untrusted input: a larger
// one is refused rather than read.
inline constexpr qsizetype maxAnswerBytes = 64 * 1024 * 1024;
// One calendar resource; Orvana's largest (a day of focus entries) is a few
// kilobytes.
inline constexpr qsizetype maxResourceBytes = 1024 * 1024;

// One <response> of a multistatus, with the properties its 2xx propstats
// carry. Hrefs are paths: percent-decoded, without scheme and host, as
// servers differ in how they write them.
struct Response {
    QString href;
    int status = 0; // the response's own status (a member gone from a sync report: 404)
    QByteArray etag;
    QByteArray calendarData;
    QString displayName;
    bool isCollection = false;
    bool isCalendar = false;
    std::vector<QByteArray> components; // supported-calendar-component-set
    QString principal;                  // current-user-principal
    QString calendarHome;               // calendar-home-set
    QString syncToken;                  // a collection's sync-token property
};

struct Multistatus {
    std::vector<Response> responses;
    QString syncToken; // a sync report's new token
    // A sync report that lists only part of the changes (a 507 for the
    // collection, RFC 6578 3.6); its token covers the part listed. The
    // marker itself is not among the responses.
    bool truncated = false;
};

// Reads a 207 answer strictly: well-formed XML without a document type,
// elements known by namespace and name, sizes bounded.
Result<Multistatus> parseMultistatus(const QByteArray& xml);

// The words of a WebDAV error document (sabre/dav's message, or else the
// name of the precondition that failed), on one line; empty for any other
// body.
QString errorMessage(const QByteArray& xml);

// The path of an href as a server wrote it (absolute URL, encoded or not).
QString hrefPath(const QString& href);

// Request bodies.
enum class Props {
    principal,    // current-user-principal
    calendarHome, // calendar-home-set
    collections,  // each calendar of a home: type, name, components, sync-token
    syncToken,    // one collection's sync-token
};
QByteArray propfindBody(Props props);
QByteArray syncCollectionBody(const QString& token);
QByteArray multigetBody(const std::vector<QString>& hrefs);
// `components` comma-separated ("VTODO,VJOURNAL").
QByteArray mkcalendarBody(const QString& displayName, const QByteArray& components);

} // namespace orvana::dav
