#include "Views/Navigation/MainWindow.h"

#include "Views/Navigation/MainWindowModel.h"
#include "Views/Onboarding/OnboardingModel.h"
#include "Views/Onboarding/OnboardingView.h"
#include "support/Shots.h"
#include "support/TestEnvironment.h"

#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using namespace orvana;
using orvana::test::drainEvents;

// The four pages in the window, for people to look at (scripts/screenshots).
TEST(Screenshots, OnboardingPages) {
    if (!test::shotsWanted())
        GTEST_SKIP() << "set ORVANA_SHOTS_DIR to take pictures";
    test::TestEnvironment t;
    MainWindow window(t.env);
    window.model()->setBackupDirectory(QString());
    window.resize(980, 640);
    window.show();
    drainEvents();
    const QStringList names{"onboarding-chain", "onboarding-ritual", "onboarding-ai",
                            "onboarding-create-goal"};
    for (const QString& name : names) {
        test::saveShots(&window, name);
        if (!window.onboarding()->model()->isLastStep())
            window.onboarding()->secondButton()->click();
        drainEvents();
    }
}

} // namespace
