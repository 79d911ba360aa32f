#include "Views/Navigation/MainWindow.h"
#include "Views/Navigation/MainWindowModel.h"
#include "Views/Today/DayTaskFormModel.h"
#include "Views/Today/DayTaskFormView.h"
#include "Views/Today/TodayModel.h"
#include "Views/Today/TodayView.h"
#include "support/Sample.h"
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
    test::fillSample(t.context, t.calendar, t.now);
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
