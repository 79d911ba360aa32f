#include "Platform/SystemNotificationCenter.h"

#include <QCryptographicHash>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <memory>
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

// Blocking bus queries: fine in a test, never in the app.
bool serverOwnsName() {
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(kNotifications);
}

bool serverIsActivatable() {
    const QDBusReply<QStringList> names =
        QDBusConnection::sessionBus().interface()->activatableServiceNames();
    return names.isValid() && names.value().contains(kNotifications);
}

// A helper process must not outlive a test that crashes: it would keep the
// test's output pipe (and the bus name) and stall the test run.
void dieWithTest(QProcess& process) {
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

// The identifiers in a state file, in file order; the file must be a JSON
// array of request objects and nothing else.
QStringList identifiersInFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("<unreadable>")};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isArray())
        return {QStringLiteral("<not an array>")};
    QStringList identifiers;
    for (const QJsonValue& entry : document.array())
        identifiers << entry.toObject().value(QLatin1String("identifier")).toString();
    return identifiers;
}

// The fake server script (tests/support), on the session bus the test command
// provides. Owns the process: stopped, and the name released, on destruction.
class FakeNotificationServer {
public:
    explicit FakeNotificationServer(QString logPath) : logPath_(std::move(logPath)) {}
    FakeNotificationServer(const FakeNotificationServer&) = delete;
    FakeNotificationServer& operator=(const FakeNotificationServer&) = delete;
    ~FakeNotificationServer() { stop(); }

    // Returns once the server owns its name.
    testing::AssertionResult start() {
        const QString script =
            QStringLiteral(QT_TESTCASE_SOURCEDIR "/support/fake-notification-server.py");
        dieWithTest(process_);
        process_.start(QStringLiteral("/usr/bin/python3"), {script, logPath_});
        if (!process_.waitForStarted(10'000))
            return testing::AssertionFailure()
                   << "cannot run /usr/bin/python3: " << process_.errorString().toStdString();
        const bool settled = QTest::qWaitFor(
            [&] { return serverOwnsName() || process_.state() != QProcess::Running; }, 10'000);
        if (!settled || !serverOwnsName())
            return testing::AssertionFailure()
                   << "the fake server did not take " << kNotifications.toStdString()
                   << " (needs python3-dbus and python3-gi): "
                   << process_.readAllStandardError().toStdString();
        return testing::AssertionSuccess();
    }

    void stop() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(5'000)) {
            process_.kill();
            process_.waitForFinished(5'000);
        }
        // The bus drops the name once it notices the disconnection.
        if (!QTest::qWaitFor([] { return !serverOwnsName(); }, 5'000))
            ADD_FAILURE() << "the stopped fake server still owns its name";
    }

    // Every Notify call received so far, as logged by the script.
    QList<QJsonObject> deliveries() const {
        QFile file(logPath_);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QList<QJsonObject> records;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.isEmpty())
                records << QJsonDocument::fromJson(line).object();
        }
        return records;
    }

    bool waitForDeliveries(qsizetype count) const {
        return QTest::qWaitFor([&] { return deliveries().size() >= count; }, kDeliveryTimeoutMs);
    }

private:
    QString logPath_;
    QProcess process_;
};

// Runs only on a bus without any notification server of its own, so that no
// real notification is ever shown. Test processes that share one bus take
// turns (ctest runs them in parallel), since they all claim the same name.
class SystemNotificationCenterTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            GTEST_SKIP() << "no D-Bus session bus (DBUS_SESSION_BUS_ADDRESS is unset); "
                            "scripts/test runs these tests inside dbus-run-session";
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected())
            << "cannot connect to the session bus at "
            << qgetenv("DBUS_SESSION_BUS_ADDRESS").toStdString();
        const QByteArray busHash =
            QCryptographicHash::hash(qgetenv("DBUS_SESSION_BUS_ADDRESS"), QCryptographicHash::Sha1)
                .toHex()
                .left(16);
        lock_ = std::make_unique<QLockFile>(QDir::temp().filePath(
            QStringLiteral("orvana-notification-tests-%1.lock").arg(QString::fromLatin1(busHash))));
        lock_->setStaleLockTime(0); // held for as long as a test runs, however long
        ASSERT_TRUE(lock_->tryLock(300'000)) << "another test kept the notification server lock";
        if (serverOwnsName() || serverIsActivatable())
            GTEST_SKIP() << "a notification server is already on this session bus (a desktop "
                            "session?); these tests only run on a private bus, such as the one "
                            "scripts/test starts, so that no real notification is shown";
        ASSERT_TRUE(dir_.isValid());
    }

    QString statePath() const { return dir_.filePath(QStringLiteral("state/Orvana/pending.json")); }

    std::unique_ptr<QLockFile> lock_; // declared first: released last
    QTemporaryDir dir_;
    FakeNotificationServer server{dir_.filePath(QStringLiteral("notify-log.jsonl"))};
};

TEST_F(SystemNotificationCenterTest, AuthorizedExactlyWhileAServerIsOnTheBus) {
    SystemNotificationCenter center(statePath());
    EXPECT_EQ(QCoro::waitFor(center.authorizationStatus()), NotificationAuthorization::denied);
    EXPECT_FALSE(QCoro::waitFor(center.requestAuthorization()));

    ASSERT_TRUE(server.start());
    EXPECT_EQ(QCoro::waitFor(center.authorizationStatus()), NotificationAuthorization::authorized);
    EXPECT_TRUE(QCoro::waitFor(center.requestAuthorization()));

    server.stop();
    EXPECT_EQ(QCoro::waitFor(center.authorizationStatus()), NotificationAuthorization::denied);
}

TEST_F(SystemNotificationCenterTest, DeliversADueRequestOnceAndKeepsAFarOnePending) {
    ASSERT_TRUE(server.start());
    SystemNotificationCenter center(statePath());
    center.start();
    const Timestamp addedAt = systemNow();
    QCoro::waitFor(center.add(QStringLiteral("soon"), QStringLiteral("Reminder"),
                              QStringLiteral("Call the dentist — today"), 1.0));
    // About 50 days: its milliseconds overflow a QTimer's int interval and,
    // cut to 32 bits, would leave half a second.
    const double wrapsToHalfASecond = (std::ldexp(1.0, 32) + 500) / 1000;
    QCoro::waitFor(center.add(QStringLiteral("far"), QStringLiteral("Weekly review"),
                              QStringLiteral("later"), wrapsToHalfASecond));
    EXPECT_EQ(identifiersInFile(statePath()), (QStringList{"soon", "far"}));

    ASSERT_TRUE(server.waitForDeliveries(1));
    QTest::qWait(1'000); // room for a wrong second delivery
    const QList<QJsonObject> shown = server.deliveries();
    ASSERT_EQ(shown.size(), 1);
    const QJsonObject& notification = shown.first();
    EXPECT_EQ(notification.value(QLatin1String("summary")).toString(), "Reminder");
    EXPECT_EQ(notification.value(QLatin1String("body")).toString(), "Call the dentist — today");
    EXPECT_EQ(notification.value(QLatin1String("app_name")).toString(), "Orvana");
    EXPECT_EQ(notification.value(QLatin1String("app_icon")).toString(), "app.orvana.Orvana");
    EXPECT_TRUE(notification.value(QLatin1String("actions")).toArray().isEmpty());
    EXPECT_FALSE(notification.value(QLatin1String("hints"))
                     .toObject()
                     .value(QLatin1String("sound-name"))
                     .toString()
                     .isEmpty());
    EXPECT_EQ(notification.value(QLatin1String("expire_timeout")).toInt(), -1);
    // Not early (a lower bound only; being late is the scheduler's business).
    EXPECT_GE(notification.value(QLatin1String("time")).toDouble() - addedAt, 0.9);

    EXPECT_EQ(center.pendingIdentifiers(), QStringList{"far"});
    EXPECT_EQ(identifiersInFile(statePath()), QStringList{"far"});
}

TEST_F(SystemNotificationCenterTest, RemovedRequestsAreNeverShownAndAReplacedOneOnlyOnce) {
    ASSERT_TRUE(server.start());
    SystemNotificationCenter center(statePath());
    center.start();
    QCoro::waitFor(center.add(QStringLiteral("dropped"), QStringLiteral("Dropped"),
                              QStringLiteral("never"), 1.0));
    QCoro::waitFor(
        center.add(QStringLiteral("kept"), QStringLiteral("First"), QStringLiteral("one"), 1.0));
    QCoro::waitFor(
        center.add(QStringLiteral("kept"), QStringLiteral("Second"), QStringLiteral("two"), 1.5));
    center.removePendingNotificationRequests(
        {QStringLiteral("dropped"), QStringLiteral("unknown")});
    EXPECT_EQ(identifiersInFile(statePath()), QStringList{"kept"});

    ASSERT_TRUE(server.waitForDeliveries(1));
    QTest::qWait(1'500);
    const QList<QJsonObject> shown = server.deliveries();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().value(QLatin1String("summary")).toString(), "Second");
    EXPECT_EQ(identifiersInFile(statePath()), QStringList{});
}

// The focus timer withdraws a segment's request in the same second the
// segment ends; a request that is already due is shown, not lost.
TEST_F(SystemNotificationCenterTest, WithdrawingARequestThatIsDueShowsIt) {
    ASSERT_TRUE(server.start());
    Timestamp now = 1'800'000'000;
    SystemNotificationCenter center(statePath(), [&now] { return now; });
    center.start();
    QCoro::waitFor(center.add(QStringLiteral("due"), QStringLiteral("Focus session complete"),
                              QStringLiteral("Nice work."), 600));
    QCoro::waitFor(
        center.add(QStringLiteral("early"), QStringLiteral("Early"), QStringLiteral("no"), 900));
    now += 600;
    center.removePendingNotificationRequests({QStringLiteral("due"), QStringLiteral("early")});
    ASSERT_TRUE(server.waitForDeliveries(1));
    QTest::qWait(500);
    const QList<QJsonObject> shown = server.deliveries();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().value(QLatin1String("summary")).toString(), "Focus session complete");
    EXPECT_TRUE(center.pendingIdentifiers().isEmpty());
}

TEST_F(SystemNotificationCenterTest, ARestartShowsRecentlyMissedRequestsOnceAndDropsStaleOnes) {
    ASSERT_TRUE(server.start());
    const Timestamp closedAt = systemNow();
    {
        SystemNotificationCenter before(statePath(), [=] { return closedAt; });
        before.start();
        QCoro::waitFor(before.add(QStringLiteral("late"), QStringLiteral("An hour late"),
                                  QStringLiteral("late body"), 29 * kHour));
        QCoro::waitFor(before.add(QStringLiteral("stale"), QStringLiteral("A day late"),
                                  QStringLiteral("stale body"), 5 * kHour));
        QCoro::waitFor(before.add(QStringLiteral("future"), QStringLiteral("Not yet"),
                                  QStringLiteral("future body"), 40 * kHour));
    }
    EXPECT_EQ(identifiersInFile(statePath()), (QStringList{"stale", "late", "future"}));

    const Timestamp reopenedAt = closedAt + 30 * kHour;
    {
        SystemNotificationCenter after(statePath(), [=] { return reopenedAt; });
        EXPECT_EQ(after.pendingIdentifiers(), (QStringList{"stale", "late", "future"}));
        after.start();
        EXPECT_EQ(after.pendingIdentifiers(), QStringList{"future"});
        EXPECT_EQ(identifiersInFile(statePath()), QStringList{"future"});
        ASSERT_TRUE(server.waitForDeliveries(1));
    }

    // Yet another start shows nothing again.
    SystemNotificationCenter again(statePath(), [=] { return reopenedAt + kHour; });
    again.start();
    QTest::qWait(1'000);
    const QList<QJsonObject> shown = server.deliveries();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().value(QLatin1String("summary")).toString(), "An hour late");
    EXPECT_EQ(shown.first().value(QLatin1String("body")).toString(), "late body");
    EXPECT_EQ(again.pendingIdentifiers(), QStringList{"future"});
    EXPECT_EQ(identifiersInFile(statePath()), QStringList{"future"});
}

// A bus of the test's own, whose service directory the test controls: the
// common case of a server that the bus starts on the first notification.
TEST(SystemNotificationCenterActivation, AuthorizedWhenTheBusCanStartAServer) {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty())
        GTEST_SKIP() << "dbus-daemon is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString services = dir.filePath(QStringLiteral("services"));
    ASSERT_TRUE(QDir().mkpath(services));
    QFile config(dir.filePath(QStringLiteral("bus.conf")));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral(R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=%1</listen>
  <auth>EXTERNAL</auth>
  <servicedir>%2</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)")
                     .arg(dir.filePath(QStringLiteral("bus")), services)
                     .toUtf8());
    config.close();

    QProcess bus;
    dieWithTest(bus);
    bus.start(daemon, {QStringLiteral("--config-file=") + config.fileName(),
                       QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    struct Stop {
        QProcess& process;
        ~Stop() {
            process.kill();
            process.waitForFinished(5'000);
        }
    } stopBus{bus};
    ASSERT_TRUE(QTest::qWaitFor([&] { return bus.canReadLine(); }, 10'000))
        << bus.readAllStandardError().toStdString();
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    const QString connectionName = QStringLiteral("orvana-activation-test");
    struct Disconnect {
        QString name;
        ~Disconnect() { QDBusConnection::disconnectFromBus(name); }
    } disconnect{connectionName};
    QDBusConnection connection = QDBusConnection::connectToBus(address, connectionName);
    ASSERT_TRUE(connection.isConnected()) << address.toStdString();

    SystemNotificationCenter center(dir.filePath(QStringLiteral("pending.json")), systemClock(),
                                    connection);
    EXPECT_EQ(QCoro::waitFor(center.authorizationStatus()), NotificationAuthorization::denied);

    QFile service(services + QStringLiteral("/org.freedesktop.Notifications.service"));
    ASSERT_TRUE(service.open(QIODevice::WriteOnly));
    service.write("[D-BUS Service]\nName=org.freedesktop.Notifications\nExec=/bin/false\n");
    service.close();
    const QDBusMessage reload = connection.call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ReloadConfig")));
    ASSERT_EQ(reload.type(), QDBusMessage::ReplyMessage) << reload.errorMessage().toStdString();

    EXPECT_EQ(QCoro::waitFor(center.authorizationStatus()), NotificationAuthorization::authorized);
    EXPECT_TRUE(QCoro::waitFor(center.requestAuthorization()));
}

// No bus needed: what is read from and written to the state file.
TEST(SystemNotificationCenterState, DamagedEntriesAreDroppedAndInvalidDelaysIgnored) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("pending.json"));
    const QDBusConnection offline(QStringLiteral("orvana-tests-never-connected"));
    const Timestamp now = 1'800'000'000;
    const Clock clock = [=] { return now; };

    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("{ not json");
    }
    {
        SystemNotificationCenter center(path, clock, offline);
        EXPECT_TRUE(center.pendingIdentifiers().isEmpty());
        EXPECT_EQ(QCoro::waitFor(center.authorizationStatus()), NotificationAuthorization::denied);
        QCoro::waitFor(
            center.add(QStringLiteral("ok"), QStringLiteral("t"), QStringLiteral("b"), kHour));
        for (double invalid : {0.0, -5.0, std::nan(""), 1e300})
            QCoro::waitFor(center.add(QStringLiteral("bad"), QStringLiteral("t"),
                                      QStringLiteral("b"), invalid));
        EXPECT_EQ(identifiersInFile(path), QStringList{"ok"});
    }

    // A second entry without a firing time, and one of another shape.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QJsonArray entries = QJsonDocument::fromJson(file.readAll()).array();
    file.close();
    entries.append(QJsonObject{{QLatin1String("identifier"), QLatin1String("no-time")}});
    entries.append(QLatin1String("stray text"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QJsonDocument(entries).toJson());
    file.close();

    SystemNotificationCenter reopened(path, clock, offline);
    EXPECT_EQ(reopened.pendingIdentifiers(), QStringList{"ok"});
}

TEST(SystemNotificationCenterState, DefaultPathFollowsXdgStateHome) {
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    const bool hadValue = qEnvironmentVariableIsSet("XDG_STATE_HOME");
    struct Restore {
        QByteArray value;
        bool set;
        ~Restore() {
            if (set)
                qputenv("XDG_STATE_HOME", value);
            else
                qunsetenv("XDG_STATE_HOME");
            QStandardPaths::setTestModeEnabled(true);
        }
    } restore{saved, hadValue};
    const QString suffix = QStringLiteral("/Orvana/pending-notifications.json");

    qputenv("XDG_STATE_HOME", "/somewhere/state");
    EXPECT_EQ(SystemNotificationCenter::defaultStatePath(),
              QDir::homePath() + "/.qttest/state" + suffix); // test mode wins

    QStandardPaths::setTestModeEnabled(false);
    EXPECT_EQ(SystemNotificationCenter::defaultStatePath(), "/somewhere/state" + suffix);
    qputenv("XDG_STATE_HOME", "relative/state");
    EXPECT_EQ(SystemNotificationCenter::defaultStatePath(),
              QDir::homePath() + "/.local/state" + suffix);
    qunsetenv("XDG_STATE_HOME");
    EXPECT_EQ(SystemNotificationCenter::defaultStatePath(),
              QDir::homePath() + "/.local/state" + suffix);
}

} // namespace
