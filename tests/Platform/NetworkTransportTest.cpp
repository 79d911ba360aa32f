#include "Platform/NetworkRequestPerformer.h"

#include "support/LoopbackHttpServer.h"

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace orvana;

namespace {

// A server whose certificate nobody trusts (openssl's own test server with a
// certificate made for the test) is refused, and the error names the
// certificate's fingerprint so that the user can check it.
TEST(NetworkTransport, AnUntrustedCertificateIsRefusedWithItsFingerprint) {
    QTemporaryDir dir;
    const QString cert = dir.filePath("cert.pem"), key = dir.filePath("key.pem");
    ASSERT_EQ(
        QProcess::execute("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-subj",
                                      "/CN=127.0.0.1", "-days", "1", "-keyout", key, "-out", cert}),
        0);
    QProcess fingerprint;
    fingerprint.start("openssl", {"x509", "-noout", "-fingerprint", "-sha256", "-in", cert});
    ASSERT_TRUE(fingerprint.waitForFinished());
    const QString expected =
        QString::fromLatin1(fingerprint.readAllStandardOutput()).section(u'=', 1).trimmed();
    ASSERT_FALSE(expected.isEmpty());

    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    QProcess server;
    server.start("openssl", {"s_server", "-accept", QStringLiteral("127.0.0.1:%1").arg(port),
                             "-cert", cert, "-key", key, "-www", "-quiet"});
    ASSERT_TRUE(server.waitForStarted());
    for (int i = 0; i < 100; ++i) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        if (probe.waitForConnected(100))
            break;
        QThread::msleep(50);
    }

    NetworkRequestPerformer performer;
    HttpRequest request;
    request.url = QUrl(QStringLiteral("https://127.0.0.1:%1/").arg(port));
    auto result = QCoro::waitFor(performer.perform(request));
    server.kill();
    server.waitForFinished();
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, ErrorKind::certificate);
    EXPECT_TRUE(result.error().message.contains(expected)) << result.error().message.toStdString();
}

TEST(NetworkTransport, AnswersCanBeBoundedAndRedirectsLeftToTheCaller) {
    test::LoopbackHttpServer server;
    server.body = QByteArray(64 * 1024, 'x');
    NetworkRequestPerformer performer;
    HttpRequest request;
    request.url = server.url();
    request.method = "POST"; // the stand-in server answers a request with a body
    request.body = "{}";
    request.timeoutMs = 5000;
    request.maxResponseBytes = 1024;
    auto bounded = QCoro::waitFor(performer.perform(request));
    ASSERT_FALSE(bounded.ok());
    EXPECT_EQ(bounded.error().kind, ErrorKind::damaged);

    server.status = 301;
    server.body.clear();
    request.maxResponseBytes = 0;
    request.followRedirects = false;
    auto moved = QCoro::waitFor(performer.perform(request));
    ASSERT_TRUE(moved.ok()) << moved.error().message.toStdString();
    EXPECT_EQ(moved.value().statusCode, 301);
    EXPECT_EQ(moved.value().header("content-length"), "0");
}

} // namespace
