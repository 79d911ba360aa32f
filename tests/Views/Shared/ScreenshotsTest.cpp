#include "Models/FocusBlockTemplate.h"
#include "Views/Navigation/MainWindow.h"
#include "Views/Navigation/MainWindowModel.h"
#include "Views/Today/DayTaskFormModel.h"
#include "Views/Today/DayTaskFormView.h"
#include "Views/Today/TodayModel.h"
#include "Views/Today/TodayView.h"
#include "support/Shots.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <gtest/gtest.h>

// Pictures of the screens in a light and a dark palette for people to look
// at (scripts/screenshots); skipped in the normal test run.
namespace {

using namespace orvana;
using orvana::test::drainEvents;

void fillToday(test::TestEnvironment& t) {
    const Timestamp monday = t.local(2026, 3, 2);
    auto* run = t.context.create<Goal>(QStringLiteral("Run a half marathon"));
    run->setColorTag(QStringLiteral("green"));
    auto* spanish = t.context.create<Goal>(QStringLiteral("Learn Spanish"));
    spanish->setColorTag(QStringLiteral("blue"));
    auto* late =
        t.context.create<DayTask>(QStringLiteral("Send the tax papers"), monday - 2 * 86400);
    late->setGoal(nullptr);
    t.context.create<DayTask>(QStringLiteral("Book the physio"), monday - 86400);
    auto* one = t.context.create<DayTask>(QStringLiteral("Finish the release notes"), monday,
                                          std::nullopt, false, true, 0);
    (void)one;
    auto* a = t.context.create<DayTask>(QStringLiteral("Easy 5 km run"), monday, std::nullopt,
                                        false, false, 1);
    a->setGoal(run);
    auto* b = t.context.create<DayTask>(QStringLiteral("20 minutes of Duolingo"), monday,
                                        std::nullopt, true, false, 2);
    b->setGoal(spanish);
    t.context.create<DayTask>(QStringLiteral("Call Grandma"), monday, std::nullopt, false, false,
                              3);
    auto* block = t.context.create<FocusBlockTemplate>(
        QStringLiteral("Deep work"), std::vector<qint64>{2, 3, 4, 5, 6}, 9, 0, 50);
    block->setGoal(spanish);
}

TEST(Screenshots, TodayAndTheTaskForm) {
    if (!test::shotsWanted())
        GTEST_SKIP() << "set ORVANA_SHOTS_DIR to take pictures";
    {
        test::TestEnvironment t;
        TodayView empty(t.env);
        empty.resize(760, 520);
        empty.show();
        drainEvents();
        test::saveShots(&empty, QStringLiteral("today-empty"));
    }
    test::TestEnvironment t;
    fillToday(t);
    t.preferences.setValue(PreferenceKeys::hasCompletedOnboarding, true);
    MainWindow window(t.env);
    window.model()->setBackupDirectory(QString());
    window.resize(980, 640);
    window.show();
    drainEvents();
    test::saveShots(&window, QStringLiteral("today-full"));

    DayTaskFormView form(new DayTaskFormModel(t.env), t.env);
    form.titleField()->setText(QStringLiteral("Long run, 12 km"));
    form.goalPicker()->setCurrentIndex(1);
    form.reminderToggle()->setChecked(true);
    form.show();
    drainEvents();
    form.adjustSize();
    test::saveShots(&form, QStringLiteral("task-form"));
}

} // namespace
