#include "Services/AIReviewService.h"
#include "Services/HostedAIReviewService.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace orvana;

namespace {

// Answers registrations and everything else with fixed responses (or a
// transport error) and keeps what it was asked.
class FakeNetwork : public URLRequestPerforming {
public:
    Result<HttpResponse> answer = HttpResponse{};
    HttpResponse registration{true, 200, R"({"deviceID": "dev-1", "token": "tok-1", "x": 1})"};
    std::vector<HttpRequest> requests;
    QCoro::Task<Result<HttpResponse>> perform(HttpRequest request) override {
        // A copy: QCoro moves from whatever co_return names.
        Result<HttpResponse> copy = request.url.path() == QLatin1String("/v1/register")
                                        ? Result<HttpResponse>(registration)
                                        : answer;
        requests.push_back(std::move(request));
        co_return copy;
    }
};

std::string errorOf(const Result<AIReviewResult>& result) {
    return result.ok() ? "(no error)" : result.error().message.toStdString();
}

HttpResponse chat(int status, const QString& content) {
    const QJsonObject body{
        {"id", "x"},
        {"choices", QJsonArray{QJsonObject{
                        {"message", QJsonObject{{"role", "assistant"}, {"content", content}}}}}}};
    return {true, status, QJsonDocument(body).toJson()};
}

const QString goodContent = QStringLiteral(
    R"({"isVague": true, "isMeasurable": false, "isOvercommitted": false, "extra": 1,
        "suggestions": ["a", "b", "c", "d", "e"]})");

TEST(AIReview, WithAKeyTheRequestIsExactlyTheProvidersShape) {
    FakeNetwork network;
    std::optional<QString> key;
    AIReviewService service(
        network, [&] { return key; }, QStringLiteral("openai/gpt-4o-mini"));
    for (auto absent : {std::optional<QString>(), std::optional<QString>(QString())}) {
        key = absent;
        EXPECT_EQ(errorOf(QCoro::waitFor(service.review(QStringLiteral("text")))),
                  "No API key configured. Add one in Settings to use AI review.");
    }
    EXPECT_TRUE(network.requests.empty()) << "nothing sent without a key";

    key = QStringLiteral("sk-key");
    const HttpRequest r = service.makeRequest(QStringLiteral("Run a marathon\nsomeday")).value();
    EXPECT_EQ(r.url.scheme(), QStringLiteral("https"));
    EXPECT_EQ(r.url.path(), QStringLiteral("/api/v1/chat/completions"));
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.timeoutMs, 30000);
    EXPECT_EQ(r.headers,
              (QList<QPair<QByteArray, QByteArray>>{{"Authorization", "Bearer sk-key"},
                                                    {"Content-Type", "application/json"}}));
    EXPECT_FALSE(r.body.contains('\n')) << "compact";
    const auto message = [](const char* role, const QString& content) {
        return QJsonObject{{"role", role}, {"content", content}};
    };
    EXPECT_EQ(QJsonDocument::fromJson(r.body).object(),
              (QJsonObject{
                  {"model", "openai/gpt-4o-mini"},
                  {"messages",
                   QJsonArray{message("system", QString::fromUtf8(AIReviewService::systemPrompt())),
                              message("user", "Run a marathon\nsomeday")}},
                  {"response_format", QJsonObject{{"type", "json_object"}}}}));
}

TEST(AIReview, ResponsesAreReadStatusFirstAndContentAsIsAndTransportErrorsPassThrough) {
    EXPECT_EQ(AIReviewService::parseResult(chat(200, goodContent)).value().suggestions.size(), 5)
        << "not cut";
    const std::string parseMessage = "Couldn't parse the AI provider's response.";
    const struct {
        HttpResponse response;
        std::string message;
    } cases[] = {
        {chat(500, goodContent), "The AI provider returned an error (HTTP 500)."},
        {chat(429, QString()), "The AI provider returned an error (HTTP 429)."},
        {chat(200, "```json\n" + goodContent + "\n```"), parseMessage},
        {{true, 200, R"({"choices": []})"}, parseMessage},
        {{true, 200, "not json"}, parseMessage},
        {chat(200, QStringLiteral(R"({"isVague": true})")), parseMessage},
        {{false, 0, {}}, "The AI provider returned an unreadable response."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(errorOf(AIReviewService::parseResult(c.response)), c.message);

    FakeNetwork network;
    network.answer = Error{QStringLiteral("The request timed out.")};
    AIReviewService service(
        network, [] { return QStringLiteral("k"); }, QStringLiteral("m"));
    EXPECT_EQ(errorOf(QCoro::waitFor(service.review(QStringLiteral("t")))),
              "The request timed out.");
    network.answer = chat(200, goodContent);
    auto good = QCoro::waitFor(service.review(QStringLiteral("t")));
    EXPECT_TRUE(good.ok() && good.value().isVague) << errorOf(good);
}

class Hosted : public ::testing::Test {
protected:
    FakeNetwork proxy;
    QString baseURL = QStringLiteral("http://127.0.0.1:8081");
    std::optional<QString> id, token;
    HostedAIReviewService service{
        proxy,
        {[this] { return baseURL; }, [this] { return id; }, [this] { return token; },
         [this](const QString& i, const QString& t) { id = i, token = t; },
         [this] { id.reset(), token.reset(); }}};
    std::string review() { return errorOf(QCoro::waitFor(service.review(QStringLiteral("t")))); }
};

// Registration once, the device headers, the text and the identity's reuse
// are followed end to end against the proxy itself (ReviewProxyEndToEnd);
// the proxy does not look at these two.
TEST_F(Hosted, ARegistrationHasNoBodyAndAReviewIsDeclaredJSON) {
    (void)review();
    ASSERT_EQ(proxy.requests.size(), 2u);
    EXPECT_TRUE(proxy.requests[0].body.isEmpty());
    EXPECT_EQ(proxy.requests[1].header("Content-Type"), "application/json");
}

TEST_F(Hosted, StatusesMapInOrderAnd401ForgetsTheIdentity) {
    id = QStringLiteral("d");
    token = QStringLiteral("t");
    using K = HostedAIReviewError::Kind;
    const struct {
        HttpResponse response;
        HostedAIReviewError error;
    } cases[] = {{{true, 429, "{}"}, {K::quotaExceeded}},  {{true, 503, "{}"}, {K::atCapacity}},
                 {{true, 404, "{}"}, {K::http, 404}},      {{false, 0, {}}, {K::invalidResponse}},
                 {{true, 200, "```{}```"}, {K::decoding}}, {{true, 401, "{}"}, {K::notRegistered}}};
    for (const auto& c : cases) {
        EXPECT_TRUE(id) << "only a 401 forgets it";
        EXPECT_EQ(errorOf(service.parseResult(c.response)), c.error.message().toStdString());
    }
    EXPECT_FALSE(id) << "401 cleared the identity";
}

TEST_F(Hosted, BaseURLsAndRegistrationFailures) {
    EXPECT_EQ(HostedAIReviewService::resolve(QStringLiteral("https://proxy.example/api/v2/"),
                                             "/v1/review")
                  ->toString(),
              QStringLiteral("https://proxy.example/v1/review"))
        << "a path in the base is replaced";
    for (const QString& bad : {QString(), QStringLiteral("not a url"), QStringLiteral("http://")})
        EXPECT_FALSE(HostedAIReviewService::resolve(bad, "/v1/review")) << bad.toStdString();

    baseURL.clear();
    EXPECT_EQ(review(), "The hosted proxy URL in Settings is invalid.");
    EXPECT_TRUE(proxy.requests.empty()) << "nothing sent";

    baseURL = QStringLiteral("http://127.0.0.1:8081");
    proxy.registration = {true, 200, R"({"deviceID": "only-id"})"};
    EXPECT_EQ(review(), "Couldn't parse the hosted proxy's response.");
    EXPECT_FALSE(id) << "nothing stored without a token";
    proxy.registration = {true, 500, {}};
    EXPECT_EQ(review(), "Couldn't register this device with the hosted proxy.");
}

} // namespace
