#include "Views/Overview/OverviewModel.h"

#include "Models/DayTask.h"
#include "Models/Goal.h"
#include "Services/AppEnvironment.h"
#include "Services/TrailAcknowledgment.h"
#include "Store/FocusFigures.h"
#include "Store/ModelContext.h"
#include "Views/Overview/DurationText.h"

#include <QHash>
#include <QLocale>
#include <algorithm>

namespace orvana {

namespace {

// Timers stop while the machine sleeps; a check this often notices a new
// day soon after a resume.
constexpr int dayCheckIntervalMs = 60 * 1000;

// Past this many records touched, counting each out and in again costs more
// than counting them all.
constexpr std::size_t maxTouched = 10'000;

// Deleted records leave gaps in the sequence numbers the tally is indexed
// by; beyond this the index would be mostly gaps.
constexpr std::size_t sequenceSlack = 65'536;

QString key(const Goal& goal) {
    return goal.id().toString(QUuid::WithoutBraces);
}

} // namespace

// The tasks card's counts, with what each task was counted as (by its
// sequence number), so that ticking one off is counted out and in again
// instead of every task re-read.
class OverviewModel::TaskTally {
public:
    void recount(const ModelContext& context, OverviewStats& stats);
    // False when it cannot (then recount).
    bool update(std::vector<Record*> touched, OverviewStats& stats);
    bool kept() const { return kept_; }

private:
    enum State : quint8 { uncounted, open, done };
    std::vector<State> bySequence_; // at sequence - 1
    bool kept_ = false;
};

void OverviewModel::TaskTally::recount(const ModelContext& context, OverviewStats& stats) {
    const std::vector<DayTask*> tasks = context.fetch<DayTask>();
    stats.tasksTotal = qint64(tasks.size());
    stats.tasksCompleted = 0;
    qint64 lastSequence = 0;
    kept_ = true;
    for (const DayTask* task : tasks) {
        stats.tasksCompleted += task->isComplete() ? 1 : 0;
        lastSequence = std::max(lastSequence, task->sequence());
        kept_ = kept_ && task->sequence() >= 1;
    }
    kept_ = kept_ && std::size_t(lastSequence) <= 2 * tasks.size() + sequenceSlack;
    bySequence_ = {};
    if (!kept_)
        return;
    bySequence_.reserve(std::size_t(lastSequence) + std::size_t(lastSequence) / 16 + 1024);
    bySequence_.resize(std::size_t(lastSequence), uncounted);
    for (const DayTask* task : tasks)
        bySequence_[std::size_t(task->sequence() - 1)] = task->isComplete() ? done : open;
}

bool OverviewModel::TaskTally::update(std::vector<Record*> touched, OverviewStats& stats) {
    if (!kept_)
        return false;
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
    for (Record* record : touched) {
        auto* task = static_cast<DayTask*>(record);
        if (task->sequence() < 1)
            return false;
        const auto index = std::size_t(task->sequence() - 1);
        if (index >= bySequence_.size()) {
            if (index > 2 * std::size_t(stats.tasksTotal) + sequenceSlack)
                return false;
            bySequence_.resize(index + 1, uncounted);
        }
        State& state = bySequence_[index];
        if (state != uncounted) {
            --stats.tasksTotal;
            stats.tasksCompleted -= state == done ? 1 : 0;
        }
        state = uncounted;
        if (task->isDeleted())
            continue;
        state = task->isComplete() ? done : open;
        ++stats.tasksTotal;
        stats.tasksCompleted += state == done ? 1 : 0;
    }
    return true;
}

void OverviewModel::Touched::note(Record* record) {
    if (recount)
        return;
    if (records.size() >= maxTouched) {
        records = {};
        recount = true;
        return;
    }
    records.push_back(record);
}

OverviewModel::OverviewModel(AppEnvironment& environment, QObject* parent)
    : QObject(parent), env_(environment), acknowledgment_(std::make_unique<TrailAcknowledgment>(
                                              environment.context(), environment.preferences())),
      tasks_(std::make_unique<TaskTally>()), goalRows_(new RowListModel(this)) {
    pending_.setSingleShot(true);
    pending_.setInterval(0);
    connect(&pending_, &QTimer::timeout, this, &OverviewModel::recompute);
    ModelContext& ctx = env_.context();
    // Sessions (which tick while the timer runs) and weeks are read by no
    // figure.
    connect(&ctx, &ModelContext::changed, this, [this](unsigned types) {
        unsigned parts = 0;
        if (types & entityBit(EntityType::goal))
            parts |= goalPart;
        if (types & entityBit(EntityType::trailEntry))
            parts |= trailPart;
        if (types & entityBit(EntityType::dayTask))
            parts |= taskPart;
        if (parts)
            markStale(parts);
    });
    connect(&ctx, &ModelContext::recordInserted, this, &OverviewModel::noteTouched);
    connect(&ctx, &ModelContext::recordEdited, this, &OverviewModel::noteTouched);
    connect(&ctx, &ModelContext::recordRemoved, this, &OverviewModel::noteTouched);
    connect(&ctx, &ModelContext::recordRestored, this, &OverviewModel::noteTouched);

    connect(acknowledgment_.get(), &TrailAcknowledgment::acknowledgmentEnded, this,
            &OverviewModel::endAcknowledgment);

    dayCheck_.setInterval(dayCheckIntervalMs);
    connect(&dayCheck_, &QTimer::timeout, this, &OverviewModel::checkDay);
    // Another zone puts entries on other days: everything is counted anew.
    connect(&env_, &AppEnvironment::calendarChanged, this, [this] {
        touchedTasks_.recount = true;
        markStale(allParts);
    });
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
    return tr("active goals", "stat card label under the number", int(count));
}

FocusFigures& OverviewModel::figures() const {
    return FocusFigures::of(env_.context(), env_.calendar());
}

const Calendar& OverviewModel::calendar() const {
    return env_.calendar();
}

const std::optional<QUuid>& OverviewModel::justLoggedGoalID() const {
    return acknowledgment_->justLoggedGoalID();
}

QTimer* OverviewModel::justLoggedTimer() {
    return acknowledgment_->markerTimer();
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
    if (!built_ || stale_ || touchedTasks_.pending() ||
        env_.calendar().startOfDay(env_.now()) != today_)
        recompute();

    const std::optional<QString> message = acknowledgment_->acknowledgeNewlyLoggedEntryIfAny();
    if (!message)
        return;
    acknowledgmentMessage_ = *message;
    rebuildRows();
    emit changed();
    emit acknowledgmentChanged(acknowledgmentMessage_);
}

void OverviewModel::endAcknowledgment() {
    acknowledgmentMessage_.clear();
    // Rows that are stale besides are redone by the coming recompute; this
    // only takes the mark off.
    if (built_) {
        rebuildRows();
        emit changed();
    }
    emit acknowledgmentChanged(QString());
}

void OverviewModel::noteTouched(Record* record) {
    // Nothing to note for a tally that is counted afresh anyway.
    if (record->entityType() == EntityType::dayTask && tasks_->kept())
        touchedTasks_.note(record);
}

void OverviewModel::markStale(unsigned parts) {
    stale_ |= parts;
    if (shown_)
        pending_.start();
}

void OverviewModel::checkDay() {
    if (env_.calendar().startOfDay(env_.now()) != today_)
        recompute();
}

void OverviewModel::recompute() {
    pending_.stop();
    unsigned parts = built_ ? stale_ : unsigned(allParts);
    if (touchedTasks_.pending())
        parts |= taskPart;
    stale_ = 0;
    built_ = true;
    const Calendar& calendar = env_.calendar();
    const Timestamp now = env_.now();
    const Timestamp today = calendar.startOfDay(now);
    const bool newDay = today != today_;
    today_ = today;

    if (parts & goalPart)
        refreshGoals();
    if (parts & trailPart)
        refreshTrail();
    if (parts & taskPart)
        refreshTasks();
    if (parts & (goalPart | trailPart))
        rebuildBreakdown();
    if ((parts & trailPart) || newDay) {
        stats_.currentStreakDays = figures().streak(now);
        rebuildSeries();
    }
    showsEmptyState_ = goals_.empty() && stats_.totalSessions == 0 && stats_.tasksTotal == 0;
    rebuildCards();
    if (parts & (goalPart | trailPart))
        rebuildRows();
    emit changed();
}

void OverviewModel::refreshGoals() {
    auto byOrder = FetchDescriptor<Goal>();
    byOrder.sortedBy(SortDescriptor<Goal>::by(&Goal::sortOrder));
    goals_ = env_.context().fetch(byOrder);
    stats_.activeGoalsCount = 0;
    stats_.completedGoalsCount = 0;
    for (const Goal* goal : goals_) {
        if (goal->status() == GoalStatus::active)
            ++stats_.activeGoalsCount;
        else if (goal->status() == GoalStatus::completed)
            ++stats_.completedGoalsCount;
    }
}

void OverviewModel::refreshTrail() {
    FocusFigures& figures = this->figures();
    stats_.totalFocusMinutes = figures.totalMinutes();
    stats_.totalSessions = figures.entryCount();
    stats_.dailyTotals = figures.dailyTotals();
}

void OverviewModel::refreshTasks() {
    const Touched touched = std::exchange(touchedTasks_, {});
    ModelContext& ctx = env_.context();
    if (!touched.recount && tasks_->update(touched.records, stats_) &&
        stats_.tasksTotal == qint64(ctx.count<DayTask>()))
        return;
    tasks_->recount(ctx, stats_);
}

void OverviewModel::rebuildBreakdown() {
    FocusFigures& figures = this->figures();
    stats_.goalBreakdown.clear();
    for (Goal* goal : goals_) {
        const qint64 minutes = figures.minutesOf(*goal);
        if (minutes >= 1)
            stats_.goalBreakdown.push_back({goal, minutes});
    }
    std::stable_sort(
        stats_.goalBreakdown.begin(), stats_.goalBreakdown.end(),
        [](const GoalMinutes& a, const GoalMinutes& b) { return a.minutes > b.minutes; });
}

void OverviewModel::rebuildCards() {
    const OverviewStats& s = stats_;
    const QLocale locale; // the locale's digits, as the durations have them
    auto card = [](const char* symbol, const QString& value, const QString& label, Tint tint) {
        return StatCard{QString::fromLatin1(symbol), value, label, tint,
                        tr("%1 %2", "a card's number, then its label").arg(value, label)};
    };
    cards_ = {
        card("flame.fill", formattedDuration(s.totalFocusMinutes), tr("total focus time"),
             Tint::orange),
        card("bolt.fill", locale.toString(s.currentStreakDays),
             tr("day streak", "stat card label under the number of days", int(s.currentStreakDays)),
             s.currentStreakDays >= 1 ? Tint::orange : Tint::secondary),
        card("target", locale.toString(s.activeGoalsCount), activeGoalsLabel(s.activeGoalsCount),
             Tint::accent),
        card("checkmark.circle.fill",
             QStringLiteral("%1/%2").arg(locale.toString(s.tasksCompleted),
                                         locale.toString(s.tasksTotal)),
             tr("tasks completed"), Tint::green),
    };
}

void OverviewModel::rebuildSeries() {
    windowStart_ = FocusFigures::seriesStart(env_.calendar(), today_);
    series_ = FocusFigures::series(stats_.dailyTotals, windowStart_);
}

void OverviewModel::rebuildRows() {
    // A row is made again only when its goal, minutes or mark changed: the
    // list compares rows that were not by their shared data alone.
    QHash<const Goal*, GoalRow> made;
    made.reserve(qsizetype(stats_.goalBreakdown.size()));
    std::vector<ListRow> rows;
    rows.reserve(stats_.goalBreakdown.size());
    for (const GoalMinutes& gm : stats_.goalBreakdown) {
        const Goal& goal = *gm.goal;
        const bool justLogged = justLoggedGoalID() && *justLoggedGoalID() == goal.id();
        GoalRow cached = rowCache_.take(gm.goal);
        if (cached.row.key.isEmpty() || cached.revision != goal.revision() ||
            cached.minutes != gm.minutes || cached.justLogged != justLogged) {
            const QString duration = formattedDuration(gm.minutes);
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
            cached = {std::move(r), goal.revision(), gm.minutes, justLogged};
        }
        rows.push_back(cached.row);
        made.insert(gm.goal, std::move(cached));
    }
    rowCache_ = std::move(made);
    goalRows_->setRows(std::move(rows));
}

} // namespace orvana
