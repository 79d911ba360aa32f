// The quick-add key on a private X server: the X11 grab itself, and
// `orvana quick-add` (the command a desktop's own shortcut runs) end to end.
#include "Platform/X11HotKey.h"
#include "support/AppProcess.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

namespace {

using namespace orvana;

// Keys as the user presses them, through the X server (XTEST).
bool xdotool(const QStringList& arguments) {
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

bool pressHotKey() {
    return xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+space")});
}

struct HotKey : ::testing::Test {
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs Xvfb for a private X server";
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            GTEST_SKIP() << "needs xdotool";
    }
};

// Turns lock keys on for the scope, and off again however the test ends.
struct LocksOn {
    QStringList keys;
    explicit LocksOn(QStringList names) : keys(std::move(names)) {
        for (const QString& key : keys)
            xdotool({QStringLiteral("key"), key});
    }
    ~LocksOn() {
        for (const QString& key : keys)
            xdotool({QStringLiteral("key"), key});
    }
};

TEST_F(HotKey, CtrlAltSpaceFiresWhateverTheLockKeysUntilReleased) {
    X11HotKey hotKey;
    ASSERT_TRUE(hotKey.registerHotKey());
    QSignalSpy activated(&hotKey, &X11HotKey::activated);

    for (const char* locks : {"", "Num_Lock", "Num_Lock Caps_Lock", "Caps_Lock"}) {
        SCOPED_TRACE(locks);
        const LocksOn on(QString::fromLatin1(locks).split(u' ', Qt::SkipEmptyParts));
        ASSERT_TRUE(pressHotKey());
        ASSERT_TRUE(activated.wait(3000));
    }
    EXPECT_EQ(activated.count(), 4) << "one activation per press";

    // Held down, the key repeats; it still counts once.
    ASSERT_TRUE(xdotool({QStringLiteral("keydown"), QStringLiteral("ctrl+alt+space")}));
    QTest::qWait(1200);
    ASSERT_TRUE(xdotool({QStringLiteral("keyup"), QStringLiteral("ctrl+alt+space")}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return activated.count() > 4; }, 3000));
    QTest::qWait(300);
    EXPECT_EQ(activated.count(), 5) << "one activation per hold";

    // Other combinations of Space stay with whoever has the focus.
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+shift+alt+space")}));
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+space")}));
    EXPECT_FALSE(activated.wait(500));

    // Released: the key is free for others, and nothing fires.
    hotKey.unregister();
    ASSERT_TRUE(pressHotKey());
    EXPECT_FALSE(activated.wait(500));
    EXPECT_EQ(activated.count(), 5);
}

TEST_F(HotKey, ACombinationAnotherClientHoldsIsLeftToIt) {
    xcb_connection_t* other = xcb_connect(nullptr, nullptr);
    ASSERT_EQ(xcb_connection_has_error(other), 0);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(other);
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, 0x0020);
    ASSERT_NE(codes, nullptr);
    const xcb_keycode_t space = codes[0];
    std::free(codes);
    xcb_key_symbols_free(symbols);
    xcb_generic_error_t* error = xcb_request_check(
        other, xcb_grab_key_checked(other, 0, root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1, space,
                                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    ASSERT_EQ(error, nullptr);

    X11HotKey hotKey;
    QSignalSpy activated(&hotKey, &X11HotKey::activated);
    EXPECT_FALSE(hotKey.registerHotKey()) << "the plain combination is taken";
    ASSERT_TRUE(pressHotKey());
    EXPECT_FALSE(activated.wait(500)) << "the press went to the other client";

    // Once the other client lets go, registering again takes the key.
    xcb_ungrab_key(other, space, root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1);
    std::free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr)); // in effect
    xcb_disconnect(other);
    ASSERT_TRUE(hotKey.registerHotKey());
    ASSERT_TRUE(pressHotKey());
    EXPECT_TRUE(activated.wait(3000));
}

// `orvana quick-add` starts the app when it is not running, the field opens
// in front, what is typed and Returned lands on Today, and a second command
// finds the running app.
struct QuickAddCommand : HotKey {
    void SetUp() override {
        HotKey::SetUp();
        if (IsSkipped())
            return;
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
        const test::Outcome stats =
            test::runOrvana({QStringLiteral("stats"), QStringLiteral("--json")}, env);
        return QJsonDocument::fromJson(stats.out.toUtf8())
            .object()
            .value(QLatin1String("tasksTotal"))
            .toInteger(-1);
    }

    test::Sandbox sandbox;
    QProcessEnvironment env = sandbox.env();
};

TEST_F(QuickAddCommand, StartsTheAppOpensTheFieldAndPutsTheTypedTaskOnToday) {
    // The command starts the app and asks it.
    ASSERT_EQ(test::runOrvana({QStringLiteral("quick-add")}, env).code, 0);
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
    test::expectExit(test::runOrvana({QStringLiteral("quick-add")}, env), 0);
}

} // namespace
