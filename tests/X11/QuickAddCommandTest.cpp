// `orvana quick-add` end to end on the private X server: the command starts
// the app when it is not running, the field opens in front, what is typed
// and Returned lands on Today, and a second command finds the running app.
#include "support/AppProcess.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>

namespace {

using namespace orvana::test;

bool xdotool(const QStringList& arguments) {
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

struct QuickAddCommand : ::testing::Test {
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY") ||
            QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            GTEST_SKIP() << "needs the private X server and xdotool";
        if (sandbox.busAddress().isEmpty())
            GTEST_SKIP() << "dbus-daemon could not be started";
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    }
    void TearDown() override {
        // The app the command started: found by its name on this test's bus.
        const QString busName = QStringLiteral("orvana-quick-add-command-test");
        QDBusConnection connection = QDBusConnection::connectToBus(sandbox.busAddress(), busName);
        if (connection.interface()) {
            const uint pid =
                connection.interface()->servicePid(QStringLiteral("app.orvana.Orvana")).value();
            if (pid > 0)
                ::kill(pid_t(pid), SIGTERM);
        }
        QDBusConnection::disconnectFromBus(busName);
    }

    qint64 tasksTotal() {
        const Outcome stats = runOrvana({QStringLiteral("stats"), QStringLiteral("--json")}, env);
        return QJsonDocument::fromJson(stats.out.toUtf8())
            .object()
            .value(QLatin1String("tasksTotal"))
            .toInteger(-1);
    }

    Sandbox sandbox;
    QProcessEnvironment env = sandbox.env();
};

TEST_F(QuickAddCommand, StartsTheAppOpensTheFieldAndPutsTheTypedTaskOnToday) {
    // The command starts the app and asks it.
    ASSERT_EQ(runOrvana({QStringLiteral("quick-add")}, env).code, 0);
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
    expectExit(runOrvana({QStringLiteral("quick-add")}, env), 0);
}

} // namespace
