#include "Views/Focus/FocusBlockFormModel.h"
#include "Views/Focus/FocusBlockListModel.h"
#include "Views/Focus/FocusTimerController.h"

#include "Services/NotificationService.h"
#include "Store/UndoManager.h"
#include "support/TestEnvironment.h"

#include <QSignalSpy>
#include <QStringList>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

using namespace orvana;
using orvana::test::drainEvents;
using Phase = FocusTimerController::Phase;

namespace {

class Focus : public ::testing::Test {
protected:
    void SetUp() override { ctx.ensureUndoManager(); }

    FocusBlockTemplate* block(const QString& title, std::vector<qint64> days, qint64 hour,
                              qint64 minute = 0, qint64 minutes = 25, bool active = true) {
        return ctx.create<FocusBlockTemplate>(title, std::move(days), hour, minute, minutes, active,
                                              1.7e9);
    }
    Goal* goal(const QString& title, qint64 order = 0) {
        return ctx.create<Goal>(title, std::nullopt, std::nullopt, GoalStatus::active, std::nullopt,
                                order);
    }
    // Every field a block's form edits, on one line.
    static QString fields(const FocusBlockTemplate& b) {
        QStringList days;
        for (qint64 d : b.weekdays())
            days << QString::number(d);
        return QStringLiteral("%1|%2|%3:%4|%5|%6|%7")
            .arg(b.title(), days.join(u','))
            .arg(b.hour())
            .arg(b.minute())
            .arg(b.durationMinutes())
            .arg(b.isActive() ? "active" : "paused", b.goal() ? b.goal()->title() : QString());
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

    std::unique_ptr<FocusTimerController> timer(DayTask* task, Goal* goal) {
        return std::make_unique<FocusTimerController>(ctx, t.preferences, t.notifications, task,
                                                      goal, [this] { return t.now; });
    }
    QString endID(const FocusSession* s) const {
        return NotificationService::notificationIdentifier(s->id());
    }

    test::TestEnvironment t;
    ModelContext& ctx = t.context;
    Timestamp& now = t.now;
};

} // namespace

TEST_F(Focus, BlocksAreListedByHourWithTheirLineBadgeAndToggle) {
    FocusBlockListModel model(t.env);
    EXPECT_TRUE(model.showsEmptyState());

    Goal* thesis = goal(QStringLiteral("Thesis"));
    thesis->setColorTag(QStringLiteral("blue"));
    block(QStringLiteral("Evening review"), {2, 3, 4, 5, 6}, 18);
    FocusBlockTemplate* write = block(QStringLiteral("Write"), {4, 2}, 7, 30, 45);
    write->setGoal(thesis);
    // From an import: days no calendar has, unsorted; paused.
    block(QStringLiteral("Read"), {9, 1, 0}, 7, 5, 20, false);
    drainEvents();

    EXPECT_FALSE(model.showsEmptyState());
    EXPECT_EQ(shownTitles(model), (QStringList{"Write", "Read", "Evening review"}))
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
    EXPECT_EQ(shown(model, 0, Qt::AccessibleTextRole), QStringLiteral("Write"));
    EXPECT_EQ(shown(model, 1, Qt::AccessibleTextRole), QStringLiteral("Read, paused"));
    for (int row = 0; row < 3; ++row) {
        const QString description = shown(model, row, Qt::AccessibleDescriptionRole).toString();
        EXPECT_FALSE(description.isEmpty());
        EXPECT_FALSE(description.contains(u':')) << description.toStdString();
    }

    // Pause and resume flip the block and save at once.
    EXPECT_FALSE(shown(model, 0, FocusBlockListModel::PausedRole).toBool());
    model.togglePaused(*write);
    EXPECT_FALSE(write->isActive());
    EXPECT_FALSE(ctx.hasChanges()) << "saved at once";
    drainEvents();
    EXPECT_TRUE(shown(model, 0, FocusBlockListModel::PausedRole).toBool());
    EXPECT_EQ(shown(model, 0, FocusBlockListModel::ToggleTextRole), QStringLiteral("Resume"));
    model.togglePaused(*write);
    drainEvents();
    EXPECT_TRUE(write->isActive());
    EXPECT_EQ(shown(model, 0, FocusBlockListModel::ToggleTextRole), QStringLiteral("Pause"));

    // The list follows the store: a new hour moves the row, a goal's colour shows.
    write->setHour(19);
    thesis->setColorTag(QStringLiteral("green"));
    drainEvents();
    EXPECT_EQ(shownTitles(model).last(), QStringLiteral("Write"));
    EXPECT_EQ(shown(model, 2, FocusBlockListModel::ColorTagRole), QStringLiteral("green"));
}

TEST_F(Focus, DeletingBlocksNamesTheLastAndTheBannerUndoesIt) {
    FocusBlockTemplate* a = block(QStringLiteral("Write"), {2}, 9);
    FocusBlockTemplate* b = block(QStringLiteral("Read \"slowly\""), {3}, 10);
    block(QStringLiteral("Plan"), {4}, 11);
    FocusBlockListModel model(t.env);
    drainEvents();
    ctx.undoManager()->removeAllActions();

    model.deleteBlocks({a, b});
    EXPECT_TRUE(a->isDeleted() && b->isDeleted());
    EXPECT_FALSE(ctx.hasChanges()) << "saved at once";
    EXPECT_EQ(model.undoBanner()->message(), QStringLiteral("\"Read \"slowly\"\" deleted"));
    drainEvents();
    EXPECT_EQ(shownTitles(model), QStringList{QStringLiteral("Plan")});

    model.undoBanner()->undo();
    drainEvents();
    EXPECT_EQ(shownTitles(model), (QStringList{"Write", "Read \"slowly\"", "Plan"}));
}

// The block form and the timer share the stepper's rule.
TEST_F(Focus, DurationsLandOnTheirStepWithinTheirRange) {
    FocusBlockFormModel form(t.env);
    auto quick = timer(nullptr, nullptr);
    for (auto [typed, kept] : {std::pair{8, 10}, {500, 120}, {0, 5}, {45, 45}, {7, 5}}) {
        form.setDurationMinutes(typed);
        quick->setPlannedMinutes(typed);
        EXPECT_EQ(form.durationMinutes(), kept) << typed;
        EXPECT_EQ(quick->plannedMinutes(), kept) << typed;
    }
    QCoro::waitFor(quick->start());
    EXPECT_EQ(quick->session()->plannedDuration(), 5 * 60);
}

TEST_F(Focus, TheBlockFormsGoalsFollowTheStore) {
    FocusBlockFormModel form(t.env);
    Goal* later = goal(QStringLiteral("Later"), 2);
    drainEvents();
    Goal* sooner = goal(QStringLiteral("Sooner"), 1);
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

TEST_F(Focus, ABlockNeedsATitleAndADayAndIsCreatedOrEditedAsOneUndoStep) {
    goal(QStringLiteral("Second"), 2);
    Goal* first = goal(QStringLiteral("First"), 1);
    drainEvents();
    ctx.undoManager()->removeAllActions();

    // A title and a weekday are needed.
    FocusBlockFormModel form(t.env);
    EXPECT_FALSE(form.canSave());
    form.setTitle(QStringLiteral(" \n\t "));
    EXPECT_FALSE(form.canSave()) << "white space is no title";
    form.setTitle(QStringLiteral("  Deep work\n"));
    EXPECT_TRUE(form.canSave());
    for (qint64 day = 1; day <= 7; ++day)
        form.setWeekdaySelected(day, false);
    EXPECT_FALSE(form.canSave());
    EXPECT_FALSE(form.save());
    EXPECT_EQ(ctx.count<FocusBlockTemplate>(), 0u);
    for (qint64 day : {1, 2, 3, 5, 6})
        form.setWeekdaySelected(day, true);
    form.setTime(7, 30);
    form.setDurationMinutes(45);
    form.setGoal(first);
    ASSERT_TRUE(form.save());
    ASSERT_EQ(ctx.count<FocusBlockTemplate>(), 1u);
    FocusBlockTemplate* b = ctx.fetch<FocusBlockTemplate>().front();
    EXPECT_EQ(fields(*b), QStringLiteral("Deep work|1,2,3,5,6|7:30|45|active|First"));
    ctx.undoManager()->undo();
    EXPECT_EQ(ctx.count<FocusBlockTemplate>(), 0u);
    EXPECT_TRUE(first->focusBlockTemplates().empty());

    b = block(QStringLiteral("Write"), {2, 4}, 7, 30, 180, false);
    b->setGoal(first);
    drainEvents();
    ctx.undoManager()->removeAllActions();
    const QUuid id = b->id();
    FocusBlockFormModel edit(t.env, b);
    EXPECT_EQ(edit.title(), QStringLiteral("Write"));
    EXPECT_EQ(edit.weekdays(), (std::set<qint64>{2, 4}));
    EXPECT_EQ(edit.hour() * 100 + edit.minute(), 730);
    EXPECT_EQ(edit.durationMinutes(), 180) << "a length from an import survives the stepper";
    EXPECT_EQ(edit.goal(), first);
    edit.setTitle(QStringLiteral("Write more "));
    edit.setWeekdaySelected(6, true);
    edit.setTime(8, 15);
    edit.setDurationMinutes(50);
    edit.setGoal(nullptr);
    ASSERT_TRUE(edit.save());
    EXPECT_EQ(ctx.count<FocusBlockTemplate>(), 1u);
    EXPECT_EQ(b->id(), id) << "tasks made from it still point at it";
    EXPECT_EQ(fields(*b), QStringLiteral("Write more|2,4,6|8:15|50|paused|"))
        << "editing does not resume";
    ctx.undoManager()->undo();
    EXPECT_EQ(fields(*b), QStringLiteral("Write|2,4|7:30|180|paused|First"));
}

TEST_F(Focus, AClosedSessionIsPickedUpPausedWhenTheTasksTimerReopens) {
    auto* task = ctx.create<DayTask>(QStringLiteral("Write"), now);
    auto first = timer(task, nullptr);
    first->resumeExistingSessionIfAny();
    ASSERT_EQ(first->phase(), Phase::idle);
    QCoro::waitFor(first->start());
    FocusSession* s = first->session();
    ASSERT_TRUE(s && s->isRunning());
    EXPECT_EQ(s->plannedDuration(), 1500);
    EXPECT_EQ(s->dayTask(), task);
    EXPECT_EQ(t.center.pending.at(endID(s)).delaySeconds, 1500);

    now += 600;
    first->pauseIfRunning(); // the window closes
    first.reset();
    EXPECT_TRUE(t.center.pending.empty()) << "a paused session has no end to announce";

    now += 2 * 3600;
    auto second = timer(task, nullptr);
    second->resumeExistingSessionIfAny();
    EXPECT_EQ(second->session(), s);
    EXPECT_EQ(second->phase(), Phase::paused);
    EXPECT_EQ(second->countdownText(), QStringLiteral("15:00"));
    EXPECT_EQ(second->pauseButtonText(), QStringLiteral("Resume"));
    QCoro::waitFor(second->togglePause());
    EXPECT_EQ(t.center.pending.at(endID(s)).delaySeconds, 900) << "the new end";
}

TEST_F(Focus, APreparedSessionStartsWithItsOwnLength) {
    auto* deep = block(QStringLiteral("Deep work"), {1, 2, 3, 4, 5, 6, 7}, 7, 30, 45);
    DayTask* task = deep->materialize(now, t.calendar);
    auto quick = timer(task, task->goal());
    quick->resumeExistingSessionIfAny();
    EXPECT_EQ(quick->plannedMinutes(), 45);
    EXPECT_EQ(quick->durationLabel(), QStringLiteral("Duration: 45 min"));
    quick->setPlannedMinutes(60);
    QCoro::waitFor(quick->start());
    EXPECT_EQ(quick->session(), task->focusSessions().front());
    EXPECT_EQ(quick->session()->plannedDuration(), 45 * 60);
    EXPECT_EQ(ctx.count<FocusSession>(), 1u);
}

TEST_F(Focus, TheTimeLeftIsAnnouncedOnEachChangeAndEveryTenSecondsOnly) {
    auto quick = timer(nullptr, nullptr);
    QSignalSpy told(quick.get(), &FocusTimerController::announcementDue);
    QCoro::waitFor(quick->start());
    EXPECT_EQ(told.count(), 1) << "on start";
    for (int second = 0; second < 25; ++second) {
        now += 1;
        quick->tick();
    }
    EXPECT_EQ(told.count(), 3) << "at 10 and 20 seconds, not every second";
    QCoro::waitFor(quick->togglePause());
    EXPECT_EQ(told.count(), 4) << "on pause";
    now += 30;
    quick->tick();
    QCoro::waitFor(quick->togglePause());
    EXPECT_EQ(told.count(), 5) << "on resume, nothing while paused";
    now += 24 * 60 + 35;
    quick->tick();
    EXPECT_EQ(told.count(), 6) << "at the end";
    EXPECT_EQ(quick->spokenStatus(), QStringLiteral("Completed"));
}

TEST_F(Focus, TheTickEndsASegmentWithinASecondOnceAndLogsIt) {
    Goal* marathon = goal(QStringLiteral("Run a marathon"));
    auto quick = timer(nullptr, marathon);
    quick->setPlannedMinutes(5);
    QCoro::waitFor(quick->start());
    FocusSession* s = quick->session();

    now += 299.5;
    quick->tick();
    EXPECT_TRUE(s->isRunning());
    now += 0.9;
    quick->tick();
    EXPECT_TRUE(s->isEnded() && s->isCompleted());
    EXPECT_EQ(quick->phase(), Phase::ended);
    EXPECT_EQ(quick->endedMessage(), QStringLiteral("Completed"));
    EXPECT_FALSE(t.center.pending.count(endID(s)));
    ASSERT_EQ(marathon->trailEntries().size(), 1u);
    EXPECT_EQ(marathon->trailEntries().front()->minutes(), 5);
    now += 1;
    quick->tick();
    quick->pauseIfRunning(); // closing changes nothing
    EXPECT_EQ(ctx.count<TrailEntry>(), 1u);
    EXPECT_EQ(s->endedAt(), now - 1);
}

// After a suspend (or a restart with the session still running) the first
// tick must not credit the hours in between.
TEST_F(Focus, ASegmentThatRanOutUnwatchedEndsAtItsPlannedEnd) {
    Goal* g = goal(QStringLiteral("g"));
    auto quick = timer(nullptr, g);
    QCoro::waitFor(quick->start());
    FocusSession* s = quick->session();
    const Timestamp started = now;
    now += 10 * 60;
    quick->tick();
    now += 8 * 3600; // lid closed
    quick->tick();
    EXPECT_TRUE(s->isCompleted());
    EXPECT_LE(*s->endedAt(), started + 25 * 60 + 1);
    ASSERT_EQ(g->trailEntries().size(), 1u);
    EXPECT_EQ(g->trailEntries().front()->minutes(), 25);
}

TEST_F(Focus, PomodoroChainsOnTheUsersCommandAndStoppingEarlyEndsIt) {
    auto* task = ctx.create<DayTask>(QStringLiteral("Study"), now);
    auto quick = timer(task, nullptr);
    quick->setPomodoroMode(true);
    QCoro::waitFor(quick->start());
    EXPECT_EQ(t.center.pending.at(endID(quick->session())).title,
              QStringLiteral("Work session complete — take a break"));

    auto runOut = [&] {
        now += quick->session()->remaining(now);
        quick->tick();
    };
    for (int segment = 0; segment < 6; ++segment) { // up to work 4
        runOut();
        ASSERT_EQ(quick->phase(), Phase::transition) << segment;
        QCoro::waitFor(quick->startNextSegment());
    }
    EXPECT_EQ(quick->pomodoroCaption(), QStringLiteral("Work — Pomodoro 4 of 4"));
    runOut();
    QCoro::waitFor(quick->startNextSegment());
    EXPECT_EQ(quick->pomodoroCaption(), QStringLiteral("Long Break — Pomodoro 4 of 4"));
    EXPECT_EQ(quick->session()->plannedDuration(), 15 * 60);
    EXPECT_EQ(t.center.pending.at(endID(quick->session())).title,
              QStringLiteral("Break's over — back to it"));
    runOut();
    EXPECT_EQ(quick->transitionMessage(), QStringLiteral("Break's over."));
    EXPECT_EQ(quick->nextSegmentButtonText(), QStringLiteral("Start Next Work Interval"));
    QCoro::waitFor(quick->startNextSegment());
    EXPECT_EQ(quick->pomodoroCaption(), QStringLiteral("Work — Pomodoro 5 of 4"));
    EXPECT_EQ(quick->session()->plannedDuration(), 25 * 60);

    now += 60;
    quick->stop();
    EXPECT_EQ(quick->phase(), Phase::ended) << "stopped early: no transition panel";
    EXPECT_EQ(quick->endedMessage(), QStringLiteral("Stopped early"));
    EXPECT_EQ(ctx.count<FocusSession>(), 9u);
}

TEST_F(Focus, WithoutPermissionSessionsRunButNothingIsScheduled) {
    t.center.status = NotificationAuthorization::notDetermined;
    t.center.grantOnRequest = false;
    auto quick = timer(nullptr, nullptr);
    QCoro::waitFor(quick->start());
    EXPECT_EQ(t.center.authorizationRequests, 1);
    EXPECT_TRUE(quick->session()->isRunning());
    EXPECT_TRUE(t.center.pending.empty());
    EXPECT_EQ(quick->title(), QString());

    // A goal-only timer never picks up anything when it reopens.
    quick->pauseIfRunning();
    auto reopened = timer(nullptr, nullptr);
    reopened->resumeExistingSessionIfAny();
    EXPECT_EQ(reopened->phase(), Phase::idle);
}

TEST(FocusTimerText, CountdownRoundsToWholeSecondsAndDoesNotCapMinutes) {
    for (auto [seconds, text] : {std::pair{0.0, "00:00"},
                                 {59.5, "01:00"},
                                 {59.4, "00:59"},
                                 {1500.0, "25:00"},
                                 {7200.0, "120:00"}})
        EXPECT_EQ(FocusTimerController::formattedRemaining(seconds), QLatin1String(text));
    EXPECT_FALSE(FocusTimerController::formattedRemaining(1e300).isEmpty());
}
