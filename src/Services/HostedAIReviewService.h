#pragma once

#include "Services/AIReviewService.h"

#include <functional>
#include <optional>

namespace orvana {

// Failures of the hosted proxy client, each with its sentence for the user.
struct HostedAIReviewError {
    enum class Kind {
        http,
        invalidProxyURL,
        notRegistered,
        registrationFailed,
        quotaExceeded,
        atCapacity,
        invalidResponse,
        decoding
    };
    Kind kind;
    int statusCode = 0;
    friend bool operator==(const HostedAIReviewError&, const HostedAIReviewError&) = default;
    QString message() const;
    Error toError() const;
};

// AI review without a key of one's own: through the review proxy, which
// issues a device identity on first use and limits free use per week.
class HostedAIReviewService {
public:
    struct Dependencies {
        std::function<QString()> baseURLProvider;
        std::function<std::optional<QString>()> deviceIDProvider;
        std::function<std::optional<QString>()> deviceTokenProvider;
        std::function<void(const QString& deviceID, const QString& token)> storeDeviceIdentity;
        std::function<void()> clearDeviceIdentity;
    };

    HostedAIReviewService(URLRequestPerforming& session, Dependencies dependencies);

    // Registers when no identity is stored, then reviews. The service must
    // outlive the review; transport failures pass through unchanged.
    QCoro::Task<Result<AIReviewResult>> review(QString text);
    QCoro::Task<Result<void>> registerIfNeeded();
    Result<HttpRequest> makeRequest(const QString& text) const;
    Result<AIReviewResult> parseResult(const HttpResponse& response) const;

    // `path` resolved against the base URL as an absolute path (any path in
    // the base is replaced); absent when the base is not a usable URL.
    static std::optional<QUrl> resolve(const QString& baseURL, const char* path);

private:
    URLRequestPerforming& session_;
    Dependencies d_;
};

} // namespace orvana
