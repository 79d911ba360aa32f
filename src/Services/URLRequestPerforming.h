#pragma once

#include "Core/Result.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QUrl>
#include <qcoro/qcorotask.h>

namespace orvana {

struct HttpRequest {
    QUrl url;
    QByteArray method = "GET";
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    int timeoutMs = 30000;

    QByteArray header(const QByteArray& name) const {
        for (const auto& [key, value] : headers) {
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        }
        return {};
    }
};

struct HttpResponse {
    bool isHttp = true; // false for a reply that did not come over HTTP
    int statusCode = 0;
    QByteArray body;
};

// Performs one HTTP request. A transport failure (offline, time-out, TLS) is
// an Error with a sentence for the user; any HTTP status is a response.
class URLRequestPerforming {
public:
    virtual ~URLRequestPerforming() = default;
    virtual QCoro::Task<Result<HttpResponse>> perform(HttpRequest request) = 0;
};

} // namespace orvana
