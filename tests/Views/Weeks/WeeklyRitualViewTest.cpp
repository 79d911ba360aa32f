#include "Views/Weeks/WeeklyRitualView.h"
#include "Models/Goal.h"
#include "Models/Week.h"
#include "Models/WeekItem.h"
#include "Services/NotificationService.h"
#include "Services/URLRequestPerforming.h"
#include "Views/AI/AIReviewSectionView.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/RecordListView.h"
#include "Views/Weeks/WeekListView.h"
#include "Views/Weeks/WeeklyRitualModel.h"
#include "support/FakeSecretBackend.h"
#include "support/Shots.h"
#include "support/TestEnvironment.h"

#include <QAccessible>
#include <QApplication>
#include <QCoro/QCoroTask>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

void show(QWidget* window) {
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    drainEvents();
}

// Tab until `target` has the focus (at most a page's worth of stops).
void tabTo(QWidget* target) {
    for (int i = 0; i < 12 && QApplication::focusWidget() != target; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), target) << "not reached by Tab";
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    drainEvents();
}

QString rowName(RecordListView* list, int row) {
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(list);
    QAccessibleInterface* item = view ? view->child(row) : nullptr;
    return item ? item->text(QAccessible::Name) : QString();
}

Goal* makeGoal(ModelContext& ctx, const QString& title, qint64 order,
               GoalStatus status = GoalStatus::active) {
    return ctx.create<Goal>(title, std::nullopt, std::nullopt, status, std::nullopt, order);
}

// Registers the device, then answers no review; keeps what was asked, so a
// review shows what it sent.
struct OfflineHttp final : URLRequestPerforming {
    std::vector<HttpRequest> requests;
    QCoro::Task<Result<HttpResponse>> perform(HttpRequest request) override {
        const bool registering = request.url.path().endsWith(QLatin1String("/v1/register"));
        requests.push_back(std::move(request));
        if (registering)
            co_return Result<HttpResponse>(
                HttpResponse{true, 200, R"({"deviceID": "dev", "token": "tok"})"});
        co_return Error{QStringLiteral("offline")};
    }
};

// An environment that can reach a reviewer, so the last step has its AI section.
struct ReviewingEnvironment {
    OfflineHttp http;
    test::FakeSecretBackend secrets;
    test::TestEnvironment t;
    AppEnvironment env{{t.context, t.preferences, t.notifications, t.calendar,
                        AppPaths::under(t.dir.path()), &http, &secrets, &t.badge}};
};

// The Weeks screen's button, pressed by keyboard, opens the ritual over it.
WeeklyRitualView* startRitual(WeekListView& weeks) {
    weeks.ritualButton()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(weeks.ritualButton(), Qt::Key_Space);
    drainEvents();
    WeeklyRitualView* ritual = weeks.ritualDialog();
    if (ritual) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(ritual));
    }
    drainEvents();
    return ritual;
}

TEST(WeeklyRitualWindow, RunOnAFirstWeekThenAgainTheNextWeekWithTheRetroStep) {
    ReviewingEnvironment r;
    test::TestEnvironment& t = r.t;
    t.context.ensureUndoManager();
    Goal* write = makeGoal(t.context, QStringLiteral("Write"), 0);
    Goal* run = makeGoal(t.context, QStringLiteral("Run"), 1);
    Goal* old = makeGoal(t.context, QStringLiteral("Old"), 2, GoalStatus::archived);
    QCoro::waitFor(t.notifications.scheduleWeeklyRitualNudge(1, 18, 0));
    WeekListView weeks(r.env);
    show(&weeks);

    // The very first week: three steps, starting at the intention.
    QPointer<WeeklyRitualView> ritual = startRitual(weeks);
    ASSERT_NE(ritual, nullptr);
    Week* first = ritual->model()->week();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ritual->titleLabel()->text(), QStringLiteral("Set Your Intention"));
    EXPECT_FALSE(ritual->backButton()->isVisible());
    EXPECT_TRUE(ritual->nextButton()->isDefault());
    EXPECT_FALSE(ritual->finishButton()->isVisible());
    ASSERT_EQ(QApplication::focusWidget(), ritual->intentionField());
    QTest::keyClicks(ritual->intentionField(), QStringLiteral("Ship the draft"));
    EXPECT_EQ(first->intention(), std::optional<QString>(QStringLiteral("Ship the draft")));
    press(Qt::Key_Return, Qt::ControlModifier); // on from inside the text

    // One section per active goal, each with its own field.
    EXPECT_TRUE(ritual->backButton()->isVisible());
    EXPECT_FALSE(ritual->noGoalsState()->isVisible());
    EXPECT_EQ(ritual->goalSection(*old), nullptr);
    ASSERT_NE(ritual->goalSection(*write), nullptr);
    ASSERT_EQ(QApplication::focusWidget(), ritual->addField(*write));
    EXPECT_FALSE(ritual->addButton(*write)->isEnabled());
    QTest::keyClicks(ritual->addField(*write), QStringLiteral("  Outline "));
    EXPECT_TRUE(ritual->addButton(*write)->isEnabled());
    EXPECT_FALSE(ritual->addButton(*run)->isEnabled()) << "each goal's own field";
    press(Qt::Key_Return);
    EXPECT_TRUE(ritual->isVisible()) << "Return in the field does nothing";
    EXPECT_TRUE(first->items().empty());
    press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), ritual->addButton(*write));
    press(Qt::Key_Space);
    ASSERT_EQ(first->items().size(), 1u);
    EXPECT_EQ(first->items()[0]->title(), QStringLiteral("Outline"));
    EXPECT_TRUE(ritual->addField(*write)->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), ritual->addField(*write));
    EXPECT_EQ(rowName(ritual->goalItemList(*write), 0), QStringLiteral("Outline"));
    tabTo(ritual->addField(*run));
    QTest::keyClicks(ritual->addField(*run), QStringLiteral("5k"));
    press(Qt::Key_Tab);
    press(Qt::Key_Space);
    ASSERT_EQ(first->items().size(), 2u);

    // Return in a goal's list takes the default button: on to the review.
    tabTo(ritual->goalItemList(*write));
    press(Qt::Key_Return);
    EXPECT_EQ(ritual->titleLabel()->text(), QStringLiteral("Review & Finish"));
    EXPECT_FALSE(ritual->nextButton()->isVisible());
    EXPECT_TRUE(ritual->finishButton()->isVisible());
    EXPECT_TRUE(ritual->finishButton()->isDefault());
    EXPECT_EQ(ritual->intentionSummary()->text(), QStringLiteral("Ship the draft"));
    EXPECT_FALSE(ritual->finishEmptyLabel()->isVisible());
    EXPECT_EQ(rowName(ritual->finishList(), 0), QStringLiteral("Outline"));
    EXPECT_EQ(rowName(ritual->finishList(), 1), QStringLiteral("5k"));

    // The AI review reads the plan and asks about it.
    ASSERT_NE(ritual->reviewSection(), nullptr);
    EXPECT_EQ(ritual->reviewSection()->model()->text(),
              QStringLiteral("Ship the draft\nOutline\n5k"));
    tabTo(ritual->reviewSection()->reviewButton());
    press(Qt::Key_Space);
    drainEvents();
    ASSERT_FALSE(r.http.requests.empty());
    EXPECT_TRUE(r.http.requests.back().body.contains("Outline"));
    EXPECT_TRUE(ritual->isVisible());
    EXPECT_EQ(first->ritualCompletedAt(), std::nullopt);

    tabTo(ritual->finishList());
    press(Qt::Key_Return);
    EXPECT_TRUE(ritual.isNull() || !ritual->isVisible()) << "Finish is the default";
    EXPECT_EQ(first->ritualCompletedAt(), std::optional<Timestamp>(t.now));
    EXPECT_TRUE(t.center.log.contains(QStringLiteral("remove weekly-ritual-nudge")));
    weeks.activateWindow();
    drainEvents();
    EXPECT_TRUE(weeks.list()->hasFocus()) << "the keyboard goes on at the week";
    EXPECT_EQ(weeks.list()->currentIndex().row(), 0);

    // A week later: four steps, opening on what moved.
    first->items()[1]->setComplete(true);
    t.now += 7 * 86400;
    ritual = startRitual(weeks);
    ASSERT_NE(ritual, nullptr);
    Week* second = ritual->model()->week();
    ASSERT_NE(second, first);
    EXPECT_EQ(ritual->titleLabel()->text(), QStringLiteral("What Moved Last Week"));
    EXPECT_FALSE(ritual->backButton()->isVisible());
    EXPECT_FALSE(ritual->retroEmptyLabel()->isVisible());
    EXPECT_EQ(rowName(ritual->retroList(), 0), QStringLiteral("5k, done"));
    EXPECT_EQ(rowName(ritual->retroList(), 1), QStringLiteral("Outline, not done"));
    ASSERT_EQ(QApplication::focusWidget(), ritual->reflectionField());
    QTest::keyClicks(ritual->reflectionField(), QStringLiteral("Good"));
    EXPECT_EQ(first->reflection(), std::optional<QString>(QStringLiteral("Good")));
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_Backspace);
    EXPECT_EQ(first->reflection(), std::nullopt) << "cleared is absent, not empty";
    QTest::keyClicks(ritual->reflectionField(), QStringLiteral("Slow"));
    press(Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_EQ(QApplication::focusWidget(), ritual->retroList());
    press(Qt::Key_Return);
    EXPECT_EQ(ritual->titleLabel()->text(), QStringLiteral("Set Your Intention"));
    EXPECT_TRUE(ritual->intentionField()->toPlainText().isEmpty()) << "this week's own";
    QTest::keyClicks(ritual->intentionField(), QStringLiteral("Rest"));
    tabTo(ritual->backButton());
    press(Qt::Key_Space);
    EXPECT_EQ(ritual->titleLabel()->text(), QStringLiteral("What Moved Last Week"));
    EXPECT_EQ(ritual->reflectionField()->toPlainText(), QStringLiteral("Slow"));

    // Escape closes; what was typed stays, the ritual is not done.
    press(Qt::Key_Escape);
    EXPECT_TRUE(ritual.isNull() || !ritual->isVisible());
    EXPECT_EQ(second->intention(), std::optional<QString>(QStringLiteral("Rest")));
    EXPECT_EQ(second->ritualCompletedAt(), std::nullopt);
    EXPECT_EQ(first->reflection(), std::optional<QString>(QStringLiteral("Slow")));
}

// Hundreds of active goals: the plan step makes sections as they are needed,
// and Tab walks on into ones not yet made.
TEST(WeeklyRitualWindow, ManyGoalsAreMadeAsTheFocusMovesDown) {
    test::TestEnvironment t;
    std::vector<Goal*> goals;
    for (int i = 0; i < 300; ++i)
        goals.push_back(makeGoal(t.context, QStringLiteral("Goal %1").arg(i), i));
    WeeklyRitualView ritual(t.env);
    show(&ritual);
    ritual.model()->next();
    drainEvents();
    ASSERT_EQ(QApplication::focusWidget(), ritual.addField(*goals[0]));
    EXPECT_EQ(ritual.goalSection(*goals[299]), nullptr) << "not all at once";
    for (int i = 1; i < 40; ++i) {
        press(Qt::Key_Tab); // the Add buttons are disabled: field to field
        ASSERT_EQ(QApplication::focusWidget(), ritual.addField(*goals[std::size_t(i)])) << i;
    }
    QTest::keyClicks(ritual.addField(*goals[39]), QStringLiteral("Deep"));
    press(Qt::Key_Tab);
    press(Qt::Key_Space);
    ASSERT_EQ(ritual.model()->week()->items().size(), 1u);
    EXPECT_EQ(ritual.model()->week()->items()[0]->goal(), goals[39]);
    ritual.reject();
}

TEST(Screenshots, WeeklyRitual) {
    if (!test::shotsWanted())
        GTEST_SKIP() << "set ORVANA_SHOTS_DIR to take pictures";
    // An environment that can review, so the last step shows its AI section.
    ReviewingEnvironment r;
    test::TestEnvironment& base = r.t;
    AppEnvironment& env = r.env;
    ModelContext& ctx = base.context;

    {
        // A first week without goals.
        WeeklyRitualView ritual(env);
        show(&ritual);
        test::saveShots(&ritual, QStringLiteral("weekly-ritual-first-intention"));
        ritual.model()->next();
        drainEvents();
        test::saveShots(&ritual, QStringLiteral("weekly-ritual-no-goals"));
        ritual.model()->next();
        drainEvents();
        test::saveShots(&ritual, QStringLiteral("weekly-ritual-finish-empty"));
        ritual.reject();
    }

    Goal* thesis = makeGoal(ctx, QStringLiteral("Finish the thesis"), 0);
    Goal* marathon = makeGoal(ctx, QStringLiteral("Run a marathon"), 1);
    Goal* spanish = makeGoal(ctx, QStringLiteral("Learn Spanish"), 2);
    Week* last = Week::findOrCreate(base.now - 7 * 86400, ctx, base.calendar);
    auto item = [&](Week* week, const char* title, qint64 order, Goal* goal, bool done) {
        auto* i = ctx.create<WeekItem>(QString::fromUtf8(title), std::nullopt, false, order);
        i->setWeek(week);
        i->setGoal(goal);
        i->setComplete(done);
    };
    item(last, "Draft chapter three", 0, thesis, true);
    item(last, "Long run, 25 km", 1, marathon, true);
    item(last, "Interval session", 2, marathon, false);
    item(last, "Send the draft to my supervisor", 3, thesis, false);
    item(last, "Book the dentist", 4, nullptr, true);
    last->setReflection(QStringLiteral("Writing went well; the intervals got skipped twice."));

    WeeklyRitualView ritual(env);
    Week* week = ritual.model()->week();
    item(week, "Revise chapter three", 0, thesis, false);
    item(week, "Two easy runs and one long run", 1, marathon, false);
    show(&ritual);
    test::saveShots(&ritual, QStringLiteral("weekly-ritual-retro"));
    ritual.model()->next();
    QTest::keyClicks(ritual.intentionField(), QStringLiteral("Get the thesis draft out."));
    drainEvents();
    test::saveShots(&ritual, QStringLiteral("weekly-ritual-intention"));
    ritual.model()->next();
    drainEvents();
    QTest::keyClicks(ritual.addField(*spanish), QStringLiteral("Three lessons"));
    drainEvents();
    test::saveShots(&ritual, QStringLiteral("weekly-ritual-plan"));
    ritual.model()->next();
    drainEvents();
    test::saveShots(&ritual, QStringLiteral("weekly-ritual-finish"));
    ritual.reject();
}

} // namespace
