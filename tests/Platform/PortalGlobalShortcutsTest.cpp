#include "Platform/PortalGlobalShortcuts.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace orvana;

const QString desktopPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

// A stand-in for the desktop portal on a connection of its own, under a name
// of this test's (the real portal never sees these calls). It answers as
// xdg-desktop-portal does: a request object path at once, then the
// request's Response signal.
class FakePortal : public QDBusVirtualObject {
public:
    struct Binding {
        QString session, id, description, trigger;
    };

    QDBusConnection bus;
    QString service;
    bool offersShortcuts = true;
    uint bindResponse = 0; // 1: the user declined
    QStringList calls;
    QStringList sessions;
    QList<Binding> bindings;

    explicit FakePortal(bool offers)
        : bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                            QStringLiteral("fake-portal"))),
          service(
              QStringLiteral("org.orvana.test.Portal%1").arg(QCoreApplication::applicationPid())),
          offersShortcuts(offers) {
        bus.registerVirtualObject(desktopPath, this);
        bus.interface()->registerService(service);
    }
    ~FakePortal() override {
        bus.unregisterObject(desktopPath);
        bus.interface()->unregisterService(service);
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-portal"));
    }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        const QVariantList args = message.arguments();
        calls << message.member();
        if (message.member() == QLatin1String("Get")) {
            if (offersShortcuts && args.value(0).toString() == shortcutsInterface)
                connection.send(message.createReply(QVariant::fromValue(QDBusVariant(1u))));
            else
                connection.send(message.createErrorReply(
                    QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface"), {}));
            return true;
        }
        const QString sender = message.service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
        const auto options = qdbus_cast<QVariantMap>(args.last());
        const QString request = desktopPath + QStringLiteral("/request/") + sender +
                                QLatin1Char('/') + options.value("handle_token").toString();
        QVariantMap results;
        uint response = 0;
        if (message.member() == QLatin1String("CreateSession")) {
            const QString session = desktopPath + QStringLiteral("/session/") + sender +
                                    QLatin1Char('/') +
                                    options.value("session_handle_token").toString();
            sessions << session;
            results.insert(QStringLiteral("session_handle"), session);
        } else if (message.member() == QLatin1String("BindShortcuts")) {
            const QString session = args.value(0).value<QDBusObjectPath>().path();
            const QDBusArgument list = args.value(1).value<QDBusArgument>();
            list.beginArray();
            while (!list.atEnd()) {
                QString id;
                QVariantMap properties;
                list.beginStructure();
                list >> id >> properties;
                list.endStructure();
                bindings << Binding{session, id, properties.value("description").toString(),
                                    properties.value("preferred_trigger").toString()};
            }
            list.endArray();
            response = bindResponse;
        } else {
            return false;
        }
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage answer = QDBusMessage::createSignal(
            request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        answer << response << results;
        connection.send(answer);
        return true;
    }

    // The desktop reports a press of a bound shortcut.
    void press(const QString& session, const QString& id) {
        QDBusMessage activated = QDBusMessage::createSignal(desktopPath, shortcutsInterface,
                                                            QStringLiteral("Activated"));
        activated << QVariant::fromValue(QDBusObjectPath(session)) << id
                  << QVariant::fromValue(qulonglong(1234)) << QVariantMap{};
        bus.send(activated);
    }
};

struct PortalShortcuts : ::testing::Test {
    void SetUp() override {
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no session bus";
    }
};

TEST_F(PortalShortcuts, BindsCtrlAltSpaceAndHearsOnlyItsOwnShortcut) {
    FakePortal portal(true);
    PortalGlobalShortcuts shortcuts(QDBusConnection::sessionBus(), portal.service);
    QSignalSpy bound(&shortcuts, &PortalGlobalShortcuts::boundChanged);
    QSignalSpy activated(&shortcuts, &PortalGlobalShortcuts::activated);
    shortcuts.start();
    ASSERT_TRUE(bound.wait(5000));
    EXPECT_TRUE(shortcuts.isBound());
    ASSERT_EQ(portal.sessions.size(), 1);
    ASSERT_EQ(portal.bindings.size(), 1);
    const FakePortal::Binding& binding = portal.bindings[0];
    EXPECT_EQ(binding.session, portal.sessions[0]) << "bound in the session the portal opened";
    EXPECT_EQ(binding.id, QStringLiteral("quick-add"));
    EXPECT_EQ(binding.description, QStringLiteral("Quick Add to Today"));
    EXPECT_EQ(binding.trigger, QStringLiteral("CTRL+ALT+space"));

    portal.press(portal.sessions[0], QStringLiteral("quick-add"));
    ASSERT_TRUE(activated.wait(5000));
    // Another app's session, or another shortcut: not ours.
    portal.press(desktopPath + QStringLiteral("/session/1_1/someone_else"),
                 QStringLiteral("quick-add"));
    portal.press(portal.sessions[0], QStringLiteral("something-else"));
    portal.press(portal.sessions[0], QStringLiteral("quick-add"));
    ASSERT_TRUE(activated.wait(5000));
    QTest::qWait(100);
    EXPECT_EQ(activated.count(), 2);
}

TEST_F(PortalShortcuts, StaysSilentWithoutTheInterfaceOrWhenTheUserDeclines) {
    {
        FakePortal portal(false);
        PortalGlobalShortcuts shortcuts(QDBusConnection::sessionBus(), portal.service);
        shortcuts.start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return portal.calls.contains("Get"); }, 5000));
        QTest::qWait(200);
        EXPECT_EQ(portal.calls, QStringList{"Get"}) << "no session without the interface";
        EXPECT_FALSE(shortcuts.isBound());
    }
    {
        FakePortal portal(true);
        portal.bindResponse = 1;
        PortalGlobalShortcuts shortcuts(QDBusConnection::sessionBus(), portal.service);
        QSignalSpy activated(&shortcuts, &PortalGlobalShortcuts::activated);
        shortcuts.start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !portal.bindings.isEmpty(); }, 5000));
        QTest::qWait(200);
        EXPECT_FALSE(shortcuts.isBound());
        portal.press(portal.sessions[0], QStringLiteral("quick-add"));
        EXPECT_FALSE(activated.wait(300));
    }
    // Nobody owns the name: nothing happens, nothing is reported.
    PortalGlobalShortcuts nobody(QDBusConnection::sessionBus(),
                                 QStringLiteral("org.orvana.test.NoPortalHere"));
    nobody.start();
    QTest::qWait(200);
    EXPECT_FALSE(nobody.isBound());
}

} // namespace
