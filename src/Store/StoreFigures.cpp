#include "Store/StoreFigures.h"

#include "Core/Arithmetic.h"
#include "Core/Calendar.h"
#include "Models/Enums.h"
#include "Models/OverviewStats.h"
#include "Store/SqliteStore.h"

#include <QHash>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <limits>
#include <mutex>
#include <thread>

namespace orvana::StoreFigures {

namespace {

// As loading reads it: a status that is not one of ours counts as active.
GoalStatus statusOf(const StoreRow& row, int column) {
    return goalStatusFromRaw(row.text(column)).value_or(GoalStatus::active);
}

// What one pass over the trail gives when the index's date order changes no
// sum: no minutes below zero, no saturated total, dates within 1900-2099.
struct OnePass {
    qint64 totalMinutes = 0;
    qint64 entries = 0;
    std::vector<DailyTrailTotal> dailyTotals;
};

// The scan of a million entries costs about as much inside SQLite as the
// sums cost outside it, so the sums are made on a second thread from rows
// handed over in chunks; the order of the rows is kept. Nothing when the
// pass can't answer.
Result<std::optional<OnePass>>
trailInOnePass(SqliteStore& store, const Calendar& calendar,
               const std::function<void(qint64 goalSequence, qint64 minutes)>& credit) {
    struct Row {
        double date;
        qint64 minutes;
        qint64 goal;
        bool hasGoal;
    };
    using Chunk = std::vector<Row>;
    constexpr std::size_t chunkRows = 4096, chunksInFlight = 4;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Chunk> full;
    std::vector<Chunk> spare;
    bool finished = false;

    OnePass pass;
    bool inOrder = true;
    std::optional<std::vector<DailyTrailTotal>> daily;
    std::thread sums([&] {
        daily = TrailEntry::dailyTotalsInOnePass(
            [&](const TrailEntry::EntryVisitor& visit) {
                for (;;) {
                    Chunk chunk;
                    {
                        std::unique_lock lock(mutex);
                        changed.wait(lock, [&] { return !full.empty() || finished; });
                        if (full.empty())
                            return;
                        chunk = std::move(full.front());
                        full.pop_front();
                    }
                    changed.notify_all();
                    for (const Row& row : chunk) {
                        visit(row.date, row.minutes);
                        inOrder = inOrder && row.minutes >= 0;
                        pass.totalMinutes = saturatingAdd(pass.totalMinutes, row.minutes);
                        if (row.hasGoal)
                            credit(row.goal, row.minutes);
                    }
                    pass.entries += qint64(chunk.size());
                    chunk.clear();
                    std::lock_guard lock(mutex);
                    spare.push_back(std::move(chunk));
                }
            },
            calendar);
    });

    Chunk chunk;
    chunk.reserve(chunkRows);
    auto handOver = [&] {
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return full.size() < chunksInFlight; });
            full.push_back(std::move(chunk));
            chunk = Chunk();
            if (!spare.empty()) {
                chunk = std::move(spare.back());
                spare.pop_back();
            }
        }
        changed.notify_all();
        chunk.reserve(chunkRows);
    };
    const Result<void> scanned =
        store.visit("trailEntry", "date, minutes, goal", [&](const StoreRow& row) {
            const bool hasGoal = !row.isNull(2);
            chunk.push_back({row.real(0), row.integer(1), hasGoal ? row.integer(2) : 0, hasGoal});
            if (chunk.size() == chunkRows)
                handOver();
        });
    if (!chunk.empty())
        handOver();
    {
        std::lock_guard lock(mutex);
        finished = true;
    }
    changed.notify_all();
    sums.join();

    if (!scanned.ok())
        return scanned.error();
    if (!daily || !inOrder || pass.totalMinutes == std::numeric_limits<qint64>::max())
        return std::optional<OnePass>();
    pass.dailyTotals = std::move(*daily);
    return std::optional<OnePass>(std::move(pass));
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
    auto goalAt = [&](qint64 sequence) -> Goal* {
        if (dense) {
            if (sequence < 0 || sequence > maxSequence || bySequence[std::size_t(sequence)] < 0)
                return nullptr;
            return &goals[std::size_t(bySequence[std::size_t(sequence)])];
        }
        const auto it = sparse.constFind(sequence);
        return it == sparse.cend() ? nullptr : &goals[std::size_t(*it)];
    };

    // Otherwise the totals come with the first pass over the trail; the daily totals
    // may ask for more passes (absurd dates). The index gives the entries by
    // date, which changes no sum unless a sum saturates or minutes are
    // negative; then they are read again in their own order, as loading
    // reads them.
    Result<void> scanned;
    auto trail = [&](const char* source) {
        o.totalFocusMinutes = 0;
        o.totalSessions = 0;
        for (Goal& g : goals)
            g.total.minutes = 0;
        bool orderMatters = false;
        int passes = 0;
        o.dailyTotals = TrailEntry::dailyTotalsOf(
            [&](const TrailEntry::EntryVisitor& visit) {
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
    auto slowTrail = [&] {
        if (trail("trailEntry") && scanned.ok())
            trail("trailEntry NOT INDEXED");
    };

    // Usually one pass does it all, the scan on this thread and the sums on
    // another, so that neither waits for the other.
    if (auto done = trailInOnePass(store, calendar,
                                   [&](qint64 sequence, qint64 minutes) {
                                       if (Goal* goal = goalAt(sequence))
                                           goal->total.minutes =
                                               saturatingAdd(goal->total.minutes, minutes);
                                   });
        !done.ok()) {
        return done.error();
    } else if (done.value()) {
        o.totalFocusMinutes = done.value()->totalMinutes;
        o.totalSessions = done.value()->entries;
        o.dailyTotals = std::move(done.value()->dailyTotals);
    } else {
        slowTrail();
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
    o.currentStreakDays = OverviewStats::currentStreak(o.dailyTotals, calendar, now);
    return o;
}

} // namespace orvana::StoreFigures
