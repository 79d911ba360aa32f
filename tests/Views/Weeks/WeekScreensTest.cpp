#include "Models/DayTask.h"
#include "Models/Goal.h"
#include "Models/Week.h"
#include "Models/WeekItem.h"
#include "Services/NotificationService.h"
#include "Services/URLRequestPerforming.h"
#include "Views/AI/AIReviewSectionView.h"
#include "Views/Navigation/NavigationStack.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/RecordListView.h"
#include "Views/Weeks/PlanWeekDialog.h"
#include "Views/Weeks/WeekDetailModel.h"
#include "Views/Weeks/WeekDetailView.h"
#include "Views/Weeks/WeekListModel.h"
#include "Views/Weeks/WeekListView.h"
#include "Views/Weeks/WeeklyRitualModel.h"
#include "Views/Weeks/WeeklyRitualView.h"
#include "support/FakeSecretBackend.h"
#include "support/Sample.h"
#include "support/Shots.h"
#include "support/TestEnvironment.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QCoro/QCoroTask>
#include <QDateEdit>
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

void showActive(QWidget* window) {
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    drainEvents();
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    drainEvents();
}

// Tab until `target` has the focus (at most a page's worth of stops).
void tabTo(QWidget* target) {
    for (int i = 0; i < 12 && QApplication::focusWidget() != target; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), target) << "not reached by Tab";
}

QString rowName(RecordListView* list, int row) {
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(list);
    QAccessibleInterface* item = view ? view->child(row) : nullptr;
    return item ? item->text(QAccessible::Name) : QString();
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

// The Weeks section: the list at the bottom of its navigation stack. With a
// reviewer the ritual's last step has its AI section.
struct Section {
    explicit Section(bool reviewing = false) {
        t.context.ensureUndoManager();
        stack = std::make_unique<NavigationStack>(new WeekListView(reviewing ? env : t.env));
        stack->resize(640, 560);
    }

    WeekListView* list() const { return qobject_cast<WeekListView*>(stack->root()); }
    WeekDetailView* detail() const { return qobject_cast<WeekDetailView*>(stack->currentPage()); }
    Goal* goal(const QString& title, qint64 order, GoalStatus status = GoalStatus::active) {
        return t.context.create<Goal>(title, std::nullopt, std::nullopt, status, std::nullopt,
                                      order);
    }

    void show() { showActive(stack.get()); }
    void activate() {
        stack->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(stack.get()));
        drainEvents();
    }
    // Ctrl+N, a day, Return: the planned week's dialog.
    PlannedWeekDialog* plan(QDate day, QDate expectShown) {
        activate(); // back from a dialog
        QTest::keyClick(list(), Qt::Key_N, Qt::ControlModifier);
        PlanWeekDialog* dialog = list()->planDialog();
        EXPECT_NE(dialog, nullptr);
        if (!dialog)
            return nullptr;
        EXPECT_EQ(dialog->dateField()->date(), expectShown);
        dialog->dateField()->setDate(day);
        QTest::keyClick(dialog->dateField(), Qt::Key_Return);
        drainEvents();
        EXPECT_EQ(list()->planDialog(), nullptr) << "Plan is the default button";
        return list()->plannedWeekDialog();
    }
    // The list's button, pressed by keyboard, opens the ritual over it.
    WeeklyRitualView* startRitual() {
        list()->ritualButton()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(list()->ritualButton(), Qt::Key_Space);
        drainEvents();
        WeeklyRitualView* ritual = list()->ritualDialog();
        EXPECT_TRUE(ritual && QTest::qWaitForWindowActive(ritual));
        drainEvents();
        return ritual;
    }

    OfflineHttp http;
    test::FakeSecretBackend secrets;
    test::TestEnvironment t; // Monday 2 March 2026, Monday first
    AppEnvironment env{{t.context, t.preferences, t.notifications, t.calendar,
                        AppPaths::under(t.dir.path()), &http, &secrets, &t.badge}};
    std::unique_ptr<NavigationStack> stack;
};

TEST(WeekScreens, PlanAWeekAheadAndReopenItByPickingAnotherDayOfIt) {
    Section s;
    Goal* marathon = s.goal(QStringLiteral("Marathon"), 0);
    s.show();
    EXPECT_TRUE(s.list()->emptyState()->isVisible());

    // Cancel plans nothing but keeps the day picked for the next time.
    QTest::keyClick(s.list(), Qt::Key_N, Qt::ControlModifier);
    ASSERT_NE(s.list()->planDialog(), nullptr);
    s.list()->planDialog()->dateField()->setDate(QDate(2026, 4, 1));
    QTest::keyClick(s.list()->planDialog()->dateField(), Qt::Key_Escape);
    drainEvents();
    EXPECT_EQ(s.list()->planDialog(), nullptr);
    EXPECT_EQ(s.t.context.count<Week>(), 0u);

    // Plan the week of Sunday 14 June: Monday 8 June to Monday 15 June.
    PlannedWeekDialog* planned = s.plan(QDate(2026, 6, 14), QDate(2026, 4, 1));
    ASSERT_NE(planned, nullptr);
    ASSERT_EQ(s.t.context.count<Week>(), 1u);
    Week* week = s.t.context.fetch<Week>().front();

    // Two items; Return in the field adds nothing, "Add" waits for a title.
    WeekDetailView* detail = planned->detail();
    detail->newItemField()->setFocus();
    QTest::keyClicks(detail->newItemField(), QStringLiteral("   "));
    EXPECT_FALSE(detail->addButton()->isEnabled());
    QTest::keyClicks(detail->newItemField(), QStringLiteral("Long run"));
    QTest::keyClick(detail->newItemField(), Qt::Key_Return);
    drainEvents();
    EXPECT_TRUE(week->items().empty());
    EXPECT_TRUE(planned->isVisible()) << "Return is not Done";
    detail->goalPicker()->setFocus();
    QTest::keyClick(detail->goalPicker(), Qt::Key_Down); // from None
    EXPECT_EQ(detail->model()->newItemGoal(), marathon);
    QTest::keyClick(detail->addButton(), Qt::Key_Space);
    drainEvents();
    QTest::keyClicks(detail->newItemField(), QStringLiteral("Stretch"));
    QTest::keyClick(detail->addButton(), Qt::Key_Space);
    drainEvents();
    ASSERT_EQ(week->items().size(), 2u);
    EXPECT_TRUE(detail->newItemField()->text().isEmpty());
    EXPECT_EQ(detail->goalPicker()->currentIndex(), 0);
    QTest::mouseClick(planned->doneButton(), Qt::LeftButton);
    drainEvents();
    EXPECT_EQ(s.list()->plannedWeekDialog(), nullptr);

    // Wednesday of the same week, from the date kept since: the same week.
    planned = s.plan(QDate(2026, 6, 10), QDate(2026, 6, 14));
    ASSERT_NE(planned, nullptr);
    EXPECT_EQ(s.t.context.count<Week>(), 1u);
    EXPECT_EQ(planned->detail()->items()->model()->rowCount(), 2);
    QTest::keyClick(planned, Qt::Key_Escape);
    drainEvents();
    EXPECT_EQ(s.list()->plannedWeekDialog(), nullptr);
    s.activate();

    // Return on the row opens it on the stack; the items by keyboard.
    RecordListView* list = s.list()->list();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    drainEvents();
    ASSERT_EQ(s.stack->depth(), 2);
    detail = s.detail();
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(s.stack->currentTitle(), weeks::rangeText(*week, s.t.calendar));
    RecordListView* items = detail->items();
    items->setFocus();
    items->setCurrentIndex(items->model()->index(0, 0));
    WeekItem* run = detail->model()->itemAt(0);
    ASSERT_EQ(run->title(), QStringLiteral("Long run"));
    QTest::keyClick(items, Qt::Key_T, Qt::ControlModifier); // Add to Today
    drainEvents();
    ASSERT_EQ(run->dayTasks().size(), 1u);
    EXPECT_TRUE(items->model()->index(0, 0).data(WeekDetailModel::OnTodayRole).toBool());
    QTest::keyClick(items, Qt::Key_Down, Qt::AltModifier);
    drainEvents();
    EXPECT_EQ(detail->model()->itemAt(1), run);
    EXPECT_EQ(items->currentIndex().row(), 1) << "the moved row stays current";
    QTest::keyClick(items, Qt::Key_Space);
    drainEvents();
    EXPECT_TRUE(run->isComplete());

    // Back to the list; Delete deletes the week (its undo is the list model's test).
    QTest::keyClick(items, Qt::Key_Left, Qt::AltModifier);
    drainEvents();
    ASSERT_EQ(s.stack->depth(), 1);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Delete);
    drainEvents();
    EXPECT_TRUE(week->isDeleted());
    EXPECT_TRUE(s.list()->emptyState()->isVisible());
}

TEST(WeeklyRitualWindow, RunOnAFirstWeekThenAgainTheNextWeekWithTheRetroStep) {
    Section s(true);
    test::TestEnvironment& t = s.t;
    Goal* write = s.goal(QStringLiteral("Write"), 0);
    Goal* run = s.goal(QStringLiteral("Run"), 1);
    Goal* old = s.goal(QStringLiteral("Old"), 2, GoalStatus::archived);
    QCoro::waitFor(t.notifications.scheduleWeeklyRitualNudge(1, 18, 0));
    s.show();

    // The very first week: three steps, starting at the intention.
    QPointer<WeeklyRitualView> ritual = s.startRitual();
    ASSERT_NE(ritual, nullptr);
    Week* first = ritual->model()->week();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ritual->titleLabel()->text(), QStringLiteral("Set Your Intention"));
    EXPECT_FALSE(ritual->backButton()->isVisible());
    EXPECT_TRUE(ritual->nextButton()->isDefault());
    EXPECT_FALSE(ritual->finishButton()->isVisible());
    ASSERT_EQ(QApplication::focusWidget(), ritual->intentionField());
    QTest::keyClicks(ritual->intentionField(), QStringLiteral("Ship the draft"));
    press(Qt::Key_Return, Qt::ControlModifier); // on from inside the text

    // One section per active goal, each with its own field.
    EXPECT_TRUE(ritual->backButton()->isVisible());
    EXPECT_FALSE(ritual->noGoalsState()->isVisible());
    EXPECT_EQ(ritual->goalSection(*old), nullptr);
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
    EXPECT_TRUE(ritual->finishButton()->isDefault());
    EXPECT_EQ(ritual->intentionSummary()->text(), QStringLiteral("Ship the draft"));
    EXPECT_FALSE(ritual->finishEmptyLabel()->isVisible());
    EXPECT_EQ(rowName(ritual->finishList(), 0), QStringLiteral("Outline"));
    EXPECT_EQ(rowName(ritual->finishList(), 1), QStringLiteral("5k"));

    // The AI review reads the plan and asks about it.
    ASSERT_NE(ritual->reviewSection(), nullptr);
    tabTo(ritual->reviewSection()->reviewButton());
    press(Qt::Key_Space);
    drainEvents();
    ASSERT_FALSE(s.http.requests.empty());
    EXPECT_TRUE(s.http.requests.back().body.contains("Outline"));
    EXPECT_TRUE(ritual->isVisible());
    EXPECT_EQ(first->ritualCompletedAt(), std::nullopt);

    tabTo(ritual->finishList());
    press(Qt::Key_Return);
    EXPECT_TRUE(ritual.isNull() || !ritual->isVisible()) << "Finish is the default";
    EXPECT_EQ(first->ritualCompletedAt(), std::optional<Timestamp>(t.now));
    EXPECT_TRUE(t.center.log.contains(QStringLiteral("remove weekly-ritual-nudge")));
    s.activate();
    EXPECT_TRUE(s.list()->list()->hasFocus()) << "the keyboard goes on at the week";
    EXPECT_EQ(s.list()->list()->currentIndex().row(), 0);

    // A week later: four steps, opening on what moved.
    first->items()[1]->setComplete(true);
    t.now += 7 * 86400;
    ritual = s.startRitual();
    ASSERT_NE(ritual, nullptr);
    Week* second = ritual->model()->week();
    ASSERT_NE(second, first);
    EXPECT_EQ(ritual->titleLabel()->text(), QStringLiteral("What Moved Last Week"));
    EXPECT_FALSE(ritual->backButton()->isVisible());
    EXPECT_FALSE(ritual->retroEmptyLabel()->isVisible());
    EXPECT_EQ(rowName(ritual->retroList(), 0), QStringLiteral("5k, done"));
    EXPECT_EQ(rowName(ritual->retroList(), 1), QStringLiteral("Outline, not done"));
    ASSERT_EQ(QApplication::focusWidget(), ritual->reflectionField());
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
    Section s;
    std::vector<Goal*> goals;
    for (int i = 0; i < 300; ++i)
        goals.push_back(s.goal(QStringLiteral("Goal %1").arg(i), i));
    s.show();
    WeeklyRitualView* ritual = s.startRitual();
    ASSERT_NE(ritual, nullptr);
    ritual->model()->next();
    drainEvents();
    ASSERT_EQ(QApplication::focusWidget(), ritual->addField(*goals[0]));
    EXPECT_EQ(ritual->goalSection(*goals[299]), nullptr) << "not all at once";
    for (std::size_t i = 1; i < 40; ++i) {
        press(Qt::Key_Tab); // the Add buttons are disabled: field to field
        ASSERT_EQ(QApplication::focusWidget(), ritual->addField(*goals[i])) << i;
    }
    QTest::keyClicks(ritual->addField(*goals[39]), QStringLiteral("Deep"));
    press(Qt::Key_Tab);
    press(Qt::Key_Space);
    ASSERT_EQ(ritual->model()->week()->items().size(), 1u);
    EXPECT_EQ(ritual->model()->week()->items()[0]->goal(), goals[39]);
    ritual->reject();
}

// Only with ORVANA_SHOTS_DIR set (scripts/screenshots).
TEST(Screenshots, Weeks) {
    if (!test::shotsWanted())
        GTEST_SKIP() << "set ORVANA_SHOTS_DIR to take pictures";
    Section s;
    s.show();
    test::saveShots(s.stack.get(), QStringLiteral("weeks-empty"));

    test::fillSample(s.t.context, s.t.calendar, s.t.now);
    Week* current = Week::findOrCreate(s.t.now, s.t.context, s.t.calendar);
    Week* ahead = Week::findOrCreate(s.t.now + 7 * 86400, s.t.context, s.t.calendar); // empty
    drainEvents();
    s.list()->list()->setCurrentIndex(s.list()->list()->model()->index(1, 0));
    test::saveShots(s.stack.get(), QStringLiteral("weeks-list"));

    s.list()->presentPlanDialog();
    drainEvents();
    PlanWeekDialog* plan = s.list()->planDialog();
    ASSERT_NE(plan, nullptr);
    plan->adjustSize();
    test::saveShots(plan, QStringLiteral("weeks-plan"));
    plan->close();
    s.list()->presentPlannedWeek(*ahead);
    drainEvents();
    ASSERT_NE(s.list()->plannedWeekDialog(), nullptr);
    test::saveShots(s.list()->plannedWeekDialog(), QStringLiteral("weeks-planned"));
    s.list()->plannedWeekDialog()->close();
    s.list()->openWeek(*current);
    drainEvents();
    test::saveShots(s.stack.get(), QStringLiteral("week-detail"));
}

// Each step of the ritual: a first week without goals, then a week after one
// with a retro to show.
TEST(Screenshots, WeeklyRitual) {
    if (!test::shotsWanted())
        GTEST_SKIP() << "set ORVANA_SHOTS_DIR to take pictures";
    Section s(true);
    ModelContext& ctx = s.t.context;
    auto shoot = [](WeeklyRitualView& ritual, const char* name) { // then on to the next step
        drainEvents();
        test::saveShots(&ritual, QString::fromLatin1(name));
        ritual.model()->next();
    };
    {
        WeeklyRitualView ritual(s.env);
        showActive(&ritual);
        shoot(ritual, "weekly-ritual-first-intention");
        shoot(ritual, "weekly-ritual-no-goals");
        shoot(ritual, "weekly-ritual-finish-empty");
    }
    Goal* thesis = s.goal(QStringLiteral("Finish the thesis"), 0);
    Goal* marathon = s.goal(QStringLiteral("Run a marathon"), 1);
    Goal* spanish = s.goal(QStringLiteral("Learn Spanish"), 2);
    Week* last = Week::findOrCreate(s.t.now - 7 * 86400, ctx, s.t.calendar);
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

    WeeklyRitualView ritual(s.env);
    item(ritual.model()->week(), "Revise chapter three", 0, thesis, false);
    item(ritual.model()->week(), "Two easy runs and one long run", 1, marathon, false);
    showActive(&ritual);
    shoot(ritual, "weekly-ritual-retro");
    QTest::keyClicks(ritual.intentionField(), QStringLiteral("Get the thesis draft out."));
    shoot(ritual, "weekly-ritual-intention");
    drainEvents();
    QTest::keyClicks(ritual.addField(*spanish), QStringLiteral("Three lessons"));
    shoot(ritual, "weekly-ritual-plan");
    shoot(ritual, "weekly-ritual-finish");
}

} // namespace
