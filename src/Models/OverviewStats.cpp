#include "Models/OverviewStats.h"

#include "Core/Arithmetic.h"
#include "Core/Calendar.h"
#include "Models/DayTask.h"
#include "Models/Goal.h"

#include <algorithm>
#include <limits>
#include <set>

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
    std::set<Timestamp> active;
    for (const DailyTrailTotal& d : dailyTotals) {
        if (d.minutes >= 1)
            active.insert(calendar.startOfDay(d.date));
    }
    if (active.empty())
        return 0;
    auto dayBefore = [&](Timestamp day) { return calendar.startOfDayAfter(day, -1); };
    std::optional<Timestamp> cursor = calendar.startOfDay(now);
    if (!active.count(*cursor)) {
        cursor = dayBefore(*cursor);
        if (!cursor || !active.count(*cursor))
            return 0;
    }
    qint64 count = 0;
    while (cursor && active.count(*cursor)) {
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
