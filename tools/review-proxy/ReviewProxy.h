#pragma once

#include "DeviceStore.h"
#include "HttpServer.h"
#include "Services/AIReviewService.h"

#include <QElapsedTimer>
#include <QHash>
#include <QUrl>
#include <deque>
#include <optional>

namespace orvana::proxy {

// The proxy's two endpoints. POST /v1/register issues a device identity;
// POST /v1/review checks it, the device's free weekly quota and the number
// of reviews in flight, then reviews with the upstream provider (or the
// offline critic when there is none).
class ReviewProxy {
public:
    static constexpr qsizetype maxTextLength = 8000;
    // Registration is open to anyone who can reach the port; this keeps a
    // loop from filling the database or minting fresh quota without end.
    static constexpr int maxRegistrationsPerMinute = 30;

    struct Options {
        int weeklyLimit = 20;
        int maxConcurrent = 4;
        std::optional<QUrl> upstream; // the offline critic when absent
        QString upstreamKey;
        QString modelID;
    };

    // `session` carries the upstream requests; both must outlive the proxy.
    ReviewProxy(DeviceStore& store, URLRequestPerforming& session, Options options);

    QCoro::Task<Response> handle(Request request);

private:
    Response registerDevice();
    QCoro::Task<Response> review(Request request);

    DeviceStore& store_;
    Options options_;
    std::optional<AIReviewService> upstream_;
    int inFlight_ = 0;
    std::deque<qint64> registrationTimes_; // monotonic ms of the last minute's registrations
    QElapsedTimer clock_;
    QHash<QString, int> inFlightByDevice_; // admitted, not yet counted in the store
};

} // namespace orvana::proxy
