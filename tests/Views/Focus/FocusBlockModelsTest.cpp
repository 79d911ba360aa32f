#include "Views/Focus/FocusBlockFormModel.h"
#include "Views/Focus/FocusBlockListModel.h"

#include "Store/UndoManager.h"
#include "support/TestEnvironment.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

class FocusBlockModels : public ::testing::Test {
protected:
    void SetUp() override { ctx.ensureUndoManager(); }

    FocusBlockTemplate* block(const QString& title, std::vector<qint64> days, qint64 hour,
                              qint64 minute = 0, qint64 minutes = 25, bool active = true) {
        return ctx.create<FocusBlockTemplate>(title, std::move(days), hour, minute, minutes, active,
                                              1.7e9);
    }

    QStringList shownTitles(const FocusBlockListModel& model) const {
        QStringList out;
        for (const ListRow& row : model.list()->rows())
            out << row.data.value(Qt::DisplayRole).toString();
        return out;
    }

    QVariant shown(const FocusBlockListModel& model, int row, int role) const {
        return model.list()->data(model.list()->index(row), role);
    }

    test::TestEnvironment t;
    ModelContext& ctx = t.context;
    AppEnvironment& env = t.env;
};

TEST_F(FocusBlockModels, ListsEveryBlockByHourWithItsLineAndBadge) {
    FocusBlockListModel model(env);
    EXPECT_TRUE(model.showsEmptyState());

    auto* goal = ctx.create<Goal>(QStringLiteral("Thesis"), std::nullopt, std::nullopt,
                                  GoalStatus::active, QStringLiteral("blue"));
    block(QStringLiteral("Evening review"), {2, 3, 4, 5, 6}, 18);
    FocusBlockTemplate* write = block(QStringLiteral("Write"), {4, 2}, 7, 30, 45);
    write->setGoal(goal);
    // From an import: days no calendar has, unsorted; paused.
    block(QStringLiteral("Read"), {9, 1, 0}, 7, 5, 20, false);
    drainEvents();

    EXPECT_FALSE(model.showsEmptyState());
    EXPECT_EQ(shownTitles(model), (QStringList{QStringLiteral("Write"), QStringLiteral("Read"),
                                               QStringLiteral("Evening review")}))
        << "by hour; equal hours in store order";
    EXPECT_EQ(shown(model, 0, FocusBlockListModel::DetailRole),
              QStringLiteral("M W · 07:30 · 45 min"));
    EXPECT_EQ(shown(model, 1, FocusBlockListModel::DetailRole),
              QStringLiteral("? S ? · 07:05 · 20 min"));
    EXPECT_EQ(shown(model, 2, FocusBlockListModel::DetailRole),
              QStringLiteral("M T W T F · 18:00 · 25 min"));
    EXPECT_EQ(shown(model, 0, FocusBlockListModel::ColorTagRole), QStringLiteral("blue"));
    EXPECT_EQ(shown(model, 2, FocusBlockListModel::ColorTagRole), QString());

    // What a screen reader gets: the state in the name, no colons read out.
    EXPECT_FALSE(shown(model, 0, FocusBlockListModel::PausedRole).toBool());
    EXPECT_TRUE(shown(model, 1, FocusBlockListModel::PausedRole).toBool());
    EXPECT_EQ(shown(model, 0, Qt::AccessibleTextRole), QStringLiteral("Write"));
    EXPECT_EQ(shown(model, 1, Qt::AccessibleTextRole), QStringLiteral("Read, paused"));
    for (int row = 0; row < 3; ++row) {
        const QString description = shown(model, row, Qt::AccessibleDescriptionRole).toString();
        EXPECT_FALSE(description.isEmpty());
        EXPECT_FALSE(description.contains(u':')) << description.toStdString();
    }

    // The list follows the store: a new hour moves the row, a goal's colour shows.
    write->setHour(19);
    goal->setColorTag(QStringLiteral("green"));
    drainEvents();
    EXPECT_EQ(shownTitles(model).last(), QStringLiteral("Write"));
    EXPECT_EQ(shown(model, 2, FocusBlockListModel::ColorTagRole), QStringLiteral("green"));
}

TEST_F(FocusBlockModels, PauseAndResumeFlipTheBlockAndSave) {
    FocusBlockTemplate* b = block(QStringLiteral("Write"), {2}, 9);
    FocusBlockListModel model(env);
    drainEvents();

    model.togglePaused(*b);
    EXPECT_FALSE(b->isActive());
    EXPECT_FALSE(ctx.hasChanges()) << "saved at once";
    drainEvents();
    EXPECT_EQ(shown(model, 0, FocusBlockListModel::ToggleTextRole), QStringLiteral("Resume"));

    model.togglePaused(*b);
    EXPECT_TRUE(b->isActive());
    drainEvents();
    EXPECT_EQ(shown(model, 0, FocusBlockListModel::ToggleTextRole), QStringLiteral("Pause"));
}

TEST_F(FocusBlockModels, DeletingNamesTheLastBlockAndTheBannerUndoesIt) {
    FocusBlockTemplate* a = block(QStringLiteral("Write"), {2}, 9);
    FocusBlockTemplate* b = block(QStringLiteral("Read \"slowly\""), {3}, 10);
    block(QStringLiteral("Plan"), {4}, 11);
    FocusBlockListModel model(env);
    drainEvents();
    ctx.undoManager()->removeAllActions();

    model.deleteBlocks({a, b});
    EXPECT_TRUE(a->isDeleted());
    EXPECT_TRUE(b->isDeleted());
    EXPECT_FALSE(ctx.hasChanges()) << "saved at once";
    EXPECT_EQ(model.undoBanner()->message(), QStringLiteral("\"Read \"slowly\"\" deleted"));
    drainEvents();
    EXPECT_EQ(shownTitles(model), QStringList{QStringLiteral("Plan")});

    model.undoBanner()->undo();
    drainEvents();
    EXPECT_FALSE(a->isDeleted());
    EXPECT_FALSE(b->isDeleted());
    EXPECT_EQ(shownTitles(model),
              (QStringList{QStringLiteral("Write"), QStringLiteral("Read \"slowly\""),
                           QStringLiteral("Plan")}));
}

TEST_F(FocusBlockModels, SaveNeedsATitleAndAWeekday) {
    FocusBlockFormModel form(env);
    EXPECT_FALSE(form.canSave());
    form.setTitle(QStringLiteral(" \n\t "));
    EXPECT_FALSE(form.canSave()) << "white space is no title";
    form.setTitle(QStringLiteral("Write"));
    EXPECT_TRUE(form.canSave());
    for (qint64 day = 1; day <= 7; ++day)
        form.setWeekdaySelected(day, false);
    EXPECT_FALSE(form.canSave());
    EXPECT_FALSE(form.save());
    EXPECT_EQ(ctx.count<FocusBlockTemplate>(), 0u);
    form.setWeekdaySelected(7, true);
    EXPECT_TRUE(form.canSave());
}

TEST_F(FocusBlockModels, TheFormsDurationLandsOnItsStepAndItsGoalsFollowTheStore) {
    FocusBlockFormModel form(env);
    for (auto [typed, kept] : {std::pair{7, 5}, {8, 10}, {45, 45}, {3, 5}, {500, 120}}) {
        form.setDurationMinutes(typed);
        EXPECT_EQ(form.durationMinutes(), kept) << typed;
    }

    Goal* later = ctx.create<Goal>(QStringLiteral("Later"), std::nullopt, std::nullopt,
                                   GoalStatus::active, std::nullopt, 2);
    drainEvents();
    Goal* sooner = ctx.create<Goal>(QStringLiteral("Sooner"), std::nullopt, std::nullopt,
                                    GoalStatus::active, std::nullopt, 1);
    drainEvents();
    EXPECT_EQ(form.goals(), (std::vector<Goal*>{sooner, later})) << "added while open";
    form.setGoal(later);
    int changes = 0;
    QObject::connect(&form, &FocusBlockFormModel::changed, [&changes] { ++changes; });
    later->setTitle(QStringLiteral("Later, renamed"));
    drainEvents();
    EXPECT_GT(changes, 0) << "the picker shows the new title";
    ctx.remove(later);
    drainEvents();
    EXPECT_EQ(form.goals(), std::vector<Goal*>{sooner});
    EXPECT_EQ(form.goal(), nullptr);
}

TEST_F(FocusBlockModels, CreatingMakesAnActiveBlockAsOneUndoStep) {
    ctx.create<Goal>(QStringLiteral("Second"), std::nullopt, std::nullopt, GoalStatus::active,
                     std::nullopt, 2);
    Goal* first = ctx.create<Goal>(QStringLiteral("First"), std::nullopt, std::nullopt,
                                   GoalStatus::active, std::nullopt, 1);
    drainEvents();
    ctx.undoManager()->removeAllActions();

    FocusBlockFormModel form(env);
    ASSERT_EQ(form.goals().size(), 2u);
    form.setTitle(QStringLiteral("  Deep work\n"));
    form.setWeekdaySelected(1, true);
    form.setWeekdaySelected(4, false);
    form.setTime(7, 30);
    form.setDurationMinutes(45);
    form.setGoal(first);
    ASSERT_TRUE(form.save());

    ASSERT_EQ(ctx.count<FocusBlockTemplate>(), 1u);
    FocusBlockTemplate* b = ctx.fetch<FocusBlockTemplate>().front();
    EXPECT_EQ(b->title(), QStringLiteral("Deep work"));
    EXPECT_EQ(b->weekdays(), (std::vector<qint64>{1, 2, 3, 5, 6}));
    EXPECT_EQ(b->hour(), 7);
    EXPECT_EQ(b->minute(), 30);
    EXPECT_EQ(b->durationMinutes(), 45);
    EXPECT_TRUE(b->isActive());
    EXPECT_EQ(b->goal(), first);

    ctx.undoManager()->undo();
    EXPECT_EQ(ctx.count<FocusBlockTemplate>(), 0u);
    EXPECT_TRUE(first->focusBlockTemplates().empty());
}

TEST_F(FocusBlockModels, EditingChangesTheSameBlockAsOneUndoStep) {
    Goal* goal = ctx.create<Goal>(QStringLiteral("Thesis"));
    FocusBlockTemplate* b = block(QStringLiteral("Write"), {2, 4}, 7, 30, 180, false);
    b->setGoal(goal);
    drainEvents();
    ctx.undoManager()->removeAllActions();
    const QUuid id = b->id();

    FocusBlockFormModel form(env, b);
    EXPECT_EQ(form.title(), QStringLiteral("Write"));
    EXPECT_EQ(form.weekdays(), (std::set<qint64>{2, 4}));
    EXPECT_EQ(form.hour() * 100 + form.minute(), 730);
    EXPECT_EQ(form.durationMinutes(), 180) << "a length from an import survives the stepper";
    EXPECT_EQ(form.goal(), goal);

    form.setTitle(QStringLiteral("Write more "));
    form.setWeekdaySelected(6, true);
    form.setTime(8, 15);
    form.setDurationMinutes(50);
    form.setGoal(nullptr);
    ASSERT_TRUE(form.save());
    EXPECT_EQ(ctx.count<FocusBlockTemplate>(), 1u);
    EXPECT_EQ(b->id(), id) << "tasks made from it still point at it";
    EXPECT_EQ(b->title(), QStringLiteral("Write more"));
    EXPECT_EQ(b->weekdays(), (std::vector<qint64>{2, 4, 6}));
    EXPECT_EQ(b->hour() * 100 + b->minute(), 815);
    EXPECT_EQ(b->durationMinutes(), 50);
    EXPECT_EQ(b->goal(), nullptr);
    EXPECT_FALSE(b->isActive()) << "editing does not resume";

    ctx.undoManager()->undo();
    EXPECT_EQ(b->title(), QStringLiteral("Write"));
    EXPECT_EQ(b->weekdays(), (std::vector<qint64>{2, 4}));
    EXPECT_EQ(b->hour() * 100 + b->minute(), 730);
    EXPECT_EQ(b->goal(), goal);
}

} // namespace
