#include "Views/Settings/SettingsModel.h"

#include "Services/KeychainService.h"
#include "Services/URLRequestPerforming.h"
#include "Store/SqliteStore.h"
#include "Views/Settings/DataTransferModel.h"
#include "support/FakeSecretBackend.h"
#include "support/TestEnvironment.h"

#include <QCoro/QCoroTask>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <gtest/gtest.h>
#include <qcoro/qcorotimer.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

// The environment with a secret store, as the app has it.
struct Settings : ::testing::Test {
    test::FakeSecretBackend secrets;
    test::TestEnvironment t;
    AppEnvironment env{{t.context, t.preferences, t.notifications, t.calendar,
                        AppPaths::under(t.dir.path()), nullptr, &secrets, &t.badge}};
    QString autostart = env.paths().autostartFile;

    std::unique_ptr<SettingsModel> make() {
        auto model = std::make_unique<SettingsModel>(
            env, LaunchAtLogin(autostart, QStringLiteral("/opt/My Apps/orvana")));
        drainEvents(); // the key's presence is read in the background
        return model;
    }
    std::optional<QString> storedKey() {
        return QCoro::waitFor(KeychainService::shared(secrets).read());
    }
};

TEST_F(Settings, TheKeyIsSavedTrimmedAndRemovedAndAFailureKeepsTheField) {
    auto m = make();
    EXPECT_FALSE(m->hasStoredKey());
    EXPECT_FALSE(m->showsRemoveKey());
    m->setApiKeyField(QStringLiteral("  \n "));
    EXPECT_FALSE(m->canSaveKey());

    m->setApiKeyField(QStringLiteral(" sk-1 \n"));
    ASSERT_TRUE(m->canSaveKey());
    QCoro::waitFor(m->saveKey());
    EXPECT_EQ(storedKey(), QStringLiteral("sk-1"));
    EXPECT_TRUE(m->apiKeyField().isEmpty());
    EXPECT_TRUE(m->showsRemoveKey());
    EXPECT_EQ(m->saveConfirmation(), QStringLiteral("Saved"));

    // The keyring refuses: said so, and the typed key stays to try again.
    secrets.failWrites = true;
    m->setApiKeyField(QStringLiteral("sk-2"));
    QCoro::waitFor(m->saveKey());
    ASSERT_TRUE(m->saveConfirmation());
    EXPECT_TRUE(m->saveConfirmation()->startsWith(QStringLiteral("Couldn't save the key: ")));
    EXPECT_EQ(m->apiKeyField(), QStringLiteral("sk-2"));
    EXPECT_EQ(storedKey(), QStringLiteral("sk-1"));
    QCoro::waitFor(m->removeKey());
    EXPECT_TRUE(m->saveConfirmation()->startsWith(QStringLiteral("Couldn't remove the key: ")));
    EXPECT_TRUE(m->hasStoredKey());

    secrets.failWrites = false;
    QCoro::waitFor(m->removeKey());
    EXPECT_EQ(m->saveConfirmation(), QStringLiteral("Removed"));
    EXPECT_FALSE(m->showsRemoveKey());
    EXPECT_EQ(storedKey(), std::nullopt);

    // A key stored elsewhere shows in a window opened before.
    (void)QCoro::waitFor(KeychainService::shared(secrets).save(QStringLiteral("sk-3")));
    drainEvents();
    EXPECT_TRUE(m->hasStoredKey());
}

TEST_F(Settings, LaunchAtLoginWritesTheAutostartEntryAndSaysWhenItCannot) {
    auto m = make();
    EXPECT_FALSE(m->launchAtLogin());
    m->setLaunchAtLogin(true);
    EXPECT_TRUE(m->launchAtLogin());
    EXPECT_EQ(m->launchAtLoginError(), std::nullopt);
    QFile entry(autostart);
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QByteArray text = entry.readAll();
    entry.close();
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\nType=Application\n"));
    EXPECT_TRUE(text.contains("\nExec=\"/opt/My Apps/orvana\"\n")) << "quoted for the space";
    EXPECT_TRUE(make()->launchAtLogin()) << "read back by a new window";

    // Hidden by the desktop's own settings: off.
    ASSERT_TRUE(entry.open(QIODevice::Append));
    entry.write("Hidden=true\n");
    entry.close();
    EXPECT_FALSE(make()->launchAtLogin());

    m->setLaunchAtLogin(false);
    EXPECT_FALSE(QFile::exists(autostart));

    // A folder that cannot be made (a file is in its place; unlike a
    // read-only folder, that holds even for root): the switch ends off and
    // the text stays.
    const QString folder = QFileInfo(autostart).absolutePath();
    ASSERT_TRUE(QDir(folder).removeRecursively());
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    m->setLaunchAtLogin(true);
    EXPECT_FALSE(m->launchAtLogin());
    ASSERT_TRUE(m->launchAtLoginError());
    EXPECT_TRUE(
        m->launchAtLoginError()->startsWith(QStringLiteral("Couldn't update Launch at Login: ")));
    EXPECT_FALSE(QFile::exists(autostart));
}

TEST_F(Settings, NudgeTimesAndWeekdaysAreStoredAndReplanned) {
    auto m = make();
    EXPECT_EQ(m->dailyNudgeTime(), QTime(9, 0));
    t.preferences.setValue(PreferenceKeys::dailyPlanningNudgeEnabled, true);

    m->setDailyNudgeTime(QTime(10, 30));
    drainEvents();
    EXPECT_EQ(t.preferences.value(PreferenceKeys::dailyPlanningNudgeHour), 10);
    EXPECT_EQ(t.preferences.value(PreferenceKeys::dailyPlanningNudgeMinute), 30);
    EXPECT_EQ(t.center.pending.at(QStringLiteral("daily-planning-nudge")).delaySeconds, 1800.0);

    t.preferences.setValue(PreferenceKeys::dailyPlanningNudgeHour, 31); // by hand
    EXPECT_EQ(m->dailyNudgeTime(), QTime(9, 0));
}

TEST_F(Settings, AnImportIsConfirmedFirst) {
    auto m = make();
    m->askToImport(QDir(t.dir.path()).filePath(QStringLiteral("Orvana-Export-2026-03-01.json")));
    ASSERT_TRUE(m->isConfirmingImport());
    m->cancelImport();
    EXPECT_FALSE(m->isConfirmingImport());
    EXPECT_FALSE(m->transfer()->isBusy());
}

// A network where nothing answers, noting where the app tried to go.
struct Unreachable final : URLRequestPerforming {
    QList<QUrl> asked;
    QCoro::Task<Result<HttpResponse>> perform(HttpRequest request) override {
        asked << request.url;
        co_await QCoro::sleepFor(std::chrono::milliseconds(1)); // as a network would: later
        co_return Error{QStringLiteral("The server could not be reached."), ErrorKind::general};
    }
};

TEST(SettingsSync, TheUnencryptedSwitchIsOfferedForPlainHttpAwayFromThisMachineOnly) {
    test::TestEnvironment t;
    SettingsModel m(t.env, LaunchAtLogin(t.dir.filePath(QStringLiteral("a.desktop")), {}));
    const std::pair<const char*, bool> cases[] = {
        {"http://dav.example.org/", true},   {"http://192.168.1.20:5232", true},
        {"https://dav.example.org/", false}, {"dav.example.org", false}, // taken as https
        {"http://127.0.0.1:5232/", false},   {"http://localhost/dav", false},
        {"http://[::1]:5232/", false},       {"", false},
        {"ftp://dav.example.org/", false},
    };
    for (const auto& [address, offered] : cases) {
        m.setServerField(QString::fromLatin1(address));
        EXPECT_EQ(m.showsAllowInsecure(), offered) << address;
    }
}

// Signing in against a real store: the controller's refusals and the
// network's failure come back in words, the form stays as typed, and the
// unencrypted tick goes with the server it was given for.
TEST(SettingsSync, AFailedSignInSaysWhyAndKeepsTheForm) {
    QTemporaryDir dir;
    auto opened = openModelContext(dir.filePath(QStringLiteral("Orvana.sqlite")));
    ASSERT_TRUE(opened.ok());
    std::unique_ptr<ModelContext> context = std::move(opened.value());
    Calendar calendar = test::berlinMondayFirst();
    Preferences preferences(dir.filePath(QStringLiteral("preferences.json")));
    test::FakeNotificationCenter center;
    NotificationService notifications(
        center, [] { return systemNow(); }, calendar);
    Unreachable http;
    test::FakeSecretBackend secrets;
    AppEnvironment env({*context, preferences, notifications, calendar, AppPaths::under(dir.path()),
                        &http, &secrets, nullptr});
    SettingsModel m(env, LaunchAtLogin(dir.filePath(QStringLiteral("a.desktop")), {}));
    ASSERT_FALSE(m.syncSignedIn());

    m.setServerField(QStringLiteral("http://dav.example.org"));
    m.setUserField(QStringLiteral("alice"));
    m.setPasswordField(QStringLiteral("secret"));
    QCoro::waitFor(m.signIn());
    ASSERT_TRUE(m.signInError());
    EXPECT_TRUE(m.signInError()->startsWith(QStringLiteral("Plain http:// would send")));
    EXPECT_TRUE(http.asked.isEmpty());

    // Ticked for this server, then the address changes: the tick stays behind.
    m.setAllowInsecure(true);
    EXPECT_TRUE(m.allowInsecure());
    m.setServerField(QStringLiteral("http://other.example.org"));
    EXPECT_FALSE(m.allowInsecure());
    QCoro::waitFor(m.signIn());
    EXPECT_TRUE(http.asked.isEmpty());
    m.setServerField(QStringLiteral("http://dav.example.org"));
    EXPECT_TRUE(m.allowInsecure());

    // Under way: Sign In is off; then the network's answer in words.
    auto signingIn = m.signIn();
    EXPECT_TRUE(m.isSigningIn());
    EXPECT_FALSE(m.canSignIn());
    QCoro::waitFor(std::move(signingIn));
    EXPECT_FALSE(m.isSigningIn());
    ASSERT_FALSE(http.asked.isEmpty());
    EXPECT_EQ(http.asked.front().host(), QStringLiteral("dav.example.org"));
    ASSERT_TRUE(m.signInError());
    EXPECT_TRUE(m.signInError()->contains(QStringLiteral("could not be reached")))
        << m.signInError()->toStdString();
    EXPECT_FALSE(m.syncSignedIn());
    EXPECT_EQ(m.serverField(), QStringLiteral("http://dav.example.org"));
    EXPECT_EQ(m.userField(), QStringLiteral("alice"));
    EXPECT_EQ(m.passwordField(), QStringLiteral("secret"));
    EXPECT_TRUE(secrets.items.empty());
}

} // namespace
