#pragma once

#include "Models/TrailEntry.h"

#include <QString>
#include <vector>

namespace orvana {

class Calendar;
class DayTask;
class Goal;

// Focus minutes credited to one goal.
struct GoalMinutes {
    Goal* goal = nullptr;
    qint64 minutes = 0;
};

// Everything the Overview shows, computed afresh from the records; nothing
// is stored. Sums saturate rather than overflow on absurd imported minutes.
struct OverviewStats {
    qint64 totalFocusMinutes = 0;
    qint64 totalSessions = 0;
    qint64 activeGoalsCount = 0;
    qint64 completedGoalsCount = 0;
    qint64 tasksCompleted = 0;
    qint64 tasksTotal = 0;
    qint64 currentStreakDays = 0;
    std::vector<DailyTrailTotal> dailyTotals;
    std::vector<GoalMinutes> goalBreakdown; // minutes descending, ties in goal order

    // `goals` in sortOrder order.
    static OverviewStats compute(const std::vector<Goal*>& goals,
                                 const std::vector<TrailEntry*>& trailEntries,
                                 const std::vector<DayTask*>& tasks, const Calendar& calendar,
                                 Timestamp now);

    // Consecutive days with focus, counted back from today, or from yesterday
    // while today has none yet.
    static qint64 currentStreak(const std::vector<DailyTrailTotal>& dailyTotals,
                                const Calendar& calendar, Timestamp now);

    // 45 -> "45m", 120 -> "2h", 135 -> "2h 15m".
    static QString formattedDuration(qint64 minutes);
};

} // namespace orvana
