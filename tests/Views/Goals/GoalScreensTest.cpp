#include "Models/TrailEntry.h"
#include "Store/UndoManager.h"
#include "Views/AI/AIReviewSectionView.h"
#include "Views/Goals/GoalBadges.h"
#include "Views/Goals/GoalColorTagPicker.h"
#include "Views/Goals/GoalDetailView.h"
#include "Views/Goals/GoalFormView.h"
#include "Views/Goals/GoalListModel.h"
#include "Views/Goals/GoalListView.h"
#include "Views/Goals/GoalTrailSection.h"
#include "Views/Navigation/NavigationStack.h"
#include "Views/Navigation/SectionScreenFactory.h"
#include "Views/Shared/DailyBarChart.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/RecordListView.h"
#include "Views/Shared/TagColors.h"
#include "support/FakeSecretBackend.h"
#include "support/Sample.h"
#include "support/Shots.h"
#include "support/TestEnvironment.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <gtest/gtest.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

struct NoHttp final : URLRequestPerforming {
    QCoro::Task<Result<HttpResponse>> perform(HttpRequest) override {
        co_return Error{QStringLiteral("offline")};
    }
};

// The Goals section as the main window holds it: the list at the bottom of
// its navigation stack. With a reviewer the detail has its AI section.
struct Section {
    explicit Section(bool reviewing = false) {
        t.context.ensureUndoManager();
        stack.reset(makeSectionScreen(SidebarSection::goals, reviewing ? env : t.env));
        stack->resize(640, 560);
    }

    GoalListView* list() const { return qobject_cast<GoalListView*>(stack->root()); }
    GoalDetailView* detail() const { return qobject_cast<GoalDetailView*>(stack->currentPage()); }
    GoalFormView* form() const { return stack->findChild<GoalFormView*>(); }

    void show() {
        stack->show();
        activate();
    }
    void activate() {
        stack->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(stack.get()));
        drainEvents();
    }
    QString rowName(int row) const {
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(list()->list());
        QAccessibleInterface* item = view ? view->child(row) : nullptr;
        return item ? item->text(QAccessible::Name) : QString();
    }
    Goal* goal(const QString& title, qint64 order = 0) {
        return t.context.create<Goal>(title, std::nullopt, std::nullopt, GoalStatus::active,
                                      std::nullopt, order);
    }

    NoHttp http;
    test::FakeSecretBackend secrets;
    test::TestEnvironment t;
    AppEnvironment env{{t.context, t.preferences, t.notifications, t.calendar,
                        AppPaths::under(t.dir.path()), &http, &secrets, &t.badge}};
    std::unique_ptr<NavigationStack> stack;
};

TEST(GoalScreens, NewGoalByKeyboardOpenItEditItThenDeleteAndUndoFromTheList) {
    Section s;
    s.show();
    EXPECT_TRUE(s.list()->emptyState()->isVisible());

    // Escape cancels the form without a goal.
    QTest::keyClick(s.list(), Qt::Key_N, Qt::ControlModifier);
    ASSERT_NE(s.form(), nullptr);
    QTest::keyClick(s.form()->titleField(), Qt::Key_R);
    QTest::keyClick(s.form()->titleField(), Qt::Key_Escape);
    drainEvents();
    EXPECT_EQ(s.form(), nullptr);
    EXPECT_TRUE(s.t.context.fetch<Goal>().empty());

    s.activate();
    QTest::keyClick(s.list(), Qt::Key_N, Qt::ControlModifier);
    GoalFormView* form = s.form();
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->saveButton()->isEnabled());
    QTest::keyClicks(form->titleField(), QStringLiteral("  Run a 10k "));
    QTest::keyClick(form->titleField(), Qt::Key_Return);
    drainEvents();
    ASSERT_EQ(s.form(), form) << "Return in the title does nothing";
    EXPECT_TRUE(s.t.context.fetch<Goal>().empty());
    EXPECT_FALSE(form->targetDateField()->isVisibleTo(form));
    form->targetDateToggle()->setFocus();
    QTest::keyClick(form->targetDateToggle(), Qt::Key_Space);
    EXPECT_TRUE(form->targetDateField()->isVisibleTo(form));
    QTest::keyClick(form->targetDateField(), Qt::Key_Return, Qt::ControlModifier);
    drainEvents();
    EXPECT_EQ(s.form(), nullptr);
    ASSERT_EQ(s.t.context.fetch<Goal>().size(), 1u);
    Goal* goal = s.t.context.fetch<Goal>().front();
    EXPECT_EQ(goal->title(), QStringLiteral("Run a 10k"));
    EXPECT_EQ(goal->targetDate(), std::optional<Timestamp>(s.t.now));

    // Return on the row opens the detail on the stack.
    s.activate();
    RecordListView* list = s.list()->list();
    EXPECT_TRUE(list->hasFocus());
    EXPECT_EQ(s.rowName(0), QStringLiteral("Run a 10k"));
    QTest::keyClick(list, Qt::Key_Return);
    drainEvents();
    GoalDetailView* detail = s.detail();
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(s.stack->depth(), 2);
    EXPECT_EQ(detail->titleField()->text(), QStringLiteral("Run a 10k"));
    EXPECT_FALSE(detail->statusPill()->isVisibleTo(detail));
    EXPECT_FALSE(detail->minutesLabel()->isVisibleTo(detail));

    // The colour by keyboard: Tab lands on the chosen swatch ("None"),
    // the arrows move, Space chooses.
    GoalColorTagPicker* picker = detail->colorPicker();
    picker->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(picker->swatch(std::nullopt)->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget()->accessibleName(), QStringLiteral("Orange"));
    EXPECT_EQ(goal->colorTag(), std::nullopt) << "moving is not choosing";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(goal->colorTag(), std::optional<QString>(QStringLiteral("orange")));
    EXPECT_TRUE(picker->swatch(GoalColorTag::orange)->isChecked());

    // Status by keyboard, then a focus session's minutes; the header follows.
    detail->statusPicker()->setFocus();
    QTest::keyClick(detail->statusPicker(), Qt::Key_Down);
    EXPECT_EQ(goal->status(), GoalStatus::completed);
    GoalTrailSection* trail = detail->trail();
    EXPECT_TRUE(trail->emptyState()->isVisibleTo(detail));
    EXPECT_FALSE(trail->chart()->isVisibleTo(detail));
    s.t.context.create<TrailEntry>(s.t.local(2026, 2, 28, 9), 25, goal);
    s.t.context.create<TrailEntry>(s.t.local(2026, 3, 2, 9), 30, goal);
    drainEvents();
    EXPECT_TRUE(detail->statusPill()->isVisibleTo(detail));
    EXPECT_EQ(detail->minutesLabel()->text(), QStringLiteral("55 min logged"));

    // The trail's chart: a bar a day with minutes, the days between kept.
    EXPECT_FALSE(trail->emptyState()->isVisibleTo(detail));
    EXPECT_EQ(trail->summaryLabel()->text(), QStringLiteral("55 minutes across 2 sessions"));
    DailyBarChart* chart = trail->chart();
    ASSERT_TRUE(chart->isVisibleTo(detail));
    EXPECT_EQ(chart->bars().size(), 2u);
    EXPECT_EQ(chart->firstDay(), QDate(2026, 2, 28));
    EXPECT_EQ(chart->lastDay(), QDate(2026, 3, 2));
    EXPECT_TRUE(chart->accessibleDescription().contains(QStringLiteral("30 minutes")))
        << chart->accessibleDescription().toStdString();
    const QPointF middle(chart->plotRect().center().x(), chart->plotRect().bottom() - 2);
    EXPECT_TRUE(chart->toolTipAt(middle).endsWith(QStringLiteral(": 0 minutes")))
        << chart->toolTipAt(middle).toStdString();
    EXPECT_TRUE(chart->toolTipAt(chart->bars().front().rect.center())
                    .endsWith(QStringLiteral(": 25 minutes")));
    chart->setDayRange(s.t.local(2026, 2, 27), s.t.local(2026, 3, 29)); // wider than the trail
    EXPECT_EQ(chart->firstDay(), QDate(2026, 2, 27));
    EXPECT_EQ(chart->lastDay(), QDate(2026, 3, 29));
    EXPECT_EQ(chart->bars().size(), 2u);

    // Typing is stored as typed; undoing it shows the old title in the
    // field without losing the redo.
    detail->titleField()->setFocus();
    QTest::keyClicks(detail->titleField(), QStringLiteral("!?"));
    drainEvents();
    EXPECT_EQ(goal->title(), QStringLiteral("Run a 10k!?"));
    UndoManager* undo = s.t.context.undoManager();
    undo->undo();
    drainEvents();
    EXPECT_EQ(detail->titleField()->text(), QStringLiteral("Run a 10k"));
    EXPECT_TRUE(undo->canRedo());
    EXPECT_EQ(goal->status(), GoalStatus::completed) << "the burst only";

    // A renamed goal renames the page; Alt+Left goes back to the row, whose
    // badges followed.
    QTest::keyClicks(detail->titleField(), QStringLiteral("!"));
    drainEvents();
    EXPECT_EQ(s.stack->currentTitle(), QStringLiteral("Run a 10k!"));
    QTest::keyClick(detail->titleField(), Qt::Key_Left, Qt::AltModifier);
    drainEvents();
    EXPECT_EQ(s.stack->depth(), 1);
    EXPECT_EQ(s.rowName(0), QStringLiteral("Run a 10k!, completed"));
    const ListRow* row = s.list()->model()->list()->rowAt(0);
    EXPECT_EQ(row->data.value(GoalListModel::ColorTagRole).toString(), QStringLiteral("orange"));

    // Delete the selected rows as shown under a search (the banner's Undo is
    // the Focus Blocks flow's and the Goals list model's test).
    Goal* ride = s.goal(QStringLiteral("Ride"), 1);
    Goal* read = s.goal(QStringLiteral("Read"), 2);
    Goal* learn = s.goal(QStringLiteral("Learn"), 3);
    drainEvents();
    QTest::keyClick(s.list(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(s.list()->searchField()->hasFocus());
    QTest::keyClicks(s.list()->searchField(), QStringLiteral("r"));
    drainEvents();
    ASSERT_EQ(list->model()->rowCount(), 4); // every title has an r
    // Shift+Down from the second row selects Ride and Read.
    list->setFocus();
    list->setCurrentIndex(list->model()->index(1, 0));
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_Delete);
    drainEvents();
    EXPECT_TRUE(ride->isDeleted() && read->isDeleted());
    EXPECT_FALSE(learn->isDeleted() || goal->isDeleted());
    EXPECT_EQ(list->model()->rowCount(), 2);
}

// Only with ORVANA_SHOTS_DIR set (scripts/screenshots).
TEST(Screenshots, Goals) {
    if (!test::shotsWanted())
        GTEST_SKIP() << "set ORVANA_SHOTS_DIR to take pictures";
    Section s(true);
    s.show();
    test::saveShots(s.stack.get(), QStringLiteral("goals-empty"));

    ModelContext& ctx = s.t.context;
    test::fillSample(ctx, s.t.calendar, s.t.now);
    Goal* marathon = ctx.fetch<Goal>()[0]; // with a trail
    drainEvents();
    s.list()->list()->setCurrentIndex(s.list()->list()->model()->index(1, 0));
    test::saveShots(s.stack.get(), QStringLiteral("goals-list"));

    s.list()->presentGoalForm();
    GoalFormView* form = s.form();
    ASSERT_NE(form, nullptr);
    form->titleField()->setText(QStringLiteral("Learn to paint"));
    form->targetDateToggle()->setChecked(true);
    form->colorPicker()->swatch(GoalColorTag::purple)->click();
    form->adjustSize();
    drainEvents();
    test::saveShots(form, QStringLiteral("goals-form"));
    form->close();
    drainEvents();

    s.stack->resize(640, 980); // the whole page
    s.list()->openGoal(*marathon);
    drainEvents();
    test::saveShots(s.stack.get(), QStringLiteral("goal-detail"));
    s.stack->pop();
    drainEvents();
    s.list()->openGoal(*ctx.fetch<Goal>()[2]); // completed, no trail
    drainEvents();
    test::saveShots(s.stack.get(), QStringLiteral("goal-detail-no-trail"));
}

TEST(DailyBarChart, BarsKeepEmptyDaysEmptyAndScaleToTheTallest) {
    const qint64 march1 = QDate(2026, 3, 1).toJulianDay();
    const QRectF plot(40, 10, 300, 100);
    // 1 and 3 March; 2 March has no minutes.
    const auto bars = DailyBarChart::barsFor({{march1, 30}, {march1 + 2, 60}, {march1 + 3, 0}},
                                             march1, march1 + 3, 60, plot);
    ASSERT_EQ(bars.size(), 2u);
    const double slot = plot.width() / 4;
    EXPECT_EQ(bars[0].day, march1);
    EXPECT_EQ(bars[1].day, march1 + 2);
    EXPECT_GT(bars[1].rect.left() - bars[0].rect.right(), slot) << "room for 2 March";
    EXPECT_LE(bars[1].rect.right(), plot.left() + 3 * slot);
    EXPECT_DOUBLE_EQ(bars[1].rect.height(), plot.height()) << "the tallest reaches the top";
    EXPECT_DOUBLE_EQ(bars[0].rect.height(), plot.height() / 2);
    for (const auto& b : bars)
        EXPECT_DOUBLE_EQ(b.rect.bottom(), plot.bottom());

    // Twenty years in 300 pixels: one bar per column, its busiest day.
    std::vector<DailyBarChart::Day> years;
    for (qint64 d = 0; d < 7300; ++d)
        years.push_back({march1 + d, d == 4000 ? 500 : 10 + d % 7});
    const auto columns = DailyBarChart::barsFor(years, march1, march1 + 7299, 500, plot);
    ASSERT_EQ(columns.size(), 300u);
    const auto tallest = std::max_element(columns.begin(), columns.end(), [](auto& a, auto& b) {
        return a.rect.height() < b.rect.height();
    });
    EXPECT_EQ(tallest->day, march1 + 4000);
    EXPECT_DOUBLE_EQ(tallest->rect.height(), plot.height());
    EXPECT_NEAR(tallest->rect.left(), plot.left() + 4000.0 / 7300 * plot.width(), 1.0);

    EXPECT_EQ(DailyBarChart::yStep(55, 4), 20);
    EXPECT_EQ(DailyBarChart::yStep(1, 4), 1);
    EXPECT_EQ(DailyBarChart::yStep(1234, 4), 500);
}

// A goal's trail on its own: empty, two months, and years of history in a
// narrow section (a column per pixel).
TEST(Screenshots, GoalTrail) {
    if (!test::shotsWanted())
        GTEST_SKIP() << "set ORVANA_SHOTS_DIR to take pictures";
    test::TestEnvironment t;
    // A height of 0 takes the section's own.
    auto shoot = [&t](Goal* goal, int width, int height, const char* name) {
        GoalTrailSection section(t.env, *goal);
        if (goal->colorTag())
            section.setTint(tagColor(*goal->colorTag(), section.palette()));
        section.resize(width, height ? height : section.sizeHint().height());
        section.show();
        drainEvents();
        test::saveShots(&section, QString::fromLatin1(name));
    };
    shoot(t.context.create<Goal>(QStringLiteral("Learn Spanish")), 520, 240, "goal-trail-empty");

    auto* run = t.context.create<Goal>(QStringLiteral("Run a marathon"));
    run->setColorTag(QStringLiteral("green"));
    QRandomGenerator random(7);
    for (int day = 0; day < 60; ++day) {
        if (random.bounded(3) == 0)
            continue; // days off
        for (int session = 0; session <= int(random.bounded(3)); ++session)
            t.context.create<TrailEntry>(t.local(2026, 1, 1, 8 + 3 * session) + day * 86400.0,
                                         15 + qint64(random.bounded(40)), run);
    }
    shoot(run, 520, 0, "goal-trail");

    auto* years = t.context.create<Goal>(QStringLiteral("Write every day"));
    random.seed(11);
    for (int i = 0; i < 10'000; ++i)
        t.context.create<TrailEntry>(t.local(2022, 1, 1, 9) + random.bounded(4 * 365) * 86400.0,
                                     qint64(5 + random.bounded(50)), years);
    shoot(years, 360, 0, "goal-trail-years");
}

} // namespace
