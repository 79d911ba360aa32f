#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QTcpServer>
#include <functional>
#include <memory>
#include <qcoro/qcorotask.h>

class QTcpSocket;

namespace orvana::proxy {

struct Request {
    QByteArray method;
    QByteArray path; // without the query
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    QByteArray header(const QByteArray& name) const;
};

struct Response {
    int status = 200;
    QByteArray json;
    QList<QPair<QByteArray, QByteArray>> headers;
};

// A small HTTP/1.1 server: one request per connection (answered with
// "Connection: close"), bodies only with Content-Length, and hard limits on
// the header block, the body and the time a request may take to arrive.
// Written by hand because Qt 6.4's QHttpServer reads a body of any size into
// memory and offers no way to refuse it early.
class HttpServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<QCoro::Task<Response>(Request)>;
    static constexpr qsizetype maxHeaderBytes = 16 * 1024;
    static constexpr qsizetype maxBodyBytes = 64 * 1024;
    static constexpr int readTimeoutMs = 10'000;
    // Beyond this many open connections new ones are closed at once, so a
    // flood of idle connections cannot use up the process's descriptors.
    static constexpr int maxConnections = 64;

    explicit HttpServer(Handler handler);
    ~HttpServer() override;
    bool listen(const QHostAddress& address, quint16 port);
    quint16 serverPort() const { return server_.serverPort(); }
    QString errorString() const { return server_.errorString(); }
    void stopListening() { server_.close(); }
    // Requests handed to the handler whose answer hasn't left yet.
    int pendingRequests() const { return pending_; }

    static Response error(int status, const QString& message);

signals:
    void idle(); // the last pending request's answer has left

private:
    struct Connection;
    void accept();
    void read(QTcpSocket* socket, const std::shared_ptr<Connection>& connection);
    // False when the head was refused (and answered).
    bool parseHead(QTcpSocket* socket, Connection& connection, qsizetype headEnd);
    QCoro::Task<> respond(QPointer<QTcpSocket> socket, std::shared_ptr<Connection> connection);
    void finishRequest();
    // Answers and closes. After an early refusal the rest of the request may
    // still be arriving; it is read and dropped for a moment first, since
    // closing with unread data resets the connection and the client might
    // never see the answer.
    void send(QTcpSocket* socket, Connection& connection, const Response& response,
              bool drainFirst);

    Handler handler_;
    QTcpServer server_;
    int pending_ = 0;
    int open_ = 0;
};

} // namespace orvana::proxy
