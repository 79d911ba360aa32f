#include "Services/KeychainService.h"
#include "Views/Navigation/MainWindow.h"
#include "Views/Navigation/MainWindowModel.h"
#include "Views/Onboarding/OnboardingModel.h"
#include "Views/Onboarding/OnboardingView.h"
#include "Views/Overview/OverviewView.h"
#include "Views/QuickAdd/QuickAddPanel.h"
#include "Views/Settings/SettingsView.h"
#include "Views/Today/DayTaskFormModel.h"
#include "Views/Today/DayTaskFormView.h"
#include "Views/Today/TodayView.h"
#include "Views/Tray/TraySummaryPopup.h"
#include "support/FakeSecretBackend.h"
#include "support/Sample.h"
#include "support/Shots.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoro/QCoroTask>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

// Pictures of the screens in a light and a dark palette for people to look
// at (scripts/screenshots); skipped in the normal test run.
namespace {

using namespace orvana;
using orvana::test::drainEvents;

// Shows `widget` at `size` (its own size when empty) and saves it as `name`.
void shoot(QWidget& widget, const QString& name, QSize size = {}) {
    if (!size.isEmpty())
        widget.resize(size);
    widget.show();
    drainEvents();
    test::saveShots(&widget, name);
}

TEST(Screenshots, TodayAndTheTaskForm) {
    if (!test::shotsWanted())
        GTEST_SKIP() << "set ORVANA_SHOTS_DIR to take pictures";
    {
        test::TestEnvironment t;
        TodayView empty(t.env);
        shoot(empty, QStringLiteral("today-empty"), {760, 520});
    }
    test::TestEnvironment t;
    test::fillSample(t.context, t.calendar, t.now);
    t.preferences.setValue(PreferenceKeys::hasCompletedOnboarding, true);
    MainWindow window(t.env);
    window.model()->setBackupDirectory(QString());
    shoot(window, QStringLiteral("today-full"), {980, 640});

    DayTaskFormView form(new DayTaskFormModel(t.env), t.env);
    form.titleField()->setText(QStringLiteral("Long run, 12 km"));
    form.goalPicker()->setCurrentIndex(1);
    form.reminderToggle()->setChecked(true);
    form.show();
    drainEvents();
    form.adjustSize();
    test::saveShots(&form, QStringLiteral("task-form"));
}

// The intro's four pages in the window.
TEST(Screenshots, OnboardingPages) {
    if (!test::shotsWanted())
        GTEST_SKIP() << "set ORVANA_SHOTS_DIR to take pictures";
    test::TestEnvironment t;
    MainWindow window(t.env);
    window.model()->setBackupDirectory(QString());
    window.resize(980, 640);
    window.show();
    drainEvents();
    for (const char* name :
         {"onboarding-chain", "onboarding-ritual", "onboarding-ai", "onboarding-create-goal"}) {
        test::saveShots(&window, QString::fromLatin1(name));
        if (!window.onboarding()->model()->isLastStep())
            window.onboarding()->secondButton()->click();
        drainEvents();
    }
}

TEST(Screenshots, Overview) {
    if (!test::shotsWanted())
        GTEST_SKIP() << "set ORVANA_SHOTS_DIR to take pictures";
    test::TestEnvironment t;
    OverviewView view(t.env);
    shoot(view, QStringLiteral("overview-empty"), {760, 900});
    view.hide();
    test::fillSample(t.context, t.calendar, t.now);
    t.context.create<TrailEntry>(t.now - 60, 25, t.context.fetch<Goal>().front(), t.now - 60);
    drainEvents();
    view.show();
    QTest::qWait(400); // the banner slides in
    test::saveShots(&view, QStringLiteral("overview-full"));
    shoot(view, QStringLiteral("overview-narrow"), {420, 900}); // two cards a line
}

TEST(Screenshots, QuickAdd) {
    if (!test::shotsWanted())
        GTEST_SKIP() << "set ORVANA_SHOTS_DIR to take pictures";
    test::TestEnvironment t;
    QuickAddPanel panel(t.env);
    panel.toggle();
    QuickAddView* view = panel.panel();
    ASSERT_TRUE(view && QTest::qWaitForWindowActive(view));
    shoot(*view, QStringLiteral("quick-add-empty"));
    QTest::keyClicks(view->field(), QStringLiteral("Buy milk"));
    shoot(*view, QStringLiteral("quick-add-typed"));
}

// Every section in one picture, without and with a key of one's own.
TEST(Screenshots, Settings) {
    if (!test::shotsWanted())
        GTEST_SKIP() << "set ORVANA_SHOTS_DIR to take pictures";
    test::FakeSecretBackend secrets;
    test::TestEnvironment t;
    AppEnvironment env{{t.context, t.preferences, t.notifications, t.calendar,
                        AppPaths::under(t.dir.path()), nullptr, &secrets, &t.badge}};
    for (const char* name : {"settings-hosted", "settings-own-key-nudges"}) {
        SettingsView view(env);
        shoot(view, QString::fromLatin1(name), {600, 1500});
        (void)QCoro::waitFor(KeychainService::shared(secrets).save(QStringLiteral("sk-or-1")));
        t.preferences.setValue(PreferenceKeys::dailyPlanningNudgeEnabled, true);
        t.preferences.setValue(PreferenceKeys::weeklyRitualNudgeEnabled, true);
    }
}

TEST(Screenshots, TraySummary) {
    if (!test::shotsWanted())
        GTEST_SKIP() << "set ORVANA_SHOTS_DIR to take pictures";
    test::TestEnvironment t;
    auto popup = std::make_unique<TraySummaryPopup>(t.env);
    shoot(*popup, QStringLiteral("tray-empty"));
    test::fillSample(t.context, t.calendar, t.now);
    popup = std::make_unique<TraySummaryPopup>(t.env);
    shoot(*popup, QStringLiteral("tray-full"));
    for (DayTask* task : t.context.fetch<DayTask>())
        if (task->isTodaysOneThing())
            task->setOnlyCompleteFlag(true);
    shoot(*popup, QStringLiteral("tray-done"));
}

} // namespace
