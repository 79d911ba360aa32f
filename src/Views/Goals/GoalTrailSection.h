#pragma once

#include <QColor>
#include <QWidget>

class QLabel;

namespace orvana {

class AppEnvironment;
class DailyBarChart;
class Goal;
class GoalTrailModel;
class GuidedEmptyState;

// The goal trail on a goal's detail: the empty state while the goal has no
// trail, else the minutes and sessions above the minutes per day in the
// goal's tint. Follows the goal's trail live.
class GoalTrailSection : public QWidget {
    Q_OBJECT
public:
    GoalTrailSection(AppEnvironment& environment, Goal& goal, QWidget* parent = nullptr);

    // The bar colour (the goal's tag colour, or the accent without one).
    void setTint(const QColor& tint);

    GoalTrailModel* model() const { return model_; }
    GuidedEmptyState* emptyState() const { return empty_; }
    QLabel* summaryLabel() const { return summary_; }
    DailyBarChart* chart() const { return chart_; }

private:
    void render();

    GoalTrailModel* model_;
    GuidedEmptyState* empty_;
    QLabel* summary_;
    DailyBarChart* chart_;
};

} // namespace orvana
