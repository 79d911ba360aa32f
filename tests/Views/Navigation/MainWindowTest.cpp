#include "Views/Navigation/MainWindow.h"

#include "Models/Week.h"
#include "Models/WeekItem.h"
#include "Services/URLRequestPerforming.h"
#include "Store/SqliteStore.h"
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
#include "support/FullDisk.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace orvana;
using orvana::test::drainEvents;

void key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(target, key, modifiers);
    drainEvents();
}

// The window from the intro on, by keyboard: the sections, the Edit menu's
// history, a row's keys, the windows it opens, a return from the tray, and a
// disk that fills up under it.
TEST(MainWindow, FromTheIntroThroughTheSectionsTheHistoryTheWindowsItOpensAndAFullDisk) {
    test::FullDisk disk; // before the store opens, and gone after it
    struct NoNetwork : URLRequestPerforming {
        QCoro::Task<Result<HttpResponse>> perform(HttpRequest) override {
            co_return Result<HttpResponse>(Error{QStringLiteral("offline")});
        }
    } network;
    test::FakeSecretBackend secrets;
    test::TestEnvironment t;
    AppEnvironment env({t.context, t.preferences, t.notifications, t.calendar,
                        AppPaths::under(t.dir.path()), &network, &secrets, &t.badge});
    const QString path = t.dir.filePath(QStringLiteral("data/Orvana.sqlite"));
    auto store = SqliteStore::open(path);
    ASSERT_TRUE(store.ok()) << store.error().message.toStdString();
    t.context.attachStore(std::move(store.value())); // a new store, as empty as the context
    t.context.setAutosaveInterval(10);
    t.context.setAutosaveEnabled(true);
    Goal* early = t.context.create<Goal>(QStringLiteral("Learn Spanish"));
    auto* item = t.context.create<WeekItem>(QStringLiteral("Long run"));
    item->setWeek(Week::findOrCreate(t.now, t.context, t.calendar));
    drainEvents();
    MainWindow window(env);
    window.model()->setBackupDirectory(t.dir.filePath(QStringLiteral("backups")));
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_TRUE(window.onboarding()->isVisible());
    EXPECT_EQ(t.context.undoManager(), nullptr) << "start-up waits for the intro";

    key(window.onboarding()->firstButton(), Qt::Key_Space); // Skip Intro
    EXPECT_TRUE(t.preferences.value(PreferenceKeys::hasCompletedOnboarding));
    // The keyboard goes on in Today, not in the sidebar.
    ASSERT_NE(window.currentSection(), nullptr);
    EXPECT_TRUE(window.currentSection()->isAncestorOf(QApplication::focusWidget()));
    EXPECT_EQ(window.currentSection()->root()->objectName(), QStringLiteral("today"));
    EXPECT_TRUE(window.sidebar()->isVisible());
    // Drawn even without an icon theme (bundled fallbacks).
    for (int row = 0; row < window.sidebar()->count(); ++row)
        EXPECT_FALSE(window.sidebar()->item(row)->icon().pixmap(24, 24).isNull()) << row;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return QDir(t.dir.filePath(QStringLiteral("backups"))).entryList(QDir::Files).size() ==
                   1;
        },
        5000));

    // Ctrl+4 and Ctrl+1 each make the section's screen afresh.
    QWidget* today = window.currentSection();
    key(&window, Qt::Key_4, Qt::ControlModifier);
    EXPECT_EQ(window.currentSection()->root()->objectName(), QStringLiteral("focusBlocks"));
    key(&window, Qt::Key_1, Qt::ControlModifier);
    EXPECT_NE(window.currentSection(), today);

    // Edit ▸ Undo and Redo: set-up before the window is not in the history.
    QAction* undo = window.undoAction();
    QAction* redo = window.redoAction();
    EXPECT_FALSE(undo->isEnabled());
    undo->trigger();
    EXPECT_FALSE(early->isDeleted());
    Goal* goal = t.context.create<Goal>(QStringLiteral("Run a half marathon"));
    drainEvents();
    ASSERT_TRUE(undo->isEnabled());
    undo->trigger();
    EXPECT_TRUE(goal->isDeleted());
    ASSERT_TRUE(redo->isEnabled());
    redo->trigger();
    EXPECT_EQ(t.context.findByID<Goal>(goal->id()), goal) << "redo brings back the same goal";

    // A row's keys work however the keyboard reached the list: Tab from the
    // week's intention onto its items, then Ctrl+T (Add to Today).
    key(&window, Qt::Key_3, Qt::ControlModifier);
    key(QApplication::focusWidget(), Qt::Key_Return); // the week
    key(QApplication::focusWidget(), Qt::Key_Tab);
    key(QApplication::focusWidget(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(item->dayTasks().size(), 1u);

    window.sidebar()->clearSelection();
    EXPECT_EQ(window.currentSection(), nullptr);
    bool placeholder = false;
    for (auto* label : window.findChildren<QLabel*>())
        placeholder |= label->isVisible() && label->text() == QStringLiteral("Select a Section");
    EXPECT_TRUE(placeholder);

    // An outside focus request opens the quick timer on its goal. One timer
    // at a time: a second request (tray, command line, intent) brings it
    // forward, and takes its goal only before a start.
    env.requestFocusSession(early->id());
    drainEvents();
    auto* timer = window.findChild<FocusTimerView*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isVisible());
    EXPECT_EQ(timer->controller().dayTask(), nullptr);
    env.requestFocusSession(goal->id());
    drainEvents();
    ASSERT_EQ(window.findChildren<FocusTimerView*>().size(), 1);
    EXPECT_EQ(timer->controller().goal(), goal);
    QCoro::waitFor(timer->controller().start());
    env.requestFocusSession(early->id());
    env.requestFocusSession();
    drainEvents();
    ASSERT_EQ(window.findChildren<FocusTimerView*>().size(), 1);
    EXPECT_EQ(timer->controller().goal(), goal) << "a started session keeps its goal";
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
    key(&window, Qt::Key_Comma, Qt::ControlModifier);
    QPointer<SettingsView> settings = window.settings();
    ASSERT_NE(settings, nullptr);
    EXPECT_TRUE(settings->isVisible());
    window.settingsAction()->trigger();
    drainEvents();
    EXPECT_EQ(window.settings(), settings.data());
    // Escape while an export is under way only hides it: the work goes on.
    settings->model()->transfer()->beginExport();
    key(settings, Qt::Key_Escape);
    ASSERT_FALSE(settings.isNull()) << "the export went with the window";
    EXPECT_FALSE(settings->isVisible());
    EXPECT_TRUE(settings->model()->transfer()->isBusy());
    settings->model()->transfer()->abandonExport();
    settings->close();
    drainEvents();
    EXPECT_TRUE(settings.isNull()) << "made anew next time";

    // Closed to the tray and shown again: on Today, with the same history.
    UndoManager* manager = t.context.undoManager();
    window.model()->setSelection(SidebarSection::overview);
    window.hide();
    drainEvents();
    window.comeForward();
    drainEvents();
    EXPECT_EQ(window.model()->selection(), SidebarSection::today);
    EXPECT_EQ(t.context.undoManager(), manager);
    EXPECT_TRUE(undo->isEnabled());

    // The disk fills up: the autosave fails and the strip says so with Try
    // Again; once space returns, Try Again saves, the strip goes and the
    // change is in the file.
    auto* strip = window.findChild<QFrame*>(QStringLiteral("SaveProblem"));
    ASSERT_NE(strip, nullptr);
    EXPECT_FALSE(strip->isVisible());
    auto storedGoals = [&] {
        auto reading = openModelContextForReading(path);
        EXPECT_TRUE(reading.ok());
        return reading.ok() ? reading.value()->count<Goal>() : std::size_t(0);
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return !t.context.hasChanges(); }, 10000));
    const std::size_t saved = storedGoals();
    disk.setFull(true);
    t.context.create<Goal>(QStringLiteral("Written once there is space"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip->isVisible(); }, 10000));
    QLabel* message = nullptr;
    for (auto* label : strip->findChildren<QLabel*>())
        if (label->accessibleName() == QLatin1String("Save problem"))
            message = label;
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->text().startsWith(QLatin1String("Couldn't save your changes: ")))
        << message->text().toStdString();
    EXPECT_TRUE(message->text().contains(QLatin1String("full"))) << message->text().toStdString();
    EXPECT_EQ(storedGoals(), saved);
    disk.setFull(false);
    QPushButton* retry = nullptr;
    for (auto* button : strip->findChildren<QPushButton*>())
        if (button->text() == QLatin1String("Try Again"))
            retry = button;
    ASSERT_NE(retry, nullptr);
    QTest::mouseClick(retry, Qt::LeftButton);
    EXPECT_FALSE(strip->isVisible());
    EXPECT_FALSE(t.context.hasChanges());
    EXPECT_EQ(storedGoals(), saved + 1);
}

} // namespace
