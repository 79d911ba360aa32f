#include "Views/Shared/DailyBarChart.h"

#include "Views/Shared/RowPainting.h"

#include <QEvent>
#include <QHelpEvent>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <limits>

namespace orvana {

namespace {

constexpr int chartHeight = 160;
constexpr qreal cornerRadius = 3;
constexpr qreal pad = 4;
constexpr qreal widestBar = 32;

QString minutesText(qint64 minutes) {
    return DailyBarChart::tr("%n minutes", nullptr, int(minutes));
}

QString axisDate(qint64 day) {
    return QLocale().toString(QDate::fromJulianDay(day), QLocale::ShortFormat);
}

QString spokenDate(qint64 day) {
    return QLocale().toString(QDate::fromJulianDay(day), QLocale::LongFormat);
}

// A date label centred under its mark, moved inside [from, to] at the ends
// (clear of the minute labels on the left).
qreal labelLeft(qreal centre, qreal width, qreal from, qreal to) {
    return std::clamp(centre - width / 2, from, std::max(from, to - width));
}

QString minuteLabel(double minutes) {
    return QLocale().toString(minutes, 'f', 0);
}

// Month number since year 0 and back; ticks on the first of a month.
qint64 monthIndex(const QDate& date) {
    return qint64(date.year()) * 12 + date.month() - 1;
}
QDate monthStart(qint64 index) {
    const qint64 year = index >= 0 ? index / 12 : -((-index + 11) / 12);
    return QDate(int(year), int(index - year * 12) + 1, 1);
}

} // namespace

DailyBarChart::DailyBarChart(QWidget* parent) : QWidget(parent) {
    setFixedHeight(chartHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(tr("Minutes per day"));
    rebuild();
}

DailyBarChart::~DailyBarChart() = default;

void DailyBarChart::setTotals(const std::vector<DailyTrailTotal>& totals,
                              const Calendar& calendar) {
    totals_ = totals;
    calendar_ = calendar;
    rebuild();
}

void DailyBarChart::setDayRange(Timestamp first, Timestamp last) {
    range_ = std::pair{first, last};
    rebuild();
}

void DailyBarChart::clearDayRange() {
    range_.reset();
    rebuild();
}

void DailyBarChart::setTint(const QColor& tint) {
    if (tint == tint_)
        return;
    tint_ = tint;
    update();
}

QDate DailyBarChart::firstDay() const {
    return hasAxis() ? QDate::fromJulianDay(first_) : QDate();
}

QDate DailyBarChart::lastDay() const {
    return hasAxis() ? QDate::fromJulianDay(last_) : QDate();
}

qint64 DailyBarChart::dayOf(Timestamp t) const {
    const DateComponents c = calendar_->components(t);
    return QDate(c.year, c.month, c.day).toJulianDay();
}

void DailyBarChart::rebuild() {
    days_.clear();
    first_ = 1;
    last_ = 0;
    if (calendar_) {
        days_.reserve(totals_.size());
        for (const DailyTrailTotal& total : totals_) {
            if (total.minutes > 0)
                days_.push_back({dayOf(total.date), total.minutes});
        }
        // Day starts of one calendar are ascending already; a caller's own
        // series might not be, and two starts may read as one day.
        std::stable_sort(days_.begin(), days_.end(),
                         [](const Day& a, const Day& b) { return a.day < b.day; });
        auto merged = days_.begin();
        for (auto it = days_.begin(); it != days_.end(); ++it) {
            if (merged != days_.begin() && std::prev(merged)->day == it->day)
                std::prev(merged)->minutes += std::min(
                    it->minutes, std::numeric_limits<qint64>::max() - std::prev(merged)->minutes);
            else
                *merged++ = *it;
        }
        days_.erase(merged, days_.end());
        if (range_) {
            first_ = dayOf(std::min(range_->first, range_->second));
            last_ = dayOf(std::max(range_->first, range_->second));
            std::erase_if(days_, [this](const Day& d) { return d.day < first_ || d.day > last_; });
        } else if (!days_.empty()) {
            first_ = days_.front().day;
            last_ = days_.back().day;
        }
    }
    setAccessibleDescription(spokenSummary());
    invalidate();
}

void DailyBarChart::invalidate() {
    layout_.reset();
    update();
}

double DailyBarChart::yStep(double maxMinutes, int maxSteps) {
    maxSteps = std::max(1, maxSteps);
    if (!(maxMinutes > 0) || !std::isfinite(maxMinutes))
        return 1;
    double magnitude = std::pow(10.0, std::floor(std::log10(maxMinutes / maxSteps)));
    magnitude = std::max(1.0, magnitude); // whole minutes
    for (;;) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            const double step = factor * magnitude;
            if (std::ceil(maxMinutes / step) <= maxSteps)
                return step;
        }
        magnitude *= 10;
    }
}

std::vector<DailyBarChart::Bar> DailyBarChart::barsFor(const std::vector<Day>& days,
                                                       qint64 firstDay, qint64 lastDay, double yTop,
                                                       const QRectF& plot) {
    std::vector<Bar> bars;
    if (lastDay < firstDay || plot.width() <= 0 || plot.height() <= 0 || !(yTop > 0))
        return bars;
    const qint64 count = lastDay - firstDay + 1;
    auto height = [&](qint64 minutes) {
        // A day with minutes always shows, however tall the busiest day is.
        return std::clamp(plot.height() * (double(minutes) / yTop), 1.0, plot.height());
    };
    auto bar = [&](double left, double width, qint64 day, qint64 minutes) {
        const double h = height(minutes);
        return Bar{QRectF(left, plot.bottom() - h, width, h), day, minutes};
    };
    const auto columns = qint64(std::floor(plot.width()));
    if (count <= columns) {
        const double slot = plot.width() / double(count);
        const double width = slot >= 4 ? std::min(slot * 0.7, widestBar) : slot;
        for (const Day& d : days) {
            if (d.minutes <= 0 || d.day < firstDay || d.day > lastDay)
                continue;
            const double centre = plot.left() + (double(d.day - firstDay) + 0.5) * slot;
            bars.push_back(bar(centre - width / 2, width, d.day, d.minutes));
        }
        return bars;
    }
    // More days than pixels: one bar per column, as tall as its busiest day.
    const double width = plot.width() / double(columns);
    qint64 column = -1;
    for (const Day& d : days) {
        if (d.minutes <= 0 || d.day < firstDay || d.day > lastDay)
            continue;
        // Wide enough for any span of QDate's days times any column count.
        const auto c = qint64(static_cast<long double>(d.day - firstDay) * columns / count);
        if (c != column) {
            column = c;
            bars.push_back(bar(plot.left() + double(c) * width, width, d.day, d.minutes));
        } else if (d.minutes > bars.back().minutes) {
            bars.back() = bar(plot.left() + double(c) * width, width, d.day, d.minutes);
        }
    }
    return bars;
}

QFont DailyBarChart::labelFont() const {
    return smallerFont(font());
}

QRectF DailyBarChart::plotRect() const {
    return layout().plot;
}

std::vector<DailyBarChart::Bar> DailyBarChart::bars() const {
    return layout().bars;
}

const DailyBarChart::Layout& DailyBarChart::layout() const {
    if (!layout_)
        layout_ = computeLayout();
    return *layout_;
}

DailyBarChart::Layout DailyBarChart::computeLayout() const {
    Layout out;
    const QFontMetricsF fm(labelFont());
    const qreal line = fm.height();
    const double plotTop = pad + line / 2;                          // room for the top tick's label
    const double plotBottom = height() - pad - line - 2 - line - 2; // date labels, "Date"
    const double plotHeight = std::max(1.0, plotBottom - plotTop);

    qint64 busiest = 0;
    for (const Day& d : days_)
        busiest = std::max(busiest, d.minutes);
    // Labels at least two lines apart.
    const int maxSteps = std::clamp(int(plotHeight / (line * 2)), 1, 5);
    const double step = yStep(double(busiest), maxSteps);
    out.yTop = std::max(step, std::ceil(double(busiest) / step) * step);

    qreal labelWidth = 0;
    for (double v = 0; v <= out.yTop + step / 2; v += step) {
        out.yTicks.push_back({v, minuteLabel(v)});
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(out.yTicks.back().text));
    }
    // "Minutes" runs upwards left of the labels.
    const double left = pad + line + pad + labelWidth + pad;
    const double right = width() - pad - fm.averageCharWidth();
    out.plot = QRectF(QPointF(left, plotTop), QPointF(std::max(left + 1, right), plotBottom));
    for (Tick& t : out.yTicks)
        t.position = out.plot.bottom() - out.plot.height() * (t.position / out.yTop);

    out.xTicks = dateTicks(out.plot);
    out.bars = barsFor(days_, first_, last_, out.yTop, out.plot);
    return out;
}

// Dates under the axis: the densest of a few round spacings (days, weeks,
// months, years) whose labels fit side by side without touching.
std::vector<DailyBarChart::Tick> DailyBarChart::dateTicks(const QRectF& plot) const {
    std::vector<Tick> ticks;
    if (!hasAxis())
        return ticks;
    const QFontMetricsF fm(labelFont());
    const qint64 count = dayCount();
    const double slot = plot.width() / double(count);
    const qreal gap = fm.averageCharWidth() * 2;
    const qreal typical = fm.horizontalAdvance(axisDate(last_)) + gap;
    auto x = [&](qint64 day) { return plot.left() + (double(day - first_) + 0.5) * slot; };

    // Places labels centred on their days, kept inside the widget; false
    // when two would touch.
    auto place = [&](const std::vector<qint64>& tickDays) {
        ticks.clear();
        qreal previousRight = -1e9;
        for (qint64 day : tickDays) {
            Tick t{x(day), axisDate(day)};
            const qreal w = fm.horizontalAdvance(t.text);
            const qreal leftEdge = labelLeft(t.position, w, plot.left(), width());
            if (leftEdge < previousRight + gap)
                return false;
            previousRight = leftEdge + w;
            ticks.push_back(std::move(t));
        }
        return true;
    };

    for (const qint64 step : {1, 2, 7, 14}) {
        if (step * slot < typical)
            continue;
        std::vector<qint64> tickDays;
        for (qint64 day = first_; day <= last_; day += step)
            tickDays.push_back(day);
        if (place(tickDays))
            return ticks;
    }
    const qint64 firstMonth = monthIndex(QDate::fromJulianDay(first_));
    const qint64 lastMonth = monthIndex(QDate::fromJulianDay(last_));
    for (qint64 months = 1;; months = months < 3 ? months + 1 : months < 6 ? 6 : months * 2) {
        if (months * 28 * slot < typical)
            continue;
        std::vector<qint64> tickDays;
        // The first month start on a multiple of the step, inside the axis.
        qint64 m = firstMonth + ((months - firstMonth % months) % months);
        for (; m <= lastMonth + 1; m += months) {
            const QDate start = monthStart(m);
            if (!start.isValid())
                continue;
            const qint64 day = start.toJulianDay();
            if (day >= first_ && day <= last_)
                tickDays.push_back(day);
        }
        if (tickDays.empty() || place(tickDays))
            break;
    }
    if (ticks.empty())
        place({first_}); // a short axis in a narrow chart: at least where it starts
    return ticks;
}

QString DailyBarChart::spokenSummary() const {
    if (days_.empty()) {
        if (!hasAxis())
            return tr("No focus minutes.");
        return tr("No focus minutes between %1 and %2.").arg(spokenDate(first_), spokenDate(last_));
    }
    const Day busiest =
        *std::max_element(days_.begin(), days_.end(),
                          [](const Day& a, const Day& b) { return a.minutes < b.minutes; });
    if (days_.size() == 1)
        return tr("Focus on 1 day, %1, with %2.")
            .arg(spokenDate(busiest.day), minutesText(busiest.minutes));
    return tr("Focus on %n days between %1 and %2. The busiest day, %3, had %4.", nullptr,
              int(days_.size()))
        .arg(spokenDate(first_), spokenDate(last_), spokenDate(busiest.day),
             minutesText(busiest.minutes));
}

QString DailyBarChart::toolTipAt(const QPointF& pos) const {
    const Layout& l = layout();
    if (!hasAxis() || pos.x() < l.plot.left() || pos.x() >= l.plot.right() ||
        pos.y() < l.plot.top() - pad || pos.y() > l.plot.bottom() + pad)
        return {};
    const qint64 count = dayCount();
    const auto columns = qint64(std::floor(l.plot.width()));
    const double fraction = (pos.x() - l.plot.left()) / l.plot.width();
    if (count > columns) {
        // A column of many days: its bar tells the busiest.
        const auto column = qint64(fraction * double(columns));
        const double columnLeft = l.plot.left() + double(column) * l.plot.width() / double(columns);
        auto it = std::lower_bound(l.bars.begin(), l.bars.end(), columnLeft - 0.25,
                                   [](const Bar& b, double x) { return b.rect.left() < x; });
        if (it != l.bars.end() && std::abs(it->rect.left() - columnLeft) < 0.25)
            return tr("%1: %2").arg(spokenDate(it->day), minutesText(it->minutes));
    }
    const qint64 day = std::min(last_, first_ + qint64(fraction * double(count)));
    auto it = std::lower_bound(days_.begin(), days_.end(), day,
                               [](const Day& d, qint64 v) { return d.day < v; });
    const qint64 minutes = it != days_.end() && it->day == day ? it->minutes : 0;
    return tr("%1: %2").arg(spokenDate(day), minutesText(minutes));
}

QSize DailyBarChart::sizeHint() const {
    return {360, chartHeight};
}

QSize DailyBarChart::minimumSizeHint() const {
    return {120, chartHeight};
}

bool DailyBarChart::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, this);
        }
        return true;
    }
    return QWidget::event(event);
}

void DailyBarChart::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layout_.reset();
}

void DailyBarChart::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::LocaleChange)
        invalidate();
}

void DailyBarChart::paintEvent(QPaintEvent*) {
    const Layout& l = layout();
    QPainter p(this);
    const QFont labels = labelFont();
    p.setFont(labels);
    const QFontMetricsF fm(labels);
    const QColor secondary = palette().color(QPalette::PlaceholderText);
    QColor grid = secondary;
    grid.setAlphaF(grid.alphaF() * 0.3f);

    // Minute lines and labels.
    for (const Tick& t : l.yTicks) {
        p.setPen(QPen(grid, 0));
        p.drawLine(QPointF(l.plot.left(), t.position), QPointF(l.plot.right(), t.position));
        p.setPen(secondary);
        const QRectF box(0, t.position - fm.height() / 2, l.plot.left() - pad, fm.height());
        p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, t.text);
    }
    // Date marks and labels.
    const double labelTop = l.plot.bottom() + 2;
    for (const Tick& t : l.xTicks) {
        p.setPen(QPen(secondary, 0));
        p.drawLine(QPointF(t.position, l.plot.bottom()), QPointF(t.position, labelTop + 1));
        const qreal w = fm.horizontalAdvance(t.text);
        const qreal x = labelLeft(t.position, w, l.plot.left(), width());
        p.drawText(QRectF(x, labelTop, w + 1, fm.height()), Qt::AlignLeft | Qt::AlignTop, t.text);
    }
    // Axis titles.
    const QRectF dateTitle(l.plot.left(), labelTop + fm.height(), l.plot.width(), fm.height());
    p.drawText(dateTitle, Qt::AlignHCenter | Qt::AlignTop, tr("Date"));
    p.save();
    p.translate(pad, l.plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-l.plot.height(), 0, 2 * l.plot.height(), fm.height()),
               Qt::AlignHCenter | Qt::AlignTop, tr("Minutes"));
    p.restore();

    // Bars; thin ones as plain rectangles, where a rounding would not show.
    const QColor fill = tint_.isValid() ? tint_ : palette().color(QPalette::Highlight);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.setRenderHint(QPainter::Antialiasing);
    for (const Bar& b : l.bars) {
        if (b.rect.width() < 2 * cornerRadius)
            p.fillRect(b.rect, fill);
        else
            p.drawRoundedRect(b.rect, cornerRadius, cornerRadius);
    }
    // The base line over the bars' feet.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(secondary, 0));
    p.drawLine(QPointF(l.plot.left(), l.plot.bottom()), QPointF(l.plot.right(), l.plot.bottom()));
}

} // namespace orvana
