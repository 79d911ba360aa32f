#include "Views/Navigation/ContentView.h"
#include "Services/NotificationService.h"
#include "Services/Preferences.h"
#include "Store/ModelContext.h"
#include "Store/UndoManager.h"
#include "Views/AI/AIReviewWindow.h"
#include "support/FakeNotificationCenter.h"
#include "support/FakeSecretBackend.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>
#include <set>

static void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}

namespace {

using namespace orvana;
using orvana::test::drainEvents;

// What the main window needs besides the store, kept away from real files
// and real notifications.
struct Environment {
    QTemporaryDir dir;
    Preferences prefs{dir.filePath(QStringLiteral("preferences.json"))};
    test::FakeNotificationCenter center;
    NotificationService notifications{center};
};

void showAndSettle(ContentView& window) {
    window.show();
    drainEvents();
}

// The menu-bar menu holding `action`, so a person can actually reach it.
QMenu* menuHolding(ContentView& window, QAction* action) {
    for (QAction* entry : window.menuBar()->actions()) {
        if (QMenu* menu = entry->menu(); menu && menu->actions().contains(action))
            return menu;
    }
    return nullptr;
}

TEST(ContentView, GivesTheContextAnUndoManagerWhenFirstShown) {
    ModelContext ctx;
    Environment env;
    ContentView window(ctx, env.prefs, env.notifications);
    EXPECT_EQ(ctx.undoManager(), nullptr);

    // Changes before the window appears (loading, set-up) are not undoable.
    Goal* early = ctx.create<Goal>(QStringLiteral("Learn Spanish"));
    drainEvents();
    EXPECT_FALSE(window.undoAction()->isEnabled());

    showAndSettle(window);
    UndoManager* manager = ctx.undoManager();
    ASSERT_NE(manager, nullptr);
    EXPECT_FALSE(window.undoAction()->isEnabled());
    EXPECT_FALSE(window.redoAction()->isEnabled());
    window.undoAction()->trigger();
    EXPECT_FALSE(early->isDeleted());

    // Hiding and showing again (minimise, restore) keeps the same history.
    ctx.create<Goal>(QStringLiteral("Read twelve books"));
    drainEvents();
    window.hide();
    showAndSettle(window);
    EXPECT_EQ(ctx.undoManager(), manager);
    EXPECT_TRUE(window.undoAction()->isEnabled());
}

TEST(ContentView, EditMenuUndoesAndRedoesTheLatestChange) {
    ModelContext ctx;
    Environment env;
    ContentView window(ctx, env.prefs, env.notifications);
    showAndSettle(window);
    QAction* undo = window.undoAction();
    QAction* redo = window.redoAction();
    ASSERT_NE(menuHolding(window, undo), nullptr);
    EXPECT_EQ(menuHolding(window, redo), menuHolding(window, undo));
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());

    Goal* goal = ctx.create<Goal>(QStringLiteral("Run a half marathon"));
    drainEvents(); // ends the event-loop turn, and with it the undo step
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());

    undo->trigger();
    EXPECT_TRUE(goal->isDeleted());
    EXPECT_EQ(ctx.count<Goal>(), 0u);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(redo->isEnabled());

    redo->trigger();
    EXPECT_FALSE(goal->isDeleted());
    EXPECT_EQ(ctx.fetch<Goal>(), std::vector<Goal*>{goal}) << "redo must bring back the same goal";
    EXPECT_EQ(goal->title(), QStringLiteral("Run a half marathon"));
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());

    // A new change after an undo makes the undone step unreachable.
    undo->trigger();
    ASSERT_TRUE(redo->isEnabled());
    ctx.create<Goal>(QStringLiteral("Swim 1 km"));
    drainEvents();
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_TRUE(undo->isEnabled());
}

TEST(ContentView, SidebarListsTheFiveSectionsInOrderAndEachShowsItsOwnScreen) {
    ModelContext ctx;
    Environment env;
    ContentView window(ctx, env.prefs, env.notifications);
    showAndSettle(window);
    // scripts/screenshot finds the window by this title.
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Orvana"));

    const auto lists = window.findChildren<QListWidget*>();
    ASSERT_EQ(lists.size(), 1);
    QListWidget* sidebar = lists.constFirst();
    QStringList titles;
    for (int row = 0; row < sidebar->count(); ++row) {
        titles << sidebar->item(row)->text();
        // Drawn even without an icon theme (bundled fallbacks).
        EXPECT_FALSE(sidebar->item(row)->icon().pixmap(24, 24).isNull()) << row;
    }
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Today"), QStringLiteral("Goals"),
                                   QStringLiteral("Weeks"), QStringLiteral("Focus Blocks"),
                                   QStringLiteral("Overview")}));
    EXPECT_EQ(sidebar->currentRow(), 0) << "the window opens on Today";

    auto* detail = window.findChild<QStackedWidget*>();
    ASSERT_NE(detail, nullptr);
    std::set<QWidget*> screens;
    for (int row = sidebar->count() - 1; row >= 0; --row) {
        sidebar->setCurrentRow(row);
        QWidget* screen = detail->currentWidget();
        ASSERT_NE(screen, nullptr) << titles.value(row).toStdString();
        EXPECT_TRUE(screen->isVisible()) << titles.value(row).toStdString();
        screens.insert(screen);
    }
    EXPECT_EQ(screens.size(), std::size_t(sidebar->count()));
}

TEST(ContentView, ToolsMenuOpensTheAIReviewOnceTheAppProvidesItsServices) {
    struct NoNetwork : URLRequestPerforming {
        QCoro::Task<Result<HttpResponse>> perform(HttpRequest) override {
            co_return Result<HttpResponse>(Error{QStringLiteral("offline")});
        }
    } network;
    test::FakeSecretBackend secrets;
    ModelContext ctx;
    Environment env;
    ContentView window(ctx, env.prefs, env.notifications);
    showAndSettle(window);
    QAction* review = nullptr;
    for (QAction* action : window.findChildren<QAction*>())
        if (action->text() == QStringLiteral("&AI Review…"))
            review = action;
    ASSERT_NE(review, nullptr);
    ASSERT_NE(menuHolding(window, review), nullptr);
    EXPECT_FALSE(review->isEnabled());

    window.setAIReviewEnvironment({&network, &secrets, &env.prefs});
    ASSERT_TRUE(review->isEnabled());
    review->trigger();
    drainEvents();
    auto* dialog = window.findChild<AIReviewWindow*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
}

} // namespace

namespace {

TEST(ContentView, ShowingTheWindowWritesTodaysBackupOnce) {
    using namespace orvana;
    ModelContext ctx;
    Environment env;
    QTemporaryDir backups;
    ContentView window(ctx, env.prefs, env.notifications);
    window.setBackupDirectory(backups.path());
    EXPECT_TRUE(QDir(backups.path()).isEmpty());
    showAndSettle(window);
    window.hide();
    showAndSettle(window);
    const QStringList files = QDir(backups.path()).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files.first().startsWith(QStringLiteral("Orvana-Backup-")));
}

} // namespace
