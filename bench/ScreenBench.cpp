// Screen-model benchmarks on the synthetic store: what Today costs when years
// of unfinished tasks are overdue (about 40 000 of them), as on the first
// start after loading the synthetic store, what the Goals list costs, and
// what the Overview's figures cost over the whole store (a million trail
// entries). Budget: a rebuild after one change well under one 100 ms frame;
// the Overview opens in 150 ms and a change while it is hidden costs nothing.
// Weeks: 5 000 of them, the list alive under a week's page while its
// intention is typed. The tray summary, last.
#include "SilentCenter.h"
#include "SyntheticStore.h"

#include "Models/DayTask.h"
#include "Models/Goal.h"
#include "Models/Week.h"
#include "Services/AppEnvironment.h"
#include "Services/NotificationService.h"
#include "Services/Preferences.h"
#include "Store/FocusFigures.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "Views/Goals/GoalListModel.h"
#include "Views/Overview/OverviewModel.h"
#include "Views/Today/TodayModel.h"
#include "Views/Tray/TraySummaryModel.h"
#include "Views/Weeks/WeekDetailModel.h"
#include "Views/Weeks/WeekListModel.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

using namespace orvana;

namespace {

using bench::SilentCenter;

struct Fixture {
    std::unique_ptr<ModelContext> context;
    QTemporaryDir dir;
    std::unique_ptr<Preferences> preferences;
    SilentCenter center;
    std::unique_ptr<NotificationService> notifications;
    std::unique_ptr<AppEnvironment> env;
    Timestamp now = 0; // once the tray's benchmarks pin the clock
};

std::unique_ptr<Fixture> fixture;

AppEnvironment* environment(benchmark::State& state) {
    if (!fixture) {
        auto opened = openModelContext(bench::syntheticStorePath());
        if (!opened.ok()) {
            state.SkipWithError(qPrintable(opened.error().message));
            return nullptr;
        }
        fixture = std::make_unique<Fixture>();
        fixture->context = std::move(opened.value());
        fixture->preferences =
            std::make_unique<Preferences>(fixture->dir.filePath(QStringLiteral("p.json")));
        const Calendar calendar = bench::syntheticCalendar();
        fixture->notifications = std::make_unique<NotificationService>(
            fixture->center, fixture->context->clockFunction(), calendar);
        fixture->env = std::make_unique<AppEnvironment>(AppEnvironment::Services{
            *fixture->context, *fixture->preferences, *fixture->notifications, calendar,
            AppPaths::under(fixture->dir.path())});
    }
    return fixture->env.get();
}

void todayBuild(benchmark::State& state) {
    AppEnvironment* env = environment(state);
    if (!env)
        return;
    for (auto _ : state) {
        TodayModel today(*env);
        benchmark::DoNotOptimize(today.list()->rowCount());
    }
}

void todayAfterOneChange(benchmark::State& state) {
    AppEnvironment* env = environment(state);
    if (!env)
        return;
    TodayModel today(*env);
    const auto& overdue = today.filteredOverdueTasks();
    DayTask* task = overdue.at(overdue.size() / 2);
    state.counters["rows"] = today.list()->rowCount();
    for (auto _ : state) {
        task->setTitle(task->title() + u'.');
        QCoreApplication::processEvents(); // the context announces; Today rebuilds
    }
}

// Goals: 1 000 goals over a million trail entries. The list stays alive
// under a goal's detail, so every keystroke there rebuilds it.
void goalsBuild(benchmark::State& state) {
    AppEnvironment* env = environment(state);
    if (!env)
        return;
    for (auto _ : state) {
        GoalListModel goals(*env);
        benchmark::DoNotOptimize(goals.list()->rowCount());
    }
}

void goalsAfterTyping(benchmark::State& state) {
    AppEnvironment* env = environment(state);
    if (!env)
        return;
    GoalListModel goals(*env);
    Goal* goal = goals.filteredGoals().at(goals.filteredGoals().size() / 2);
    state.counters["rows"] = goals.list()->rowCount();
    for (auto _ : state) {
        goal->setTitle(goal->title() + u'.');
        QCoreApplication::processEvents();
    }
}

void weeksBuild(benchmark::State& state) {
    AppEnvironment* env = environment(state);
    if (!env)
        return;
    for (auto _ : state) {
        WeekListModel weeks(*env);
        benchmark::DoNotOptimize(weeks.list()->rowCount());
    }
}

// One keystroke in a week's intention with the list alive beneath the page.
void weeksTypingIntention(benchmark::State& state) {
    AppEnvironment* env = environment(state);
    if (!env)
        return;
    WeekListModel weeks(*env);
    Week* week = weeks.weeks().at(weeks.weeks().size() / 2);
    WeekDetailModel detail(*env, *week);
    state.counters["rows"] = weeks.list()->rowCount();
    for (auto _ : state) {
        detail.setIntention(detail.intention() + u'.');
        QCoreApplication::processEvents(); // the context announces; both rebuild
    }
}

// The trail's figures, which live with the context, are counted afresh as
// on the app's first showing.
void forgetFigures(AppEnvironment& env, benchmark::State& state) {
    state.PauseTiming();
    delete env.context().findChild<FocusFigures*>();
    state.ResumeTiming();
}

// The Overview's first showing: every figure from all records.
void overviewBuild(benchmark::State& state) {
    AppEnvironment* env = environment(state);
    if (!env)
        return;
    for (auto _ : state) {
        forgetFigures(*env, state);
        OverviewModel overview(*env);
        overview.setShown(true);
        benchmark::DoNotOptimize(overview.goalRows()->rowCount());
    }
}

// A task ticked off while the Overview is shown: one full recompute.
void overviewAfterOneChange(benchmark::State& state) {
    AppEnvironment* env = environment(state);
    if (!env)
        return;
    OverviewModel overview(*env);
    overview.setShown(true);
    DayTask* task = env->context().fetch<DayTask>().front();
    state.counters["goalRows"] = overview.goalRows()->rowCount();
    for (auto _ : state) {
        task->setOnlyCompleteFlag(!task->isComplete());
        QCoreApplication::processEvents(); // the context announces
        QCoreApplication::processEvents(); // the Overview recomputes
    }
}

// The same change with the Overview hidden behind another section: it only
// notes that its figures are stale.
void overviewChangeWhileHidden(benchmark::State& state) {
    AppEnvironment* env = environment(state);
    if (!env)
        return;
    OverviewModel overview(*env);
    overview.setShown(true);
    overview.setShown(false);
    DayTask* task = env->context().fetch<DayTask>().front();
    for (auto _ : state) {
        task->setOnlyCompleteFlag(!task->isComplete());
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
}

// The tray summary on the synthetic store (a million trail entries over 96
// years, a focus streak back to the first day): its first opening (every
// entry counted once), a later opening when nothing changed, after a session
// was logged while it was closed, on a new day (the streak walked again), and
// ticking the one thing off while it is open. Budget: an opening well under
// one 100 ms frame, the first within the Overview's 150 ms. The clock is
// pinned to the store's middle Thursday at noon (a flagged task, blocks, a
// streak of about 17 500 days), so these run last.
AppEnvironment* trayEnvironment(benchmark::State& state) {
    AppEnvironment* env = environment(state);
    if (!env)
        return nullptr;
    Fixture* f = fixture.get();
    f->now = bench::syntheticMiddleDay() + 12 * 3600;
    f->context->setClock([f] { return f->now; });
    return env;
}

void firstOpening(benchmark::State& state) {
    AppEnvironment* env = trayEnvironment(state);
    if (!env)
        return;
    for (auto _ : state) {
        forgetFigures(*env, state);
        TraySummaryModel tray(*env);
        tray.setShown(true);
        benchmark::DoNotOptimize(tray.streak());
    }
}

void reopening(benchmark::State& state) {
    AppEnvironment* env = trayEnvironment(state);
    if (!env)
        return;
    TraySummaryModel tray(*env);
    tray.setShown(true);
    tray.setShown(false);
    state.counters["streak"] = double(tray.streak());
    for (auto _ : state) {
        tray.setShown(true);
        tray.setShown(false);
    }
}

// A session logged on a day that already had focus, the summary closed.
void reopeningAfterALoggedSession(benchmark::State& state) {
    AppEnvironment* env = trayEnvironment(state);
    if (!env)
        return;
    TraySummaryModel tray(*env);
    tray.setShown(true);
    tray.setShown(false);
    Goal* goal = env->context().fetch<Goal>().front();
    for (auto _ : state) {
        env->context().create<TrailEntry>(env->now(), 25, goal);
        QCoreApplication::processEvents(); // the context announces
        tray.setShown(true);
        tray.setShown(false);
    }
}

// Each opening on the next day: the streak is walked again.
void reopeningOnANewDay(benchmark::State& state) {
    AppEnvironment* env = trayEnvironment(state);
    if (!env)
        return;
    TraySummaryModel tray(*env);
    tray.setShown(true);
    tray.setShown(false);
    for (auto _ : state) {
        fixture->now += 86400;
        tray.setShown(true);
        tray.setShown(false);
    }
    state.counters["streak"] = double(tray.streak());
}

void toggleWhileShown(benchmark::State& state) {
    AppEnvironment* env = trayEnvironment(state);
    if (!env)
        return;
    TraySummaryModel tray(*env);
    tray.setShown(true);
    if (!tray.oneThingTask()) {
        state.SkipWithError("no one thing on the middle day");
        return;
    }
    for (auto _ : state) {
        tray.toggleOneThing();
        QCoreApplication::processEvents(); // the context announces; the summary follows
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    QCoreApplication app(argc, argv);
    auto data = bench::ensureSyntheticStore();
    if (!data.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(data.error().message));
        return 1;
    }
    benchmark::RegisterBenchmark("Today/build", todayBuild)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("Today/rebuildAfterOneChange", todayAfterOneChange)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
    benchmark::RegisterBenchmark("Goals/build", goalsBuild)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("Goals/rebuildAfterTyping", goalsAfterTyping)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
    benchmark::RegisterBenchmark("Weeks/build", weeksBuild)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("Weeks/typingIntention", weeksTypingIntention)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
    benchmark::RegisterBenchmark("Overview/build", overviewBuild)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("Overview/recomputeAfterOneChange", overviewAfterOneChange)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(10);
    benchmark::RegisterBenchmark("Overview/changeWhileHidden", overviewChangeWhileHidden)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
    benchmark::RegisterBenchmark("Tray/firstOpening", firstOpening)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("Tray/reopening", reopening)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(50);
    benchmark::RegisterBenchmark("Tray/reopeningAfterALoggedSession", reopeningAfterALoggedSession)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(50);
    benchmark::RegisterBenchmark("Tray/reopeningOnANewDay", reopeningOnANewDay)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(10);
    benchmark::RegisterBenchmark("Tray/toggleWhileShown", toggleWhileShown)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
    benchmark::RunSpecifiedBenchmarks();
    fixture.reset();
    benchmark::Shutdown();
    return 0;
}
