#include "Services/HostedAIReviewService.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace orvana;

namespace {

// A proxy stand-in: answers by path and keeps the requests.
class FakeProxy : public URLRequestPerforming {
public:
    HttpResponse registerAnswer{true, 200, R"({"deviceID": "dev-1", "token": "tok-1", "x": 1})"};
    HttpResponse reviewAnswer{
        true, 200,
        R"({"isVague": false, "isMeasurable": true, "isOvercommitted": false, "suggestions": ["s"]})"};
    std::vector<HttpRequest> requests;
    QCoro::Task<Result<HttpResponse>> perform(HttpRequest request) override {
        requests.push_back(request);
        // A copy: QCoro moves from whatever co_return names.
        HttpResponse answer =
            request.url.path() == QLatin1String("/v1/register") ? registerAnswer : reviewAnswer;
        co_return answer;
    }
};

class Hosted : public ::testing::Test {
protected:
    HostedAIReviewService service() {
        return HostedAIReviewService(proxy, {[this] { return baseURL; }, [this] { return id; },
                                             [this] { return token; },
                                             [this](const QString& i, const QString& t) {
                                                 id = i;
                                                 token = t;
                                             },
                                             [this] {
                                                 id.reset();
                                                 token.reset();
                                             }});
    }
    FakeProxy proxy;
    QString baseURL = QStringLiteral("http://127.0.0.1:8081");
    std::optional<QString> id, token;
};

TEST_F(Hosted, RegistersOnceThenReviewsWithTheDeviceHeaders) {
    auto s = service();
    auto first = QCoro::waitFor(s.review(QStringLiteral("Run 5k")));
    ASSERT_TRUE(first.ok()) << first.error().message.toStdString();
    EXPECT_TRUE(first.value().isMeasurable);
    EXPECT_EQ(id, QStringLiteral("dev-1"));
    ASSERT_EQ(proxy.requests.size(), 2u);
    EXPECT_EQ(proxy.requests[0].method, "POST");
    EXPECT_TRUE(proxy.requests[0].body.isEmpty());
    const HttpRequest& review = proxy.requests[1];
    EXPECT_EQ(review.url.toString(), QStringLiteral("http://127.0.0.1:8081/v1/review"));
    EXPECT_EQ(review.header("X-Device-ID"), "dev-1");
    EXPECT_EQ(review.header("X-Device-Token"), "tok-1");
    EXPECT_EQ(review.header("Content-Type"), "application/json");
    EXPECT_EQ(review.body, R"({"text":"Run 5k"})");

    auto second = QCoro::waitFor(s.review(QStringLiteral("again")));
    ASSERT_TRUE(second.ok()) << second.error().message.toStdString();
    EXPECT_EQ(proxy.requests.size(), 3u) << "the stored identity is reused";
}

TEST_F(Hosted, StatusesMapInOrderAnd401ForgetsTheIdentity) {
    id = QStringLiteral("d");
    token = QStringLiteral("t");
    auto s = service();
    using K = HostedAIReviewError::Kind;
    const struct {
        int status;
        HostedAIReviewError error;
    } cases[] = {{429, {K::quotaExceeded}},
                 {503, {K::atCapacity}},
                 {404, {K::http, 404}},
                 {401, {K::notRegistered}}};
    for (const auto& c : cases) {
        auto result = s.parseResult({true, c.status, "{}"});
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().message, c.error.message()) << c.status;
    }
    EXPECT_FALSE(id) << "401 cleared the identity";
    EXPECT_EQ(s.parseResult({false, 0, {}}).error().message,
              QStringLiteral("The hosted proxy returned an unreadable response."));
    EXPECT_EQ(s.parseResult({true, 200, "```{}```"}).error().message,
              QStringLiteral("Couldn't parse the hosted proxy's response."));
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
    auto s = service();
    EXPECT_EQ(QCoro::waitFor(s.review(QStringLiteral("t"))).error().message,
              QStringLiteral("The hosted proxy URL in Settings is invalid."));
    EXPECT_TRUE(proxy.requests.empty()) << "nothing sent";

    baseURL = QStringLiteral("http://127.0.0.1:8081");
    proxy.registerAnswer = {true, 200, R"({"deviceID": "only-id"})"};
    EXPECT_EQ(QCoro::waitFor(s.review(QStringLiteral("t"))).error().message,
              QStringLiteral("Couldn't parse the hosted proxy's response."));
    EXPECT_FALSE(id) << "nothing stored without a token";
    proxy.registerAnswer = {true, 500, {}};
    EXPECT_EQ(QCoro::waitFor(s.review(QStringLiteral("t"))).error().message,
              QStringLiteral("Couldn't register this device with the hosted proxy."));
}

} // namespace
