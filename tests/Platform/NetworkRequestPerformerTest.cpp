#include "Platform/NetworkRequestPerformer.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

using namespace orvana;

namespace {

// A loopback server that answers every request with `reply` (or, when it
// is empty, never answers).
class LoopbackServer {
public:
    explicit LoopbackServer(QByteArray reply) : reply_(std::move(reply)) {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            QTcpSocket* socket = server_.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                received_ += socket->readAll();
                if (!reply_.isEmpty() && received_.contains("\r\n\r\n") &&
                    received_.endsWith("}")) {
                    socket->write(reply_);
                    socket->disconnectFromHost();
                }
            });
        });
    }
    QUrl url() const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/api/v1/chat/completions")
                        .arg(server_.serverPort()));
    }
    const QByteArray& received() const { return received_; }

private:
    QTcpServer server_;
    QByteArray reply_;
    QByteArray received_;
};

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
    LoopbackServer server("HTTP/1.1 500 Internal Server Error\r\nContent-Type: application/json\r\n"
                          "Content-Length: 15\r\nConnection: close\r\n\r\n{\"error\":\"no\"}\n");
    NetworkRequestPerformer performer;
    auto result = QCoro::waitFor(performer.perform(post(server.url())));
    ASSERT_TRUE(result.ok()) << result.error().message.toStdString();
    EXPECT_EQ(result.value().statusCode, 500);
    EXPECT_TRUE(result.value().body.startsWith("{\"error\""));
    EXPECT_TRUE(server.received().startsWith("POST /api/v1/chat/completions "));
    EXPECT_TRUE(server.received().contains("Authorization: Bearer k\r\n"));
    EXPECT_TRUE(server.received().endsWith(R"({"a":1})"));
}

TEST(NetworkRequestPerformer, ATimeOutReadsAsATimeOut) {
    LoopbackServer silent{QByteArray()};
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
