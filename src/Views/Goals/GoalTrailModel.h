#pragma once

#include "Models/TrailEntry.h"

#include <QObject>
#include <QString>
#include <utility>
#include <vector>

namespace orvana {

class AppEnvironment;
class Calendar;
class Goal;

// The "Goal Trail" block of a goal's detail without widgets: the minutes and
// sessions logged to the goal, its minutes per day and the empty state.
// Follows the goal's trail entries live; a deleted goal reads as having none.
// Keeps nothing but what it derives from the entries.
class GoalTrailModel : public QObject {
    Q_OBJECT
public:
    // `goal` is a record of the environment's context (records live as long
    // as their context).
    GoalTrailModel(AppEnvironment& environment, Goal& goal, QObject* parent = nullptr);
    ~GoalTrailModel() override;

    Goal& goal() const { return goal_; }
    const Calendar& calendar() const;

    bool isEmpty() const { return sessionCount_ == 0; }
    qint64 totalMinutes() const { return totalMinutes_; }
    // One logged work session per trail entry.
    qint64 sessionCount() const { return sessionCount_; }
    // "{minutes} minute(s) across {sessions} session(s)".
    QString summary() const { return summaryText(totalMinutes_, sessionCount_); }
    static QString summaryText(qint64 minutes, qint64 sessions);
    // Minutes per day in the environment's calendar, ascending, only days
    // with entries.
    const std::vector<DailyTrailTotal>& dailyTotals() const { return dailyTotals_; }

    static QString emptyTitle();
    static QString emptySymbol();
    static QString emptyDescription();

signals:
    // After the derived values changed.
    void changed();

private:
    // The entries as last read, with their revisions: unchanged means
    // nothing to recompute.
    using Snapshot = std::vector<std::pair<const TrailEntry*, quint32>>;

    bool refresh();

    AppEnvironment& env_;
    Goal& goal_;
    Snapshot snapshot_;
    qint64 totalMinutes_ = 0;
    qint64 sessionCount_ = 0;
    std::vector<DailyTrailTotal> dailyTotals_;
};

} // namespace orvana
