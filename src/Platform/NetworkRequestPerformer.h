#pragma once

#include "Services/URLRequestPerforming.h"

#include <QNetworkAccessManager>

namespace orvana {

// HTTP through QNetworkAccessManager. Every HTTP status is a response; only a
// transport failure is an error, and a time-out says so plainly instead of
// Qt's "Operation canceled".
class NetworkRequestPerformer final : public URLRequestPerforming {
public:
    QCoro::Task<Result<HttpResponse>> perform(HttpRequest request) override;

private:
    QNetworkAccessManager manager_;
};

} // namespace orvana
