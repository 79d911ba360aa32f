#include "HttpServer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace orvana::proxy {

namespace {

constexpr int drainMs = 1000;

QByteArray reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 411:
        return "Length Required";
    case 413:
        return "Content Too Large";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    default:
        return status < 500 ? "Client Error" : "Server Error";
    }
}

// Whatever a client sent, the log gets a short run of visible ASCII.
QByteArray printable(const QByteArray& text) {
    if (text.isEmpty())
        return "-";
    QByteArray out = text.left(80);
    for (char& c : out) {
        if (c < 0x21 || c > 0x7e)
            c = '?';
    }
    return out;
}

bool isDigits(const QByteArray& text) {
    return !text.isEmpty() && text.size() <= 18 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Method, path and status only: tokens and texts stay out of the log.
void log(const Request& request, int status, const char* note = "") {
    std::fprintf(stderr, "%s %s %d%s\n", printable(request.method).constData(),
                 printable(request.path).constData(), status, note);
    std::fflush(stderr);
}

} // namespace

QByteArray Request::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

struct HttpServer::Connection {
    QByteArray buffer;
    bool headParsed = false;
    bool handedOff = false; // to the handler
    bool answered = false;
    qsizetype bodyStart = 0;
    qsizetype contentLength = 0;
    Request request;
};

HttpServer::HttpServer(Handler handler) : handler_(std::move(handler)) {
    connect(&server_, &QTcpServer::newConnection, this, &HttpServer::accept);
    // QTcpServer stops accepting after an error such as running out of file
    // descriptors; try again shortly instead of going deaf for good.
    connect(&server_, &QTcpServer::acceptError, this,
            [this] { QTimer::singleShot(1000, this, [this] { server_.resumeAccepting(); }); });
}

HttpServer::~HttpServer() {
    // The sockets outlive this object's members by a moment; nothing of
    // theirs may call back into it.
    for (QTcpSocket* socket : server_.findChildren<QTcpSocket*>())
        socket->disconnect(this);
}

bool HttpServer::listen(const QHostAddress& address, quint16 port) {
    return server_.listen(address, port);
}

Response HttpServer::error(int status, const QString& message) {
    return {status,
            QJsonDocument(QJsonObject{{QStringLiteral("error"), message}})
                .toJson(QJsonDocument::Compact),
            {}};
}

void HttpServer::accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        if (open_ >= maxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++open_;
        connect(socket, &QObject::destroyed, this, [this] { --open_; });
        auto connection = std::make_shared<Connection>();
        connect(socket, &QTcpSocket::readyRead, socket,
                [this, socket, connection] { read(socket, connection); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(readTimeoutMs, socket, [this, socket, connection] {
            if (!connection->handedOff && !connection->answered)
                send(socket, *connection,
                     error(408, QStringLiteral("The request took too long to arrive.")), true);
        });
    }
}

void HttpServer::read(QTcpSocket* socket, const std::shared_ptr<Connection>& connection) {
    Connection& c = *connection;
    const QByteArray data = socket->readAll();
    if (c.handedOff || c.answered)
        return; // one request per connection; anything after it is dropped
    c.buffer += data;
    if (!c.headParsed) {
        const qsizetype end = c.buffer.indexOf("\r\n\r\n");
        if ((end < 0 ? c.buffer.size() : end + 4) > maxHeaderBytes)
            return send(socket, c, error(431, QStringLiteral("The request headers are too large.")),
                        true);
        if (end < 0 || !parseHead(socket, c, end))
            return;
    }
    if (c.buffer.size() - c.bodyStart < c.contentLength)
        return;
    c.request.body = c.buffer.mid(c.bodyStart, c.contentLength);
    c.buffer.clear();
    c.handedOff = true;
    respond(socket, connection);
}

bool HttpServer::parseHead(QTcpSocket* socket, Connection& c, qsizetype headEnd) {
    c.headParsed = true;
    c.bodyStart = headEnd + 4;
    QList<QByteArray> lines = c.buffer.left(headEnd).split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    const QList<QByteArray> parts = lines.first().split(' ');
    const bool methodOK =
        !parts.first().isEmpty() && std::all_of(parts.first().begin(), parts.first().end(),
                                                [](char ch) { return ch >= 'A' && ch <= 'Z'; });
    if (parts.size() != 3 || !methodOK || !parts[1].startsWith('/') ||
        (parts[2] != "HTTP/1.1" && parts[2] != "HTTP/1.0")) {
        send(socket, c, error(400, QStringLiteral("The request line is malformed.")), true);
        return false;
    }
    c.request.method = parts[0];
    const qsizetype query = parts[1].indexOf('?');
    c.request.path = query < 0 ? parts[1] : parts[1].left(query);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const qsizetype colon = line.indexOf(':');
        const QByteArray name = line.left(colon);
        if (colon <= 0 || name.contains(' ') || name.contains('\t')) {
            send(socket, c, error(400, QStringLiteral("A request header is malformed.")), true);
            return false;
        }
        c.request.headers.append({name, line.mid(colon + 1).trimmed()});
    }

    QByteArray length;
    for (const auto& [name, value] : c.request.headers) {
        if (name.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0) {
            send(socket, c, error(411, QStringLiteral("Send the body with a Content-Length.")),
                 true);
            return false;
        }
        if (name.compare("Content-Length", Qt::CaseInsensitive) == 0) {
            if (!isDigits(value) || (!length.isNull() && value != length)) {
                send(socket, c, error(400, QStringLiteral("The Content-Length is invalid.")), true);
                return false;
            }
            length = value;
        }
    }
    c.contentLength = length.isNull() ? 0 : length.toLongLong();
    if (c.contentLength > maxBodyBytes) {
        send(socket, c, error(413, QStringLiteral("The request body is too large.")), true);
        return false;
    }
    if (c.request.header("Expect").compare("100-continue", Qt::CaseInsensitive) == 0 &&
        c.buffer.size() - c.bodyStart < c.contentLength)
        socket->write("HTTP/1.1 100 Continue\r\n\r\n");
    return true;
}

QCoro::Task<> HttpServer::respond(QPointer<QTcpSocket> socket,
                                  std::shared_ptr<Connection> connection) {
    ++pending_;
    const Response response = co_await handler_(connection->request);
    if (socket) {
        send(socket, *connection, response, false);
        // Pending until the answer has left (the socket goes once it has):
        // quitting earlier would drop it.
        connect(socket, &QObject::destroyed, this, &HttpServer::finishRequest);
    } else { // the client gave up waiting
        log(connection->request, response.status, " (client gone)");
        finishRequest();
    }
}

void HttpServer::finishRequest() {
    if (--pending_ == 0)
        emit idle();
}

void HttpServer::send(QTcpSocket* socket, Connection& c, const Response& response,
                      bool drainFirst) {
    c.answered = true;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                      reason(response.status) +
                      "\r\nContent-Type: application/json\r\nContent-Length: " +
                      QByteArray::number(response.json.size()) + "\r\nConnection: close\r\n";
    for (const auto& [name, value] : response.headers)
        head += name + ": " + value + "\r\n";
    socket->write(head + "\r\n" + response.json);
    log(c.request, response.status);
    if (drainFirst)
        QTimer::singleShot(drainMs, socket, [socket] { socket->disconnectFromHost(); });
    else
        socket->disconnectFromHost();
}

} // namespace orvana::proxy
