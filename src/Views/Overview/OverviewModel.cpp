#include "Views/Overview/OverviewModel.h"

#include "Core/Arithmetic.h"
#include "Models/DayTask.h"
#include "Models/Goal.h"
#include "Models/TrailEntry.h"
#include "Services/AppEnvironment.h"
#include "Services/TrailAcknowledgment.h"
#include "Store/ModelContext.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <limits>

namespace orvana {

namespace {

// Timers stop while the machine sleeps; a check this often notices a new
// day soon after a resume.
constexpr int dayCheckIntervalMs = 60 * 1000;

// The chart covers today and the 29 days before it.
constexpr int windowDays = 30;

// Past this many records touched, counting each out and in again costs more
// than counting them all.
constexpr std::size_t maxTouched = 10'000;

// The tally keeps exact sums, so it is kept only where no sum can reach the
// 64-bit limits and every date is one the calendar can place: up to 2^30
// entries of at most 2^32 minutes each (about 8 000 years), dated within
// about 3 000 years of 1970 and within a thousand years of each other, in a
// zone whose offset moves by at most 6 hours over that time.
constexpr qint64 maxTallyMinutes = qint64(1) << 32;
constexpr qint64 maxTallyEntries = qint64(1) << 30;
constexpr double maxTallyDate = 1e11;
constexpr double maxTallySpan = 1000.0 * 366 * 86400;
constexpr int maxOffsetSwing = 6 * 3600;
// Deleted records leave gaps in the sequence numbers the tally is indexed
// by; beyond this the index would be mostly gaps.
constexpr std::size_t sequenceSlack = 65'536;

bool countable(const TrailEntry& e) {
    return std::abs(e.date()) <= maxTallyDate && e.minutes() <= maxTallyMinutes &&
           e.minutes() >= -maxTallyMinutes;
}

QString key(const Goal& goal) {
    return goal.id().toString(QUuid::WithoutBraces);
}

constexpr auto dayOrder = [](const DailyTrailTotal& d, Timestamp start) { return d.date < start; };

// OverviewStats::currentStreak for totals that are ascending day starts, as
// the tally keeps them: a lookup per day of the streak instead of a set of
// every day with focus.
qint64 streakOverDayStarts(const std::vector<DailyTrailTotal>& days, const Calendar& calendar,
                           Timestamp now) {
    auto active = [&](Timestamp day) {
        auto it = std::lower_bound(days.begin(), days.end(), day, dayOrder);
        return it != days.end() && it->date == day && it->minutes >= 1;
    };
    std::optional<Timestamp> cursor = calendar.startOfDay(now);
    if (!active(*cursor)) {
        cursor = calendar.startOfDayAfter(*cursor, -1);
        if (!cursor || !active(*cursor))
            return 0;
    }
    qint64 count = 0;
    while (cursor && active(*cursor)) {
        ++count;
        cursor = calendar.startOfDayAfter(*cursor, -1);
    }
    return count;
}

} // namespace

// The trail's share of the figures (daily totals, total minutes, number of
// entries, minutes per goal), with what each entry was counted as, so that
// a touched entry is counted out and in again instead of the trail re-read.
// On a trail of absurd imported values (see the limits above) it keeps
// nothing and every change counts it all again, saturating as
// OverviewStats::compute does.
class OverviewModel::TrailTally {
public:
    // Counts every live entry afresh into `stats`.
    void recount(const ModelContext& context, const Calendar& calendar, OverviewStats& stats);
    // Counts the entries touched since out and in again. False when the
    // tally cannot (then recount).
    bool update(std::vector<Record*> touched, const Calendar& calendar, OverviewStats& stats);
    // Whether updates can work; without, touched entries need no noting.
    bool kept() const { return kept_; }
    qint64 minutesOf(const Goal* goal) const {
        const auto index = std::size_t(goal->sequence() - 1);
        return index < goalMinutes_.size() ? goalMinutes_[index] : 0;
    }

private:
    struct Counted {
        Timestamp day = std::numeric_limits<double>::quiet_NaN(); // NaN: not counted
        qint64 minutes = 0;
        Goal* goal = nullptr;
    };

    void countIn(const Counted& c, OverviewStats& stats);
    bool countOut(const Counted& c, OverviewStats& stats);

    std::vector<Counted> bySequence_;   // at sequence - 1
    std::vector<qint64> entriesPerDay_; // beside stats.dailyTotals
    std::vector<qint64> goalMinutes_;   // at the goal's sequence - 1
    bool kept_ = false;
};

void OverviewModel::TrailTally::recount(const ModelContext& context, const Calendar& calendar,
                                        OverviewStats& stats) {
    const std::vector<TrailEntry*> entries = context.fetch<TrailEntry>();
    bySequence_ = {};
    entriesPerDay_ = {};
    goalMinutes_ = {};
    stats.totalSessions = qint64(entries.size());
    stats.totalFocusMinutes = 0;
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    qint64 lastSequence = 0, lastGoalSequence = 0;
    kept_ = stats.totalSessions <= maxTallyEntries;
    for (const TrailEntry* e : entries) {
        stats.totalFocusMinutes = saturatingAdd(stats.totalFocusMinutes, e->minutes());
        kept_ = kept_ && countable(*e) && e->sequence() >= 1;
        lo = std::min(lo, e->date());
        hi = std::max(hi, e->date());
        lastSequence = std::max(lastSequence, e->sequence());
        if (e->goal())
            lastGoalSequence = std::max(lastGoalSequence, e->goal()->sequence());
    }
    kept_ = kept_ && !entries.empty() && hi - lo <= maxTallySpan &&
            std::size_t(lastSequence) <= 2 * entries.size() + sequenceSlack;

    // The zone's offsets over the trail's range: a handful of transitions.
    const QTimeZone& zone = calendar.timeZone();
    struct Period {
        double from; // UTC, on to the next period's start
        int offset;  // seconds east of UTC
    };
    std::vector<Period> periods;
    int fewest = 0, most = 0;
    if (kept_) {
        periods.push_back({lo, zone.offsetFromUtc(toDateTime(lo))});
        for (const auto& t : zone.transitions(toDateTime(lo), toDateTime(hi)))
            periods.push_back({fromDateTime(t.atUtc), t.offsetFromUtc});
        fewest = most = periods.front().offset;
        for (const Period& p : periods) {
            fewest = std::min(fewest, p.offset);
            most = std::max(most, p.offset);
        }
        // A zone that once jumped across the date line: the calendar alone.
        kept_ = most - fewest <= maxOffsetSwing;
    }
    if (!kept_) {
        // As compute sums them: along each goal's own list, saturating.
        for (const Goal* goal : context.fetch<Goal>()) {
            const auto index = std::size_t(goal->sequence() - 1);
            if (index >= goalMinutes_.size())
                goalMinutes_.resize(index + 1);
            goalMinutes_[index] = TrailEntry::totalMinutes(goal->trailEntries());
        }
        stats.dailyTotals = TrailEntry::dailyTotals(entries, calendar);
        // An empty trail has nothing to keep: the first entry logged is
        // counted in.
        kept_ = entries.empty();
        return;
    }

    // Each entry's local day number by its period's offset, one slot per day
    // of the range.
    auto periodOf = [&](double t) {
        return std::prev(std::upper_bound(periods.begin() + 1, periods.end(), t,
                                          [](double v, const Period& p) { return v < p.from; }));
    };
    const auto first = qint64(std::floor((lo + fewest) / 86400.0));
    const auto last = qint64(std::floor((hi + most) / 86400.0));
    // The start of the day numbered `first + slot`: local midnight by the
    // offset of the period around it, where that period holds the whole day
    // and a day on each side; else (the days next to a clock change, and the
    // trail's ends) the calendar's, asked about the day's noon.
    auto dayStart = [&](qint64 slot) {
        const double day = double(first + slot) * 86400.0;
        const auto period = periodOf(day - most + 43200.0);
        const double next = period + 1 == periods.end() ? hi : std::min(hi, (period + 1)->from);
        const double midnight = day - period->offset;
        if (midnight - 86400.0 >= period->from && midnight + 2 * 86400.0 <= next)
            return midnight;
        return calendar.startOfDay(midnight + 43200.0);
    };
    struct Slot {
        qint64 minutes = 0;
        qint64 entries = 0;
        Timestamp start = 0;
    };
    std::vector<Slot> daySlots(std::size_t(last - first) + 1);
    goalMinutes_.resize(std::size_t(lastGoalSequence));
    // Room for the entries logged from here on without moving the table.
    bySequence_.reserve(std::size_t(lastSequence) + std::size_t(lastSequence) / 16 + 1024);
    bySequence_.resize(std::size_t(lastSequence));
    for (const TrailEntry* e : entries) {
        const double t = e->date();
        const qint64 day = qint64(std::floor((t + periodOf(t)->offset) / 86400.0)) - first;
        Slot& slot = daySlots[std::size_t(day)];
        if (slot.entries++ == 0)
            slot.start = dayStart(day);
        slot.minutes += e->minutes();
        Goal* goal = e->goal();
        if (goal)
            goalMinutes_[std::size_t(goal->sequence() - 1)] += e->minutes();
        bySequence_[std::size_t(e->sequence() - 1)] = {slot.start, e->minutes(), goal};
    }
    stats.dailyTotals.clear();
    for (const Slot& slot : daySlots) {
        if (slot.entries == 0)
            continue;
        stats.dailyTotals.push_back({slot.start, slot.minutes});
        entriesPerDay_.push_back(slot.entries);
    }
}

bool OverviewModel::TrailTally::update(std::vector<Record*> touched, const Calendar& calendar,
                                       OverviewStats& stats) {
    if (!kept_)
        return false;
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
    for (Record* record : touched) {
        auto* e = static_cast<TrailEntry*>(record);
        if (e->sequence() < 1)
            return false;
        const auto index = std::size_t(e->sequence() - 1);
        if (index >= bySequence_.size()) {
            if (index > 2 * std::size_t(stats.totalSessions) + sequenceSlack)
                return false;
            bySequence_.resize(index + 1);
        }
        Counted& counted = bySequence_[index];
        if (!std::isnan(counted.day) && !countOut(counted, stats))
            return false;
        counted = {};
        if (e->isDeleted())
            continue;
        if (!countable(*e) || stats.totalSessions >= maxTallyEntries)
            return false;
        counted = {calendar.startOfDay(e->date()), e->minutes(), e->goal()};
        countIn(counted, stats);
    }
    return true;
}

void OverviewModel::TrailTally::countIn(const Counted& c, OverviewStats& stats) {
    std::vector<DailyTrailTotal>& days = stats.dailyTotals;
    auto it = std::lower_bound(days.begin(), days.end(), c.day, dayOrder);
    const auto at = std::size_t(it - days.begin());
    if (it == days.end() || it->date != c.day) {
        days.insert(it, {c.day, 0});
        entriesPerDay_.insert(entriesPerDay_.begin() + std::ptrdiff_t(at), 0);
    }
    days[at].minutes += c.minutes;
    ++entriesPerDay_[at];
    if (c.goal) {
        const auto index = std::size_t(c.goal->sequence() - 1);
        if (index >= goalMinutes_.size())
            goalMinutes_.resize(index + 1);
        goalMinutes_[index] += c.minutes;
    }
    stats.totalFocusMinutes += c.minutes;
    ++stats.totalSessions;
}

bool OverviewModel::TrailTally::countOut(const Counted& c, OverviewStats& stats) {
    std::vector<DailyTrailTotal>& days = stats.dailyTotals;
    auto it = std::lower_bound(days.begin(), days.end(), c.day, dayOrder);
    if (it == days.end() || it->date != c.day)
        return false;
    const auto at = std::size_t(it - days.begin());
    it->minutes -= c.minutes;
    if (--entriesPerDay_[at] == 0) {
        days.erase(it);
        entriesPerDay_.erase(entriesPerDay_.begin() + std::ptrdiff_t(at));
    }
    if (c.goal)
        goalMinutes_[std::size_t(c.goal->sequence() - 1)] -= c.minutes;
    stats.totalFocusMinutes -= c.minutes;
    --stats.totalSessions;
    return true;
}

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
      trail_(std::make_unique<TrailTally>()), tasks_(std::make_unique<TaskTally>()),
      goalRows_(new RowListModel(this)) {
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
        touchedEntries_.recount = true;
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
    return count == 1 ? tr("active goal") : tr("active goals");
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
    if (!built_ || stale_ || touchedEntries_.pending() || touchedTasks_.pending() ||
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
    if (record->entityType() == EntityType::trailEntry && trail_->kept())
        touchedEntries_.note(record);
    else if (record->entityType() == EntityType::dayTask && tasks_->kept())
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
    if (touchedEntries_.pending())
        parts |= trailPart;
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
        stats_.currentStreakDays =
            trail_->kept() ? streakOverDayStarts(stats_.dailyTotals, calendar, now)
                           : OverviewStats::currentStreak(stats_.dailyTotals, calendar, now);
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
    const Touched touched = std::exchange(touchedEntries_, {});
    ModelContext& ctx = env_.context();
    // The count is a check on the bookkeeping: should it ever be off, a
    // recount puts it right.
    if (!touched.recount && trail_->update(touched.records, env_.calendar(), stats_) &&
        stats_.totalSessions == qint64(ctx.count<TrailEntry>()))
        return;
    trail_->recount(ctx, env_.calendar(), stats_);
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
    stats_.goalBreakdown.clear();
    for (Goal* goal : goals_) {
        const qint64 minutes = trail_->minutesOf(goal);
        if (minutes >= 1)
            stats_.goalBreakdown.push_back({goal, minutes});
    }
    std::stable_sort(
        stats_.goalBreakdown.begin(), stats_.goalBreakdown.end(),
        [](const GoalMinutes& a, const GoalMinutes& b) { return a.minutes > b.minutes; });
}

void OverviewModel::rebuildCards() {
    const OverviewStats& s = stats_;
    auto card = [](const char* symbol, const QString& value, const QString& label, Tint tint) {
        return StatCard{QString::fromLatin1(symbol), value, label, tint,
                        tr("%1 %2").arg(value, label)};
    };
    cards_ = {
        card("flame.fill", OverviewStats::formattedDuration(s.totalFocusMinutes),
             tr("total focus time"), Tint::orange),
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
    auto first = std::lower_bound(stats_.dailyTotals.begin(), stats_.dailyTotals.end(),
                                  *windowStart_, dayOrder);
    series_.assign(first, stats_.dailyTotals.end());
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
            const QString duration = OverviewStats::formattedDuration(gm.minutes);
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
