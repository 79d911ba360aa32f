#pragma once

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <utility>
#include <vector>

namespace orvana::test {

// An HTTP server on loopback standing in for an AI provider: keeps each
// request (a JSON body) and answers `status` with `body`, or holds the
// answer back until `release()`.
class LoopbackHttpServer {
public:
    struct Received {
        QByteArray head, body;
    };
    LoopbackHttpServer() {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            QTcpSocket* socket = server_.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket,
                             [this, socket, data = QByteArray()]() mutable {
                                 data += socket->readAll();
                                 const qsizetype end = data.indexOf("\r\n\r\n");
                                 if (end < 0 || !data.endsWith('}')) // the request's JSON
                                     return;
                                 received.push_back({data.left(end), data.mid(end + 4)});
                                 holding ? held_.push_back(socket) : answer(socket);
                             });
        });
    }
    QUrl url() const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/api/v1/chat/completions")
                        .arg(server_.serverPort()));
    }
    qsizetype held() const { return qsizetype(held_.size()); }
    void release() {
        holding = false;
        for (QTcpSocket* socket : std::exchange(held_, {}))
            answer(socket);
    }
    int status = 200;
    QByteArray body;
    bool holding = false;
    std::vector<Received> received;

private:
    void answer(QTcpSocket* socket) {
        socket->write("HTTP/1.1 " + QByteArray::number(status) +
                      " X\r\nContent-Type: application/json\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }
    QTcpServer server_;
    std::vector<QTcpSocket*> held_;
};

} // namespace orvana::test
