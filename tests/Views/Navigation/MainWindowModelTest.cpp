#include "Views/Navigation/MainWindowModel.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using namespace orvana;
using orvana::test::drainEvents;

TEST(MainWindowModel, StartUpWaitsForOnboardingThenBacksUpAndKeepsTheBadgeLive) {
    test::TestEnvironment t; // Monday 10:00
    const Timestamp monday = t.local(2026, 3, 2);
    auto* late = t.context.create<DayTask>(QStringLiteral("Late"), monday - 86400);
    t.context.create<DayTask>(QStringLiteral("Late too"), monday - 3 * 86400);
    t.context.create<DayTask>(QStringLiteral("Done late"), monday - 86400)
        ->setOnlyCompleteFlag(true);
    t.context.create<DayTask>(QStringLiteral("Today"), monday);
    const QString backups = t.dir.filePath(QStringLiteral("backups"));

    MainWindowModel model(t.env);
    model.setBackupDirectory(backups);
    ASSERT_TRUE(model.showsOnboarding());
    model.navigationAppeared();
    EXPECT_EQ(t.context.undoManager(), nullptr) << "nothing runs behind the intro";
    EXPECT_TRUE(t.badge.counts.empty());

    QSignalSpy shown(&model, &MainWindowModel::onboardingChanged);
    QSignalSpy backedUp(&model, &MainWindowModel::backupWritten);
    t.preferences.setValue(PreferenceKeys::hasCompletedOnboarding, true); // by any path
    ASSERT_EQ(shown.size(), 1);
    model.navigationAppeared();
    EXPECT_NE(t.context.undoManager(), nullptr);
    model.runPendingBackup(); // the window does this once it has painted
    EXPECT_EQ(t.badge.counts, std::vector<qint64>{2});
    ASSERT_TRUE(backedUp.wait(5000));
    EXPECT_EQ(QDir(backups).entryList(QDir::Files).size(), 1);

    late->setComplete(true);
    drainEvents();
    EXPECT_EQ(t.badge.counts.back(), 1);
    model.navigationAppeared(); // the window shown again
    EXPECT_EQ(t.badge.counts, (std::vector<qint64>{2, 1, 1}));
}

TEST(MainWindowModel, AFocusRequestFindsItsGoalOrOpensTheTimerWithoutOne) {
    test::TestEnvironment t;
    auto* goal = t.context.create<Goal>(QStringLiteral("Learn Spanish"));
    MainWindowModel model(t.env);
    std::vector<Goal*> opened;
    int windowWanted = 0;
    QObject::connect(&model, &MainWindowModel::quickFocusRequested,
                     [&opened](Goal* g) { opened.push_back(g); });
    QObject::connect(&model, &MainWindowModel::windowWanted, [&] { ++windowWanted; });

    // During the intro the request waits for the sections, not dropped.
    t.env.requestFocusSession(goal->id());
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(windowWanted, 1);
    t.preferences.setValue(PreferenceKeys::hasCompletedOnboarding, true);
    model.navigationAppeared();
    drainEvents();
    EXPECT_EQ(opened, std::vector<Goal*>{goal});

    t.env.requestFocusSession(QUuid::createUuid());
    t.env.requestFocusSession();
    EXPECT_EQ(opened, (std::vector<Goal*>{goal, nullptr, nullptr}));
}

} // namespace
