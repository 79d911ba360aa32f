#include "Services/HostedAIReviewService.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

namespace orvana {

namespace {

// Named, so that lupdate files these texts under the context they are looked up in.
struct HostedText {
    Q_DECLARE_TR_FUNCTIONS(HostedAIReviewError)
};

} // namespace

QString HostedAIReviewError::message() const {
    switch (kind) {
    case Kind::http:
        return HostedText::tr("The hosted proxy returned an error (HTTP %1).").arg(statusCode);
    case Kind::invalidProxyURL:
        return HostedText::tr("The hosted proxy URL in Settings is invalid.");
    case Kind::notRegistered:
        return HostedText::tr("Couldn't verify this device with the hosted proxy. Try again.");
    case Kind::registrationFailed:
        return HostedText::tr("Couldn't register this device with the hosted proxy.");
    case Kind::quotaExceeded:
        return HostedText::tr(
            "You've reached the free weekly AI review limit. Add your own API key in "
            "Settings for unlimited use.");
    case Kind::atCapacity:
        return HostedText::tr(
            "The hosted AI review service is at capacity right now. Try again later, or "
            "add your own API key in Settings.");
    case Kind::invalidResponse:
        return HostedText::tr("The hosted proxy returned an unreadable response.");
    case Kind::decoding:
        return HostedText::tr("Couldn't parse the hosted proxy's response.");
    }
    return {};
}

Error HostedAIReviewError::toError() const {
    switch (kind) {
    case Kind::http:
        return Error{message(), ErrorKind::network};
    case Kind::invalidProxyURL:
    case Kind::invalidResponse:
    case Kind::decoding:
        return Error{message(), ErrorKind::invalidInput};
    case Kind::notRegistered:
    case Kind::registrationFailed:
        return Error{message(), ErrorKind::authentication};
    case Kind::atCapacity:
        return Error{message(), ErrorKind::busy};
    case Kind::quotaExceeded:
        break;
    }
    return Error{message()};
}

HostedAIReviewService::HostedAIReviewService(URLRequestPerforming& session,
                                             Dependencies dependencies)
    : session_(session), d_(std::move(dependencies)) {}

std::optional<QUrl> HostedAIReviewService::resolve(const QString& baseURL, const char* path) {
    const QUrl base(baseURL, QUrl::StrictMode);
    if (baseURL.isEmpty() || !base.isValid() || base.scheme().isEmpty() || base.host().isEmpty())
        return std::nullopt;
    const QUrl resolved = base.resolved(QUrl(QLatin1String(path)));
    if (!resolved.isValid())
        return std::nullopt;
    return resolved;
}

QCoro::Task<Result<void>> HostedAIReviewService::registerIfNeeded() {
    if (d_.deviceIDProvider() && d_.deviceTokenProvider())
        co_return Result<void>();
    const auto url = resolve(d_.baseURLProvider(), "/v1/register");
    if (!url)
        co_return HostedAIReviewError{HostedAIReviewError::Kind::invalidProxyURL}.toError();
    HttpRequest request;
    request.url = *url;
    request.method = "POST";
    // Copies: the service may be gone when the reply comes.
    auto store = d_.storeDeviceIdentity;
    auto response = co_await session_.perform(std::move(request));
    if (!response.ok())
        co_return response.error();
    const HttpResponse& r = response.value();
    if (!r.isHttp || r.statusCode < 200 || r.statusCode > 299)
        co_return HostedAIReviewError{HostedAIReviewError::Kind::registrationFailed}.toError();
    const QJsonObject body = QJsonDocument::fromJson(r.body).object();
    const QJsonValue id = body.value(QLatin1String("deviceID"));
    const QJsonValue token = body.value(QLatin1String("token"));
    if (!id.isString() || !token.isString())
        co_return HostedAIReviewError{HostedAIReviewError::Kind::decoding}.toError();
    store(id.toString(), token.toString());
    co_return Result<void>();
}

Result<HttpRequest> HostedAIReviewService::makeRequest(const QString& text) const {
    const auto url = resolve(d_.baseURLProvider(), "/v1/review");
    if (!url)
        return HostedAIReviewError{HostedAIReviewError::Kind::invalidProxyURL}.toError();
    const auto id = d_.deviceIDProvider();
    const auto token = d_.deviceTokenProvider();
    if (!id || !token)
        return HostedAIReviewError{HostedAIReviewError::Kind::notRegistered}.toError();
    HttpRequest request;
    request.url = *url;
    request.method = "POST";
    request.headers = {{"Content-Type", "application/json"},
                       {"X-Device-ID", id->toUtf8()},
                       {"X-Device-Token", token->toUtf8()}};
    request.body =
        QJsonDocument(QJsonObject{{QStringLiteral("text"), text}}).toJson(QJsonDocument::Compact);
    return request;
}

Result<AIReviewResult> HostedAIReviewService::parseResult(const HttpResponse& response) const {
    using Kind = HostedAIReviewError::Kind;
    if (!response.isHttp)
        return HostedAIReviewError{Kind::invalidResponse}.toError();
    switch (response.statusCode) {
    case 401:
        d_.clearDeviceIdentity(); // the next review registers anew
        return HostedAIReviewError{Kind::notRegistered}.toError();
    case 429:
        return HostedAIReviewError{Kind::quotaExceeded}.toError();
    case 503:
        return HostedAIReviewError{Kind::atCapacity}.toError();
    default:
        break;
    }
    if (response.statusCode < 200 || response.statusCode > 299)
        return HostedAIReviewError{Kind::http, response.statusCode}.toError();
    auto result = AIReviewResult::fromJSON(response.body);
    if (!result)
        return HostedAIReviewError{Kind::decoding}.toError();
    return *result;
}

QCoro::Task<Result<AIReviewResult>> HostedAIReviewService::review(QString text) {
    if (auto registered = co_await registerIfNeeded(); !registered.ok())
        co_return registered.error();
    auto request = makeRequest(text);
    if (!request.ok())
        co_return request.error();
    auto response = co_await session_.perform(std::move(request.value()));
    if (!response.ok())
        co_return response.error();
    co_return parseResult(response.value());
}

} // namespace orvana
