#include "Platform/TimeZoneWatcher.h"

#include "support/PrivateBus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace orvana;

namespace {

// systemd-timedated's announcement of a new zone, on a bus of the test's
// own standing in for the system bus.
TEST(TimeZoneWatcher, HearsTimedatedAnnounceANewZone) {
    test::PrivateBus bus;
    if (bus.address.isEmpty())
        GTEST_SKIP() << "no dbus-daemon";
    QDBusConnection app = QDBusConnection::connectToBus(bus.address, QStringLiteral("tz-app"));
    QDBusConnection timedated =
        QDBusConnection::connectToBus(bus.address, QStringLiteral("tz-timedated"));
    ASSERT_TRUE(timedated.registerService(QStringLiteral("org.freedesktop.timedate1")));
    TimeZoneWatcher watcher(app);
    QSignalSpy spy(&watcher, &TimeZoneWatcher::mayHaveChanged);

    auto announce = [&](const QString& property) {
        QDBusMessage signal = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/timedate1"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
        signal << QStringLiteral("org.freedesktop.timedate1")
               << QVariantMap{{property, QStringLiteral("Asia/Tokyo")}} << QStringList();
        ASSERT_TRUE(timedated.send(signal));
    };
    announce(QStringLiteral("NTP"));
    announce(QStringLiteral("Timezone"));
    ASSERT_TRUE(spy.wait(5000));
    QTest::qWait(100);
    EXPECT_EQ(spy.count(), 1) << "only the zone counts";
    QDBusConnection::disconnectFromBus(QStringLiteral("tz-app"));
    QDBusConnection::disconnectFromBus(QStringLiteral("tz-timedated"));
}

} // namespace
