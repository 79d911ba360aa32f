#include "Views/Goals/GoalTrailModel.h"

#include "Models/Goal.h"
#include "Services/AppEnvironment.h"
#include "Store/FocusFigures.h"
#include "Store/ModelContext.h"

namespace orvana {

GoalTrailModel::GoalTrailModel(AppEnvironment& environment, Goal& goal, QObject* parent)
    : QObject(parent), env_(environment), goal_(goal) {
    connect(&env_.context(), &ModelContext::changed, this, [this](unsigned types) {
        // A goal's deletion and its undo move its entries too.
        if ((types & entityBit(EntityType::trailEntry)) && refresh())
            emit changed();
    });
    // Another zone puts the entries on other days.
    connect(&env_, &AppEnvironment::calendarChanged, this, [this] {
        snapshot_.clear();
        refresh();
        emit changed();
    });
    refresh();
}

GoalTrailModel::~GoalTrailModel() = default;

const Calendar& GoalTrailModel::calendar() const {
    return env_.calendar();
}

QString GoalTrailModel::summaryText(qint64 minutes, qint64 sessions) {
    const QString m = tr("%n minutes", nullptr, int(minutes));
    const QString s = tr("%n sessions", nullptr, int(sessions));
    return tr("%1 across %2", "minutes across sessions").arg(m, s);
}

QString GoalTrailModel::emptyTitle() {
    return tr("No Progress Yet");
}

QString GoalTrailModel::emptySymbol() {
    return QStringLiteral("chart.line.uptrend.xyaxis");
}

QString GoalTrailModel::emptyDescription() {
    return tr("Complete a focus session on this goal to start building its trail.");
}

bool GoalTrailModel::refresh() {
    static const std::vector<TrailEntry*> none;
    const std::vector<TrailEntry*>& entries = goal_.isDeleted() ? none : goal_.trailEntries();
    Snapshot now;
    now.reserve(entries.size());
    for (const TrailEntry* e : entries)
        now.emplace_back(e, e->revision());
    if (now == snapshot_)
        return false;
    snapshot_ = std::move(now);
    FocusFigures::GoalTrail trail;
    if (!goal_.isDeleted())
        trail = FocusFigures::goalTrail(goal_, env_.calendar());
    totalMinutes_ = trail.minutes;
    sessionCount_ = trail.entries;
    dailyTotals_ = std::move(trail.dailyTotals);
    return true;
}

} // namespace orvana
