#pragma once

#include "Core/Result.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QUrl>
#include <qcoro/qcorotask.h>

namespace orvana {

using HttpHeaders = QList<QPair<QByteArray, QByteArray>>;

// The value of header `name` (case-insensitive), empty when absent.
inline QByteArray headerValue(const HttpHeaders& headers, const QByteArray& name) {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

struct HttpRequest {
    QUrl url;
    QByteArray method = "GET";
    HttpHeaders headers;
    QByteArray body;
    int timeoutMs = 30000;
    // A larger answer is abandoned with an error (0: no bound).
    qint64 maxResponseBytes = 0;
    // Off: a 3xx comes back as the response, Location among its headers.
    bool followRedirects = true;

    QByteArray header(const QByteArray& name) const { return headerValue(headers, name); }
};

struct HttpResponse {
    bool isHttp = true; // false for a reply that did not come over HTTP
    int statusCode = 0;
    QByteArray body;
    HttpHeaders headers = {};

    QByteArray header(const QByteArray& name) const { return headerValue(headers, name); }
};

// Performs one HTTP request. A transport failure (offline, time-out, TLS) is
// an Error with a sentence for the user (a certificate the system does not
// trust: kind certificate, with its fingerprint); any HTTP status is a
// response.
class URLRequestPerforming {
public:
    virtual ~URLRequestPerforming() = default;
    virtual QCoro::Task<Result<HttpResponse>> perform(HttpRequest request) = 0;
};

} // namespace orvana
