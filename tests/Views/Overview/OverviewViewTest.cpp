#include "Views/Overview/OverviewView.h"

#include "Models/DayTask.h"
#include "Models/FocusSession.h"
#include "Models/Goal.h"
#include "Views/Overview/OverviewModel.h"
#include "Views/Shared/AcknowledgmentBanner.h"
#include "Views/Shared/DailyBarChart.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/RecordListView.h"
#include "support/TestEnvironment.h"

#include <QAccessible>
#include <QLabel>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

// The Overview among other sections, as the main window switches them.
struct Sections {
    explicit Sections(AppEnvironment& env) : overview(new OverviewView(env)) {
        stack.addWidget(new QLabel(QStringLiteral("Today")));
        stack.addWidget(overview);
        stack.resize(760, 720);
    }
    void showOverview() {
        stack.setCurrentWidget(overview);
        drainEvents();
    }
    void showOther() {
        stack.setCurrentIndex(0);
        drainEvents();
    }

    QStackedWidget stack;
    OverviewView* overview;
};

// A work session of `minutes` on `goal` that the timer has just stopped.
void logSession(test::TestEnvironment& t, Goal* goal, int minutes) {
    auto* session = t.context.create<FocusSession>(25.0 * 60);
    session->setGoal(goal);
    session->setAccumulatedActiveDuration(minutes * 60.0 + 30);
    session->setEndedAt(t.now);
    TrailEntry::logIfNeeded(*session, t.context);
}

QString accessibleName(QWidget* widget) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
    return a ? a->text(QAccessible::Name) : QString();
}

QString rowName(RecordListView* list, int row) {
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(list);
    QAccessibleInterface* item = view ? view->child(row) : nullptr;
    return item ? item->text(QAccessible::Name) : QString();
}

// The announcement's rules (once, with its wait, on showing only) are the
// model's test's; here what the window shows of them.
TEST(OverviewView, SeeALoggedSessionAcknowledgedOnTheOverview) {
    test::TestEnvironment t;
    Sections s(t.env);
    s.stack.show();
    s.stack.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&s.stack));
    s.showOverview();
    OverviewView* view = s.overview;
    EXPECT_TRUE(view->emptyState()->isVisible());
    EXPECT_TRUE(view->acknowledgmentBanner()->message().isEmpty());

    // Focus on Today, then back to the Overview.
    s.showOther();
    Goal* marathon = t.context.create<Goal>(QStringLiteral("Run a marathon"));
    t.context.create<DayTask>(QStringLiteral("Long run"), t.now, std::nullopt, true);
    logSession(t, marathon, 25);
    drainEvents();
    s.showOverview();
    EXPECT_FALSE(view->emptyState()->isVisible());
    EXPECT_EQ(view->acknowledgmentBanner()->message(),
              QStringLiteral("25 min logged to Run a marathon"));
    // Each card reads as one text, value and label together.
    EXPECT_EQ(accessibleName(view->card(0)), QStringLiteral("25m total focus time"));
    EXPECT_EQ(accessibleName(view->card(2)), QStringLiteral("1 active goal"));
    QAccessibleInterface* card = QAccessible::queryAccessibleInterface(view->card(2));
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->role(), QAccessible::StaticText);
    EXPECT_EQ(card->childCount(), 0);
    EXPECT_TRUE(view->chartSection()->isVisible());
    EXPECT_EQ(view->chart()->days().size(), 1u);
    ASSERT_TRUE(view->goalSection()->isVisible());
    EXPECT_EQ(rowName(view->goalList(), 0), QStringLiteral("Run a marathon, just logged"));

    // Tab goes to the goal rows, past the page around them.
    QTest::keyClick(&s.stack, Qt::Key_Tab);
    EXPECT_TRUE(view->goalList()->hasFocus());
    auto* page = view->findChild<QScrollArea*>();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(accessibleName(page), QStringLiteral("Overview"));

    // One wait ends the mark and the banner together.
    QTimer* wait = view->model()->justLoggedTimer();
    wait->stop();
    QMetaObject::invokeMethod(wait, "timeout");
    EXPECT_EQ(rowName(view->goalList(), 0), QStringLiteral("Run a marathon"));
    EXPECT_TRUE(view->acknowledgmentBanner()->message().isEmpty());
}

} // namespace
