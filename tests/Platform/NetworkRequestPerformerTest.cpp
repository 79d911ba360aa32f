#include "Platform/NetworkRequestPerformer.h"

#include "support/LoopbackHttpServer.h"

#include <gtest/gtest.h>

using namespace orvana;

namespace {

// Statuses, headers and bodies go both ways in ReviewProxyEndToEnd, against
// the real proxy; here, what only a silent or absent server shows.
TEST(NetworkRequestPerformer, ATimeOutAndARefusalReadAsSuch) {
    test::LoopbackHttpServer silent;
    silent.holding = true; // never answers
    NetworkRequestPerformer performer;
    HttpRequest request;
    request.url = silent.url();
    request.method = "POST";
    request.timeoutMs = 300;
    auto result = QCoro::waitFor(performer.perform(request));
    ASSERT_FALSE(result.ok());
    EXPECT_TRUE(result.error().message.contains(QStringLiteral("timed out")))
        << result.error().message.toStdString();

    request.url = QUrl(QStringLiteral("http://127.0.0.1:1/"));
    auto refused = QCoro::waitFor(performer.perform(request));
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error().message.startsWith(QStringLiteral("Couldn't reach 127.0.0.1:")))
        << refused.error().message.toStdString();
}

} // namespace
