#include "Views/Overview/OverviewModel.h"

#include "Models/DayTask.h"
#include "Models/Goal.h"
#include "Models/TrailEntry.h"
#include "Services/AppEnvironment.h"
#include "Services/TrailAcknowledgment.h"
#include "Store/ModelContext.h"

#include <algorithm>

namespace orvana {

namespace {

// What the figures read: goal status, title, tag and order; the trail; task
// completion. Sessions (which tick while the timer runs) and weeks do not.
constexpr unsigned readTypes = entityBit(EntityType::goal) | entityBit(EntityType::trailEntry) |
                               entityBit(EntityType::dayTask);

// How long the goal just credited stays marked.
constexpr int justLoggedMs = 4000;

// Timers stop while the machine sleeps; a check this often notices a new
// day soon after a resume.
constexpr int dayCheckIntervalMs = 60 * 1000;

// The chart covers today and the 29 days before it.
constexpr int windowDays = 30;

QString key(const Goal& goal) {
    return goal.id().toString(QUuid::WithoutBraces);
}

} // namespace

OverviewModel::OverviewModel(AppEnvironment& environment, QObject* parent)
    : QObject(parent), env_(environment), acknowledgment_(std::make_unique<TrailAcknowledgment>(
                                              environment.context(), environment.preferences())),
      goalRows_(new RowListModel(this)) {
    pending_.setSingleShot(true);
    pending_.setInterval(0);
    connect(&pending_, &QTimer::timeout, this, &OverviewModel::recompute);
    connect(&env_.context(), &ModelContext::changed, this, [this](unsigned types) {
        if (types & readTypes)
            markStale();
    });

    justLoggedTimer_.setSingleShot(true);
    justLoggedTimer_.setInterval(justLoggedMs);
    connect(&justLoggedTimer_, &QTimer::timeout, this, [this] {
        if (!justLoggedGoalID_)
            return;
        justLoggedGoalID_.reset();
        // Stale rows may name deleted goals; the coming recompute redoes them.
        if (stale_)
            return;
        rebuildRows();
        emit changed();
    });

    dayCheck_.setInterval(dayCheckIntervalMs);
    connect(&dayCheck_, &QTimer::timeout, this, &OverviewModel::checkDay);
}

OverviewModel::~OverviewModel() = default;

QString OverviewModel::title() {
    return tr("Overview");
}
QString OverviewModel::chartTitle() {
    return tr("Focus Over Time (30 days)");
}
QString OverviewModel::goalsTitle() {
    return tr("Focus by Goal");
}
QString OverviewModel::emptyTitle() {
    return tr("Nothing to Show Yet");
}
QString OverviewModel::emptySymbol() {
    return QStringLiteral("chart.bar.xaxis");
}
QString OverviewModel::emptyDescription() {
    return tr("Add a goal and start a focus session — your overview builds itself from there.");
}
QString OverviewModel::activeGoalsLabel(qint64 count) {
    return count == 1 ? tr("active goal") : tr("active goals");
}

const Calendar& OverviewModel::calendar() const {
    return env_.calendar();
}

void OverviewModel::setShown(bool shown) {
    if (shown == shown_)
        return;
    shown_ = shown;
    if (!shown_) {
        dayCheck_.stop();
        pending_.stop();
        return;
    }
    dayCheck_.start();
    if (stale_ || env_.calendar().startOfDay(env_.now()) != today_)
        recompute();

    const std::optional<QString> message = acknowledgment_->acknowledgeNewlyLoggedEntryIfAny();
    if (!message)
        return;
    acknowledgmentMessage_ = *message;
    justLoggedGoalID_ = acknowledgment_->justLoggedGoalID();
    if (justLoggedGoalID_)
        justLoggedTimer_.start();
    else
        justLoggedTimer_.stop();
    rebuildRows();
    emit changed();
    emit acknowledged(acknowledgmentMessage_);
}

void OverviewModel::markStale() {
    stale_ = true;
    if (shown_)
        pending_.start();
}

void OverviewModel::checkDay() {
    if (env_.calendar().startOfDay(env_.now()) != today_)
        recompute();
}

void OverviewModel::recompute() {
    pending_.stop();
    stale_ = false;
    ModelContext& ctx = env_.context();
    auto byOrder = FetchDescriptor<Goal>();
    byOrder.sortedBy(SortDescriptor<Goal>::by(&Goal::sortOrder));
    const std::vector<Goal*> goals = ctx.fetch(byOrder);
    const std::vector<TrailEntry*> entries = ctx.fetch<TrailEntry>();
    const std::vector<DayTask*> tasks = ctx.fetch<DayTask>();
    const Timestamp now = env_.now();
    stats_ = OverviewStats::compute(goals, entries, tasks, env_.calendar(), now);
    showsEmptyState_ = goals.empty() && entries.empty() && tasks.empty();
    today_ = env_.calendar().startOfDay(now);
    rebuildCards();
    rebuildSeries();
    rebuildRows();
    emit changed();
}

void OverviewModel::rebuildCards() {
    const OverviewStats& s = stats_;
    auto card = [](const char* symbol, const QString& value, const QString& label, Tint tint) {
        return StatCard{QString::fromLatin1(symbol), value, label, tint,
                        tr("%1 %2").arg(value, label)};
    };
    cards_ = {
        card("flame.fill", OverviewStats::formattedDuration(s.totalFocusMinutes), tr("total focus time"),
             Tint::orange),
        card("bolt.fill", QString::number(s.currentStreakDays), tr("day streak"),
             s.currentStreakDays >= 1 ? Tint::orange : Tint::secondary),
        card("target", QString::number(s.activeGoalsCount), activeGoalsLabel(s.activeGoalsCount),
             Tint::accent),
        card("checkmark.circle.fill",
             QStringLiteral("%1/%2").arg(s.tasksCompleted).arg(s.tasksTotal), tr("tasks completed"),
             Tint::green),
    };
}

void OverviewModel::rebuildSeries() {
    windowStart_ = env_.calendar().startOfDayAfter(today_, -(windowDays - 1));
    series_.clear();
    if (!windowStart_) {
        series_ = stats_.dailyTotals;
        return;
    }
    // Ascending: the window is a tail of the totals.
    auto first =
        std::lower_bound(stats_.dailyTotals.begin(), stats_.dailyTotals.end(), *windowStart_,
                         [](const DailyTrailTotal& d, Timestamp start) { return d.date < start; });
    series_.assign(first, stats_.dailyTotals.end());
}

void OverviewModel::rebuildRows() {
    std::vector<ListRow> rows;
    rows.reserve(stats_.goalBreakdown.size());
    for (const GoalMinutes& gm : stats_.goalBreakdown) {
        const Goal& goal = *gm.goal;
        const QString duration = OverviewStats::formattedDuration(gm.minutes);
        const bool justLogged = justLoggedGoalID_ && *justLoggedGoalID_ == goal.id();
        ListRow r;
        r.key = key(goal);
        r.record = gm.goal;
        r.data = {
            {Qt::DisplayRole, goal.title()},
            {Qt::AccessibleTextRole,
             justLogged ? tr("%1, just logged").arg(goal.title()) : goal.title()},
            {Qt::AccessibleDescriptionRole, duration},
            {ColorTagRole, goal.colorTag().value_or(QString())},
            {DurationTextRole, duration},
            {JustLoggedRole, justLogged},
        };
        r.flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        rows.push_back(std::move(r));
    }
    goalRows_->setRows(std::move(rows));
}

} // namespace orvana
