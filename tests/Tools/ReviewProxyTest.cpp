#include "review-proxy/ReviewProxy.h"
#include "review-proxy/DeviceStore.h"
#include "review-proxy/OfflineCritic.h"
#include "support/LoopbackHttpServer.h"
#include "support/TestSupport.h"

#include "Platform/NetworkRequestPerformer.h"
#include "Services/HostedAIReviewService.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace orvana;
using namespace orvana::proxy;

namespace {

const std::string quotaMessage = "You've reached the free weekly AI review limit. Add your own "
                                 "API key in Settings for unlimited use.";

std::string errorOf(const Result<AIReviewResult>& result) {
    return result.ok() ? "(no error)" : result.error().message.toStdString();
}

TEST(ReviewProxyCritic, JudgesRepresentativeTextsAndAlwaysSuggestsOneToThreeThings) {
    const struct {
        const char* text;
        bool vague, measurable, overcommitted;
        const char* firstSuggestion;
    } cases[] = {
        {"Get better at guitar, maybe practice more", true, false, false, "Say what"},
        {"Exercise", true, false, false, "Say what"},
        {"Write the quarterly report for Anna", false, false, false, "Add a number"},
        {"Read two books", false, true, false, "Add a deadline"},
        {"Run 5k by Friday", false, true, false, "Block time"},
        {"Email Anna\nCall the bank\nFix the bike\nTax return\nDentist\nGym\nPaint the door\n"
         "Plan the trip",
         false, false, true, "Add a number"},
        {"Every day: 4 hours coding, 3 hours gym, 2 hours reading", false, true, true,
         "Plan fewer hours"},
        {"Improve some stuff, try more things, get into running, every day", true, false, true,
         "Say what"},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        const AIReviewResult r = critique(text);
        EXPECT_EQ(r.isVague, c.vague) << c.text;
        EXPECT_EQ(r.isMeasurable, c.measurable) << c.text;
        EXPECT_EQ(r.isOvercommitted, c.overcommitted) << c.text;
        ASSERT_FALSE(r.suggestions.isEmpty()) << c.text;
        EXPECT_LE(r.suggestions.size(), 3) << c.text;
        EXPECT_TRUE(r.suggestions.first().startsWith(QLatin1String(c.firstSuggestion)))
            << c.text << ": " << r.suggestions.first().toStdString();
        EXPECT_EQ(critique(text), r) << c.text;
    }
}

TEST(ReviewProxyQuota, WeeksAreIsoWeeksAcrossYearBoundaries) {
    const struct {
        QDate date;
        const char* week;
    } weeks[] = {{{2026, 12, 31}, "2026-W53"}, {{2027, 1, 3}, "2026-W53"},
                 {{2027, 1, 4}, "2027-W01"},   {{2024, 12, 30}, "2025-W01"},
                 {{2026, 3, 1}, "2026-W09"},   {{2026, 3, 2}, "2026-W10"}};
    for (const auto& w : weeks)
        EXPECT_EQ(isoWeek(w.date), QLatin1String(w.week)) << w.week;
}

// The proxy as its own process on a free loopback port.
class ProxyProcess {
public:
    explicit ProxyProcess(QStringList arguments, const QString& upstreamKey = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("ORVANA_PROXY_UPSTREAM_KEY"));
        if (!upstreamKey.isEmpty())
            environment.insert(QStringLiteral("ORVANA_PROXY_UPSTREAM_KEY"), upstreamKey);
        process_.setProcessEnvironment(environment);
        if (!arguments.contains(QStringLiteral("--port")))
            arguments << QStringLiteral("--port") << QStringLiteral("0");
        process_.start(QStringLiteral(ORVANA_REVIEW_PROXY), arguments);
        while (!process_.canReadLine() && process_.waitForReadyRead(10000)) {
        }
        const auto match =
            QRegularExpression(QStringLiteral("^orvana-review-proxy listening on "
                                              "http://127\\.0\\.0\\.1:(\\d+) \\(.+\\)\n$"))
                .match(QString::fromUtf8(process_.readLine()));
        port_ = match.hasMatch() ? match.captured(1).toUShort() : 0;
    }
    ~ProxyProcess() {
        process_.kill();
        process_.waitForFinished();
    }
    quint16 port() const { return port_; }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }
    // SIGTERM; the exit code, or -1 for a crash or hang.
    int stop() {
        process_.terminate();
        return exitCode();
    }
    int exitCode() {
        process_.waitForFinished(10000); // false when it has already ended
        if (process_.state() != QProcess::NotRunning ||
            process_.exitStatus() != QProcess::NormalExit)
            return -1;
        return process_.exitCode();
    }
    void terminate() { process_.terminate(); }
    QByteArray log() { return process_.readAllStandardError(); }

private:
    QProcess process_;
    quint16 port_ = 0;
};

// The app's own client of the proxy, with its identity in memory.
struct App {
    explicit App(QString base) : baseURL(std::move(base)) {}
    Result<AIReviewResult> review(const char* text) {
        return QCoro::waitFor(client.review(QString::fromUtf8(text)));
    }
    QString baseURL;
    std::optional<QString> id, token;
    int stores = 0;
    NetworkRequestPerformer network;
    HostedAIReviewService client{
        network,
        {[this] { return baseURL; }, [this] { return id; }, [this] { return token; },
         [this](const QString& i, const QString& t) { id = i, token = t, ++stores; },
         [this] { id.reset(), token.reset(); }}};
};

TEST(ReviewProxyEndToEnd, RegistersReviewsStopsAtTheLimitAndRecoversFromALostDevice) {
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("proxy.sqlite"));
    const QStringList arguments{QStringLiteral("--db"), db, QStringLiteral("--weekly-limit"),
                                QStringLiteral("2")};
    auto proxy = std::make_unique<ProxyProcess>(arguments);
    ASSERT_NE(proxy->port(), 0);
    App app(proxy->url());

    auto first = app.review("Run 5k by Friday");
    ASSERT_TRUE(first.ok()) << errorOf(first);
    EXPECT_EQ(first.value(), critique(QStringLiteral("Run 5k by Friday")));
    EXPECT_EQ(app.stores, 1);
    EXPECT_TRUE(app.review("Maybe read more").ok());
    EXPECT_EQ(app.stores, 1) << "the identity is reused";
    EXPECT_EQ(errorOf(app.review("Read two books")), quotaMessage);

    const QByteArray token = app.token.value_or(QString()).toUtf8();
    EXPECT_EQ(proxy->stop(), 0);
    const QByteArray log = proxy->log();
    EXPECT_TRUE(log.contains("POST /v1/review 429")) << log.toStdString();
    EXPECT_FALSE(log.contains(token) || log.contains("Run 5k")) << log.toStdString();
    EXPECT_FALSE(test::fileBytes(db).contains(token)) << "only the token's hash is stored";

    ASSERT_TRUE(QFile::remove(db));
    proxy = std::make_unique<ProxyProcess>(arguments);
    app.baseURL = proxy->url();
    EXPECT_EQ(errorOf(app.review("Run 5k by Friday")),
              "Couldn't verify this device with the hosted proxy. Try again.");
    EXPECT_FALSE(app.id.has_value());
    auto again = app.review("Run 5k by Friday");
    EXPECT_TRUE(again.ok()) << errorOf(again);
    EXPECT_EQ(app.stores, 2);
}

struct RawResponse {
    int status = 0;
    QByteArray head;
    QJsonObject json;
};

// One request over a plain socket; the answer as far as it is complete.
RawResponse exchange(quint16 port, const QByteArray& request) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.write(request);
    QByteArray data;
    qsizetype end = -1;
    while (socket.waitForReadyRead(5000)) {
        data += socket.readAll();
        end = data.indexOf("\r\n\r\n");
        const auto length = QRegularExpression(QStringLiteral("Content-Length: (\\d+)\r\n"))
                                .match(QString::fromLatin1(data.left(end)));
        if (end >= 0 && length.hasMatch() && data.size() >= end + 4 + length.captured(1).toInt())
            break;
    }
    if (end < 0)
        return {};
    return {data.mid(9, 3).toInt(), data.left(end),
            QJsonDocument::fromJson(data.mid(end + 4)).object()};
}

QByteArray post(const char* path, const QByteArray& headers, const QByteArray& body) {
    return "POST " + QByteArray(path) + " HTTP/1.1\r\nHost: x\r\n" + headers +
           "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

TEST(ReviewProxyEndToEnd, RefusesBadRequestsWithJSONErrors) {
    QTemporaryDir dir;
    ProxyProcess proxy({QStringLiteral("--db"), dir.filePath(QStringLiteral("proxy.sqlite"))});
    ASSERT_NE(proxy.port(), 0);
    const RawResponse registered = exchange(proxy.port(), post("/v1/register", {}, {}));
    ASSERT_EQ(registered.status, 200);
    const QByteArray device =
        "X-Device-ID: " + registered.json.value(QLatin1String("deviceID")).toString().toUtf8() +
        "\r\nX-Device-Token: " + registered.json.value(QLatin1String("token")).toString().toUtf8() +
        "\r\n";

    const struct {
        QByteArray request;
        int status;
    } cases[] = {
        {post("/v1/review", device, R"({"text": "Run 5k"})"), 200},
        {post("/v1/review", device, R"({"text": "Run 5k")"), 400},
        {post("/v1/review", device, R"({"text": 5})"), 400},
        {post("/v1/review", device,
              R"({"text": ")" + QByteArray(ReviewProxy::maxTextLength + 1, 'a') + "\"}"),
         400},
        {post("/v1/review", device, QByteArray(70'000, ' ')), 413},
        {post("/v1/review", QByteArray(device).replace("X-Device-Token: ", "X-Device-Token: x"),
              R"({"text": "Run 5k"})"),
         401},
        {"GET /v1/review HTTP/1.1\r\nHost: x\r\n\r\n", 405},
        {post("/v2/review", device, {}), 404},
        {"POST /v1/review HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n", 411},
        {"POST /v1/review HTTP/1.1\r\nX: " + QByteArray(20'000, 'a') + "\r\n\r\n", 431},
        {"nonsense\r\n\r\n", 400},
    };
    for (const auto& c : cases) {
        const RawResponse r = exchange(proxy.port(), c.request);
        const std::string line = c.request.left(c.request.indexOf('\r')).toStdString();
        EXPECT_EQ(r.status, c.status) << line;
        EXPECT_TRUE(r.head.contains("\r\nContent-Type: application/json\r\n")) << line;
        if (c.status != 200) {
            EXPECT_TRUE(r.json.value(QLatin1String("error")).isString()) << line;
        }
    }

    // A registration loop is cut off after a minute's worth.
    int registrations = 1;
    while (registrations < 100 &&
           exchange(proxy.port(), post("/v1/register", {}, {})).status == 200)
        ++registrations;
    EXPECT_EQ(registrations, ReviewProxy::maxRegistrationsPerMinute);
    EXPECT_EQ(proxy.stop(), 0);
}

TEST(ReviewProxyEndToEnd, BadStartsExitWithAMessage) {
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost));
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("proxy.sqlite"));
    const struct {
        QStringList arguments;
        int exitCode;
        const char* message;
    } cases[] = {
        {{QStringLiteral("--port"), QString::number(taken.serverPort())}, 1, "can't listen"},
        {{QStringLiteral("--weekly-limit"), QStringLiteral("many")}, 2, "--weekly-limit"},
        {{QStringLiteral("--upstream"), QStringLiteral("http://127.0.0.1:1/")},
         2,
         "ORVANA_PROXY_UPSTREAM_KEY"},
    };
    for (const auto& c : cases) {
        ProxyProcess proxy(QStringList{QStringLiteral("--db"), db} + c.arguments);
        EXPECT_EQ(proxy.port(), 0) << c.message;
        EXPECT_EQ(proxy.exitCode(), c.exitCode) << c.message;
        EXPECT_TRUE(proxy.log().contains(c.message)) << c.message;
    }
}

QByteArray chat(const QString& content) {
    return QJsonDocument(
               QJsonObject{{QStringLiteral("choices"),
                            QJsonArray{QJsonObject{
                                {QStringLiteral("message"),
                                 QJsonObject{{QStringLiteral("role"), QStringLiteral("assistant")},
                                             {QStringLiteral("content"), content}}}}}}})
        .toJson(QJsonDocument::Compact);
}

const QString goodContent = QStringLiteral(
    R"({"isVague": false, "isMeasurable": true, "isOvercommitted": true, "suggestions": ["a"]})");
const AIReviewResult goodResult{false, true, true, {QStringLiteral("a")}};

using FakeProvider = test::LoopbackHttpServer;

TEST(ReviewProxyUpstream, ForwardsWithTheKeyRefusesBeyondCapacityAndCountsOnlySuccesses) {
    FakeProvider provider;
    provider.body = chat(goodContent);
    QTemporaryDir dir;
    const QString key = QStringLiteral("sk-proxy-test");
    ProxyProcess proxy({QStringLiteral("--db"), dir.filePath(QStringLiteral("proxy.sqlite")),
                        QStringLiteral("--upstream"), provider.url().toString(),
                        QStringLiteral("--model"), QStringLiteral("test/model"),
                        QStringLiteral("--max-concurrent"), QStringLiteral("2"),
                        QStringLiteral("--weekly-limit"), QStringLiteral("5")},
                       key);
    ASSERT_NE(proxy.port(), 0);
    App app(proxy.url());

    auto first = app.review("Run 5k");
    ASSERT_TRUE(first.ok()) << errorOf(first);
    EXPECT_EQ(first.value(), goodResult);
    ASSERT_EQ(provider.received.size(), 1u);
    EXPECT_TRUE(provider.received[0].head.startsWith("POST /api/v1/chat/completions HTTP/1.1"));
    EXPECT_TRUE(
        provider.received[0].head.contains("\r\nAuthorization: Bearer " + key.toUtf8() + "\r\n"));
    AIReviewService sameShape(
        app.network, [key] { return key; }, QStringLiteral("test/model"));
    EXPECT_EQ(provider.received[0].body,
              sameShape.makeRequest(QStringLiteral("Run 5k")).value().body);

    provider.holding = true;
    auto a = app.client.review(QStringLiteral("one"));
    auto b = app.client.review(QStringLiteral("two"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return provider.held() == 2; }, 10000));
    EXPECT_EQ(errorOf(app.review("three")),
              "The hosted AI review service is at capacity right now. Try again later, or add "
              "your own API key in Settings.");
    provider.release();
    for (auto* task : {&a, &b}) {
        auto held = QCoro::waitFor(std::move(*task));
        EXPECT_TRUE(held.ok()) << errorOf(held);
    }

    provider.status = 500;
    EXPECT_EQ(errorOf(app.review("four")), "The hosted proxy returned an error (HTTP 502).");
    provider.status = 200;
    EXPECT_TRUE(app.review("five").ok()) << "the failure was not counted";

    provider.holding = true;
    auto last = app.client.review(QStringLiteral("six"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return provider.held() == 1; }, 10000));
    EXPECT_EQ(errorOf(app.review("seven")), quotaMessage)
        << "four done and one running use up the five";
    // SIGTERM: no new connections, but the review in progress is answered.
    proxy.terminate();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, proxy.port());
            return !probe.waitForConnected(1000);
        },
        10000));
    provider.release();
    auto answered = QCoro::waitFor(std::move(last));
    EXPECT_TRUE(answered.ok()) << errorOf(answered);
    EXPECT_EQ(proxy.exitCode(), 0);
    const QByteArray log = proxy.log();
    EXPECT_FALSE(log.contains(key.toUtf8()) || log.contains(app.token->toUtf8()))
        << log.toStdString();
}

} // namespace
