// The tray summary on the synthetic store (a million trail entries over 96
// years, a focus streak back to the first day): what its first opening costs
// (every entry counted once), what each later opening costs when nothing
// changed, after a session was logged while it was closed, on a new day (the
// streak walked again), and what ticking the one thing off costs while it is
// open. Budget: an opening well under one 100 ms frame, the first one within
// the Overview's 150 ms.
#include "SilentCenter.h"
#include "SyntheticStore.h"

#include "Models/DayTask.h"
#include "Models/Goal.h"
#include "Services/AppEnvironment.h"
#include "Services/NotificationService.h"
#include "Services/Preferences.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "Views/Tray/TraySummaryModel.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

using namespace orvana;

namespace {

struct Fixture {
    std::unique_ptr<ModelContext> context;
    QTemporaryDir dir;
    std::unique_ptr<Preferences> preferences;
    bench::SilentCenter center;
    std::unique_ptr<NotificationService> notifications;
    std::unique_ptr<AppEnvironment> env;
    Timestamp now = 0;
};

std::unique_ptr<Fixture> fixture;

// The store's middle Thursday at noon: a flagged task, blocks, and a streak
// of about 17 500 days.
AppEnvironment* environment(benchmark::State& state) {
    if (!fixture) {
        auto opened = openModelContext(bench::syntheticStorePath());
        if (!opened.ok()) {
            state.SkipWithError(qPrintable(opened.error().message));
            return nullptr;
        }
        fixture = std::make_unique<Fixture>();
        fixture->context = std::move(opened.value());
        fixture->now = bench::syntheticMiddleDay() + 12 * 3600;
        Fixture* f = fixture.get();
        fixture->context->setClock([f] { return f->now; });
        fixture->preferences =
            std::make_unique<Preferences>(fixture->dir.filePath(QStringLiteral("p.json")));
        const Calendar calendar = bench::syntheticCalendar();
        fixture->notifications = std::make_unique<NotificationService>(
            fixture->center, fixture->context->clockFunction(), calendar);
        fixture->env = std::make_unique<AppEnvironment>(AppEnvironment::Services{
            *fixture->context, *fixture->preferences, *fixture->notifications, calendar,
            AppPaths::under(fixture->dir.path())});
    }
    fixture->now = bench::syntheticMiddleDay() + 12 * 3600;
    return fixture->env.get();
}

void firstOpening(benchmark::State& state) {
    AppEnvironment* env = environment(state);
    if (!env)
        return;
    for (auto _ : state) {
        TraySummaryModel tray(*env);
        tray.setShown(true);
        benchmark::DoNotOptimize(tray.streak());
    }
}

void reopening(benchmark::State& state) {
    AppEnvironment* env = environment(state);
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
    AppEnvironment* env = environment(state);
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
    AppEnvironment* env = environment(state);
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
    AppEnvironment* env = environment(state);
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
