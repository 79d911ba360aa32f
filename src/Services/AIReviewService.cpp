#include "Services/AIReviewService.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace orvana {

std::optional<AIReviewResult> AIReviewResult::fromJSON(const QByteArray& json) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject o = document.object();
    const QJsonValue vague = o.value(QLatin1String("isVague"));
    const QJsonValue measurable = o.value(QLatin1String("isMeasurable"));
    const QJsonValue overcommitted = o.value(QLatin1String("isOvercommitted"));
    const QJsonValue suggestions = o.value(QLatin1String("suggestions"));
    if (!vague.isBool() || !measurable.isBool() || !overcommitted.isBool() ||
        !suggestions.isArray())
        return std::nullopt;
    AIReviewResult result{vague.toBool(), measurable.toBool(), overcommitted.toBool(), {}};
    for (const QJsonValue& s : suggestions.toArray()) {
        if (!s.isString())
            return std::nullopt;
        result.suggestions << s.toString();
    }
    return result;
}

QByteArray AIReviewResult::toJSON() const {
    return QJsonDocument(QJsonObject{{QStringLiteral("isVague"), isVague},
                                     {QStringLiteral("isMeasurable"), isMeasurable},
                                     {QStringLiteral("isOvercommitted"), isOvercommitted},
                                     {QStringLiteral("suggestions"),
                                      QJsonArray::fromStringList(suggestions)}})
        .toJson(QJsonDocument::Compact);
}

QString AIReviewError::message() const {
    switch (kind) {
    case Kind::http:
        return QCoreApplication::translate("AIReviewError",
                                           "The AI provider returned an error (HTTP %1).")
            .arg(statusCode);
    case Kind::missingAPIKey:
        return QCoreApplication::translate(
            "AIReviewError", "No API key configured. Add one in Settings to use AI review.");
    case Kind::invalidResponse:
        return QCoreApplication::translate("AIReviewError",
                                           "The AI provider returned an unreadable response.");
    case Kind::decoding:
        return QCoreApplication::translate("AIReviewError",
                                           "Couldn't parse the AI provider's response.");
    }
    return {};
}

Error AIReviewError::toError() const {
    ErrorKind errorKind = ErrorKind::invalidInput; // an answer that could not be read
    if (kind == Kind::missingAPIKey ||
        (kind == Kind::http && (statusCode == 401 || statusCode == 403)))
        errorKind = ErrorKind::authentication;
    else if (kind == Kind::http)
        errorKind = ErrorKind::network;
    return Error{message(), errorKind};
}

const char* AIReviewService::systemPrompt() {
    return "You are a terse critic reviewing a personal goal-planning entry. Respond with ONLY a "
           "JSON object matching this schema, no prose: {\"isVague\": bool, \"isMeasurable\": "
           "bool, \"isOvercommitted\": bool, \"suggestions\": [string]}. isVague: true if the "
           "wording is unclear about what \"done\" looks like. isMeasurable: true if there IS a "
           "concrete, measurable outcome. isOvercommitted: true if the scope looks unrealistic "
           "for the stated timeframe. suggestions: 1-3 short, specific improvement suggestions.";
}

AIReviewService::AIReviewService(URLRequestPerforming& session, KeyProvider apiKeyProvider,
                                 QString modelID)
    : session_(session), apiKeyProvider_(std::move(apiKeyProvider)), modelID_(std::move(modelID)) {}

Result<HttpRequest> AIReviewService::makeRequest(const QString& text) const {
    const std::optional<QString> key = apiKeyProvider_ ? apiKeyProvider_() : std::nullopt;
    if (!key || key->isEmpty())
        return AIReviewError{AIReviewError::Kind::missingAPIKey}.toError();
    HttpRequest request;
    request.url = endpoint_;
    request.method = "POST";
    request.timeoutMs = 30000;
    request.headers = {{"Authorization", "Bearer " + key->toUtf8()},
                       {"Content-Type", "application/json"}};
    const QJsonObject body{
        {QStringLiteral("model"), modelID_},
        {QStringLiteral("messages"),
         QJsonArray{QJsonObject{{QStringLiteral("role"), QStringLiteral("system")},
                                {QStringLiteral("content"), QString::fromUtf8(systemPrompt())}},
                    QJsonObject{{QStringLiteral("role"), QStringLiteral("user")},
                                {QStringLiteral("content"), text}}}},
        {QStringLiteral("response_format"),
         QJsonObject{{QStringLiteral("type"), QStringLiteral("json_object")}}},
    };
    request.body = QJsonDocument(body).toJson(QJsonDocument::Compact);
    return request;
}

Result<AIReviewResult> AIReviewService::parseResult(const HttpResponse& response) {
    using Kind = AIReviewError::Kind;
    if (!response.isHttp)
        return AIReviewError{Kind::invalidResponse}.toError();
    if (response.statusCode < 200 || response.statusCode > 299)
        return AIReviewError{Kind::http, response.statusCode}.toError();
    const QJsonDocument document = QJsonDocument::fromJson(response.body);
    const QJsonValue choices = document.object().value(QLatin1String("choices"));
    if (!document.isObject() || !choices.isArray() || choices.toArray().isEmpty())
        return AIReviewError{Kind::decoding}.toError();
    const QJsonValue content = choices.toArray()
                                   .first()
                                   .toObject()
                                   .value(QLatin1String("message"))
                                   .toObject()
                                   .value(QLatin1String("content"));
    if (!content.isString())
        return AIReviewError{Kind::decoding}.toError();
    // Used exactly as sent: a fenced or chatty answer is not a result.
    auto result = AIReviewResult::fromJSON(content.toString().toUtf8());
    if (!result)
        return AIReviewError{Kind::decoding}.toError();
    return *result;
}

QCoro::Task<Result<AIReviewResult>> AIReviewService::review(QString text) {
    auto request = makeRequest(text);
    if (!request.ok())
        co_return request.error();
    URLRequestPerforming& session = session_;
    auto response = co_await session.perform(std::move(request.value()));
    if (!response.ok())
        co_return response.error(); // transport failures pass through unchanged
    co_return parseResult(response.value());
}

} // namespace orvana
