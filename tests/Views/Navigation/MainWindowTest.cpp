#include "Views/Navigation/MainWindow.h"

#include "Models/Week.h"
#include "Models/WeekItem.h"
#include "Services/URLRequestPerforming.h"
#include "Store/UndoManager.h"
#include "Views/AI/AIReviewWindow.h"
#include "Views/Focus/FocusTimerController.h"
#include "Views/Focus/FocusTimerView.h"
#include "Views/Navigation/MainWindowModel.h"
#include "Views/Navigation/NavigationStack.h"
#include "Views/Onboarding/OnboardingView.h"
#include "Views/Settings/DataTransferModel.h"
#include "Views/Settings/SettingsModel.h"
#include "Views/Settings/SettingsView.h"
#include "support/FakeSecretBackend.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace orvana;
using orvana::test::drainEvents;

bool showsLabel(QWidget* root, const QString& text) {
    for (auto* label : root->findChildren<QLabel*>()) {
        if (label->isVisible() && label->text() == text)
            return true;
    }
    return false;
}

TEST(MainWindow, IntroFirstThenTheSectionsByMouseAndKeyboard) {
    test::TestEnvironment t;
    MainWindow window(t.env);
    window.model()->setBackupDirectory(t.dir.filePath(QStringLiteral("backups")));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(window.onboarding()->isVisible());
    EXPECT_EQ(t.context.undoManager(), nullptr) << "start-up waits for the intro";

    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(window.onboarding()->firstButton(), Qt::Key_Space); // Skip Intro
    EXPECT_TRUE(t.preferences.value(PreferenceKeys::hasCompletedOnboarding));
    drainEvents();
    // The keyboard goes on in Today ("Add Task" while it is empty), not in the sidebar.
    ASSERT_NE(window.currentSection(), nullptr);
    EXPECT_TRUE(window.currentSection()->isAncestorOf(QApplication::focusWidget()));
    EXPECT_TRUE(window.sidebar()->isVisible());
    EXPECT_NE(t.context.undoManager(), nullptr);
    // Drawn even without an icon theme (bundled fallbacks).
    for (int row = 0; row < window.sidebar()->count(); ++row)
        EXPECT_FALSE(window.sidebar()->item(row)->icon().pixmap(24, 24).isNull()) << row;
    EXPECT_EQ(window.currentSection()->root()->objectName(), QStringLiteral("today"));

    // Ctrl+4 and a click each make the section's screen afresh.
    QWidget* today = window.currentSection();
    QTest::keyClick(&window, Qt::Key_4, Qt::ControlModifier);
    EXPECT_EQ(window.currentSection()->root()->objectName(), QStringLiteral("focusBlocks"));
    QTest::keyClick(&window, Qt::Key_1, Qt::ControlModifier);
    drainEvents();
    EXPECT_NE(window.currentSection(), today);

    window.sidebar()->clearSelection();
    EXPECT_EQ(window.currentSection(), nullptr);
    EXPECT_TRUE(showsLabel(&window, QStringLiteral("Select a Section")));

    // Today's backup, written in the background.
    QTRY_COMPARE_WITH_TIMEOUT(
        QDir(t.dir.filePath(QStringLiteral("backups"))).entryList(QDir::Files).size(), 1, 5000);
}

// A row's keys work however the keyboard reached the list: here Tab from a
// week's intention onto its items, then Ctrl+T (Add to Today).
TEST(MainWindow, RowKeysFollowTheRowWhenTheFocusArrivesByTab) {
    test::TestEnvironment t;
    t.preferences.setValue(PreferenceKeys::hasCompletedOnboarding, true);
    Week* week = Week::findOrCreate(t.now, t.context, t.calendar);
    auto* item = t.context.create<WeekItem>(QStringLiteral("Long run"));
    item->setWeek(week);
    drainEvents();
    MainWindow window(t.env);
    window.model()->setBackupDirectory(QString());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_3, Qt::ControlModifier);
    drainEvents();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // the week
    drainEvents();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::ControlModifier);
    drainEvents();
    EXPECT_EQ(item->dayTasks().size(), 1u);
}

TEST(MainWindow, EditMenuUndoesAndRedoesTheLatestChange) {
    test::TestEnvironment t;
    t.preferences.setValue(PreferenceKeys::hasCompletedOnboarding, true);
    Goal* early = t.context.create<Goal>(QStringLiteral("Before the window"));
    drainEvents();
    MainWindow window(t.env);
    window.show();
    drainEvents();
    QAction* undo = window.undoAction();
    QAction* redo = window.redoAction();
    EXPECT_FALSE(undo->isEnabled()) << "set-up before the window is not undoable";
    undo->trigger();
    EXPECT_FALSE(early->isDeleted());

    Goal* goal = t.context.create<Goal>(QStringLiteral("Run a half marathon"));
    drainEvents();
    ASSERT_TRUE(undo->isEnabled());
    undo->trigger();
    EXPECT_TRUE(goal->isDeleted());
    ASSERT_TRUE(redo->isEnabled());
    redo->trigger();
    EXPECT_FALSE(goal->isDeleted());
    EXPECT_EQ(t.context.findByID<Goal>(goal->id()), goal) << "redo brings back the same goal";

    // Shown again (restored from the tray): the same history.
    UndoManager* manager = t.context.undoManager();
    window.hide();
    window.show();
    drainEvents();
    EXPECT_EQ(t.context.undoManager(), manager);
    EXPECT_TRUE(undo->isEnabled());
}

TEST(MainWindow, OutsideFocusRequestAndToolsOpenTheirWindows) {
    struct NoNetwork : URLRequestPerforming {
        QCoro::Task<Result<HttpResponse>> perform(HttpRequest) override {
            co_return Result<HttpResponse>(Error{QStringLiteral("offline")});
        }
    } network;
    test::FakeSecretBackend secrets;
    test::TestEnvironment t;
    AppEnvironment env({t.context, t.preferences, t.notifications, t.calendar,
                        AppPaths::under(t.dir.path()), &network, &secrets, &t.badge});
    t.preferences.setValue(PreferenceKeys::hasCompletedOnboarding, true);
    Goal* goal = t.context.create<Goal>(QStringLiteral("Learn Spanish"));
    MainWindow window(env);
    window.show();
    drainEvents();

    env.requestFocusSession(goal->id());
    drainEvents();
    auto* timer = window.findChild<FocusTimerView*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isVisible());
    EXPECT_EQ(timer->controller().goal(), goal);
    EXPECT_EQ(timer->controller().dayTask(), nullptr);

    // One quick timer at a time: a second request (tray, command line,
    // intent) brings it forward, and takes its goal only before a start.
    Goal* other = t.context.create<Goal>(QStringLiteral("Run a 10k"));
    env.requestFocusSession(other->id());
    drainEvents();
    ASSERT_EQ(window.findChildren<FocusTimerView*>().size(), 1);
    EXPECT_EQ(timer->controller().goal(), other);
    QCoro::waitFor(timer->controller().start());
    env.requestFocusSession(goal->id());
    env.requestFocusSession();
    drainEvents();
    ASSERT_EQ(window.findChildren<FocusTimerView*>().size(), 1);
    EXPECT_EQ(timer->controller().goal(), other) << "a started session keeps its goal";
    timer->controller().stop();
    timer->close();
    drainEvents();

    window.presentAIReview();
    drainEvents();
    auto* review = window.findChild<AIReviewWindow*>();
    ASSERT_NE(review, nullptr);
    EXPECT_TRUE(review->isVisible());
    review->close();
    drainEvents();

    // Ctrl+, opens Settings once; again, the same window comes forward.
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_Comma, Qt::ControlModifier);
    drainEvents();
    QPointer<SettingsView> settings = window.settings();
    ASSERT_NE(settings, nullptr);
    EXPECT_TRUE(settings->isVisible());
    window.settingsAction()->trigger();
    drainEvents();
    EXPECT_EQ(window.settings(), settings.data());
    // Escape while an export is under way only hides it: the work goes on.
    settings->model()->transfer()->beginExport();
    QTest::keyClick(settings, Qt::Key_Escape);
    drainEvents();
    ASSERT_FALSE(settings.isNull()) << "the export went with the window";
    EXPECT_FALSE(settings->isVisible());
    EXPECT_TRUE(settings->model()->transfer()->isBusy());
    settings->model()->transfer()->abandonExport();
    settings->close();
    drainEvents();
    EXPECT_TRUE(settings.isNull()) << "made anew next time";

    // Closed to the tray and shown again: a new main view, on Today.
    window.model()->setSelection(SidebarSection::overview);
    window.hide();
    drainEvents();
    window.comeForward();
    drainEvents();
    EXPECT_EQ(window.model()->selection(), SidebarSection::today);
}

} // namespace
