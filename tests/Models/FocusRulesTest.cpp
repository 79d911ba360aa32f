#include "Store/ModelContext.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <limits>

using namespace orvana;
using orvana::test::at;

namespace {

const QTimeZone berlin("Europe/Berlin");

TEST(FocusSessionClock, ActiveTimeCountsOnlyRunningStretches) {
    const Timestamp t = 1'000'000;
    FocusSession s(1500);
    EXPECT_EQ(s.remaining(t), 1500);
    s.start(t);
    s.start(t + 100); // already running: the first start stands
    s.pause(t + 600);
    s.pause(t + 700); // already paused
    s.resume(t + 1200);
    EXPECT_EQ(s.remaining(t + 1500), 600) << "600 s before the pause + 300 s after";
    EXPECT_EQ(s.remaining(t + 99'999), 0) << "never negative";

    // The record alone tells the time after a restart: a copy of its fields.
    FocusSession reloaded(s.plannedDuration(), 0, s.accumulatedActiveDuration(),
                          s.currentSegmentStartedAt());
    EXPECT_EQ(reloaded.remaining(t + 1500), 600);

    s.stop(t + 1500);
    EXPECT_FALSE(s.isRunning());
    EXPECT_EQ(s.endedAt(), t + 1500);
    EXPECT_EQ(s.accumulatedActiveDuration(), 900);
    EXPECT_FALSE(s.isCompleted());
    s.start(t + 2000); // ended is final
    EXPECT_FALSE(s.isRunning());
}

TEST(FocusSessionClock, StoppingExactlyAtThePlanCompletesAndAPausedStopKeepsItsTime) {
    FocusSession exact(1500);
    exact.start(0);
    exact.stop(1500);
    EXPECT_TRUE(exact.isCompleted());

    FocusSession paused(1500);
    paused.start(0);
    paused.pause(1000);
    paused.stop(5000);
    EXPECT_EQ(paused.accumulatedActiveDuration(), 1000);
    EXPECT_FALSE(paused.isCompleted());
    EXPECT_EQ(paused.endedAt(), 5000);

    FocusSession neverStarted(60);
    neverStarted.stop(10);
    EXPECT_EQ(neverStarted.endedAt(), 10);
    EXPECT_FALSE(neverStarted.isCompleted());
}

TEST(Pomodoro, DefaultSequenceAndDegenerateCycleSettings) {
    const PomodoroSettings defaults;
    std::vector<PomodoroStep> seq;
    PomodoroStep step{FocusSessionKind::work, 1500, 1};
    for (int i = 0; i < 9; ++i) {
        step = FocusSession::nextPomodoroStep(step.kind, step.cycleNumber, defaults);
        seq.push_back(step);
    }
    using K = FocusSessionKind;
    const std::vector<PomodoroStep> expected{
        {K::shortBreak, 300, 1}, {K::work, 1500, 2},      {K::shortBreak, 300, 2},
        {K::work, 1500, 3},      {K::shortBreak, 300, 3}, {K::work, 1500, 4},
        {K::longBreak, 900, 4},  {K::work, 1500, 5},      {K::shortBreak, 300, 5}};
    EXPECT_EQ(seq, expected);

    EXPECT_EQ(FocusSession::nextPomodoroStep(K::work, std::nullopt, defaults).cycleNumber, 1)
        << "an absent cycle counts as 1";
    for (qint64 cycles : {0, -3}) {
        PomodoroSettings s;
        s.cyclesBeforeLongBreak = cycles;
        EXPECT_EQ(FocusSession::nextPomodoroStep(K::work, 7, s).kind, K::longBreak);
    }
    PomodoroSettings absurd;
    absurd.workMinutes = std::numeric_limits<qint64>::max();
    EXPECT_GT(FocusSession::nextPomodoroStep(K::longBreak, 1, absurd).plannedSeconds, 0)
        << "clamped, not overflowed";
}

class Trail : public ::testing::Test {
protected:
    void SetUp() override {
        ctx.setClock([] { return 5000.0; });
    }
    FocusSession* endedSession(double activeSeconds, DayTask* task = nullptr,
                               Goal* goal = nullptr) {
        auto* s = ctx.create<FocusSession>(1500.0);
        s->setAccumulatedActiveDuration(activeSeconds);
        s->setEndedAt(4000);
        s->setDayTask(task);
        s->setGoal(goal);
        return s;
    }
    ModelContext ctx;
};

TEST_F(Trail, LogsWholeMinutesOnceToTheFirstGoalInTheChain) {
    auto* direct = ctx.create<Goal>(QStringLiteral("direct"));
    auto* viaTask = ctx.create<Goal>(QStringLiteral("task"));
    auto* viaItem = ctx.create<Goal>(QStringLiteral("item"));
    auto* item = ctx.create<WeekItem>(QStringLiteral("i"));
    item->setGoal(viaItem);
    auto* task = ctx.create<DayTask>(QStringLiteral("t"), 0.0);
    task->setWeekItem(item);

    auto* s = endedSession(1499, task);
    TrailEntry* e = TrailEntry::logIfNeeded(*s, ctx);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->minutes(), 24);
    EXPECT_EQ(e->goal(), viaItem) << "only the week item has a goal";
    EXPECT_EQ(e->date(), 4000);
    EXPECT_EQ(e->createdAt(), 5000);
    EXPECT_TRUE(s->hasBeenLogged());
    EXPECT_EQ(TrailEntry::logIfNeeded(*s, ctx), nullptr);
    EXPECT_EQ(ctx.count<TrailEntry>(), 1u);

    task->setGoal(viaTask);
    EXPECT_EQ(TrailEntry::logIfNeeded(*endedSession(1500, task), ctx)->goal(), viaTask);
    EXPECT_EQ(TrailEntry::logIfNeeded(*endedSession(1500, task, direct), ctx)->goal(), direct);

    auto* running = ctx.create<FocusSession>(1500.0);
    running->setAccumulatedActiveDuration(120);
    running->setGoal(direct);
    EXPECT_EQ(TrailEntry::logIfNeeded(*running, ctx)->date(), 5000) << "no end: now";
}

TEST_F(Trail, MarksUncreditableSessionsLoggedWithoutAnEntry) {
    auto* goal = ctx.create<Goal>(QStringLiteral("g"));
    auto* shortOne = endedSession(59, nullptr, goal);
    auto* breakOne = endedSession(300, nullptr, goal);
    breakOne->setKind(FocusSessionKind::shortBreak);
    auto* goalless = endedSession(600, ctx.create<DayTask>(QStringLiteral("loose"), 0.0));
    auto* nonsense = endedSession(std::numeric_limits<double>::quiet_NaN(), nullptr, goal);
    for (FocusSession* s : {shortOne, breakOne, goalless, nonsense}) {
        EXPECT_EQ(TrailEntry::logIfNeeded(*s, ctx), nullptr);
        EXPECT_TRUE(s->hasBeenLogged());
    }
    EXPECT_EQ(ctx.count<TrailEntry>(), 0u);

    ASSERT_TRUE(TrailEntry::logIfNeeded(*endedSession(1e300, nullptr, goal), ctx));
    EXPECT_GT(ctx.fetch<TrailEntry>().front()->minutes(), 0) << "capped, not overflowed";
}

TEST(FocusBlocks, RelevanceEndsAfterTheEndMinute) {
    const Calendar cal = test::berlinMondayFirst();
    FocusBlockTemplate block(QStringLiteral("Run"), {2, 4}, 7, 30, 45); // Mon, Wed
    const Timestamp monday = at(berlin, 2026, 6, 8);
    EXPECT_TRUE(block.isStillRelevant(monday + 8 * 3600 + 15 * 60, cal)) << "08:15 is its end";
    EXPECT_FALSE(block.isStillRelevant(monday + 8 * 3600 + 16 * 60, cal));
    EXPECT_FALSE(block.isStillRelevant(monday + 86400 + 3600, cal)) << "Tuesday";

    FocusBlockTemplate late(QStringLiteral("Late"), {2}, 23, 30, 60);
    EXPECT_TRUE(late.isStillRelevant(monday + 23 * 3600 + 59 * 60, cal));
}

TEST(FocusBlocks, MaterializeTwiceTheSameDayGivesOneTaskAndOneSession) {
    const Calendar cal = test::berlinMondayFirst();
    ModelContext ctx;
    ctx.setClock([] { return 42.0; });
    auto* goal = ctx.create<Goal>(QStringLiteral("g"));
    auto* block = ctx.create<FocusBlockTemplate>(QStringLiteral("Deep work"),
                                                 std::vector<qint64>{2}, 7, 30, 45);
    block->setGoal(goal);
    const Timestamp morning = at(berlin, 2026, 6, 8, 7, 0);

    DayTask* task = block->materialize(morning, cal);
    EXPECT_EQ(task->date(), at(berlin, 2026, 6, 8));
    EXPECT_EQ(task->sourceTemplateID(), block->id());
    EXPECT_EQ(task->goal(), goal);
    ASSERT_EQ(task->focusSessions().size(), 1u);
    const FocusSession* prepared = task->focusSessions().front();
    EXPECT_EQ(prepared->plannedDuration(), 45 * 60);
    EXPECT_FALSE(prepared->isRunning() || prepared->isEnded());
    EXPECT_EQ(prepared->goal(), goal);

    EXPECT_EQ(block->materialize(morning + 5 * 3600, cal), task);
    EXPECT_EQ(ctx.count<DayTask>(), 1u);
    EXPECT_EQ(ctx.count<FocusSession>(), 1u);
    EXPECT_NE(block->materialize(morning + 86400, cal), task) << "a new day, a new task";
}

} // namespace
