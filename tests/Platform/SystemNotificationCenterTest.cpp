#include "Platform/SystemNotificationCenter.h"
#include "support/PrivateBus.h"
#include "support/TestSupport.h"

#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusVirtualObject>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <ostream>

// Readable failure messages for Qt strings.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
static void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}

namespace {

using namespace orvana;

constexpr double kHour = 3600.0;
constexpr int kDeliveryTimeoutMs = 15'000;

const QString kNotifications = QStringLiteral("org.freedesktop.Notifications");

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// The identifiers in a state file, in file order; the file must be a JSON
// array of request objects and nothing else.
QStringList identifiersInFile(const QString& path) {
    const QJsonDocument document = QJsonDocument::fromJson(orvana::test::fileBytes(path));
    if (!document.isArray())
        return {QStringLiteral("<not an array>")};
    QStringList identifiers;
    for (const QJsonValue& entry : document.array())
        identifiers << entry.toObject().value(QLatin1String("identifier")).toString();
    return identifiers;
}

void add(SystemNotificationCenter& center, const char* identifier, const char* title,
         double delaySeconds, const char* body = "body") {
    QCoro::waitFor(center.add(QString::fromUtf8(identifier), QString::fromUtf8(title),
                              QString::fromUtf8(body), delaySeconds));
}

// The desktop's notification server, on a connection of its own: keeps
// every Notify call with the wall-clock time it came.
class FakeNotificationServer : public QDBusVirtualObject {
public:
    struct Delivery {
        // app_name, replaces_id, app_icon, summary, body, actions, hints, timeout
        QVariantList args;
        Timestamp time;
    };

    explicit FakeNotificationServer(const QString& address)
        : bus_(QDBusConnection::connectToBus(address, QStringLiteral("notification-server"))) {}
    ~FakeNotificationServer() override {
        stop();
        QDBusConnection::disconnectFromBus(QStringLiteral("notification-server"));
    }
    bool start() {
        return bus_.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"), this) &&
               bus_.registerService(kNotifications);
    }
    void stop() {
        bus_.unregisterService(kNotifications);
        bus_.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
    }

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.member() != QLatin1String("Notify"))
            return false;
        deliveries.push_back({message.arguments(), systemNow()});
        connection.send(message.createReply(QVariant::fromValue(uint(deliveries.size()))));
        return true;
    }

    QStringList summaries() const {
        QStringList result;
        for (const Delivery& delivery : deliveries)
            result << delivery.args.value(3).toString();
        return result;
    }

    // Waits for `count` deliveries, then `settleMs` more for a wrong extra one.
    bool waitForDeliveries(qsizetype count, int settleMs) const {
        const bool arrived =
            QTest::qWaitFor([&] { return deliveries.size() >= count; }, kDeliveryTimeoutMs);
        QTest::qWait(settleMs);
        return arrived;
    }

    QList<Delivery> deliveries;

private:
    QDBusConnection bus_;
};

// A session bus of the test's own, so that no real notification is ever shown.
class SystemNotificationCenterTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (bus_.address.isEmpty())
            GTEST_SKIP() << "dbus-daemon is not installed";
        connection = QDBusConnection::connectToBus(bus_.address, connectionName);
        ASSERT_TRUE(connection.isConnected()) << bus_.address.toStdString();
        server = std::make_unique<FakeNotificationServer>(bus_.address);
        ASSERT_TRUE(dir_.isValid());
    }
    void TearDown() override {
        server.reset();
        QDBusConnection::disconnectFromBus(connectionName);
    }

    QString statePath() const { return dir_.filePath(QStringLiteral("state/Orvana/pending.json")); }

    const QString connectionName = QStringLiteral("orvana-notification-test");
    QDBusConnection connection{QString()};
    test::PrivateBus bus_;
    std::unique_ptr<FakeNotificationServer> server;

private:
    QTemporaryDir dir_;
};

// Authorised exactly while a server is on the bus. Due requests are shown
// once each; withdrawn ones only if already due, a replaced one only as
// replaced, and a far one stays pending.
TEST_F(SystemNotificationCenterTest, WhileAServerIsOnTheBusDueRequestsAreShownOnce) {
    double skew = 0; // the wall clock, until the test moves it on
    SystemNotificationCenter center(
        statePath(), [&skew] { return systemNow() + skew; }, connection);
    EXPECT_EQ(QCoro::waitFor(center.authorizationStatus()), NotificationAuthorization::denied);
    EXPECT_FALSE(QCoro::waitFor(center.requestAuthorization()));
    ASSERT_TRUE(server->start());
    EXPECT_EQ(QCoro::waitFor(center.authorizationStatus()), NotificationAuthorization::authorized);
    EXPECT_TRUE(QCoro::waitFor(center.requestAuthorization()));

    const Timestamp addedAt = systemNow();
    center.start();
    add(center, "soon", "Reminder", 1.0, "Call the dentist — today");
    // About 50 days: its milliseconds overflow a QTimer's int interval and,
    // cut to 32 bits, would leave half a second.
    add(center, "far", "Weekly review", (std::ldexp(1.0, 32) + 500) / 1000);
    add(center, "dropped", "Dropped", 1.5);
    add(center, "kept", "First", 1.0);
    add(center, "kept", "Second", 1.5);
    add(center, "due", "Focus session complete", 600);
    center.removePendingNotificationRequests({"dropped", "unknown"});
    EXPECT_EQ(identifiersInFile(statePath()), (QStringList{"soon", "kept", "due", "far"}));

    ASSERT_TRUE(server->waitForDeliveries(2, 1'500));
    EXPECT_EQ(server->summaries(), (QStringList{"Reminder", "Second"}));
    const QVariantList notification = server->deliveries.value(0).args;
    EXPECT_EQ(notification.value(0).toString(), "Orvana");
    EXPECT_EQ(notification.value(2).toString(), "app.orvana.Orvana");
    EXPECT_EQ(notification.value(4).toString(), "Call the dentist — today");
    EXPECT_TRUE(notification.value(5).toStringList().isEmpty()) << "no actions";
    EXPECT_TRUE(qdbus_cast<QVariantMap>(notification.value(6)).contains("sound-name"));
    EXPECT_EQ(notification.value(7).toInt(), -1) << "the server's own timeout";
    // Not early (a lower bound only; being late is the scheduler's business).
    EXPECT_GE(server->deliveries.value(0).time - addedAt, 0.9);
    EXPECT_GE(server->deliveries.value(1).time - addedAt, 1.4);

    // The focus timer withdraws a segment's request in the same second the
    // segment ends, maybe before the centre's own timer has run: shown, not lost.
    skew = 600;
    center.removePendingNotificationRequests({"due"});
    ASSERT_TRUE(server->waitForDeliveries(3, 500));
    EXPECT_EQ(server->summaries(), (QStringList{"Reminder", "Second", "Focus session complete"}));
    EXPECT_EQ(center.pendingIdentifiers(), QStringList{"far"});
    EXPECT_EQ(identifiersInFile(statePath()), QStringList{"far"});

    server->stop();
    EXPECT_EQ(QCoro::waitFor(center.authorizationStatus()), NotificationAuthorization::denied);
}

TEST_F(SystemNotificationCenterTest, ARestartShowsRecentlyMissedRequestsOnceAndDropsStaleOnes) {
    ASSERT_TRUE(server->start());
    const Timestamp closedAt = systemNow();
    {
        SystemNotificationCenter before(
            statePath(), [=] { return closedAt; }, connection);
        before.start();
        add(before, "late", "An hour late", 29 * kHour, "late body");
        add(before, "stale", "A day late", 5 * kHour);
        add(before, "future", "Not yet", 40 * kHour);
    }
    const QStringList all{"stale", "late", "future"};
    EXPECT_EQ(identifiersInFile(statePath()), all);

    const Timestamp reopenedAt = closedAt + 30 * kHour;
    {
        SystemNotificationCenter after(
            statePath(), [=] { return reopenedAt; }, connection);
        EXPECT_EQ(after.pendingIdentifiers(), all);
        after.start();
        EXPECT_EQ(after.pendingIdentifiers(), QStringList{"future"});
        EXPECT_EQ(identifiersInFile(statePath()), QStringList{"future"});
        ASSERT_TRUE(server->waitForDeliveries(1, 0));
    }

    // Yet another start shows nothing again.
    SystemNotificationCenter again(
        statePath(), [=] { return reopenedAt + kHour; }, connection);
    again.start();
    QTest::qWait(1'000);
    ASSERT_EQ(server->summaries(), QStringList{"An hour late"});
    EXPECT_EQ(server->deliveries.value(0).args.value(4).toString(), "late body");
    EXPECT_EQ(again.pendingIdentifiers(), QStringList{"future"});
    EXPECT_EQ(identifiersInFile(statePath()), QStringList{"future"});
}

// The common case: a server that the bus starts on the first notification.
TEST_F(SystemNotificationCenterTest, AuthorizedWhenTheBusCanStartAServer) {
    ASSERT_NO_FATAL_FAILURE(writeFile(
        bus_.servicesDirectory() + QStringLiteral("/org.freedesktop.Notifications.service"),
        "[D-BUS Service]\nName=org.freedesktop.Notifications\nExec=/bin/false\n"));
    SystemNotificationCenter center(statePath(), systemClock(), connection);
    EXPECT_EQ(QCoro::waitFor(center.authorizationStatus()), NotificationAuthorization::authorized);
    EXPECT_TRUE(QCoro::waitFor(center.requestAuthorization()));
}

// No bus needed: what is read from and written to the state file.
TEST(SystemNotificationCenterState, DamagedEntriesAreDroppedAndInvalidDelaysIgnored) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("pending.json"));
    const QDBusConnection offline(QStringLiteral("orvana-tests-never-connected"));
    const Clock clock = [] { return 1'800'000'000.0; };

    ASSERT_NO_FATAL_FAILURE(writeFile(path, "{ not json"));
    {
        SystemNotificationCenter center(path, clock, offline);
        EXPECT_TRUE(center.pendingIdentifiers().isEmpty());
        EXPECT_EQ(QCoro::waitFor(center.authorizationStatus()), NotificationAuthorization::denied);
        add(center, "ok", "t", kHour);
        for (double invalid : {0.0, -5.0, std::nan(""), 1e300})
            add(center, "bad", "t", invalid);
        EXPECT_EQ(identifiersInFile(path), QStringList{"ok"});
    }

    // A second entry without a firing time, and one of another shape.
    QJsonArray entries = QJsonDocument::fromJson(orvana::test::fileBytes(path)).array();
    entries.append(QJsonObject{{QLatin1String("identifier"), QLatin1String("no-time")}});
    entries.append(QLatin1String("stray text"));
    ASSERT_NO_FATAL_FAILURE(writeFile(path, QJsonDocument(entries).toJson()));

    SystemNotificationCenter reopened(path, clock, offline);
    EXPECT_EQ(reopened.pendingIdentifiers(), QStringList{"ok"});
}

TEST(SystemNotificationCenterState, DefaultPathFollowsXdgStateHome) {
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    const bool hadValue = qEnvironmentVariableIsSet("XDG_STATE_HOME");
    const auto restore = qScopeGuard([&] {
        if (hadValue)
            qputenv("XDG_STATE_HOME", saved);
        else
            qunsetenv("XDG_STATE_HOME");
        QStandardPaths::setTestModeEnabled(true);
    });
    const QString suffix = QStringLiteral("/Orvana/pending-notifications.json");

    qputenv("XDG_STATE_HOME", "/somewhere/state");
    EXPECT_EQ(SystemNotificationCenter::defaultStatePath(),
              QDir::homePath() + "/.qttest/state" + suffix); // test mode wins

    QStandardPaths::setTestModeEnabled(false);
    EXPECT_EQ(SystemNotificationCenter::defaultStatePath(), "/somewhere/state" + suffix);
    // A relative path is invalid in the XDG scheme: as if unset.
    const QString fallback = QDir::homePath() + "/.local/state" + suffix;
    qputenv("XDG_STATE_HOME", "relative/state");
    EXPECT_EQ(SystemNotificationCenter::defaultStatePath(), fallback);
    qunsetenv("XDG_STATE_HOME");
    EXPECT_EQ(SystemNotificationCenter::defaultStatePath(), fallback);
}

} // namespace
