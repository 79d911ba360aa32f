#pragma once

#include "Core/Calendar.h"
#include "Models/TrailEntry.h"
#include "Views/Shared/RowListModel.h"

#include <QHash>
#include <QObject>
#include <QTimer>
#include <QUuid>
#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace orvana {

class AppEnvironment;
class DayTask;
class FocusFigures;
class Goal;
class TrailAcknowledgment;

// Focus minutes credited to one goal.
struct GoalMinutes {
    Goal* goal = nullptr;
    qint64 minutes = 0;
};

// Everything the Overview shows.
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
};

// The "Overview" screen without widgets: the four stat cards, the focus of
// the last 30 days, the minutes per goal, the empty state and the one-time
// acknowledgment of newly logged minutes.
//
// The trail's figures are FocusFigures'; the goal counters and the tasks
// card are counted here. They are kept up to date while the screen is
// shown, at most once per event-loop turn however many changes that turn
// made. A change brings up to date only the part that reads its record
// type: goals (counters, order, titles), tasks (the tasks card, only the
// tasks touched counted out and in again) or the trail. A new day moves the
// streak and the chart's window. While the screen is hidden a change only
// marks its part stale and notes the tasks it touched, so edits on other
// screens cost next to nothing here. Nothing is computed before the first
// showing.
class OverviewModel : public QObject {
    Q_OBJECT
public:
    // Colours by meaning; the view maps them onto the palette.
    enum class Tint { orange, secondary, accent, green };

    struct StatCard {
        QString symbol;
        QString value;
        QString label;
        Tint tint = Tint::secondary;
        QString accessibleName; // "2h 15m total focus time"
    };

    enum Role {
        ColorTagRole = Qt::UserRole + 1, // the raw colour tag, empty without one
        DurationTextRole,                // the goal's minutes as formattedDuration gives them
        JustLoggedRole,                  // bool: the goal just credited
    };

    explicit OverviewModel(AppEnvironment& environment, QObject* parent = nullptr);
    ~OverviewModel() override;

    static QString title();
    static QString chartTitle();
    static QString goalsTitle();
    static QString emptyTitle();
    static QString emptySymbol();
    static QString emptyDescription();
    // The card label of the goal counter: "active goal" for exactly one.
    static QString activeGoalsLabel(qint64 count);

    // Call when the screen becomes visible and when it goes away. Showing
    // brings stale figures up to date and announces the newest trail entry
    // if it has not been announced yet.
    void setShown(bool shown);
    bool isShown() const { return shown_; }

    const OverviewStats& stats() const { return stats_; }
    const std::array<StatCard, 4>& cards() const { return cards_; }

    // No goals, no tasks and no trail at all.
    bool showsEmptyState() const { return showsEmptyState_; }

    // The chart: shown whenever there is any focus, even when all of it is
    // older than the window (then without bars).
    bool showsChart() const { return !stats_.dailyTotals.empty(); }
    // The days with focus from windowStart on, ascending.
    const std::vector<DailyTrailTotal>& chartSeries() const { return series_; }
    // The start of the day 29 days before today, and the start of today:
    // the axis of the chart. Absent when the calendar cannot step back.
    std::optional<Timestamp> windowStart() const { return windowStart_; }
    Timestamp windowEnd() const { return today_; }
    const Calendar& calendar() const;

    // "Focus by Goal": one row per goal with minutes, most minutes first.
    bool showsGoalBreakdown() const { return !stats_.goalBreakdown.empty(); }
    RowListModel* goalRows() const { return goalRows_; }

    // The latest acknowledgment ("25 min logged to Run a marathon") for its 4
    // seconds, else empty.
    const QString& acknowledgmentMessage() const { return acknowledgmentMessage_; }
    // The goal just credited, marked for the same 4 seconds.
    const std::optional<QUuid>& justLoggedGoalID() const;
    // The one wait that ends the message and the mark; a test can fire it
    // instead of waiting.
    QTimer* justLoggedTimer();

    // Re-reads the clock: the streak and the chart's window follow the day.
    void checkDay();

signals:
    // Figures, rows or the mark changed.
    void changed();
    // The banner's message: a new announcement, or empty when its 4 seconds
    // are over.
    void acknowledgmentChanged(const QString& message);

private:
    class TaskTally;

    // The figures by the record type they read.
    enum Part : unsigned {
        goalPart = 1u << 0,
        trailPart = 1u << 1,
        taskPart = 1u << 2,
        allParts = goalPart | trailPart | taskPart,
    };

    // Tasks inserted, edited, deleted or brought back since they were last
    // counted; `recount` instead once there were too many to count one by
    // one (an import, the undo of one).
    struct Touched {
        std::vector<Record*> records;
        bool recount = false;
        void note(Record* record);
        bool pending() const { return recount || !records.empty(); }
    };

    // A goal's row as last made, and what it was made from.
    struct GoalRow {
        ListRow row;
        quint32 revision = 0;
        qint64 minutes = 0;
        bool justLogged = false;
    };

    void noteTouched(Record* record);
    void markStale(unsigned parts);
    void recompute();
    void refreshGoals();
    void refreshTrail();
    void refreshTasks();
    void rebuildBreakdown();
    void rebuildCards();
    void rebuildSeries();
    void rebuildRows();
    void endAcknowledgment();
    FocusFigures& figures() const;

    AppEnvironment& env_;
    std::unique_ptr<TrailAcknowledgment> acknowledgment_;
    std::unique_ptr<TaskTally> tasks_;
    Touched touchedTasks_;
    RowListModel* goalRows_;
    QHash<const Goal*, GoalRow> rowCache_;
    OverviewStats stats_;
    std::vector<Goal*> goals_; // by sortOrder
    std::array<StatCard, 4> cards_;
    std::vector<DailyTrailTotal> series_;
    std::optional<Timestamp> windowStart_;
    Timestamp today_ = 0;
    bool showsEmptyState_ = true;
    bool shown_ = false;
    bool built_ = false;
    unsigned stale_ = allParts;
    QString acknowledgmentMessage_;
    QTimer pending_;  // zero-time: one recompute after the turn's changes
    QTimer dayCheck_; // a new day moves the streak and the window
};

} // namespace orvana
