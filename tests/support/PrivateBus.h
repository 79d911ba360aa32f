#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/prctl.h>

namespace orvana::test {

// A D-Bus session bus of the test's own (dbus-daemon), so apps a test starts
// never meet another test's on the shared session bus. Its service folder is
// `servicesDirectory()`: a test may put .service files there before the
// first call that would start one. `address` is empty when no daemon could
// be started (then skip).
class PrivateBus {
public:
    PrivateBus() {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty() || !dir_.isValid())
            return;
        QDir().mkpath(servicesDirectory());
        const QString config = dir_.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write(
            QStringLiteral("<busconfig><type>session</type><listen>unix:path=%1</listen>"
                           "<auth>EXTERNAL</auth><servicedir>%2</servicedir>"
                           "<policy context=\"default\"><allow send_destination=\"*\" "
                           "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/>"
                           "</policy></busconfig>")
                .arg(dir_.filePath(QStringLiteral("bus")), servicesDirectory())
                .toUtf8());
        file.close();
        // Gone with the test, even when it dies.
        daemon_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        daemon_.start(daemon, {QStringLiteral("--config-file=") + config,
                               QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        if (QTest::qWaitFor([this] { return daemon_.canReadLine(); }, 10'000))
            address = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus() {
        daemon_.kill();
        daemon_.waitForFinished(5'000);
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    QString servicesDirectory() const { return dir_.filePath(QStringLiteral("services")); }

    QString address;

private:
    QTemporaryDir dir_;
    QProcess daemon_;
};

} // namespace orvana::test
