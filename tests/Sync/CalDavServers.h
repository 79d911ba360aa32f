#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>

namespace orvana::test {

// A real CalDAV server on loopback with its own empty storage, for as long
// as the object lives: Radicale (with a password) or Xandikos (which has
// none). Both come from Debian's packages (scripts/bootstrap).
class CalDavServer {
public:
    enum class Kind { radicale, xandikos };

    explicit CalDavServer(Kind kind) : kind_(kind) {
        {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost, 0);
            port_ = probe.serverPort();
        }
        const QString root = dir_.path();
        if (kind == Kind::radicale) {
            QFile users(root + "/users");
            users.open(QIODevice::WriteOnly);
            users.write(user.toUtf8() + ':' + password.toUtf8() + '\n');
            users.close();
            QFile config(root + "/config");
            config.open(QIODevice::WriteOnly);
            config.write(QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n"
                                        "[auth]\ntype = htpasswd\nhtpasswd_filename = %2/users\n"
                                        "htpasswd_encryption = plain\n"
                                        "[storage]\nfilesystem_folder = %2/collections\n"
                                        "[logging]\nlevel = warning\n")
                             .arg(port_)
                             .arg(root)
                             .toUtf8());
            config.close();
            process_.start(QStringLiteral("radicale"),
                           {QStringLiteral("--config"), root + "/config"});
        } else {
            process_.start(QStringLiteral("xandikos"),
                           {QStringLiteral("-d"), root + "/data", QStringLiteral("-l"),
                            QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                            QString::number(port_), QStringLiteral("--autocreate"),
                            QStringLiteral("--current-user-principal"), "/" + user + "/"});
        }
        EXPECT_TRUE(process_.waitForStarted(10'000)) << "is it installed? (scripts/bootstrap)";
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 20'000 && process_.state() == QProcess::Running) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, quint16(port_));
            if (socket.waitForConnected(200)) {
                ready_ = true;
                break;
            }
            QThread::msleep(50);
        }
        EXPECT_TRUE(ready_) << "the CalDAV server did not start";
    }
    ~CalDavServer() {
        process_.kill();
        process_.waitForFinished(5'000);
    }

    bool ready() const { return ready_; }
    bool checksPasswords() const { return kind_ == Kind::radicale; }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port_)); }

    const QString user = QStringLiteral("alice");
    const QString password = QStringLiteral("correct horse");

private:
    Kind kind_;
    QTemporaryDir dir_;
    QProcess process_;
    int port_ = 0;
    bool ready_ = false;
};

inline std::string serverName(const ::testing::TestParamInfo<CalDavServer::Kind>& info) {
    return info.param == CalDavServer::Kind::radicale ? "Radicale" : "Xandikos";
}

} // namespace orvana::test
