// The disk fills up under the open window: the autosave fails and the strip
// says so with Try Again; once space returns, Try Again saves, the strip goes
// and the change is in the file.
#include "Store/SqliteStore.h"
#include "Views/Navigation/MainWindow.h"
#include "Views/Navigation/MainWindowModel.h"
#include "support/FullDisk.h"
#include "support/TestEnvironment.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace orvana;

TEST(MainWindow, AFullDiskShowsTheSaveProblemUntilTryAgainSavesTheChange) {
    test::FullDisk disk; // before the store opens, and gone after it
    test::TestEnvironment t;
    const QString path = t.dir.filePath(QStringLiteral("data/Orvana.sqlite"));
    auto store = SqliteStore::open(path);
    ASSERT_TRUE(store.ok()) << store.error().message.toStdString();
    t.context.attachStore(std::move(store.value())); // a new store, as empty as the context
    t.context.setAutosaveInterval(10);
    t.context.setAutosaveEnabled(true);
    t.preferences.setValue(PreferenceKeys::hasCompletedOnboarding, true);
    MainWindow window(t.env);
    window.model()->setBackupDirectory(QString());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* strip = window.findChild<QFrame*>(QStringLiteral("SaveProblem"));
    ASSERT_NE(strip, nullptr);
    EXPECT_FALSE(strip->isVisible());

    disk.setFull(true);
    t.context.create<Goal>(QStringLiteral("Written once there is space"));
    QTRY_VERIFY_WITH_TIMEOUT(strip->isVisible(), 10000);
    QLabel* message = nullptr;
    for (auto* label : strip->findChildren<QLabel*>())
        if (label->accessibleName() == QLatin1String("Save problem"))
            message = label;
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->text().startsWith(QLatin1String("Couldn't save your changes: ")))
        << message->text().toStdString();
    EXPECT_TRUE(message->text().contains(QLatin1String("full"))) << message->text().toStdString();
    auto storedGoals = [&] {
        auto reading = openModelContextForReading(path);
        EXPECT_TRUE(reading.ok());
        return reading.ok() ? reading.value()->count<Goal>() : std::size_t(0);
    };
    EXPECT_EQ(storedGoals(), 0u);

    disk.setFull(false);
    QPushButton* retry = nullptr;
    for (auto* button : strip->findChildren<QPushButton*>())
        if (button->text() == QLatin1String("Try Again"))
            retry = button;
    ASSERT_NE(retry, nullptr);
    QTest::mouseClick(retry, Qt::LeftButton);
    EXPECT_FALSE(strip->isVisible());
    EXPECT_FALSE(t.context.hasChanges());
    EXPECT_EQ(storedGoals(), 1u);
}

} // namespace
