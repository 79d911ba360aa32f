#pragma once

#include "Core/Calendar.h"
#include "Models/OverviewStats.h"
#include "Views/Shared/RowListModel.h"

#include <QObject>
#include <QTimer>
#include <QUuid>
#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace orvana {

class AppEnvironment;
class Goal;
class TrailAcknowledgment;

// The "Overview" screen without widgets: the four stat cards, the focus of
// the last 30 days, the minutes per goal, the empty state and the one-time
// acknowledgment of newly logged minutes.
//
// The figures are computed from all records while the screen is shown, at
// most once per event-loop turn however many changes that turn made; while
// it is hidden a change only marks them stale, so edits on other screens
// cost nothing here. Nothing is computed before the first showing.
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
        DurationTextRole,                // formattedDuration of the goal's minutes
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

    // The last acknowledgment ("25 min logged to Run a marathon"), or empty.
    const QString& acknowledgmentMessage() const { return acknowledgmentMessage_; }
    // The goal just credited, marked for 4 seconds after the announcement.
    const std::optional<QUuid>& justLoggedGoalID() const { return justLoggedGoalID_; }
    // Ends the mark; a test can fire it instead of waiting.
    QTimer* justLoggedTimer() { return &justLoggedTimer_; }

    // Re-reads the clock: the streak and the chart's window follow the day.
    void checkDay();

signals:
    // Figures, rows or the mark changed.
    void changed();
    // A new trail entry is announced; the banner shows `message`.
    void acknowledged(const QString& message);

private:
    void markStale();
    void recompute();
    void rebuildCards();
    void rebuildSeries();
    void rebuildRows();

    AppEnvironment& env_;
    std::unique_ptr<TrailAcknowledgment> acknowledgment_;
    RowListModel* goalRows_;
    OverviewStats stats_;
    std::array<StatCard, 4> cards_;
    std::vector<DailyTrailTotal> series_;
    std::optional<Timestamp> windowStart_;
    Timestamp today_ = 0;
    bool showsEmptyState_ = true;
    bool shown_ = false;
    bool stale_ = true;
    QString acknowledgmentMessage_;
    std::optional<QUuid> justLoggedGoalID_;
    QTimer justLoggedTimer_;
    QTimer pending_;  // zero-time: one recompute after the turn's changes
    QTimer dayCheck_; // a new day moves the streak and the window
};

} // namespace orvana
