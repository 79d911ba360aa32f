// The figures read by query must be the ones the loaded records give: the
// live focus figures over the loaded records are the oracle, in zones with and
// without daylight saving, with entries on the edges of days and beyond the
// usual centuries.
#include "Store/StoreFigures.h"
#include "AppIntents/GetTodaysOneThingIntent.h"
#include "AppIntents/GoalEntityQuery.h"
#include "Store/FocusFigures.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"

#include <QTemporaryDir>
#include <QTimeZone>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <sqlite3.h>

using namespace orvana;

namespace {

// 2024-03-31T12:00:00Z: the day Europe switches to summer time.
constexpr Timestamp now = 1711886400;

void execute(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &message), SQLITE_OK) << message;
    sqlite3_free(message);
    sqlite3_close(db);
}

// Goals as "id title [minutes]" lines, for comparing lists.
template <class Line> QStringList lines(const std::vector<Line>& goals) {
    QStringList out;
    for (const Line& g : goals) {
        out << g.id.toString() + u' ' + g.title;
        if constexpr (requires { g.minutes; })
            out.last() += u' ' + QString::number(g.minutes);
    }
    return out;
}

class StoreFiguresTest : public ::testing::Test {
protected:
    QString path() const { return dir.filePath(QStringLiteral("Orvana.sqlite")); }

    // The figures both ways, compared field by field; `kept`: whether the
    // trail's figures must come from the sums its writer keeps.
    void expectSameFigures(const char* zoneName, std::optional<bool> kept = std::nullopt) {
        SCOPED_TRACE(zoneName);
        const Calendar calendar(QTimeZone(zoneName), 2);
        auto loaded = openModelContextForReading(path());
        ASSERT_TRUE(loaded.ok());
        ModelContext& ctx = *loaded.value();
        FocusFigures& figures = FocusFigures::of(ctx, calendar);
        StoreFigures::Overview want;
        std::vector<StoreFigures::GoalLine> active;
        for (const Goal* g : ctx.fetch(
                 FetchDescriptor<Goal>().sortedBy(SortDescriptor<Goal>::by(&Goal::sortOrder)))) {
            want.activeGoalsCount += g->status() == GoalStatus::active;
            want.completedGoalsCount += g->status() == GoalStatus::completed;
            if (const qint64 minutes = figures.minutesOf(*g); minutes >= 1)
                want.goalBreakdown.push_back({g->id(), g->title(), minutes});
        }
        std::stable_sort(want.goalBreakdown.begin(), want.goalBreakdown.end(),
                         [](const auto& a, const auto& b) { return a.minutes > b.minutes; });
        for (const DayTask* t : ctx.fetch<DayTask>())
            want.tasksCompleted += t->isComplete();

        auto store = SqliteStore::openForReading(path());
        ASSERT_TRUE(store.ok());
        auto read = StoreFigures::overview(*store.value(), calendar, now);
        ASSERT_TRUE(read.ok()) << qPrintable(read.error().message);
        const StoreFigures::Overview& actual = read.value();
        if (kept) {
            EXPECT_EQ(actual.fromKeptSums, *kept);
        }
        EXPECT_EQ(actual.totalFocusMinutes, figures.totalMinutes());
        EXPECT_EQ(actual.totalSessions, figures.entryCount());
        EXPECT_EQ(actual.activeGoalsCount, want.activeGoalsCount);
        EXPECT_EQ(actual.completedGoalsCount, want.completedGoalsCount);
        EXPECT_EQ(actual.tasksCompleted, want.tasksCompleted);
        EXPECT_EQ(actual.tasksTotal, qint64(ctx.count<DayTask>()));
        EXPECT_EQ(actual.currentStreakDays, figures.streak(now));
        EXPECT_EQ(actual.dailyTotals, figures.dailyTotals());
        EXPECT_EQ(lines(actual.goalBreakdown), lines(want.goalBreakdown));

        auto title = StoreFigures::todaysOneThing(*store.value(), calendar, now);
        ASSERT_TRUE(title.ok());
        EXPECT_EQ(GetTodaysOneThingIntent::answer(title.value()).dialog,
                  GetTodaysOneThingIntent::perform(ctx, calendar, now).dialog);
        auto goals = StoreFigures::activeGoals(*store.value());
        ASSERT_TRUE(goals.ok());
        QStringList suggested;
        for (const auto& goal : GoalEntityQuery::suggestedEntities(ctx))
            suggested << goal.id.toString() + u' ' + goal.title;
        EXPECT_EQ(lines(goals.value()), suggested);
    }

    // Edits the store and saves, as the app does.
    void write(const std::function<void(ModelContext&)>& edit) {
        auto opened = openModelContext(path());
        ASSERT_TRUE(opened.ok());
        edit(*opened.value());
        ASSERT_TRUE(opened.value()->save().ok());
    }

    // Opened for writing in `zoneName`, as the app opens it there.
    void openIn(const char* zoneName) {
        const Calendar calendar(QTimeZone(zoneName), 2);
        ASSERT_TRUE(openModelContext(path(), &calendar).ok());
    }

    QTemporaryDir dir;
};

TEST_F(StoreFiguresTest, AnswerAsTheLoadedRecordsDoInEveryZone) {
    write([](ModelContext& ctx) {
        auto* run = ctx.create<Goal>(QStringLiteral("Run \"far\""), std::nullopt, std::nullopt,
                                     GoalStatus::active, std::nullopt, 2);
        auto* read = ctx.create<Goal>(QStringLiteral("Read"), std::nullopt, std::nullopt,
                                      GoalStatus::completed, std::nullopt, 1);
        auto* old = ctx.create<Goal>(QStringLiteral("Old"), std::nullopt, std::nullopt,
                                     GoalStatus::archived, std::nullopt, 2);
        auto* odd = ctx.create<Goal>(QStringLiteral("Odd status"));
        ctx.create<Goal>(QStringLiteral("Never worked on"));
        // Days edged to the millisecond, and a run of days up to today for
        // the streak.
        Goal* goals[] = {run, read, old, odd};
        int i = 0;
        for (Timestamp t : {1711843200 - 0.0004, 1711843200 + 0.0004, now - 86400, now - 2 * 86400,
                            now - 3 * 86400, now - 3600})
            ctx.create<TrailEntry>(t, 7, goals[i++ % 4], t);
        // Enough entries for the scan to hand over many chunks, a few an hour.
        for (int k = 0; k < 30000; ++k, ++i) {
            const Timestamp t = 1577836800 + k * 1337.25;
            ctx.create<TrailEntry>(t, 1 + i % 50, goals[i % 4], t);
        }
        ctx.create<TrailEntry>(now - 7200, 30, nullptr, now); // its goal gone
        ctx.create<DayTask>(QStringLiteral("Yesterday's"), now - 86400, std::nullopt, true, true);
        ctx.create<DayTask>(QStringLiteral("Today's first"), now - 3600, std::nullopt, false, true);
        ctx.create<DayTask>(QStringLiteral("Today's second"), now, std::nullopt, false, true);
        ctx.create<DayTask>(QStringLiteral("Done"), now, std::nullopt, true);
    });
    // What only an older or damaged file holds: a status that is not ours,
    // an entry naming a goal that is not there.
    execute(path(), "UPDATE goal SET status = 'paused' WHERE title = 'Odd status';"
                    "UPDATE trailEntry SET goal = 999 WHERE minutes = 30;");
    expectSameFigures("UTC", false); // an edit in place drops the sums
    // Read in each zone after a writer ran there: from the kept sums; a
    // reader in another zone reads the entries. How days fall in each zone
    // is the focus figures' to test.
    for (const char* zone : {"Europe/Berlin", "Asia/Kathmandu"}) {
        openIn(zone);
        expectSameFigures(zone, true);
    }
    expectSameFigures("UTC", false);

    // Before 1900 and after 2099.
    write([](ModelContext& ctx) {
        for (Timestamp t : {-2208988800.0 - 86400 * 30, 4102444800.0 + 86400 * 400})
            ctx.create<TrailEntry>(t, 9, nullptr, t);
    });
    openIn("Europe/Berlin");
    expectSameFigures("Europe/Berlin", false);

    // Far outside any sane range: every figure still as the records give it.
    execute(path(), "UPDATE trailEntry SET date = 5e12 WHERE seq = 1;");
    expectSameFigures("Europe/Berlin");
}

TEST_F(StoreFiguresTest, SaturatedAndNegativeMinutesSumInTheRecordsOrder) {
    write([](ModelContext& ctx) {
        auto* goal = ctx.create<Goal>(QStringLiteral("Absurd"));
        // Dates out of the order of the records: summed by date, the sums
        // would saturate differently.
        ctx.create<TrailEntry>(now - 60, std::numeric_limits<qint64>::max() - 5, goal, now);
        ctx.create<TrailEntry>(now - 120, 10, goal, now);
        ctx.create<TrailEntry>(now - 180, -20, goal, now);
    });
    expectSameFigures("UTC");
}

// Every save keeps the sums: entries added, moved to another day and
// deleted with their goal; one the sums cannot hold drops them until it is
// gone, and sums a tool other than ours made wrong are made again.
TEST_F(StoreFiguresTest, KeptSumsFollowEverySave) {
    const Calendar berlin(QTimeZone("Europe/Berlin"), 2);
    auto opened = openModelContext(path(), &berlin);
    ASSERT_TRUE(opened.ok());
    ModelContext& ctx = *opened.value();
    auto* run = ctx.create<Goal>(QStringLiteral("Run"));
    auto* read = ctx.create<Goal>(QStringLiteral("Read"));
    std::vector<TrailEntry*> entries;
    for (int i = 0; i < 40; ++i) // around Europe's switch to summer time
        entries.push_back(
            ctx.create<TrailEntry>(1711846800 + (i - 20) * 4000.0, 5 + i, i % 3 ? run : read, now));
    ASSERT_TRUE(ctx.save().ok());
    expectSameFigures("Europe/Berlin", true);

    entries[3]->setDate(now - 5 * 86400);
    entries[4]->setMinutes(600);
    ctx.remove(read);
    ctx.create<TrailEntry>(now, 15, run, now);
    ASSERT_TRUE(ctx.save().ok());
    expectSameFigures("Europe/Berlin", true);

    auto* odd = ctx.create<TrailEntry>(now, -5, run, now);
    ASSERT_TRUE(ctx.save().ok());
    expectSameFigures("Europe/Berlin", false);
    ctx.remove(odd);
    ASSERT_TRUE(ctx.save().ok());
    expectSameFigures("Europe/Berlin", false);
    opened.value().reset();
    openIn("Europe/Berlin");
    expectSameFigures("Europe/Berlin", true);

    execute(path(), "DELETE FROM trailEntry WHERE seq IN (SELECT seq FROM trailEntry LIMIT 5);");
    openIn("Europe/Berlin");
    expectSameFigures("Europe/Berlin", true);
}

TEST_F(StoreFiguresTest, AStoreNotYetMadeHasNothing) {
    expectSameFigures("UTC", false);
}

// The trail is read in halves on two connections: both must read the
// snapshot the first one holds, whatever the writer beside them commits.
TEST_F(StoreFiguresTest, ATwinReadsTheSameSnapshotAsItsStore) {
    auto opened = openModelContext(path());
    ASSERT_TRUE(opened.ok());
    ModelContext& ctx = *opened.value();
    auto* goal = ctx.create<Goal>(QStringLiteral("Run"));
    for (int i = 0; i < 10; ++i)
        ctx.create<TrailEntry>(now - i * 3600, 5, goal, now);
    ctx.create<TrailEntry>(now - 4.5 * 3600, 0, goal, now); // where the halves meet
    ASSERT_TRUE(ctx.save().ok());

    auto store = SqliteStore::openForReading(path());
    ASSERT_TRUE(store.ok());
    auto twin = store.value()->twin();
    ASSERT_TRUE(twin.ok() && twin.value());
    ctx.create<TrailEntry>(now, 7, goal, now);
    ASSERT_TRUE(ctx.save().ok());
    const Calendar utc(QTimeZone::utc(), 2);
    for (SqliteStore* reader : {store.value().get(), twin.value().get()})
        EXPECT_EQ(StoreFigures::overview(*reader, utc, now).value().totalSessions, 11);
    auto late = store.value()->twin();
    ASSERT_TRUE(late.ok());
    EXPECT_FALSE(late.value()) << "a store that has read has a snapshot of its own already";

    // Read in halves, every entry counts once, the one at the split too.
    auto figures = StoreFigures::overview(*SqliteStore::openForReading(path()).value(), utc, now);
    ASSERT_TRUE(figures.ok());
    EXPECT_EQ(figures.value().totalFocusMinutes, 57);
    EXPECT_EQ(figures.value().totalSessions, 12);
}

} // namespace
