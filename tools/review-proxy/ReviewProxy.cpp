#include "ReviewProxy.h"

#include "OfflineCritic.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

namespace orvana::proxy {

namespace {

Response databaseFailure(const Error& error) {
    std::fprintf(stderr, "database: %s\n", qUtf8Printable(error.message));
    return HttpServer::error(500, QStringLiteral("The proxy's database failed."));
}

} // namespace

ReviewProxy::ReviewProxy(DeviceStore& store, URLRequestPerforming& session, Options options)
    : store_(store), options_(std::move(options)) {
    if (options_.upstream) {
        upstream_.emplace(
            session, [key = options_.upstreamKey] { return std::optional<QString>(key); },
            options_.modelID);
        upstream_->setEndpoint(*options_.upstream);
    }
}

QCoro::Task<Response> ReviewProxy::handle(Request request) {
    const bool isRegister = request.path == "/v1/register";
    if (!isRegister && request.path != "/v1/review")
        co_return HttpServer::error(404, QStringLiteral("There is nothing at this path."));
    if (request.method != "POST") {
        Response refusal = HttpServer::error(405, QStringLiteral("Only POST is allowed here."));
        refusal.headers = {{"Allow", "POST"}};
        co_return refusal;
    }
    if (isRegister)
        co_return registerDevice();
    co_return co_await review(std::move(request));
}

Response ReviewProxy::registerDevice() {
    if (!clock_.isValid())
        clock_.start();
    const qint64 now = clock_.elapsed();
    while (!registrationTimes_.empty() && now - registrationTimes_.front() >= 60'000)
        registrationTimes_.pop_front();
    if (registrationTimes_.size() >= std::size_t(maxRegistrationsPerMinute))
        return HttpServer::error(429,
                                 QStringLiteral("Too many registrations; try again in a minute."));
    registrationTimes_.push_back(now);
    const Result<DeviceStore::Identity> identity = store_.registerDevice();
    if (!identity.ok())
        return databaseFailure(identity.error());
    return {200,
            QJsonDocument(QJsonObject{{QStringLiteral("deviceID"), identity.value().deviceID},
                                      {QStringLiteral("token"), identity.value().token}})
                .toJson(QJsonDocument::Compact),
            {}};
}

QCoro::Task<Response> ReviewProxy::review(Request request) {
    const QString deviceID = QString::fromUtf8(request.header("X-Device-ID"));
    const QString token = QString::fromUtf8(request.header("X-Device-Token"));
    if (deviceID.isEmpty() || token.isEmpty())
        co_return HttpServer::error(401, QStringLiteral("The device headers are missing."));
    const Result<bool> verified = store_.verify(deviceID, token);
    if (!verified.ok())
        co_return databaseFailure(verified.error());
    if (!verified.value())
        co_return HttpServer::error(401, QStringLiteral("This device isn't registered here."));

    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(request.body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        co_return HttpServer::error(400, QStringLiteral("The body must be a JSON object."));
    const QJsonValue textValue = document.object().value(QLatin1String("text"));
    if (!textValue.isString())
        co_return HttpServer::error(400, QStringLiteral("\"text\" must be a string."));
    const QString text = textValue.toString();
    if (text.trimmed().isEmpty())
        co_return HttpServer::error(400, QStringLiteral("\"text\" is empty."));
    if (text.size() > maxTextLength && text.toUcs4().size() > maxTextLength)
        co_return HttpServer::error(
            400, QStringLiteral("\"text\" is longer than %1 characters.").arg(maxTextLength));

    // Weeks are UTC weeks, so the reset doesn't move with the server's zone.
    const QString week = isoWeek(QDateTime::currentDateTimeUtc().date());
    const Result<int> used = store_.reviewsUsed(deviceID, week);
    if (!used.ok())
        co_return databaseFailure(used.error());
    // Reviews still running count too, or parallel requests could overdraw.
    if (used.value() + inFlightByDevice_.value(deviceID) >= options_.weeklyLimit)
        co_return HttpServer::error(
            429, QStringLiteral("This device has used its free reviews for this week."));
    if (inFlight_ >= options_.maxConcurrent)
        co_return HttpServer::error(
            503, QStringLiteral("Too many reviews are in progress. Try again shortly."));

    ++inFlight_;
    ++inFlightByDevice_[deviceID];
    Result<AIReviewResult> result;
    if (upstream_)
        result = co_await upstream_->review(text);
    else
        result = critique(text);
    --inFlight_;
    if (--inFlightByDevice_[deviceID] == 0)
        inFlightByDevice_.remove(deviceID);

    if (!result.ok())
        co_return HttpServer::error(
            502, QStringLiteral("The upstream provider failed: %1").arg(result.error().message));
    // The review is done either way; a failed count is the proxy's loss.
    if (const Result<void> counted = store_.countReview(deviceID, week); !counted.ok())
        std::fprintf(stderr, "database: %s\n", qUtf8Printable(counted.error().message));
    co_return Response{200, result.value().toJSON(), {}};
}

} // namespace orvana::proxy
