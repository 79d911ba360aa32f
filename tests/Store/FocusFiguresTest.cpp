// The focus figures' contract: the days are the calendar's in every zone,
// and the live figures, kept up to date change by change, are what the
// rules give over every record afresh, whatever happens to the trail.
#include "Store/FocusFigures.h"

#include "Core/Arithmetic.h"
#include "Models/Goal.h"
#include "Store/ModelContext.h"
#include "Store/UndoManager.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <random>

using namespace orvana;
using orvana::test::at;
using orvana::test::drainEvents;

namespace {

const QTimeZone berlin("Europe/Berlin");
constexpr qint64 most = std::numeric_limits<qint64>::max();

// Each entry's day as the calendar places it, summed in the records' order.
std::vector<DailyTrailTotal> byTheCalendar(const std::vector<TrailEntry*>& entries,
                                           const Calendar& calendar) {
    std::map<Timestamp, qint64> days;
    for (const TrailEntry* e : entries) {
        qint64& sum = days[calendar.startOfDay(e->date())];
        sum = saturatingAdd(sum, e->minutes());
    }
    std::vector<DailyTrailTotal> out;
    for (const auto& [day, minutes] : days)
        out.push_back({day, minutes});
    return out;
}

// The live figures and a fresh count of every record, side by side.
void expectAsFresh(ModelContext& ctx, const Calendar& calendar, Timestamp now) {
    drainEvents();
    FocusFigures& live = FocusFigures::of(ctx, calendar);
    const std::vector<TrailEntry*> entries = ctx.fetch<TrailEntry>();
    const auto days = FocusFigures::dailyTotals(entries, calendar);
    EXPECT_EQ(live.dailyTotals(), days);
    EXPECT_EQ(live.totalMinutes(), FocusFigures::sumMinutes(entries));
    EXPECT_EQ(live.entryCount(), qint64(entries.size()));
    EXPECT_EQ(live.streak(now), FocusFigures::streak(days, calendar, now));
    for (const Goal* goal : ctx.fetch<Goal>())
        EXPECT_EQ(live.minutesOf(*goal), FocusFigures::sumMinutes(goal->trailEntries()))
            << goal->title().toStdString();
}

// Around every kind of day edge, in zones with daylight saving, half-hour
// and quarter-hour offsets and a skipped date: the days are the calendar's,
// for the rules and the live figures alike, within the kept years or not.
TEST(FocusFigures, DaysAreTheCalendarsInEveryZone) {
    ModelContext ctx;
    auto* goal = ctx.create<Goal>(QStringLiteral("g"));
    std::mt19937_64 random(11);
    for (int i = 0; i < 3000; ++i)
        ctx.create<TrailEntry>(1.7e9 + double(random() % (3ull * 365 * 86400)),
                               qint64(random() % 90), goal);
    for (Timestamp t : {
             1711846800.0, 1710054000.0, 1712415600.0, 1712417400.0, // switches: EU, US, Lord Howe
             1711843200.0 - 0.0004, 1711843200.0 + 0.0004, // UTC midnight within a millisecond
             1325239200.0, 1325242800.0,                   // around Samoa's skipped day
             -2208988800.0, 4102444800.0 - 1,              // the kept years' first and last
         }) {
        for (double d : {-1.0, 0.0, 1.0})
            ctx.create<TrailEntry>(t + d, 7, goal);
    }
    auto expectCalendarsDays = [&] {
        for (const char* zone : {"Europe/Berlin", "America/St_Johns", "Asia/Kathmandu",
                                 "Australia/Lord_Howe", "Pacific/Apia", "UTC"}) {
            SCOPED_TRACE(zone);
            const Calendar calendar(QTimeZone(zone), 2);
            const auto want = byTheCalendar(ctx.fetch<TrailEntry>(), calendar);
            EXPECT_EQ(FocusFigures::dailyTotals(ctx.fetch<TrailEntry>(), calendar), want);
            EXPECT_EQ(FocusFigures::of(ctx, calendar).dailyTotals(), want);
        }
    };
    expectCalendarsDays();
    SCOPED_TRACE("beyond the kept years");
    ctx.create<TrailEntry>(-2208988800.0 - 86400 * 30, 9, goal);
    ctx.create<TrailEntry>(4102444800.0 + 86400 * 400, 9, goal);
    expectCalendarsDays();

    // Nonsense imported dates group somewhere, without undefined behaviour.
    const Calendar calendar = test::berlinMondayFirst();
    const std::size_t days = FocusFigures::dailyTotals(ctx.fetch<TrailEntry>(), calendar).size();
    for (double absurd : {1e300, -1e300, std::numeric_limits<double>::quiet_NaN()})
        ctx.create<TrailEntry>(absurd, 1, goal);
    EXPECT_EQ(FocusFigures::dailyTotals(ctx.fetch<TrailEntry>(), calendar).size(), days + 3);
    EXPECT_EQ(FocusFigures::of(ctx, calendar).dailyTotals().size(), days + 3);
}

TEST(FocusFigures, StreakAndSeries) {
    const Calendar cal = test::berlinMondayFirst();
    const Timestamp now = at(berlin, 2026, 6, 10, 20);
    auto day = [&](int d, qint64 minutes) {
        return DailyTrailTotal{at(berlin, 2026, 6, d), minutes};
    };
    EXPECT_EQ(FocusFigures::streak({day(7, 5), day(8, 5), day(9, 5)}, cal, now), 3)
        << "today still open";
    EXPECT_EQ(FocusFigures::streak({day(7, 5), day(8, 5), day(9, 5), day(10, 25)}, cal, now), 4);
    EXPECT_EQ(FocusFigures::streak({day(8, 5)}, cal, now), 0);
    EXPECT_EQ(FocusFigures::streak({day(8, 5), day(9, 0)}, cal, now), 0)
        << "a 0-minute day is not active";
    EXPECT_EQ(FocusFigures::streak({}, cal, now), 0);
    // Across the autumn switch (a 25-hour day) the days still join up.
    EXPECT_EQ(FocusFigures::streak({{at(berlin, 2026, 10, 24), 1}, {at(berlin, 2026, 10, 25), 1}},
                                   cal, at(berlin, 2026, 10, 26, 9)),
              2);

    const auto start = FocusFigures::seriesStart(cal, now);
    ASSERT_TRUE(start);
    EXPECT_EQ(*start, at(berlin, 2026, 5, 12));
    const std::vector<DailyTrailTotal> days = {{at(berlin, 2026, 5, 11), 1}, day(8, 2)};
    EXPECT_EQ(FocusFigures::series(days, start), std::vector<DailyTrailTotal>{day(8, 2)});
    EXPECT_EQ(FocusFigures::series(days, std::nullopt), days);
}

// Whatever happens to the trail (sessions logged, edits, goals deleted with
// their trail, undo and redo, imports too big to go one by one, absurd
// minutes and dates, new days, another zone), every live figure is what a
// fresh count gives.
TEST(FocusFigures, LiveFiguresFollowEveryChangeAsAFreshCountWould) {
    ModelContext ctx;
    UndoManager* undo = ctx.ensureUndoManager();
    Calendar calendar = test::berlinMondayFirst();
    Timestamp now = at(berlin, 2026, 3, 2, 10);
    std::vector<Goal*> goals;
    for (int i = 0; i < 4; ++i)
        goals.push_back(ctx.create<Goal>(QString::number(i)));
    std::mt19937 random(11);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    auto someDay = [&] {
        return calendar.startOfDayAfter(now, -pick(0, 6)).value() + pick(0, 86399);
    };
    auto someGoal = [&]() -> Goal* {
        Goal* g = goals[std::size_t(pick(0, 3))];
        return g->isDeleted() ? nullptr : g;
    };
    for (int i = 0; i < 20; ++i)
        ctx.create<TrailEntry>(someDay(), pick(1, 30), someGoal());
    expectAsFresh(ctx, calendar, now);
    for (int step = 0; step < 500; ++step) {
        SCOPED_TRACE(step);
        const std::vector<TrailEntry*> entries = ctx.fetch<TrailEntry>();
        TrailEntry* some =
            entries.empty() ? nullptr : entries[std::size_t(pick(0, int(entries.size()) - 1))];
        if (step == 250) { // an import, too big to go one by one
            for (int i = 0; i < 10'050; ++i)
                ctx.create<TrailEntry>(someDay(), 1 + i % 7, someGoal());
        }
        switch (pick(0, 11)) {
        case 0:
        case 1:
        case 2:
            ctx.create<TrailEntry>(someDay(), pick(0, 40), someGoal());
            break;
        case 3: // imported nonsense, which goes again soon
            if (pick(0, 1))
                ctx.create<TrailEntry>(someDay(), pick(0, 1) ? most - 5 : -20, someGoal());
            else
                ctx.create<TrailEntry>(at(berlin, 1850, 1, 1, 23, 30), 5, someGoal());
            break;
        case 4:
            if (some && pick(0, 1))
                ctx.remove(some);
            else if (Goal* g = someGoal())
                ctx.remove(g); // with its trail
            break;
        case 5:
            undo->undo();
            break;
        case 6:
            undo->redo();
            break;
        case 7: // not done by the app, but an entry's fields can change
            if (some) {
                if (const int field = pick(0, 2); field == 0)
                    some->setMinutes(pick(0, 5));
                else if (field == 1)
                    some->setDate(someDay());
                else
                    some->setGoal(someGoal());
            }
            break;
        case 8:
            now += pick(1, 20) * 3600;
            break;
        case 9: // another zone: other days
            calendar =
                Calendar(QTimeZone(pick(0, 1) ? "Asia/Kathmandu" : "Australia/Lord_Howe"), 2);
            break;
        default:
            for (TrailEntry* e : entries) { // the nonsense goes
                if (!FocusFigures::keepable(e->date(), e->minutes()))
                    ctx.remove(e);
            }
        }
        expectAsFresh(ctx, calendar, now);
        if (HasFailure())
            return;
    }
}

// A million entries: counted once, then a logged session and its undo are
// counted in and out, and each figure is still what a fresh count gives.
TEST(FocusFigures, AMillionEntries) {
    ModelContext ctx;
    UndoManager* undo = ctx.ensureUndoManager();
    const Calendar calendar = test::berlinMondayFirst();
    const Timestamp now = at(berlin, 2026, 3, 2, 10);
    std::vector<Goal*> goals;
    for (int i = 0; i < 100; ++i)
        goals.push_back(ctx.create<Goal>(QString::number(i)));
    for (int i = 0; i < 1'000'000; ++i) // a few a day back to 1990
        ctx.create<TrailEntry>(now - 3600 - 997.0 * i, 1 + i % 50, goals[std::size_t(i % 100)]);
    drainEvents();
    FocusFigures& figures = FocusFigures::of(ctx, calendar);
    EXPECT_EQ(figures.entryCount(), 1'000'000);
    EXPECT_EQ(figures.totalMinutes(), 25'500'000);
    EXPECT_EQ(figures.streak(now), qint64(figures.dailyTotals().size()));
    EXPECT_EQ(figures.minutesOf(*goals[0]), 10'000);
    ctx.create<TrailEntry>(now, 25, goals[0]);
    drainEvents();
    EXPECT_EQ(figures.minutesOf(*goals[0]), 10'025);
    expectAsFresh(ctx, calendar, now);
    undo->undo();
    expectAsFresh(ctx, calendar, now);
}

} // namespace
