// Widget benchmarks, offscreen: opening a goal whose trail holds 10 000
// entries over four years. Budget: the goal's detail opens (built, laid out
// and painted once) in under 100 ms.
#include "SilentCenter.h"

#include "Models/Goal.h"
#include "Models/TrailEntry.h"
#include "Services/AppEnvironment.h"
#include "Services/NotificationService.h"
#include "Services/Preferences.h"
#include "Store/ModelContext.h"
#include "Views/Goals/GoalDetailView.h"
#include "Views/Goals/GoalTrailModel.h"
#include "Views/Goals/GoalTrailSection.h"
#include "Views/Shared/DailyBarChart.h"

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
    benchmark::RunSpecifiedBenchmarks();
    fixture.reset();
    benchmark::Shutdown();
    return 0;
}
