// Store benchmarks on the synthetic store (see SyntheticStore.h). Budgets on
// one core: open <= 1.5 s, save after one edit <= 5 ms, each fetch <= 2 ms.
#include "SyntheticStore.h"

#include "Models/OverviewStats.h"
#include "Services/BackupService.h"
#include "Services/DataExportService.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <string>

using namespace orvana;

namespace {

QString storePath;

// One loaded context shared by the fetch benchmarks, which Google Benchmark
// calls several times while it settles on an iteration count; opening the
// store for each call would dominate the run. It holds the store's lock, so
// the open benchmark drops it first.
std::unique_ptr<ModelContext> shared;

ModelContext* sharedContext(benchmark::State& state) {
    if (!shared) {
        auto opened = openModelContext(storePath);
        if (!opened.ok()) {
            state.SkipWithError(qPrintable(opened.error().message));
            return nullptr;
        }
        shared = std::move(opened.value());
    }
    return shared.get();
}

void countRecords(benchmark::State& state, const ModelContext& ctx) {
    state.counters["records"] = static_cast<double>(
        ctx.count<Goal>() + ctx.count<Week>() + ctx.count<WeekItem>() + ctx.count<DayTask>() +
        ctx.count<FocusSession>() + ctx.count<FocusBlockTemplate>() + ctx.count<TrailEntry>());
}

// The day's bounds are computed once, as a view showing that day would. The
// day is taken from the number of weeks loaded, so a scaled-down store given
// through ORVANA_BENCH_DATA works as well.
DateInterval middleDay(const ModelContext& ctx) {
    bench::SyntheticStoreSize size;
    size.weeks = ctx.count<Week>();
    const Calendar calendar = bench::syntheticCalendar();
    const Timestamp day = bench::syntheticMiddleDay(size);
    return {calendar.startOfDay(day), *calendar.startOfDayAfter(day, 1)};
}

// Screens ask for a day's tasks through the date index, as below. The index
// is built by the first such fetch after opening; that one-off cost is
// reported by the open benchmark and kept out of the fetch loops.
double warmDayIndex(ModelContext& ctx, const DateInterval& day) {
    QElapsedTimer timer;
    timer.start();
    (void)ctx.fetch(FetchDescriptor<DayTask>().onDates(day.start, day.end));
    return double(timer.nsecsElapsed()) / 1e6;
}

// Open + load of every record. Tearing the context down is not part of the
// figure (it is reported as close_ms) but has to happen inside the loop: the
// store allows one open context at a time.
void openStore(benchmark::State& state) {
    shared.reset();
    double closeSeconds = 0;
    double indexSeconds = 0;
    for (auto _ : state) {
        auto opened = openModelContext(storePath);
        if (!opened.ok()) {
            state.SkipWithError(qPrintable(opened.error().message));
            break;
        }
        benchmark::DoNotOptimize(opened.value().get());
        state.PauseTiming();
        countRecords(state, *opened.value());
        indexSeconds += warmDayIndex(*opened.value(), middleDay(*opened.value())) / 1e3;
        QElapsedTimer close;
        close.start();
        opened.value().reset();
        closeSeconds += static_cast<double>(close.nsecsElapsed()) / 1e9;
        state.ResumeTiming();
    }
    state.counters["close_ms"] =
        benchmark::Counter(closeSeconds * 1e3, benchmark::Counter::kAvgIterations);
    // The first date-range fetch after opening builds the day index.
    state.counters["day_index_ms"] =
        benchmark::Counter(indexSeconds * 1e3, benchmark::Counter::kAvgIterations);
}

// One changed DayTask title, then save(). Runs on a copy so the cached store
// stays as generated.
void saveAfterOneEdit(benchmark::State& state) {
    const QString copy = storePath + QStringLiteral(".save-copy");
    if (auto copied = bench::copyStore(storePath, copy); !copied.ok()) {
        state.SkipWithError(qPrintable(copied.error().message));
        return;
    }
    {
        auto opened = openModelContext(copy);
        if (!opened.ok()) {
            state.SkipWithError(qPrintable(opened.error().message));
            return;
        }
        ModelContext& ctx = *opened.value();
        const auto tasks = ctx.fetch<DayTask>();
        std::size_t edit = 0;
        for (auto _ : state) {
            // A different task and a new title each time, so every save writes.
            DayTask* task = tasks[(tasks.size() / 2 + edit * 7919) % tasks.size()];
            task->setTitle(QStringLiteral("Edited %1").arg(++edit));
            if (auto saved = ctx.save(); !saved.ok()) {
                state.SkipWithError(qPrintable(saved.error().message));
                break;
            }
        }
    }
    bench::removeStore(copy);
}

void fetchTodaysTasks(benchmark::State& state) {
    ModelContext* ctx = sharedContext(state);
    if (!ctx)
        return;
    const DateInterval today = middleDay(*ctx);
    warmDayIndex(*ctx, today);
    std::size_t found = 0;
    for (auto _ : state) {
        const auto tasks =
            ctx->fetch(FetchDescriptor<DayTask>()
                           .onDates(today.start, today.end)
                           .sortedBy(SortDescriptor<DayTask>::by(&DayTask::sortOrder)));
        found = tasks.size();
        benchmark::DoNotOptimize(tasks.data());
    }
    state.counters["tasks"] = static_cast<double>(found);
    if (found == 0)
        state.SkipWithError("the day has no tasks; the store is not the expected one");
}

void fetchFlaggedTask(benchmark::State& state) {
    ModelContext* ctx = sharedContext(state);
    if (!ctx)
        return;
    const DateInterval today = middleDay(*ctx);
    warmDayIndex(*ctx, today);
    std::size_t found = 0;
    for (auto _ : state) {
        const auto tasks = ctx->fetch(
            FetchDescriptor<DayTask>::where([](const DayTask& t) { return t.isTodaysOneThing(); })
                .onDates(today.start, today.end)
                .limitedTo(1));
        found = tasks.size();
        benchmark::DoNotOptimize(tasks.data());
    }
    state.counters["tasks"] = static_cast<double>(found);
    if (found != 1)
        state.SkipWithError("the day has no flagged task; the store is not the expected one");
}

// The same day's tasks by a plain scan of all tasks, for comparison: what a
// fetch without the date index costs.
void fetchTodaysTasksByScan(benchmark::State& state) {
    ModelContext* ctx = sharedContext(state);
    if (!ctx)
        return;
    const DateInterval today = middleDay(*ctx);
    for (auto _ : state) {
        const auto tasks = ctx->fetch(FetchDescriptor<DayTask>::where(
            [start = today.start, end = today.end](const DayTask& t) {
                return start <= t.date() && t.date() < end;
            }));
        benchmark::DoNotOptimize(tasks.data());
    }
}

// The snapshot in one go, as the command line's backup takes it (and the
// background backup after repeated restarts).
void exportSnapshot(benchmark::State& state) {
    ModelContext* ctx = sharedContext(state);
    if (!ctx)
        return;
    for (auto _ : state) {
        OrvanaExport document = DataExportService::exportDocument(*ctx, 1'800'000'000);
        benchmark::DoNotOptimize(document.trailEntries.data());
        state.PauseTiming(); // freeing it is not part of it
        document = {};
        state.ResumeTiming();
    }
}

// The same copy as the background backup takes it, in slices of its
// budget, each timed on its own. The figure is the sum of the slices;
// longest_slice_ms is the longest time the interface is held.
void slicedSnapshot(benchmark::State& state) {
    ModelContext* ctx = sharedContext(state);
    if (!ctx)
        return;
    const BackupSlicing slicing;
    double longest = 0;
    double slices = 0;
    for (auto _ : state) {
        ExportSnapshot snapshot(*ctx, 1'800'000'000);
        QElapsedTimer slice;
        for (bool complete = false; !complete; ++slices) {
            slice.start();
            complete = snapshot.copySlice(QDeadlineTimer(slicing.budget, Qt::PreciseTimer));
            longest = std::max(longest, double(slice.nsecsElapsed()) / 1e6);
        }
        state.PauseTiming();
        OrvanaExport document = snapshot.takeDocument();
        benchmark::DoNotOptimize(document.trailEntries.data());
        document = {}; // freeing it is not part of it (the worker does it)
        state.ResumeTiming();
    }
    state.counters["longest_slice_ms"] = longest;
    state.counters["slices"] = benchmark::Counter(slices, benchmark::Counter::kAvgIterations);
}

// The snapshot's bytes handed on in pieces, as the backup's worker writes
// them, to /dev/null so the disk stays out of the figure; reports MB/s.
void encodeSnapshot(benchmark::State& state) {
    ModelContext* ctx = sharedContext(state);
    if (!ctx)
        return;
    const OrvanaExport document = DataExportService::exportDocument(*ctx, 1'800'000'000);
    const qsizetype size = DataExportService::encode(document).value().size();
    QFile sink(QStringLiteral("/dev/null"));
    if (!sink.open(QIODevice::WriteOnly)) {
        state.SkipWithError("/dev/null cannot be opened");
        return;
    }
    std::int64_t bytes = 0;
    for (auto _ : state) {
        if (auto written = DataExportService::encode(document, sink); !written.ok()) {
            state.SkipWithError(qPrintable(written.error().message));
            return;
        }
        bytes += size;
    }
    state.SetBytesProcessed(bytes);
}

// The whole synthetic store as the export document, snapshot and encoding;
// reports MB/s.
void exportStore(benchmark::State& state) {
    ModelContext* ctx = sharedContext(state);
    if (!ctx)
        return;
    std::int64_t bytes = 0;
    for (auto _ : state) {
        auto json = DataExportService::exportJSON(*ctx, 1'800'000'000);
        if (!json.ok()) {
            state.SkipWithError(qPrintable(json.error().message));
            return;
        }
        bytes += json.value().size();
        state.counters["document_mb"] = double(json.value().size()) / 1e6;
    }
    state.SetBytesProcessed(bytes);
}

// The synthetic store's document merged into an empty in-memory store.
void importStore(benchmark::State& state) {
    ModelContext* ctx = sharedContext(state);
    if (!ctx)
        return;
    const QByteArray document = DataExportService::exportJSON(*ctx, 1'800'000'000).value();
    for (auto _ : state) {
        auto target = std::make_unique<ModelContext>();
        if (auto imported = DataExportService::importJSON(document, *target); !imported.ok()) {
            state.SkipWithError(qPrintable(imported.error().message));
            return;
        }
        benchmark::DoNotOptimize(target->count<TrailEntry>());
        state.PauseTiming(); // tearing the store down is not part of it
        target.reset();
        state.ResumeTiming();
    }
}

// The Overview's figures over the whole synthetic store, fetches included.
void overviewCompute(benchmark::State& state) {
    ModelContext* ctx = sharedContext(state);
    if (!ctx)
        return;
    const Calendar calendar = bench::syntheticCalendar();
    for (auto _ : state) {
        const auto goals = ctx->fetch(
            FetchDescriptor<Goal>().sortedBy(SortDescriptor<Goal>::by(&Goal::sortOrder)));
        const OverviewStats stats = OverviewStats::compute(
            goals, ctx->fetch<TrailEntry>(), ctx->fetch<DayTask>(), calendar, 1'800'000'000);
        benchmark::DoNotOptimize(stats.totalFocusMinutes);
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
    const bench::SyntheticStoreInfo& info = data.value();
    storePath = info.path;
    char size[64];
    std::snprintf(size, sizeof size, "%.1f MB", static_cast<double>(info.fileBytes) / 1e6);
    benchmark::AddCustomContext("synthetic_store", info.path.toStdString());
    benchmark::AddCustomContext("synthetic_store_size", size);
    if (info.generated) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f s", info.generateSeconds);
        benchmark::AddCustomContext("synthetic_store_generated_in", seconds);
    } else {
        benchmark::AddCustomContext("synthetic_store_generated_in", "(cached)");
    }

    // Real time: opening and saving wait on the disk as well as the CPU.
    benchmark::RegisterBenchmark("Store/open", openStore)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(5);
    benchmark::RegisterBenchmark("Store/saveAfterOneEdit", saveAfterOneEdit)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(200);
    benchmark::RegisterBenchmark("Store/fetchTodaysTasks", fetchTodaysTasks)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Store/fetchFlaggedTask", fetchFlaggedTask)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Export/json", exportStore)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("Export/snapshot", exportSnapshot)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("Export/slicedSnapshot", slicedSnapshot)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("Export/encode", encodeSnapshot)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("Import/json", importStore)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("Overview/compute", overviewCompute)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("Store/fetchTodaysTasksByScan", fetchTodaysTasksByScan)
        ->Unit(benchmark::kMicrosecond);

    benchmark::RunSpecifiedBenchmarks();
    shared.reset();
    benchmark::Shutdown();
    return 0;
}
