#include "Platform/UnityLauncherBadge.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QSignalSpy>
#include <QVariantMap>
#include <gtest/gtest.h>

namespace {

using namespace orvana;

// What docks hear on the session bus about one app (other tests may start
// the real app beside this one).
class Listener : public QObject {
    Q_OBJECT
public:
    QString app;
    QList<QVariantMap> properties;
public slots:
    void update(const QString& uri, const QVariantMap& props) {
        if (uri != app)
            return;
        properties << props;
        emit heard();
    }
signals:
    void heard();
};

TEST(LauncherBadge, DocksHearTheCountAndItsVisibilityOnTheSessionBus) {
    if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "no session bus";
    // A connection of its own, as a dock has: signals reach it through the
    // bus, in the order they were sent.
    QDBusConnection bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("dock"));
    ASSERT_TRUE(bus.isConnected());
    const QString desktopID =
        QStringLiteral("orvana-badge-test-%1.desktop").arg(QCoreApplication::applicationPid());
    Listener listener;
    listener.app = QStringLiteral("application://") + desktopID;
    ASSERT_TRUE(bus.connect(QString(), QString(), QLatin1String(UnityLauncherBadge::interfaceName),
                            QStringLiteral("Update"), &listener,
                            SLOT(update(QString, QVariantMap))));
    QSignalSpy heard(&listener, &Listener::heard);
    UnityLauncherBadge badge(desktopID);
    badge.setCount(3);
    badge.setCount(0);
    while (heard.size() < 2 && heard.wait(5000)) {
    }
    ASSERT_EQ(listener.properties.size(), 2);
    EXPECT_EQ(listener.properties[0].value(QStringLiteral("count")).toLongLong(), 3);
    EXPECT_EQ(listener.properties[0].value(QStringLiteral("count")).metaType(),
              QMetaType::fromType<qint64>())
        << "docks read an int64";
    EXPECT_TRUE(listener.properties[0].value(QStringLiteral("count-visible")).toBool());
    EXPECT_FALSE(listener.properties[1].value(QStringLiteral("count-visible")).toBool());
}

} // namespace

#include "UnityLauncherBadgeTest.moc"
