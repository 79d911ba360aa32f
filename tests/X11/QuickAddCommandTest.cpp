// `orvana quick-add` end to end on the private X server: the command starts
// the app when it is not running, the field opens in front, what is typed
// and Returned lands on Today, and a second command finds the running app.
#include "support/PrivateBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>

namespace {

struct QuickAddCommand : ::testing::Test {
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY") ||
            QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            GTEST_SKIP() << "needs the private X server and xdotool";
        if (bus.address.isEmpty())
            GTEST_SKIP() << "dbus-daemon could not be started";
        env = QProcessEnvironment::systemEnvironment();
        for (const char* sub : {"home", "data", "config", "state", "cache", "runtime"}) {
            QDir().mkpath(dir.filePath(QLatin1String(sub)));
        }
        QFile::setPermissions(dir.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert(QStringLiteral("HOME"), dir.filePath(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.filePath(QStringLiteral("runtime")));
        for (const QString sub : {"data", "config", "state", "cache"})
            env.insert("XDG_" + sub.toUpper() + "_HOME", dir.filePath(sub));
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    }
    void TearDown() override {
        // The app the command started: found by its name on this test's bus.
        QDBusConnection connection = QDBusConnection::connectToBus(bus.address, busName);
        if (connection.interface()) {
            const uint pid =
                connection.interface()->servicePid(QStringLiteral("app.orvana.Orvana")).value();
            if (pid > 0)
                ::kill(pid_t(pid), SIGTERM);
        }
        QDBusConnection::disconnectFromBus(busName);
    }
    const QString busName = QStringLiteral("orvana-quick-add-command-test");

    // Runs a command; its standard output, trimmed.
    QString run(const QStringList& arguments, int timeoutMs = 30'000) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(ORVANA_BINARY), arguments);
        if (timeoutMs <= 0 || !process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished();
            return {};
        }
        lastCode = process.exitCode();
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }

    qint64 tasksTotal() {
        const QString json = run({QStringLiteral("stats"), QStringLiteral("--json")});
        return QJsonDocument::fromJson(json.toUtf8()).object().value("tasksTotal").toInteger(-1);
    }

    orvana::test::PrivateBus bus;
    QTemporaryDir dir;
    QProcessEnvironment env;
    int lastCode = -1;
};

bool xdotool(const QStringList& arguments) {
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

TEST_F(QuickAddCommand, StartsTheAppOpensTheFieldAndPutsTheTypedTaskOnToday) {
    run({QStringLiteral("quick-add")});
    ASSERT_EQ(lastCode, 0) << "the command started the app and asked it";
    // The field is in front with the keyboard.
    ASSERT_TRUE(QTest::qWaitFor(
        [] {
            return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                            QStringLiteral("--name"), QStringLiteral("Quick Add")});
        },
        10'000));
    QTest::qWait(300);
    ASSERT_TRUE(xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"),
                         QStringLiteral("Stretch")}));
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("Return")}));
    EXPECT_TRUE(QTest::qWaitFor([this] { return tasksTotal() == 1; }, 10'000))
        << "the task was not saved to Today";

    // Asked again, the running app opens a new, empty field.
    run({QStringLiteral("quick-add")});
    EXPECT_EQ(lastCode, 0);
}

} // namespace
