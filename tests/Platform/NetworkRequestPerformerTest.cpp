#include "Platform/NetworkRequestPerformer.h"

#include "support/LoopbackHttpServer.h"

#include <gtest/gtest.h>

using namespace orvana;

namespace {

HttpRequest post(const QUrl& url, int timeoutMs = 30000) {
    HttpRequest r;
    r.url = url;
    r.method = "POST";
    r.headers = {{"Authorization", "Bearer k"}, {"Content-Type", "application/json"}};
    r.body = R"({"a":1})";
    r.timeoutMs = timeoutMs;
    return r;
}

TEST(NetworkRequestPerformer, StatusesAreResponsesAndHeadersAndBodyAreSent) {
    test::LoopbackHttpServer server;
    server.status = 500;
    server.body = R"({"error":"no"})";
    NetworkRequestPerformer performer;
    auto result = QCoro::waitFor(performer.perform(post(server.url())));
    ASSERT_TRUE(result.ok()) << result.error().message.toStdString();
    EXPECT_EQ(result.value().statusCode, 500);
    EXPECT_TRUE(result.value().body.startsWith("{\"error\""));
    ASSERT_EQ(server.received.size(), 1u);
    EXPECT_TRUE(server.received[0].head.startsWith("POST /api/v1/chat/completions "));
    EXPECT_TRUE(server.received[0].head.contains("Authorization: Bearer k\r\n"));
    EXPECT_EQ(server.received[0].body, R"({"a":1})");
}

TEST(NetworkRequestPerformer, ATimeOutReadsAsATimeOut) {
    test::LoopbackHttpServer silent;
    silent.holding = true; // never answers
    NetworkRequestPerformer performer;
    auto result = QCoro::waitFor(performer.perform(post(silent.url(), 300)));
    ASSERT_FALSE(result.ok());
    EXPECT_TRUE(result.error().message.contains(QStringLiteral("timed out")))
        << result.error().message.toStdString();

    auto refused =
        QCoro::waitFor(performer.perform(post(QUrl(QStringLiteral("http://127.0.0.1:1/")))));
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error().message.startsWith(QStringLiteral("Couldn't reach 127.0.0.1:")))
        << refused.error().message.toStdString();
}

} // namespace
