#include "Views/Navigation/MainWindow.h"

#include "Store/UndoManager.h"
#include "Views/Goals/GoalDetailView.h"
#include "Views/Goals/GoalFormView.h"
#include "Views/Navigation/MainWindowModel.h"
#include "Views/Navigation/NavigationStack.h"
#include "Views/Onboarding/OnboardingModel.h"
#include "Views/Onboarding/OnboardingView.h"
#include "Views/Onboarding/PageDots.h"
#include "Views/Shared/RecordListView.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace orvana;
using orvana::test::drainEvents;

void pressReturn() {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

TEST(OnboardingView, ReturnLeadsThroughThePagesIntoTheFirstGoalThenTheNavigationStarts) {
    test::TestEnvironment t;
    MainWindow window(t.env);
    window.model()->setBackupDirectory(QString());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    OnboardingView* intro = window.onboarding();
    ASSERT_TRUE(intro->isVisible());
    EXPECT_EQ(intro->titleLabel()->text(), QStringLiteral("Goals, Broken Down"));
    EXPECT_EQ(intro->pageIndicator()->accessibleDescription(), QStringLiteral("Page 1 of 4"));

    // Return is Next even with the focus on Skip Intro.
    intro->firstButton()->setFocus(Qt::TabFocusReason);
    pressReturn();
    EXPECT_FALSE(t.preferences.value(PreferenceKeys::hasCompletedOnboarding));
    EXPECT_EQ(intro->titleLabel()->text(), QStringLiteral("A Weekly Ritual"));
    intro->secondButton()->setFocus(Qt::TabFocusReason);
    pressReturn();
    pressReturn();
    EXPECT_EQ(intro->titleLabel()->text(), QStringLiteral("Let's Start"));
    EXPECT_EQ(intro->pageIndicator()->accessibleDescription(), QStringLiteral("Page 4 of 4"));
    EXPECT_EQ(intro->secondButton()->text(), QStringLiteral("Create Your First Goal"));

    pressReturn();
    drainEvents();
    QPointer<GoalFormView> form = window.findChild<GoalFormView*>();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowModality(), Qt::WindowModal);
    EXPECT_FALSE(t.preferences.value(PreferenceKeys::hasCompletedOnboarding));
    EXPECT_EQ(t.context.undoManager(), nullptr) << "start-up waits for the form";
    EXPECT_FALSE(window.sidebar()->isVisible());

    QTest::keyClicks(form->titleField(), QStringLiteral("  Run a half marathon "));
    QTest::mouseClick(form->saveButton(), Qt::LeftButton);
    drainEvents();
    EXPECT_TRUE(form.isNull()) << "closed and gone";
    EXPECT_TRUE(t.preferences.value(PreferenceKeys::hasCompletedOnboarding));
    EXPECT_TRUE(window.sidebar()->isVisible());
    EXPECT_FALSE(intro->isVisible());
    EXPECT_NE(t.context.undoManager(), nullptr) << "start-up ran once the form had gone";
    const auto goals = t.context.fetch<Goal>();
    ASSERT_EQ(goals.size(), 1u);
    EXPECT_EQ(goals[0]->title(), QStringLiteral("Run a half marathon"));
    EXPECT_TRUE(window.findChildren<GoalFormView*>().isEmpty());

    // The first goal is on Goals (Ctrl+2); Return opens it.
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_2, Qt::ControlModifier);
    drainEvents();
    auto* list = window.currentSection()->findChild<RecordListView*>();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->hasFocus());
    QTest::keyClick(list, Qt::Key_Return);
    drainEvents();
    auto* detail = qobject_cast<GoalDetailView*>(window.currentSection()->currentPage());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->titleField()->text(), QStringLiteral("Run a half marathon"));
}

} // namespace
