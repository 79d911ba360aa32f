// Store benchmarks on the synthetic store (see SyntheticStore.h). Budgets on
// one core: open <= 1.5 s, save after one edit <= 5 ms, each fetch <= 2 ms.
#include "MemoryProbe.h"
#include "SilentCenter.h"
#include "SyntheticStore.h"

#include "Services/AppEnvironment.h"
#include "Services/BackupService.h"
#include "Services/DataExportService.h"
#include "Services/DataImport.h"
#include "Services/NotificationService.h"
#include "Services/Preferences.h"
#include "Store/FocusFigures.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "Views/Settings/DataTransferModel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>
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
// store allows one open context at a time. Memory: heap_mb is what the
// loaded context holds on the heap, allocations the calls to the allocator
// during the load, rss_mb the process's resident size with the store open
// and peak_rss_mb its highest during the load (the process holds little
// else at this point: this benchmark runs first).
void openStore(benchmark::State& state) {
    shared.reset();
    double closeSeconds = 0;
    double indexSeconds = 0;
    double heapBytes = 0, allocations = 0, resident = 0, peakResident = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bench::resetPeakResident();
        const std::uint64_t heapBefore = bench::heapInUse();
        const std::uint64_t allocationsBefore = bench::threadAllocations();
        state.ResumeTiming();
        auto opened = openModelContext(storePath);
        if (!opened.ok()) {
            state.SkipWithError(qPrintable(opened.error().message));
            break;
        }
        benchmark::DoNotOptimize(opened.value().get());
        state.PauseTiming();
        allocations += double(bench::threadAllocations() - allocationsBefore);
        heapBytes += double(bench::heapInUse()) - double(heapBefore);
        resident = std::max(resident, double(bench::residentBytes()));
        peakResident = std::max(peakResident, double(bench::peakResidentBytes()));
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
    state.counters["heap_mb"] =
        benchmark::Counter(heapBytes / 1048576.0, benchmark::Counter::kAvgIterations);
    state.counters["allocations"] =
        benchmark::Counter(allocations, benchmark::Counter::kAvgIterations);
    state.counters["rss_mb"] = resident / 1048576.0;
    state.counters["peak_rss_mb"] = peakResident / 1048576.0;
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
        if (auto imported = DataImport::importJSON(document, *target); !imported.ok()) {
            state.SkipWithError(qPrintable(imported.error().message));
            return;
        }
        benchmark::DoNotOptimize(target->count<TrailEntry>());
        state.PauseTiming(); // tearing the store down is not part of it
        target.reset();
        state.ResumeTiming();
    }
}

// An app environment around a context, as the settings screen has it.
struct Environment {
    explicit Environment(ModelContext& context)
        : preferences(dir.filePath(QStringLiteral("preferences.json"))),
          notifications(center, context.clockFunction(), bench::syntheticCalendar()),
          env({context, preferences, notifications, bench::syntheticCalendar(),
               AppPaths::under(dir.path())}) {}

    QTemporaryDir dir;
    Preferences preferences;
    bench::SilentCenter center;
    NotificationService notifications;
    AppEnvironment env;
};

// Runs the event loop until `model` has finished, ticking a 1 ms timer all
// along: the longest time between two ticks is the longest the interface
// would have been held. `phaseEnds` says, on each change of the model,
// whether the part of the operation being measured on its own is over; the
// longest gap and the time up to then are reported separately.
struct Stall {
    double longestMs = 0;      // over the whole operation
    double longestUntilMs = 0; // until the phase ended
    double phaseMs = 0;        // start to phase end
    double totalMs = 0;        // start to finished
};

template <class Start, class PhaseEnds>
Stall watchStall(DataTransferModel& model, Start start, PhaseEnds phaseEnds) {
    Stall stall;
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 phaseEnd = -1;
    auto tick = [&] {
        const qint64 now = clock.nsecsElapsed();
        const double gap = double(now - last) / 1e6;
        stall.longestMs = std::max(stall.longestMs, gap);
        if (phaseEnd < 0)
            stall.longestUntilMs = std::max(stall.longestUntilMs, gap);
        last = now;
    };
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, tick);
    QEventLoop loop;
    const auto changed = QObject::connect(&model, &DataTransferModel::changed, [&] {
        if (phaseEnd < 0 && phaseEnds(model)) {
            tick();
            phaseEnd = clock.nsecsElapsed();
        }
    });
    const auto finished = QObject::connect(&model, &DataTransferModel::finished, [&] {
        tick();
        loop.quit();
    });
    ticker.start();
    clock.start();
    start();
    if (model.isBusy())
        loop.exec();
    stall.totalMs = double(clock.nsecsElapsed()) / 1e6;
    stall.phaseMs = phaseEnd < 0 ? stall.totalMs : double(phaseEnd) / 1e6;
    QObject::disconnect(changed);
    QObject::disconnect(finished);
    return stall;
}

void reportStall(benchmark::State& state, const Stall& worst, const char* phase) {
    state.counters["longest_gap_ms"] = worst.longestMs;
    state.counters[std::string("longest_gap_") + phase + "_ms"] = worst.longestUntilMs;
    state.counters[std::string(phase) + "_ms"] = worst.phaseMs;
    state.counters["total_ms"] = worst.totalMs;
}

// "Export Data…" on the synthetic store, as the settings screen runs it:
// the copy on the interface's thread in slices, then encoding and writing
// on a worker, to a file in a temporary folder. The dialog is taken to
// answer at once. longest_gap_copy_ms: the longest the interface is held
// while the records are copied; longest_gap_ms: over the whole export.
void exportFromSettings(benchmark::State& state) {
    ModelContext* ctx = sharedContext(state);
    if (!ctx)
        return;
    Environment environment(*ctx);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Orvana-Export.json"));
    Stall worst;
    for (auto _ : state) {
        DataTransferModel model(environment.env);
        const Stall stall = watchStall(
            model,
            [&] {
                model.beginExport();
                model.exportTo(path);
            },
            [](const DataTransferModel& m) { return m.progress() >= 0; }); // writing began
        if (!model.message() || !model.message()->startsWith(QStringLiteral("Exported"))) {
            state.SkipWithError(qPrintable(model.message().value_or(QStringLiteral("no message"))));
            break;
        }
        worst.longestMs = std::max(worst.longestMs, stall.longestMs);
        worst.longestUntilMs = std::max(worst.longestUntilMs, stall.longestUntilMs);
        worst.phaseMs = std::max(worst.phaseMs, stall.phaseMs);
        worst.totalMs = std::max(worst.totalMs, stall.totalMs);
        state.counters["file_mb"] = double(QFile(path).size()) / 1e6;
    }
    QThreadPool::globalInstance()->waitForDone();
    reportStall(state, worst, "copy");
}

// "Import Data…" of the synthetic store's document into an empty store:
// reading and decoding on a worker, then the merge on the interface's
// thread, which holds it by design. longest_gap_decode_ms: the longest the
// interface is held until the merge starts; merge_ms: the merge itself.
void importFromSettings(benchmark::State& state) {
    ModelContext* ctx = sharedContext(state);
    if (!ctx)
        return;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Orvana-Export.json"));
    {
        QFile file(path);
        const OrvanaExport document = DataExportService::exportDocument(*ctx, 1'800'000'000);
        if (!file.open(QIODevice::WriteOnly) || !DataExportService::encode(document, file).ok()) {
            state.SkipWithError("the document cannot be written");
            return;
        }
    }
    Stall worst;
    double mergeMs = 0;
    for (auto _ : state) {
        auto target = std::make_unique<ModelContext>();
        target->ensureUndoManager();
        auto environment = std::make_unique<Environment>(*target);
        DataTransferModel model(environment->env);
        const Stall stall = watchStall(
            model, [&] { model.importFrom(path); },
            [](const DataTransferModel& m) {
                return m.activity().startsWith(QStringLiteral("Importing"));
            });
        if (model.message() != QStringLiteral("Imported from Orvana-Export.json")) {
            state.SkipWithError(qPrintable(model.message().value_or(QStringLiteral("no message"))));
            break;
        }
        worst.longestMs = std::max(worst.longestMs, stall.longestMs);
        worst.longestUntilMs = std::max(worst.longestUntilMs, stall.longestUntilMs);
        worst.phaseMs = std::max(worst.phaseMs, stall.phaseMs);
        worst.totalMs = std::max(worst.totalMs, stall.totalMs);
        mergeMs = std::max(mergeMs, stall.totalMs - stall.phaseMs);
        benchmark::DoNotOptimize(target->count<TrailEntry>());
        state.PauseTiming(); // tearing the store down is not part of it
        QThreadPool::globalInstance()->waitForDone();
        environment.reset();
        target.reset();
        state.ResumeTiming();
    }
    reportStall(state, worst, "decode");
    state.counters["merge_ms"] = mergeMs;
}

// The trail's figures over the whole synthetic store, counted afresh,
// fetch included.
void figuresCount(benchmark::State& state) {
    ModelContext* ctx = sharedContext(state);
    if (!ctx)
        return;
    const Calendar calendar = bench::syntheticCalendar();
    for (auto _ : state) {
        state.PauseTiming();
        delete ctx->findChild<FocusFigures*>();
        state.ResumeTiming();
        FocusFigures& figures = FocusFigures::of(*ctx, calendar);
        benchmark::DoNotOptimize(figures.streak(1'800'000'000));
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
    benchmark::RegisterBenchmark("Transfer/exportFromSettings", exportFromSettings)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);
    benchmark::RegisterBenchmark("Transfer/importFromSettings", importFromSettings)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1);
    benchmark::RegisterBenchmark("FocusFigures/count", figuresCount)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("Store/fetchTodaysTasksByScan", fetchTodaysTasksByScan)
        ->Unit(benchmark::kMicrosecond);

    benchmark::RunSpecifiedBenchmarks();
    shared.reset();
    benchmark::Shutdown();
    return 0;
}
