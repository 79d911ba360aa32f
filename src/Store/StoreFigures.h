#pragma once

#include "Core/Result.h"
#include "Core/Timestamp.h"
#include "Models/TrailEntry.h"

#include <QString>
#include <QUuid>
#include <optional>
#include <vector>

namespace orvana {

class Calendar;
class SqliteStore;

// What the command line reports, read from a store opened for reading by
// query, without loading its records: the same answers the loaded records
// give (the Overview's figures, the intents' goal list and Today's One
// Thing), at a fraction of the time and memory.
namespace StoreFigures {

struct GoalLine {
    QUuid id;
    QString title;
};

struct GoalTotal {
    QUuid id;
    QString title;
    qint64 minutes = 0;
};

// The Overview's figures, with the goals of the breakdown by id and title.
struct Overview {
    qint64 totalFocusMinutes = 0;
    qint64 totalSessions = 0;
    qint64 activeGoalsCount = 0;
    qint64 completedGoalsCount = 0;
    qint64 tasksCompleted = 0;
    qint64 tasksTotal = 0;
    qint64 currentStreakDays = 0;
    std::vector<DailyTrailTotal> dailyTotals;
    std::vector<GoalTotal> goalBreakdown; // minutes descending, ties in goal order
    // The trail's figures came from the sums its writer keeps (for tests
    // and benchmarks: the answers are the same either way).
    bool fromKeptSums = false;
};

// The title of the first task flagged as Today's One Thing on today's date.
Result<std::optional<QString>> todaysOneThing(SqliteStore& store, const Calendar& calendar,
                                              Timestamp now);

// Active goals in their order.
Result<std::vector<GoalLine>> activeGoals(SqliteStore& store);

Result<Overview> overview(SqliteStore& store, const Calendar& calendar, Timestamp now);

} // namespace StoreFigures

} // namespace orvana
