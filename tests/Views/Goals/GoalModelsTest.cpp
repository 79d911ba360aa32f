#include "Models/Goal.h"
#include "Models/TrailEntry.h"
#include "Models/WeekItem.h"
#include "Store/UndoManager.h"
#include "Views/Goals/GoalDetailModel.h"
#include "Views/Goals/GoalFormModel.h"
#include "Views/Goals/GoalListModel.h"
#include "Views/Goals/GoalTrailModel.h"
#include "support/TestEnvironment.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using namespace orvana;
using orvana::test::drainEvents;

struct Goals : ::testing::Test {
    test::TestEnvironment t; // Monday 2026-03-02 10:00 Berlin

    Goal* goal(const QString& title, qint64 order = 0) {
        return t.context.create<Goal>(title, std::nullopt, std::nullopt, GoalStatus::active,
                                      std::nullopt, order);
    }
    static QStringList titles(const GoalListModel& m) {
        QStringList out;
        for (const ListRow& r : m.list()->rows())
            out << r.data.value(Qt::DisplayRole).toString();
        return out;
    }
    static QVariant role(const GoalListModel& m, int row, int role) {
        return m.list()->rowAt(row)->data.value(role);
    }
};

TEST_F(Goals, ListBySortOrderSearchedUnderTheLocaleAndEmptyOnlyWithoutGoals) {
    GoalListModel m(t.env);
    QAbstractItemModelTester tester(m.list());
    EXPECT_TRUE(m.showsEmptyState());

    goal(QStringLiteral("read more"), 2);
    goal(QStringLiteral("Run a 10k"), 1);
    goal(QStringLiteral("Learn Rust"), 1); // equal order: store order
    auto* done = goal(QStringLiteral("Ship it"), 0);
    done->setStatus(GoalStatus::completed);
    drainEvents();
    EXPECT_EQ(titles(m), (QStringList{"Ship it", "Run a 10k", "Learn Rust", "read more"}));
    EXPECT_EQ(role(m, 0, GoalListModel::StatusTextRole).toString(), QStringLiteral("Completed"));
    EXPECT_EQ(role(m, 0, Qt::AccessibleTextRole).toString(), QStringLiteral("Ship it, completed"));
    EXPECT_TRUE(role(m, 1, GoalListModel::StatusTextRole).toString().isEmpty());

    m.setSearchText(QStringLiteral("run ")); // untrimmed
    EXPECT_EQ(titles(m), (QStringList{"Run a 10k"}));
    m.setSearchText(QStringLiteral("R")); // either case, in list order
    EXPECT_EQ(titles(m), (QStringList{"Run a 10k", "Learn Rust", "read more"}));
    m.setSearchText(QStringLiteral("zzz"));
    EXPECT_TRUE(titles(m).isEmpty());
    EXPECT_FALSE(m.showsEmptyState()) << "a search that finds nothing is not the empty state";
    m.setSearchText(QString());
    EXPECT_EQ(titles(m).size(), 4);
}

// The cascade and its reminders are the planning rules' and the Weeks
// list's tests; here the list's figures come back with the goal.
TEST_F(Goals, DeletingAGoalIsUndoneWithItsItemsAndItsMinutes) {
    t.context.ensureUndoManager();
    auto* run = goal(QStringLiteral("Run"));
    auto* item = t.context.create<WeekItem>(QStringLiteral("Long run"));
    item->setGoal(run);
    t.context.create<TrailEntry>(t.now - 600, 25, run);
    drainEvents();

    GoalListModel m(t.env);
    EXPECT_EQ(role(m, 0, GoalListModel::MinutesTextRole).toString(), QStringLiteral("25 min"));
    m.deleteGoals({run});
    EXPECT_TRUE(item->isDeleted());
    drainEvents();
    EXPECT_TRUE(m.showsEmptyState());

    m.undoBanner()->undo();
    drainEvents();
    EXPECT_FALSE(item->isDeleted());
    EXPECT_EQ(role(m, 0, GoalListModel::MinutesTextRole).toString(), QStringLiteral("25 min"));
}

TEST_F(Goals, TargetBadgesCountCalendarDaysAcrossTheDstChange) {
    // Berlin moves its clocks forward on Sunday 29 March 2026.
    t.now = t.local(2026, 3, 28, 23, 30);
    struct Case {
        Timestamp target;
        QString text;
        TargetBadge::Tone tone;
    };
    const std::vector<Case> cases{
        {t.local(2026, 3, 27, 23, 59), QStringLiteral("1d overdue"), TargetBadge::Tone::overdue},
        {t.local(2026, 3, 28, 0, 1), QStringLiteral("Due today"), TargetBadge::Tone::soon},
        {t.local(2026, 3, 29, 12, 0), QStringLiteral("1d left"), TargetBadge::Tone::soon},
        {t.local(2026, 4, 4, 0, 0), QStringLiteral("7d left"), TargetBadge::Tone::soon},
        {t.local(2026, 4, 5, 23, 0), QStringLiteral("8d left"), TargetBadge::Tone::later},
    };
    for (const Case& c : cases) {
        const TargetBadge badge = targetBadge(c.target, t.now, t.calendar);
        EXPECT_EQ(badge.text, c.text);
        EXPECT_EQ(badge.tone, c.tone) << c.text.toStdString();
    }

    // The list shows the badge, and moves it on when the day turns.
    auto* run = goal(QStringLiteral("Run"));
    run->setTargetDate(t.local(2026, 3, 29, 12, 0));
    GoalListModel m(t.env);
    EXPECT_EQ(role(m, 0, GoalListModel::BadgeTextRole).toString(), QStringLiteral("1d left"));
    t.now = t.local(2026, 3, 29, 0, 30);
    m.checkDay();
    EXPECT_EQ(role(m, 0, GoalListModel::BadgeTextRole).toString(), QStringLiteral("Due today"));
}

TEST_F(Goals, FormSavesATrimmedTitleTheDescriptionAsTypedAndOnlyAChosenDate) {
    GoalFormModel form(t.env);
    form.setTitle(QStringLiteral("  \n "));
    EXPECT_FALSE(form.canSave());
    EXPECT_EQ(form.save(), nullptr);
    form.setTitle(QStringLiteral("  Run a 10k \n"));
    form.setGoalDescription(QStringLiteral("  "));
    t.now += 3600;
    form.setTargetDate(t.local(2026, 6, 1, 10, 0));
    form.setColorTag(GoalColorTag::green);
    Goal* saved = form.save();
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->title(), QStringLiteral("Run a 10k"));
    EXPECT_EQ(saved->goalDescription(), std::optional<QString>(QStringLiteral("  ")));
    EXPECT_EQ(saved->targetDate(), std::nullopt) << "the toggle was off";
    EXPECT_EQ(saved->colorTag(), std::optional<QString>(QStringLiteral("green")));

    GoalFormModel second(t.env);
    EXPECT_EQ(second.targetDate(), t.now) << "the date starts when the form is made";
    second.setTitle(QStringLiteral("Read"));
    second.setHasTargetDate(true);
    t.now += 60;
    Goal* read = second.save();
    EXPECT_EQ(read->targetDate(), std::optional<Timestamp>(t.now - 60));
    EXPECT_EQ(read->goalDescription(), std::nullopt);
    EXPECT_EQ(read->colorTag(), std::nullopt);
}

TEST_F(Goals, DetailEditsInPlaceWithTheTargetDateRulesAndTheReviewText) {
    auto* run = goal(QStringLiteral("Run"));
    run->setColorTag(QStringLiteral("teal")); // from another version of the app
    drainEvents();
    GoalDetailModel m(t.env, *run);
    EXPECT_EQ(m.colorTag(), std::nullopt) << "an unknown tag reads as none";
    m.setStatus(GoalStatus::archived);
    EXPECT_EQ(run->colorTag(), std::optional<QString>(QStringLiteral("teal"))) << "kept";
    m.setColorTag(std::nullopt);
    EXPECT_EQ(run->colorTag(), std::nullopt) << "picking None replaces it";
    m.setColorTag(GoalColorTag::pink);
    EXPECT_EQ(run->colorTag(), std::optional<QString>(QStringLiteral("pink")));

    // Off and on again: the old date gives way to now.
    run->setTargetDate(t.local(2026, 5, 1));
    EXPECT_TRUE(m.hasTargetDate());
    m.setHasTargetDate(true);
    EXPECT_EQ(run->targetDate(), std::optional<Timestamp>(t.local(2026, 5, 1)));
    m.setHasTargetDate(false);
    EXPECT_EQ(run->targetDate(), std::nullopt);
    m.setHasTargetDate(true);
    EXPECT_EQ(run->targetDate(), std::optional<Timestamp>(t.now));
    EXPECT_EQ(m.targetBadge()->text, QStringLiteral("Due today"));

    // Stored as typed; an empty description is none, which the review
    // text tells from an empty one.
    m.setTitle(QStringLiteral(" Run "));
    EXPECT_EQ(run->title(), QStringLiteral(" Run "));
    EXPECT_EQ(m.reviewText(), QStringLiteral(" Run "));
    m.setGoalDescription(QStringLiteral("5k in May"));
    EXPECT_EQ(m.reviewText(), QStringLiteral(" Run \n5k in May"));
    m.setGoalDescription(QString());
    EXPECT_EQ(run->goalDescription(), std::nullopt);
    run->setGoalDescription(QString());
    m.setTitle(QString());
    EXPECT_EQ(m.reviewText(), QStringLiteral("\n"));

    bool removed = false;
    QObject::connect(&m, &GoalDetailModel::goalRemoved, [&removed] { removed = true; });
    t.context.remove(run);
    EXPECT_TRUE(removed);
    EXPECT_EQ(m.goal(), nullptr);
    m.setTitle(QStringLiteral("after")); // ignored, not a crash
}

TEST_F(Goals, ABurstOfTypingInTheTitleIsOneUndoStep) {
    UndoManager* undo = t.context.ensureUndoManager();
    auto* run = goal(QStringLiteral("Run"));
    drainEvents();
    GoalDetailModel m(t.env, *run);
    for (const char* typed : {"Run ", "Run 1", "Run 10", "Run 10k"}) {
        m.setTitle(QString::fromLatin1(typed));
        drainEvents(); // each keystroke its own turn
    }
    m.endTypingBurst(); // focus left the field
    m.setGoalDescription(QStringLiteral("F"));
    drainEvents();
    m.setGoalDescription(QStringLiteral("Fa"));
    drainEvents();
    m.setTitle(QStringLiteral("Run 10k!"));
    drainEvents();

    undo->undo();
    EXPECT_EQ(run->title(), QStringLiteral("Run 10k"));
    undo->undo();
    EXPECT_EQ(run->goalDescription(), std::nullopt) << "the description's burst, whole";
    EXPECT_EQ(run->title(), QStringLiteral("Run 10k"));
    undo->undo();
    EXPECT_EQ(run->title(), QStringLiteral("Run")) << "the title's burst, whole";
}

TEST_F(Goals, TheTrailSumsTheGoalsSessionsPerDayAndFollowsOnlyItsOwnEntries) {
    EXPECT_EQ(GoalTrailModel::summaryText(0, 0), QStringLiteral("0 minutes across 0 sessions"));
    EXPECT_EQ(GoalTrailModel::summaryText(1, 1), QStringLiteral("1 minute across 1 session"));
    Goal* run = goal(QStringLiteral("Run a marathon"));
    Goal* other = goal(QStringLiteral("Other"));
    auto entry = [&](Timestamp date, qint64 minutes, Goal* to) {
        t.context.create<TrailEntry>(date, minutes, to, date);
    };
    EXPECT_TRUE(GoalTrailModel(t.env, *run).isEmpty());
    // Two sessions on one day make one bar; another goal's entry does not count.
    entry(t.local(2026, 3, 1, 8), 25, run);
    entry(t.local(2026, 3, 1, 18), 30, run);
    entry(t.local(2026, 3, 1, 12), 40, other);
    GoalTrailModel model(t.env, *run);
    EXPECT_FALSE(model.isEmpty());
    EXPECT_EQ(model.summary(), QStringLiteral("55 minutes across 2 sessions"));
    EXPECT_EQ(model.totalMinutes(), 55);
    EXPECT_EQ(model.dailyTotals(), (std::vector<DailyTrailTotal>{{t.local(2026, 3, 1), 55}}));

    // 1 and 3 March: two bars, nothing in between.
    QSignalSpy changed(&model, &GoalTrailModel::changed);
    entry(t.local(2026, 3, 3, 7), 20, run);
    EXPECT_EQ(model.sessionCount(), 2) << "the context announces once per event-loop turn";
    drainEvents();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(model.summary(), QStringLiteral("75 minutes across 3 sessions"));
    EXPECT_EQ(model.dailyTotals(),
              (std::vector<DailyTrailTotal>{{t.local(2026, 3, 1), 55}, {t.local(2026, 3, 3), 20}}));

    // Edits elsewhere leave it alone.
    run->setTitle(QStringLiteral("Run a faster marathon"));
    entry(t.local(2026, 3, 4), 5, other);
    drainEvents();
    EXPECT_EQ(changed.count(), 1);

    // The goal deleted and brought back empties and refills the trail.
    t.context.ensureUndoManager()->closeImplicitGroup();
    t.context.remove(run);
    drainEvents();
    EXPECT_EQ(changed.count(), 2);
    EXPECT_TRUE(model.isEmpty());
    EXPECT_EQ(model.totalMinutes(), 0);
    EXPECT_TRUE(model.dailyTotals().empty());
    t.context.undoManager()->undo();
    drainEvents();
    EXPECT_EQ(changed.count(), 3);
    EXPECT_EQ(model.summary(), QStringLiteral("75 minutes across 3 sessions"));
}

} // namespace
