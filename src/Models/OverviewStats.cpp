#include "Models/OverviewStats.h"

#include "Core/Arithmetic.h"
#include "Core/Calendar.h"
#include "Models/DayTask.h"
#include "Models/Goal.h"

#include <algorithm>
#include <limits>

namespace orvana {

OverviewStats OverviewStats::compute(const std::vector<Goal*>& goals,
                                     const std::vector<TrailEntry*>& trailEntries,
                                     const std::vector<DayTask*>& tasks, const Calendar& calendar,
                                     Timestamp now) {
    OverviewStats s;
    s.dailyTotals = TrailEntry::dailyTotals(trailEntries, calendar);
    for (Goal* goal : goals) {
        qint64 minutes = 0;
        for (const TrailEntry* e : goal->trailEntries())
            minutes = saturatingAdd(minutes, e->minutes());
        if (minutes >= 1)
            s.goalBreakdown.push_back({goal, minutes});
        if (goal->status() == GoalStatus::active)
            ++s.activeGoalsCount;
        else if (goal->status() == GoalStatus::completed)
            ++s.completedGoalsCount;
    }
    std::stable_sort(
        s.goalBreakdown.begin(), s.goalBreakdown.end(),
        [](const GoalMinutes& a, const GoalMinutes& b) { return a.minutes > b.minutes; });
    for (const TrailEntry* e : trailEntries)
        s.totalFocusMinutes = saturatingAdd(s.totalFocusMinutes, e->minutes());
    s.totalSessions = qint64(trailEntries.size());
    s.tasksTotal = qint64(tasks.size());
    s.tasksCompleted =
        std::count_if(tasks.begin(), tasks.end(), [](const DayTask* t) { return t->isComplete(); });
    s.currentStreakDays = currentStreak(s.dailyTotals, calendar, now);
    return s;
}

qint64 OverviewStats::currentStreak(const std::vector<DailyTrailTotal>& dailyTotals,
                                    const Calendar& calendar, Timestamp now) {
    // The totals ascend by day, so the days counted are looked at from the
    // last one back: a long trail costs only as much as the streak is long.
    auto next = dailyTotals.rbegin();
    auto hasFocus = [&](Timestamp day) {
        while (next != dailyTotals.rend() && calendar.startOfDay(next->date) > day)
            ++next;
        for (auto it = next; it != dailyTotals.rend() && calendar.startOfDay(it->date) == day;
             ++it) {
            if (it->minutes >= 1)
                return true;
        }
        return false;
    };
    auto dayBefore = [&](Timestamp day) { return calendar.startOfDayAfter(day, -1); };
    std::optional<Timestamp> cursor = calendar.startOfDay(now);
    if (!hasFocus(*cursor)) {
        cursor = dayBefore(*cursor);
        if (!cursor || !hasFocus(*cursor))
            return 0;
    }
    qint64 count = 0;
    while (cursor && hasFocus(*cursor)) {
        ++count;
        cursor = dayBefore(*cursor);
    }
    return count;
}

QString OverviewStats::formattedDuration(qint64 minutes) {
    const qint64 h = minutes / 60;
    const qint64 m = minutes - 60 * h;
    if (h == 0)
        return QStringLiteral("%1m").arg(m);
    if (m == 0)
        return QStringLiteral("%1h").arg(h);
    return QStringLiteral("%1h %2m").arg(h).arg(m);
}

} // namespace orvana
