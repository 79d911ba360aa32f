#pragma once

#include "Core/Result.h"
#include "Services/URLRequestPerforming.h"

#include <QStringList>
#include <functional>
#include <optional>

namespace orvana {

// The critique of one planning text.
struct AIReviewResult {
    bool isVague = false;
    bool isMeasurable = false;
    bool isOvercommitted = false;
    QStringList suggestions;
    friend bool operator==(const AIReviewResult&, const AIReviewResult&) = default;

    // Exactly one JSON object with the four keys (extra keys ignored).
    static std::optional<AIReviewResult> fromJSON(const QByteArray& json);
    // Compact JSON with the four keys, as the review proxy answers.
    QByteArray toJSON() const;
};

// Failures of a review, each with its sentence for the user.
struct AIReviewError {
    enum class Kind { http, missingAPIKey, invalidResponse, decoding };
    Kind kind;
    int statusCode = 0;
    QString message() const;
    Error toError() const;
};

// Reviews text with the user's own key at an OpenRouter-compatible
// chat-completions endpoint. Stateless: the key is read anew for every
// review; nothing is cached or retried.
class AIReviewService {
public:
    using KeyProvider = std::function<std::optional<QString>()>;

    static constexpr const char* endpoint = "https://openrouter.ai/api/v1/chat/completions";
    static const char* systemPrompt();

    AIReviewService(URLRequestPerforming& session, KeyProvider apiKeyProvider, QString modelID);

    // Fails with an AIReviewError's sentence, or a transport error unchanged.
    QCoro::Task<Result<AIReviewResult>> review(QString text);

    Result<HttpRequest> makeRequest(const QString& text) const;
    static Result<AIReviewResult> parseResult(const HttpResponse& response);

    // Another OpenRouter-compatible endpoint (the review proxy's upstream,
    // loopback tests); the app always uses `endpoint`.
    void setEndpoint(QUrl url) { endpoint_ = std::move(url); }

private:
    URLRequestPerforming& session_;
    KeyProvider apiKeyProvider_;
    QString modelID_;
    QUrl endpoint_{QLatin1String(endpoint)};
};

} // namespace orvana
