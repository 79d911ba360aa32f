// Widget benchmarks, offscreen: opening a goal whose trail holds 10 000
// entries over four years. Budget: the goal's detail opens (built, laid out
// and painted once) in under 100 ms. And the Overview on the synthetic store
// (run orvana_screen_bench first to generate it): it opens in 150 ms, and a
// change while it is on screen (a task ticked off, a session logged) is
// caught up and painted within a frame, 16 ms.
#include "SilentCenter.h"
#include "SyntheticStore.h"

#include "Models/DayTask.h"
#include "Models/Goal.h"
#include "Models/TrailEntry.h"
#include "Models/Week.h"
#include "Services/AppEnvironment.h"
#include "Services/NotificationService.h"
#include "Services/Preferences.h"
#include "Store/FocusFigures.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "Views/Goals/GoalDetailView.h"
#include "Views/Goals/GoalTrailModel.h"
#include "Views/Goals/GoalTrailSection.h"
#include "Views/Overview/OverviewModel.h"
#include "Views/Overview/OverviewView.h"
#include "Views/Shared/DailyBarChart.h"
#include "Views/Weeks/WeeklyRitualModel.h"
#include "Views/Weeks/WeeklyRitualView.h"

#include <QApplication>
#include <QImage>
#include <QLayout>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace orvana;

namespace {

using bench::SilentCenter;

constexpr int trailEntries = 10'000;

// One goal with 10 000 trail entries on random days of four years (about
// 1 400 days with focus), in an in-memory store on Berlin's calendar.
struct Fixture {
    Fixture() {
        Timestamp now = at(2026, 3, 2, 10);
        context.setClock([now] { return now; });
        goal = context.create<Goal>(QStringLiteral("Write every day"));
        goal->setColorTag(QStringLiteral("green"));
        QRandomGenerator random(2026);
        const Timestamp start = at(2022, 3, 1, 7);
        for (int i = 0; i < trailEntries; ++i) {
            const Timestamp date =
                start + random.bounded(4 * 365) * 86400.0 + random.bounded(14 * 3600);
            context.create<TrailEntry>(date, qint64(5 + random.bounded(50)), goal, date);
        }
        QCoreApplication::processEvents();
    }

    Timestamp at(int year, int month, int day, int hour) const {
        return *calendar.date({year, month, day, hour, 0, 0});
    }

    QTemporaryDir dir;
    ModelContext context;
    Calendar calendar{QTimeZone("Europe/Berlin"), 2};
    Preferences preferences{dir.filePath(QStringLiteral("preferences.json"))};
    SilentCenter center;
    NotificationService notifications{center, context.clockFunction(), calendar};
    AppEnvironment env{
        {context, preferences, notifications, calendar, AppPaths::under(dir.path())}};
    Goal* goal = nullptr;
};

std::unique_ptr<Fixture> fixture;

Fixture& data() {
    if (!fixture)
        fixture = std::make_unique<Fixture>();
    return *fixture;
}

// Builds, lays out at a detail page's size and paints once, as a first show does.
void openAndPaint(QWidget& widget, int width) {
    widget.ensurePolished();
    if (widget.layout())
        widget.layout()->activate();
    widget.resize(width, std::max(widget.sizeHint().height(), 200));
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    widget.render(&image);
    benchmark::DoNotOptimize(image.bits());
}

void trailModel(benchmark::State& state) {
    Fixture& f = data();
    for (auto _ : state) {
        GoalTrailModel model(f.env, *f.goal);
        benchmark::DoNotOptimize(model.dailyTotals().size());
    }
    state.counters["days"] = double(GoalTrailModel(f.env, *f.goal).dailyTotals().size());
}

void trailSection(benchmark::State& state) {
    Fixture& f = data();
    for (auto _ : state) {
        GoalTrailSection section(f.env, *f.goal);
        openAndPaint(section, int(state.range(0)));
    }
}

// Painting alone, as on a resize or an expose.
void chartRepaint(benchmark::State& state) {
    Fixture& f = data();
    GoalTrailSection section(f.env, *f.goal);
    openAndPaint(section, int(state.range(0)));
    DailyBarChart* chart = section.chart();
    QImage image(chart->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        chart->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
    state.counters["bars"] = double(chart->bars().size());
}

void goalDetail(benchmark::State& state) {
    Fixture& f = data();
    for (auto _ : state) {
        GoalDetailView detail(f.env, *f.goal);
        openAndPaint(detail, 720);
    }
}

// The synthetic store, read only, where orvana_screen_bench caches it.
struct SyntheticFixture {
    std::unique_ptr<ModelContext> context;
    QTemporaryDir dir;
    std::unique_ptr<Preferences> preferences;
    SilentCenter center;
    std::unique_ptr<NotificationService> notifications;
    std::unique_ptr<AppEnvironment> env;
};

std::unique_ptr<SyntheticFixture> synthetic;

AppEnvironment* syntheticEnvironment(benchmark::State& state) {
    if (synthetic)
        return synthetic->env.get();
    auto made = bench::ensureSyntheticStore();
    if (!made.ok()) {
        state.SkipWithError(qPrintable(made.error().message));
        return nullptr;
    }
    auto opened = openModelContextForReading(bench::syntheticStorePath());
    if (!opened.ok()) {
        state.SkipWithError(qPrintable(opened.error().message));
        return nullptr;
    }
    synthetic = std::make_unique<SyntheticFixture>();
    synthetic->context = std::move(opened.value());
    synthetic->preferences =
        std::make_unique<Preferences>(synthetic->dir.filePath(QStringLiteral("p.json")));
    const Calendar calendar = bench::syntheticCalendar();
    synthetic->notifications = std::make_unique<NotificationService>(
        synthetic->center, synthetic->context->clockFunction(), calendar);
    synthetic->env = std::make_unique<AppEnvironment>(AppEnvironment::Services{
        *synthetic->context, *synthetic->preferences, *synthetic->notifications, calendar,
        AppPaths::under(synthetic->dir.path())});
    return synthetic->env.get();
}

// Built, shown (which computes every figure) and painted once.
void overviewOpen(benchmark::State& state) {
    AppEnvironment* env = syntheticEnvironment(state);
    if (!env)
        return;
    for (auto _ : state) {
        // The trail's figures live with the context: counted afresh, as on
        // the app's first showing.
        state.PauseTiming();
        delete env->context().findChild<FocusFigures*>();
        state.ResumeTiming();
        OverviewView view(*env);
        view.resize(900, 800);
        view.show();
        QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
        view.render(&image);
        benchmark::DoNotOptimize(image.bits());
        state.counters["goalRows"] = view.model()->goalRows()->rowCount();
    }
}

// A task ticked off elsewhere while the Overview is on screen: the recompute
// and the new figures painted.
void overviewChangeWhileShown(benchmark::State& state) {
    AppEnvironment* env = syntheticEnvironment(state);
    if (!env)
        return;
    OverviewView view(*env);
    view.resize(900, 800);
    view.show();
    DayTask* task = env->context().fetch<DayTask>().front();
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        task->setOnlyCompleteFlag(!task->isComplete());
        QCoreApplication::processEvents(); // the context announces
        QCoreApplication::processEvents(); // the Overview recomputes
        view.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}

// A session logged elsewhere while the Overview is on screen: one trail
// entry more among the million, the figures brought up to date and painted.
void overviewTrailEntryWhileShown(benchmark::State& state) {
    AppEnvironment* env = syntheticEnvironment(state);
    if (!env)
        return;
    OverviewView view(*env);
    view.resize(900, 800);
    view.show();
    ModelContext& context = env->context();
    Goal* goal = context.fetch<Goal>().front();
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        const Timestamp now = context.now();
        context.create<TrailEntry>(now, qint64(25), goal, now);
        QCoreApplication::processEvents(); // the context announces
        QCoreApplication::processEvents(); // the Overview catches up
        view.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}

// The weekly ritual over the synthetic store's ~800 active goals: made,
// shown and stepped on to the plan page, which is laid out and painted.
void ritualOpen(benchmark::State& state) {
    AppEnvironment* env = syntheticEnvironment(state);
    if (!env)
        return;
    Week* week = Week::forDate(env->now(), env->context(), env->calendar(), true);
    for (auto _ : state) {
        WeeklyRitualView ritual(*env, *week);
        ritual.show();
        ritual.model()->next();
        while (ritual.model()->step() != RitualStep::planItems)
            ritual.model()->next();
        QCoreApplication::processEvents();
        QImage image(ritual.size(), QImage::Format_ARGB32_Premultiplied);
        static_cast<QWidget&>(ritual).render(&image); // the view keeps its own render()
        benchmark::DoNotOptimize(image.bits());
    }
}

// A keystroke in a goal's field on the plan page, and in the intention, each
// through to the repaint.
void ritualTyping(benchmark::State& state, bool intention) {
    AppEnvironment* env = syntheticEnvironment(state);
    if (!env)
        return;
    Week* week = Week::forDate(env->now(), env->context(), env->calendar(), true);
    WeeklyRitualView ritual(*env, *week);
    ritual.show();
    while (ritual.model()->step() != (intention ? RitualStep::intention : RitualStep::planItems))
        ritual.model()->next();
    QCoreApplication::processEvents();
    Goal* goal = ritual.model()->activeGoals().front();
    QImage image(ritual.size(), QImage::Format_ARGB32_Premultiplied);
    int n = 0;
    for (auto _ : state) {
        const QString text = QStringLiteral("Draft %1").arg(++n);
        if (intention)
            ritual.model()->setIntention(text);
        else
            ritual.model()->setNewItemTitle(*goal, text);
        QCoreApplication::processEvents(); // the context announces
        QCoreApplication::processEvents();
        static_cast<QWidget&>(ritual).render(&image); // the view keeps its own render()
        benchmark::DoNotOptimize(image.bits());
    }
    ritual.model()->setIntention(QString());
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::RegisterBenchmark("GoalTrail/model", trailModel)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("GoalTrail/openSection", trailSection)
        ->Unit(benchmark::kMillisecond)
        ->Arg(640)
        ->Arg(2400);
    benchmark::RegisterBenchmark("GoalTrail/repaintChart", chartRepaint)
        ->Unit(benchmark::kMillisecond)
        ->Arg(640)
        ->Arg(2400);
    benchmark::RegisterBenchmark("GoalDetail/open", goalDetail)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Ritual/open", ritualOpen)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Ritual/typingInAGoalsField", ritualTyping, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Ritual/typingTheIntention", ritualTyping, true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Overview/open", overviewOpen)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("Overview/changeWhileShown", overviewChangeWhileShown)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(10);
    benchmark::RegisterBenchmark("Overview/trailEntryWhileShown", overviewTrailEntryWhileShown)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(10);
    benchmark::RunSpecifiedBenchmarks();
    synthetic.reset();
    fixture.reset();
    benchmark::Shutdown();
    return 0;
}
