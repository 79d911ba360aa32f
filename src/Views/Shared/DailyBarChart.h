#pragma once

#include "Core/Calendar.h"
#include "Models/TrailEntry.h"

#include <QColor>
#include <QDate>
#include <QRectF>
#include <QWidget>
#include <optional>
#include <vector>

namespace orvana {

// Minutes per day as bars on a continuous day axis ("Date" across, "Minutes"
// up), 160 px high, in a tint on the palette's colours. A day without minutes
// has no bar but keeps its room, so gaps in a trail stay visible. The axis
// covers the days of the totals, or a fixed range (a "last 30 days" window).
// When the days outnumber the pixel columns (decades of history) each column
// shows its busiest day, so painting stays cheap and peaks stay visible.
//
// Screen readers get "Minutes per day" and a description in words; hovering
// shows a day and its minutes.
class DailyBarChart : public QWidget {
    Q_OBJECT
public:
    // One day of the axis; `day` is a Julian day number.
    struct Day {
        qint64 day = 0;
        qint64 minutes = 0;
        friend bool operator==(const Day&, const Day&) = default;
    };
    // One painted bar: a day, or the busiest day of a pixel column.
    struct Bar {
        QRectF rect;
        qint64 day = 0;
        qint64 minutes = 0;
    };

    explicit DailyBarChart(QWidget* parent = nullptr);
    ~DailyBarChart() override;

    // The totals to show, each dated at a day start of `calendar` (as
    // FocusFigures::dailyTotals gives them). Days with no or negative minutes
    // get no bar.
    void setTotals(const std::vector<DailyTrailTotal>& totals, const Calendar& calendar);
    // Fixes the axis to the days of `first` ... `last` (both included, read
    // in the totals' calendar): empty days inside take room, days outside
    // are left out. Without it the axis runs from the first to the last total.
    void setDayRange(Timestamp first, Timestamp last);
    void clearDayRange();

    // The bar colour; an invalid colour (the default) means the palette's accent.
    void setTint(const QColor& tint);
    QColor tint() const { return tint_; }

    // What is shown: days with minutes, ascending, and the axis (null dates
    // when there is nothing to show).
    const std::vector<Day>& days() const { return days_; }
    QDate firstDay() const;
    QDate lastDay() const;

    // The bars for `days` (ascending, positive minutes) in `plot`, the x axis
    // running over the days firstDay ... lastDay, the y axis from 0 at the
    // bottom to `yTop` at the top. One bar per day while every day has at
    // least a pixel, else one per pixel column (its busiest day).
    static std::vector<Bar> barsFor(const std::vector<Day>& days, qint64 firstDay, qint64 lastDay,
                                    double yTop, const QRectF& plot);
    // A round step for the minute axis (1, 2 or 5 times a power of ten) that
    // reaches `maxMinutes` in at most `maxSteps` steps.
    static double yStep(double maxMinutes, int maxSteps);

    // The description a screen reader reads.
    QString spokenSummary() const;
    // The day under `pos` and its minutes; empty outside the bars' area.
    QString toolTipAt(const QPointF& pos) const;
    // Where the bars go, for the current size and font.
    QRectF plotRect() const;
    // The bars as painted at the current size.
    std::vector<Bar> bars() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Tick {
        double position = 0;
        QString text;
    };
    struct Layout {
        QRectF plot;
        double yTop = 1;
        std::vector<Tick> yTicks; // position = y
        std::vector<Tick> xTicks; // position = x
        std::vector<Bar> bars;
    };

    void rebuild();
    void invalidate();
    const Layout& layout() const;
    Layout computeLayout() const;
    std::vector<Tick> dateTicks(const QRectF& plot) const;
    QFont labelFont() const;
    qint64 dayOf(Timestamp t) const;
    qint64 dayCount() const { return hasAxis() ? last_ - first_ + 1 : 0; }
    bool hasAxis() const { return first_ <= last_; }

    std::vector<DailyTrailTotal> totals_;
    std::optional<Calendar> calendar_;
    std::optional<std::pair<Timestamp, Timestamp>> range_;
    std::vector<Day> days_;
    qint64 first_ = 1; // axis, as Julian days; first_ > last_: nothing to show
    qint64 last_ = 0;
    QColor tint_;
    mutable std::optional<Layout> layout_;
};

} // namespace orvana
