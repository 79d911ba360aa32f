#include "Services/AIReviewService.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace orvana;

namespace {

// Answers every request with a fixed response (or transport error) and
// keeps what it was asked.
class FakeSession : public URLRequestPerforming {
public:
    Result<HttpResponse> answer = HttpResponse{};
    std::vector<HttpRequest> requests;
    QCoro::Task<Result<HttpResponse>> perform(HttpRequest request) override {
        requests.push_back(std::move(request));
        Result<HttpResponse> copy = answer; // QCoro moves from whatever co_return names
        co_return copy;
    }
};

HttpResponse chat(int status, const QString& content) {
    const QJsonObject body{
        {QStringLiteral("id"), QStringLiteral("x")},
        {QStringLiteral("choices"),
         QJsonArray{QJsonObject{{QStringLiteral("message"),
                                 QJsonObject{{QStringLiteral("role"), QStringLiteral("assistant")},
                                             {QStringLiteral("content"), content}}}}}}};
    return {true, status, QJsonDocument(body).toJson()};
}

const QString goodContent = QStringLiteral(
    R"({"isVague": true, "isMeasurable": false, "isOvercommitted": false, "extra": 1,
        "suggestions": ["a", "b", "c", "d", "e"]})");

TEST(AIReview, TheRequestIsExactlyTheProvidersShape) {
    FakeSession session;
    AIReviewService service(
        session, [] { return QStringLiteral("sk-key"); }, QStringLiteral("openai/gpt-4o-mini"));
    auto request = service.makeRequest(QStringLiteral("Run a marathon\nsomeday"));
    ASSERT_TRUE(request.ok());
    const HttpRequest& r = request.value();
    EXPECT_EQ(r.url.scheme(), QStringLiteral("https"));
    EXPECT_EQ(r.url.path(), QStringLiteral("/api/v1/chat/completions"));
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.timeoutMs, 30000);
    EXPECT_EQ(r.headers.size(), 2);
    EXPECT_EQ(r.header("Authorization"), "Bearer sk-key");
    EXPECT_EQ(r.header("Content-Type"), "application/json");
    EXPECT_FALSE(r.body.contains('\n')) << "compact";
    const QJsonObject body = QJsonDocument::fromJson(r.body).object();
    EXPECT_EQ(body.keys(), (QStringList{"messages", "model", "response_format"}));
    EXPECT_EQ(body.value(QLatin1String("model")).toString(), QStringLiteral("openai/gpt-4o-mini"));
    const QJsonArray messages = body.value(QLatin1String("messages")).toArray();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0].toObject().value(QLatin1String("role")).toString(), "system");
    EXPECT_EQ(messages[1].toObject().value(QLatin1String("role")).toString(), "user");
    EXPECT_EQ(messages[1].toObject().value(QLatin1String("content")).toString(),
              QStringLiteral("Run a marathon\nsomeday"));
    EXPECT_EQ(body.value(QLatin1String("response_format")).toObject(),
              (QJsonObject{{QStringLiteral("type"), QStringLiteral("json_object")}}));
}

TEST(AIReview, AnEmptyOrAbsentKeySendsNothing) {
    for (std::optional<QString> key :
         {std::optional<QString>(), std::optional<QString>(QString())}) {
        FakeSession session;
        AIReviewService service(
            session, [key] { return key; }, QStringLiteral("m"));
        auto result = QCoro::waitFor(service.review(QStringLiteral("text")));
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().message,
                  QStringLiteral("No API key configured. Add one in Settings to use AI review."));
        EXPECT_TRUE(session.requests.empty());
    }
}

TEST(AIReview, ResponsesAreReadStatusFirstAndContentAsIs) {
    EXPECT_EQ(AIReviewService::parseResult(chat(200, goodContent)).value().suggestions.size(), 5)
        << "not cut";
    const struct {
        HttpResponse response;
        const char* message;
    } cases[] = {
        {chat(500, goodContent), "The AI provider returned an error (HTTP 500)."},
        {chat(200, "```json\n" + goodContent + "\n```"),
         "Couldn't parse the AI provider's response."},
        {{true, 200, R"({"choices": []})"}, "Couldn't parse the AI provider's response."},
        {{true, 200, "not json"}, "Couldn't parse the AI provider's response."},
        {chat(200, QStringLiteral(R"({"isVague": true})")),
         "Couldn't parse the AI provider's response."},
        {{false, 0, {}}, "The AI provider returned an unreadable response."},
    };
    for (const auto& c : cases) {
        auto result = AIReviewService::parseResult(c.response);
        ASSERT_FALSE(result.ok()) << c.message;
        EXPECT_EQ(result.error().message, QLatin1String(c.message));
    }
}

TEST(AIReview, ATransportFailurePassesThroughUnchanged) {
    FakeSession session;
    session.answer = Error{QStringLiteral("The request timed out.")};
    AIReviewService service(
        session, [] { return QStringLiteral("k"); }, QStringLiteral("m"));
    auto result = QCoro::waitFor(service.review(QStringLiteral("t")));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().message, QStringLiteral("The request timed out."));
    session.answer = chat(200, goodContent);
    auto good = QCoro::waitFor(service.review(QStringLiteral("t")));
    ASSERT_TRUE(good.ok());
    EXPECT_TRUE(good.value().isVague);
}

} // namespace
