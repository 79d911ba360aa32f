#include "Views/Settings/SettingsModel.h"

#include "Services/KeychainService.h"
#include "Views/Settings/DataTransferModel.h"
#include "support/FakeSecretBackend.h"
#include "support/TestEnvironment.h"

#include <QCoro/QCoroTask>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <gtest/gtest.h>

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

} // namespace
