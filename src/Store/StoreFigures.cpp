#include "Store/StoreFigures.h"

#include "Core/Arithmetic.h"
#include "Core/Calendar.h"
#include "Models/Enums.h"
#include "Store/FocusFigures.h"
#include "Store/SqliteStore.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>

namespace orvana::StoreFigures {

namespace {

// As loading reads it: a status that is not one of ours counts as active.
GoalStatus statusOf(const StoreRow& row, int column) {
    return goalStatusFromRaw(row.text(column)).value_or(GoalStatus::active);
}

// What a pass over (part of) the trail gives, in the index's date order.
struct TrailPass {
    explicit TrailPass(const TrailDays& prepared) : days(prepared) {}
    qint64 totalMinutes = 0;
    qint64 entries = 0;
    bool allKeepable = true;
    TrailDays days;
    std::vector<qint64> goalMinutes; // by the goal's index
    Result<void> scanned;
    // The daily totals as the kept sums hold them, instead of `days`.
    std::optional<std::vector<DailyTrailTotal>> keptTotals;
};

using GoalIndex = std::function<std::int32_t(qint64 sequence)>;

// Sums the entries `where` selects by date, or all of them. Touches no
// calendar, so that it may run on another thread.
void sumTrail(TrailPass& pass, SqliteStore& store, const char* where, double bound,
              const GoalIndex& goalIndex, std::size_t goals) {
    pass.goalMinutes.assign(goals, 0);
    auto row = [&](const StoreRow& row) {
        const qint64 minutes = row.integer(1);
        pass.days.add(row.real(0), minutes);
        pass.allKeepable = pass.allKeepable && FocusFigures::keepable(row.real(0), minutes);
        pass.totalMinutes = saturatingAdd(pass.totalMinutes, minutes);
        ++pass.entries;
        if (!row.isNull(2)) {
            if (const std::int32_t goal = goalIndex(row.integer(2)); goal >= 0) {
                qint64& sum = pass.goalMinutes[std::size_t(goal)];
                sum = saturatingAdd(sum, minutes);
            }
        }
    };
    pass.scanned = where ? store.visit("trailEntry", "date, minutes, goal", where, {bound}, row)
                         : store.visit("trailEntry", "date, minutes, goal", row);
}

// Every figure of the trail in one pass, when that pass can answer: every
// entry keepable, so that the index's date order changes no sum. A million entries cost some
// 60 ms inside SQLite alone, so with a twin connection the trail is read in
// two halves by date, the later one on another thread.
Result<std::optional<TrailPass>> trailInOnePass(SqliteStore& store,
                                                std::unique_ptr<SqliteStore> twin,
                                                const Calendar& calendar,
                                                const GoalIndex& goalIndex, std::size_t goals) {
    double split = std::numeric_limits<double>::quiet_NaN();
    if (twin) {
        auto read = store.select(
            "SELECT (SELECT min(date) FROM trailEntry), (SELECT max(date) FROM trailEntry)", {},
            [&](const StoreRow& row) {
                if (!row.isNull(0) && !row.isNull(1))
                    split = row.real(0) / 2 + row.real(1) / 2;
            });
        if (!read.ok())
            return read.error();
    }
    TrailDays days(calendar);
    days.prepare();
    TrailPass pass(days);
    // A NaN bound would select nothing on either side.
    if (std::isfinite(split)) {
        TrailPass later(days);
        std::thread other([&] { sumTrail(later, *twin, "date >= ?", split, goalIndex, goals); });
        sumTrail(pass, store, "date < ?", split, goalIndex, goals);
        other.join();
        if (!later.scanned.ok())
            return later.scanned.error();
        pass.totalMinutes = saturatingAdd(pass.totalMinutes, later.totalMinutes);
        pass.entries += later.entries;
        pass.allKeepable = pass.allKeepable && later.allKeepable;
        for (std::size_t i = 0; i < goals; ++i)
            pass.goalMinutes[i] = saturatingAdd(pass.goalMinutes[i], later.goalMinutes[i]);
        pass.days.addLater(later.days);
    } else {
        sumTrail(pass, store, nullptr, 0, goalIndex, goals);
    }
    if (!pass.scanned.ok())
        return pass.scanned.error();
    if (!pass.allKeepable)
        return std::optional<TrailPass>();
    return std::optional<TrailPass>(std::move(pass));
}

// The sums a writer keeps beside the trail, when they follow this
// calendar's days: a row a day instead of a row an entry.
Result<std::optional<TrailPass>> trailFromKeptSums(SqliteStore& store, const Calendar& calendar,
                                                   const GoalIndex& goalIndex, std::size_t goals) {
    TrailDays days(calendar);
    TrailPass pass(days);
    const QString zone = QString::fromUtf8(days.zoneFingerprint());
    bool kept = false;
    auto read = store.select("SELECT value FROM meta WHERE key = 'trailSums'", {},
                             [&](const StoreRow& row) { kept = row.text(0) == zone; });
    if (!read.ok() || !kept)
        return std::optional<TrailPass>();
    std::vector<DailyTrailTotal> totals;
    read = store.visit("trailDay", "start, minutes, entries", [&](const StoreRow& row) {
        const qint64 minutes = row.integer(1);
        totals.push_back({row.real(0), minutes});
        pass.totalMinutes += minutes;
        pass.entries += row.integer(2);
    });
    if (!read.ok())
        return read.error();
    if (!std::is_sorted(totals.begin(), totals.end(),
                        [](const auto& a, const auto& b) { return a.date < b.date; }))
        std::sort(totals.begin(), totals.end(),
                  [](const auto& a, const auto& b) { return a.date < b.date; });
    pass.keptTotals = std::move(totals);
    pass.goalMinutes.assign(goals, 0);
    read = store.visit("trailGoal", "goal, minutes", [&](const StoreRow& row) {
        if (const std::int32_t goal = goalIndex(row.integer(0)); goal >= 0)
            pass.goalMinutes[std::size_t(goal)] += row.integer(1);
    });
    if (!read.ok())
        return read.error();
    return std::optional<TrailPass>(std::move(pass));
}

constexpr const char* goalsInOrder = "SELECT seq, id, title, status FROM goal "
                                     "ORDER BY sortOrder, seq";

} // namespace

Result<std::optional<QString>> todaysOneThing(SqliteStore& store, const Calendar& calendar,
                                              Timestamp now) {
    const Timestamp dayStart = calendar.startOfDay(now);
    const Timestamp dayEnd = calendar.startOfDayAfter(now, 1).value_or(dayStart);
    std::optional<QString> title;
    auto read = store.select("SELECT title FROM dayTask WHERE isTodaysOneThing <> 0 "
                             "AND date >= ? AND date < ? ORDER BY seq LIMIT 1",
                             {dayStart, dayEnd}, [&](const StoreRow& row) { title = row.text(0); });
    if (!read.ok())
        return read.error();
    return title;
}

Result<std::vector<GoalLine>> activeGoals(SqliteStore& store) {
    std::vector<GoalLine> goals;
    auto read = store.select(goalsInOrder, {}, [&](const StoreRow& row) {
        if (statusOf(row, 3) == GoalStatus::active)
            goals.push_back({row.uuid(1), row.text(2)});
    });
    if (!read.ok())
        return read.error();
    return goals;
}

Result<Overview> overview(SqliteStore& store, const Calendar& calendar, Timestamp now) {
    // Before the first query, so that both read one snapshot; without it
    // the trail is read on this thread alone.
    auto twinned = store.twin();
    std::unique_ptr<SqliteStore> twin = twinned.ok() ? std::move(twinned.value()) : nullptr;
    Overview o;
    struct Goal {
        qint64 sequence;
        GoalTotal total;
    };
    std::vector<Goal> goals;
    auto read = store.select(goalsInOrder, {}, [&](const StoreRow& row) {
        goals.push_back({row.integer(0), {row.uuid(1), row.text(2), 0}});
        const GoalStatus status = statusOf(row, 3);
        if (status == GoalStatus::active)
            ++o.activeGoalsCount;
        else if (status == GoalStatus::completed)
            ++o.completedGoalsCount;
    });
    if (!read.ok())
        return read.error();

    // The goal an entry names, by its sequence: a table for dense sequences
    // (the usual case), a hash when deletions left them far apart.
    qint64 maxSequence = 0;
    for (const Goal& g : goals)
        maxSequence = std::max(maxSequence, g.sequence);
    std::vector<std::int32_t> bySequence;
    QHash<qint64, std::int32_t> sparse;
    const bool dense = maxSequence <= qint64(goals.size()) * 8 + 4096;
    if (dense)
        bySequence.assign(std::size_t(maxSequence + 1), -1);
    for (std::size_t i = 0; i < goals.size(); ++i) {
        if (dense)
            bySequence[std::size_t(goals[i].sequence)] = std::int32_t(i);
        else
            sparse.insert(goals[i].sequence, std::int32_t(i));
    }
    const GoalIndex goalIndex = [&](qint64 sequence) -> std::int32_t {
        if (dense)
            return sequence < 0 || sequence > maxSequence ? -1 : bySequence[std::size_t(sequence)];
        return sparse.value(sequence, -1);
    };
    auto goalAt = [&](qint64 sequence) -> Goal* {
        const std::int32_t index = goalIndex(sequence);
        return index < 0 ? nullptr : &goals[std::size_t(index)];
    };

    // When one pass can't answer, the totals come with the first pass over
    // the trail and the daily totals may ask for more (absurd dates). The
    // index gives the entries by date, which changes no sum unless a sum
    // saturates or minutes are negative; then they are read again in their
    // own order, as loading reads them.
    Result<void> scanned;
    auto trail = [&](const char* source) {
        o.totalFocusMinutes = 0;
        o.totalSessions = 0;
        for (Goal& g : goals)
            g.total.minutes = 0;
        bool orderMatters = false;
        int passes = 0;
        o.dailyTotals = FocusFigures::dailyTotalsOf(
            [&](const FocusFigures::EntryVisitor& visit) {
                if (!scanned.ok())
                    return;
                const bool first = passes++ == 0;
                scanned = store.visit(source, "date, minutes, goal", [&](const StoreRow& row) {
                    const qint64 minutes = row.integer(1);
                    visit(row.real(0), minutes);
                    if (!first)
                        return;
                    orderMatters = orderMatters || minutes < 0;
                    o.totalFocusMinutes = saturatingAdd(o.totalFocusMinutes, minutes);
                    ++o.totalSessions;
                    if (!row.isNull(2)) {
                        if (Goal* goal = goalAt(row.integer(2)))
                            goal->total.minutes = saturatingAdd(goal->total.minutes, minutes);
                    }
                });
            },
            calendar);
        return orderMatters || o.totalFocusMinutes == std::numeric_limits<qint64>::max();
    };
    auto done = [&] {
        auto kept = trailFromKeptSums(store, calendar, goalIndex, goals.size());
        if (!kept.ok() || kept.value())
            return kept;
        return trailInOnePass(store, std::move(twin), calendar, goalIndex, goals.size());
    }();
    if (!done.ok()) {
        return done.error();
    } else if (done.value()) {
        TrailPass& pass = *done.value();
        o.totalFocusMinutes = pass.totalMinutes;
        o.totalSessions = pass.entries;
        o.fromKeptSums = pass.keptTotals.has_value();
        o.dailyTotals = o.fromKeptSums ? std::move(*pass.keptTotals) : pass.days.totals();
        for (std::size_t i = 0; i < goals.size(); ++i)
            goals[i].total.minutes = pass.goalMinutes[i];
    } else if (trail("trailEntry") && scanned.ok()) {
        trail("trailEntry NOT INDEXED");
    }
    if (!scanned.ok())
        return scanned.error();

    for (Goal& g : goals) {
        if (g.total.minutes >= 1)
            o.goalBreakdown.push_back(std::move(g.total));
    }
    std::stable_sort(o.goalBreakdown.begin(), o.goalBreakdown.end(),
                     [](const GoalTotal& a, const GoalTotal& b) { return a.minutes > b.minutes; });

    read = store.select("SELECT count(*), coalesce(sum(isComplete <> 0), 0) FROM dayTask", {},
                        [&](const StoreRow& row) {
                            o.tasksTotal = row.integer(0);
                            o.tasksCompleted = row.integer(1);
                        });
    if (!read.ok())
        return read.error();
    o.currentStreakDays = FocusFigures::streak(o.dailyTotals, calendar, now);
    return o;
}

} // namespace orvana::StoreFigures
