#include "Platform/SystemNotificationCenter.h"
#include "support/PrivateBus.h"
#include "support/TestSupport.h"

#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <ostream>

#include <sys/prctl.h>

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

QString text(const QJsonObject& object, const char* key) {
    return object.value(QLatin1String(key)).toString();
}

// A session bus of the test's own, so that no real notification is ever
// shown, and the fake server script (tests/support) on it, started on demand.
class SystemNotificationCenterTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (bus_.address.isEmpty())
            GTEST_SKIP() << "dbus-daemon is not installed";
        connection = QDBusConnection::connectToBus(bus_.address, connectionName);
        ASSERT_TRUE(connection.isConnected()) << bus_.address.toStdString();
        ASSERT_TRUE(dir_.isValid());
    }
    void TearDown() override {
        stopServer();
        QDBusConnection::disconnectFromBus(connectionName);
    }

    bool serverOwnsName() const {
        return connection.interface()->isServiceRegistered(kNotifications);
    }

    // Returns once the server owns its name.
    testing::AssertionResult startServer() {
        // Must not outlive a crashed test: it would hold the output pipe.
        server_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus_.address);
        server_.setProcessEnvironment(env);
        server_.start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(QT_TESTCASE_SOURCEDIR "/support/fake-notification-server.py"),
                       logPath()});
        if (!QTest::qWaitFor(
                [&] { return serverOwnsName() || server_.state() == QProcess::NotRunning; },
                10'000) ||
            !serverOwnsName())
            return testing::AssertionFailure()
                   << "the fake server did not take its name (needs python3-dbus and "
                      "python3-gi): "
                   << server_.readAllStandardError().toStdString();
        return testing::AssertionSuccess();
    }

    void stopServer() {
        if (server_.state() == QProcess::NotRunning)
            return;
        server_.kill();
        server_.waitForFinished(5'000);
        // The bus drops the name once it notices the disconnection.
        if (!QTest::qWaitFor([&] { return !serverOwnsName(); }, 5'000))
            ADD_FAILURE() << "the stopped fake server still owns its name";
    }

    // Every Notify call received so far, as logged by the script.
    QList<QJsonObject> deliveries() const {
        QList<QJsonObject> records;
        for (const QByteArray& line : orvana::test::fileBytes(logPath()).split('\n')) {
            if (!line.isEmpty())
                records << QJsonDocument::fromJson(line).object();
        }
        return records;
    }

    QStringList summaries() const {
        QStringList result;
        for (const QJsonObject& delivery : deliveries())
            result << text(delivery, "summary");
        return result;
    }

    // Waits for `count` deliveries, then `settleMs` more for a wrong extra one.
    bool waitForDeliveries(qsizetype count, int settleMs) const {
        const bool arrived =
            QTest::qWaitFor([&] { return deliveries().size() >= count; }, kDeliveryTimeoutMs);
        QTest::qWait(settleMs);
        return arrived;
    }

    QString statePath() const { return dir_.filePath(QStringLiteral("state/Orvana/pending.json")); }
    QString logPath() const { return dir_.filePath(QStringLiteral("notify-log.jsonl")); }

    const QString connectionName = QStringLiteral("orvana-notification-test");
    QDBusConnection connection{QString()};
    test::PrivateBus bus_;

private:
    QTemporaryDir dir_;
    QProcess server_;
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
    ASSERT_TRUE(startServer());
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

    ASSERT_TRUE(waitForDeliveries(2, 1'500));
    EXPECT_EQ(summaries(), (QStringList{"Reminder", "Second"}));
    const QJsonObject notification = deliveries().value(0);
    EXPECT_EQ(text(notification, "body"), "Call the dentist — today");
    EXPECT_EQ(text(notification, "app_name"), "Orvana");
    EXPECT_EQ(text(notification, "app_icon"), "app.orvana.Orvana");
    EXPECT_TRUE(notification.value(QLatin1String("actions")).toArray().isEmpty());
    EXPECT_FALSE(
        text(notification.value(QLatin1String("hints")).toObject(), "sound-name").isEmpty());
    EXPECT_EQ(notification.value(QLatin1String("expire_timeout")).toInt(), -1);
    // Not early (a lower bound only; being late is the scheduler's business).
    EXPECT_GE(notification.value(QLatin1String("time")).toDouble() - addedAt, 0.9);
    EXPECT_GE(deliveries().value(1).value(QLatin1String("time")).toDouble() - addedAt, 1.4);

    // The focus timer withdraws a segment's request in the same second the
    // segment ends, maybe before the centre's own timer has run: shown, not lost.
    skew = 600;
    center.removePendingNotificationRequests({"due"});
    ASSERT_TRUE(waitForDeliveries(3, 500));
    EXPECT_EQ(summaries(), (QStringList{"Reminder", "Second", "Focus session complete"}));
    EXPECT_EQ(center.pendingIdentifiers(), QStringList{"far"});
    EXPECT_EQ(identifiersInFile(statePath()), QStringList{"far"});

    stopServer();
    EXPECT_EQ(QCoro::waitFor(center.authorizationStatus()), NotificationAuthorization::denied);
}

TEST_F(SystemNotificationCenterTest, ARestartShowsRecentlyMissedRequestsOnceAndDropsStaleOnes) {
    ASSERT_TRUE(startServer());
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
        ASSERT_TRUE(waitForDeliveries(1, 0));
    }

    // Yet another start shows nothing again.
    SystemNotificationCenter again(
        statePath(), [=] { return reopenedAt + kHour; }, connection);
    again.start();
    QTest::qWait(1'000);
    ASSERT_EQ(summaries(), QStringList{"An hour late"});
    EXPECT_EQ(text(deliveries().first(), "body"), "late body");
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
