#include "Models/TrailEntry.h"
#include "Store/UndoManager.h"
#include "Views/AI/AIReviewSectionView.h"
#include "Views/Goals/GoalBadges.h"
#include "Views/Goals/GoalColorTagPicker.h"
#include "Views/Goals/GoalDetailView.h"
#include "Views/Goals/GoalFormView.h"
#include "Views/Goals/GoalListModel.h"
#include "Views/Goals/GoalListView.h"
#include "Views/Navigation/NavigationStack.h"
#include "Views/Navigation/SectionScreenFactory.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/RecordListView.h"
#include "Views/Shared/UndoBanner.h"
#include "Views/Shared/UndoToast.h"
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
#include <QTest>
#include <gtest/gtest.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

// The Goals section as the main window holds it: the list at the bottom of
// its navigation stack.
struct Section {
    explicit Section(AppEnvironment* env = nullptr) {
        t.context.ensureUndoManager();
        stack.reset(makeSectionScreen(SidebarSection::goals, env ? *env : t.env));
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

    test::TestEnvironment t;
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
    s.t.context.create<TrailEntry>(s.t.now, 25, goal);
    drainEvents();
    EXPECT_TRUE(detail->statusPill()->isVisibleTo(detail));
    EXPECT_EQ(detail->minutesLabel()->text(), QStringLiteral("25 min logged"));

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

    // Delete the selected rows as shown under a search, then undo.
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
    EXPECT_TRUE(ride->isDeleted());
    EXPECT_TRUE(read->isDeleted());
    EXPECT_FALSE(learn->isDeleted());
    EXPECT_FALSE(goal->isDeleted());
    UndoBanner* banner = s.list()->undoBanner();

    QTest::mouseClick(banner->toast()->undoButton(), Qt::LeftButton);
    drainEvents();
    EXPECT_FALSE(ride->isDeleted());
    EXPECT_FALSE(read->isDeleted());
    EXPECT_EQ(list->model()->rowCount(), 4);
}

// Only with ORVANA_SHOTS_DIR set (scripts/screenshots).
TEST(Screenshots, Goals) {
    if (!test::shotsWanted())
        GTEST_SKIP() << "set ORVANA_SHOTS_DIR to take pictures";
    // An environment that can review, so the detail shows its AI section.
    struct NoHttp final : URLRequestPerforming {
        QCoro::Task<Result<HttpResponse>> perform(HttpRequest) override {
            co_return Error{QStringLiteral("offline")};
        }
    } http;
    test::FakeSecretBackend secrets;
    test::TestEnvironment base;
    AppEnvironment env{{base.context, base.preferences, base.notifications, base.calendar,
                        AppPaths::under(base.dir.path()), &http, &secrets, &base.badge}};
    Section s(&env);
    s.show();
    test::saveShots(s.stack.get(), QStringLiteral("goals-empty"));

    ModelContext& ctx = base.context;
    test::fillSample(ctx, base.calendar, base.now);
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

} // namespace
