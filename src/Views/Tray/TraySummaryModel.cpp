#include "Views/Tray/TraySummaryModel.h"

#include "Models/DayTask.h"
#include "Models/FocusBlockTemplate.h"
#include "Models/OverviewStats.h"
#include "Services/AppEnvironment.h"
#include "Services/TaskCompletion.h"
#include "Store/LiveQuery.h"
#include "Store/ModelContext.h"

#include <QTime>
#include <algorithm>
#include <utility>

namespace orvana {

namespace {

// While shown: the block that has just ended goes, and midnight is noticed
// (timers stop while the machine sleeps, so a fixed midnight timer could miss
// it).
constexpr int clockCheckIntervalMs = 30 * 1000;

// Past this many trail entries touched since the last count, counting them
// all again is cheaper than going through them one by one.
constexpr std::size_t maxPending = 10'000;

// Touched entries are counted out and in again only while no sum can reach
// the 64-bit limits (where the full count saturates instead): up to 2^30
// entries of at most 2^32 minutes either way.
constexpr qint64 maxKeptMinutes = qint64(1) << 32;
constexpr qint64 maxKeptEntries = qint64(1) << 30;

bool keepable(const TrailEntry& e) {
    return e.minutes() <= maxKeptMinutes && e.minutes() >= -maxKeptMinutes;
}

constexpr auto dayOrder = [](const DailyTrailTotal& d, Timestamp start) { return d.date < start; };

} // namespace

// The minutes per calendar day of the whole trail, as TrailEntry::dailyTotals
// gives them, kept up to date by the entries touched since they were counted.
// A day may linger with 0 minutes after its entries are gone; the streak
// counts only days with at least one minute, so that changes nothing.
class TraySummaryModel::DayTotals {
public:
    // An entry inserted or restored (+1), or removed (-1).
    void note(TrailEntry* entry, int sign) {
        if (!counted_)
            return;
        if (pending_.size() >= maxPending) {
            forget();
            return;
        }
        pending_.emplace_back(entry, sign);
    }
    // An entry's date or minutes may have changed: what it was counted as
    // is unknown.
    void forget() {
        counted_ = false;
        pending_ = {};
    }

    // Brings the totals up to date. True when the set of days with focus may
    // have changed since the last call.
    bool update(const ModelContext& context, const Calendar& calendar) {
        if (counted_ && apply(calendar) && entries_ == qint64(context.count<TrailEntry>()))
            return std::exchange(activityChanged_, false);
        recount(context, calendar);
        activityChanged_ = false;
        return true;
    }

    const std::vector<DailyTrailTotal>& days() const { return days_; }

private:
    void recount(const ModelContext& context, const Calendar& calendar) {
        const std::vector<TrailEntry*> entries = context.fetch<TrailEntry>();
        days_ = TrailEntry::dailyTotals(entries, calendar);
        entries_ = qint64(entries.size());
        counted_ = entries_ <= maxKeptEntries &&
                   std::all_of(entries.begin(), entries.end(),
                               [](const TrailEntry* e) { return keepable(*e); });
        pending_ = {};
    }

    // False when the touched entries cannot be counted one by one.
    bool apply(const Calendar& calendar) {
        const auto touched = std::exchange(pending_, {});
        for (const auto& [entry, sign] : touched) {
            if (!keepable(*entry) || entries_ + sign > maxKeptEntries)
                return false;
            const Timestamp day = calendar.startOfDay(entry->date());
            auto it = std::lower_bound(days_.begin(), days_.end(), day, dayOrder);
            if (it == days_.end() || it->date != day)
                it = days_.insert(it, {day, 0});
            const bool wasActive = it->minutes >= 1;
            it->minutes += sign * entry->minutes();
            if ((it->minutes >= 1) != wasActive)
                activityChanged_ = true;
            entries_ += sign;
        }
        return true;
    }

    std::vector<DailyTrailTotal> days_;
    std::vector<std::pair<TrailEntry*, int>> pending_;
    qint64 entries_ = 0;
    bool counted_ = false; // days_ holds a count that touches can follow
    bool activityChanged_ = false;
};

TraySummaryModel::TraySummaryModel(AppEnvironment& environment, QObject* parent)
    : QObject(parent), env_(environment), totals_(std::make_unique<DayTotals>()) {
    ModelContext& ctx = env_.context();
    activeTemplates_ = std::make_unique<LiveQuery<FocusBlockTemplate>>(
        ctx, FetchDescriptor<FocusBlockTemplate>::where([](const FocusBlockTemplate& b) {
            return b.isActive();
        }),
        entityBit(EntityType::focusBlockTemplate));
    setDay();
    // After the queries (connected first, so they are current by then).
    constexpr unsigned readTypes = entityBit(EntityType::dayTask) |
                                   entityBit(EntityType::focusBlockTemplate) |
                                   entityBit(EntityType::trailEntry);
    connect(&ctx, &ModelContext::changed, this, [this](unsigned types) {
        if (shown_ && (types & readTypes))
            rebuild();
    });
    connect(&ctx, &ModelContext::recordInserted, this, [this](Record* r) { noteTrail(r, 1); });
    connect(&ctx, &ModelContext::recordRestored, this, [this](Record* r) { noteTrail(r, 1); });
    connect(&ctx, &ModelContext::recordRemoved, this, [this](Record* r) { noteTrail(r, -1); });
    connect(&ctx, &ModelContext::recordEdited, this, [this](Record* r) {
        if (r->entityType() == EntityType::trailEntry)
            totals_->forget();
    });
    clockCheck_.setInterval(clockCheckIntervalMs);
    connect(&clockCheck_, &QTimer::timeout, this, &TraySummaryModel::checkTime);
    // Another zone: another today, and the entries fall on other days.
    connect(&env_, &AppEnvironment::calendarChanged, this, [this] {
        totals_->forget();
        setDay();
        if (shown_)
            rebuild();
    });
}

TraySummaryModel::~TraySummaryModel() = default;

QString TraySummaryModel::heading() {
    return tr("Today's One Thing");
}
QString TraySummaryModel::nothingSetText() {
    return tr("Nothing set for today");
}
QString TraySummaryModel::guidanceText() {
    return tr("Mark a task as Today's One Thing in the main window to see it here.");
}
QString TraySummaryModel::openButtonText() {
    return tr("Open Orvana");
}

QString TraySummaryModel::streakText(qint64 days) {
    // Plain decimal digits, as the Overview's card shows the number.
    return days == 1 ? tr("%1 day streak").arg(days) : tr("%1 days streak").arg(days);
}

QString TraySummaryModel::timeLabel(const FocusBlockTemplate& block, const QLocale& locale) {
    const qint64 hour = block.hour(), minute = block.minute();
    // The C locale's "short" time has seconds; hours and minutes it is.
    if (hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && locale.language() != QLocale::C)
        return locale.toString(QTime(int(hour), int(minute)), QLocale::ShortFormat);
    return QString::asprintf("%02lld:%02lld", static_cast<long long>(hour),
                             static_cast<long long>(minute));
}

QString TraySummaryModel::streakLine() const {
    return streak_ >= 1 ? streakText(streak_) : QString();
}

QString TraySummaryModel::upcomingBlockLine() const {
    if (!upcomingBlock_)
        return {};
    return upcomingBlock_->title() + QStringLiteral(" · ") + timeLabel(*upcomingBlock_);
}

void TraySummaryModel::setDay() {
    const Calendar& calendar = env_.calendar();
    const Timestamp now = env_.now();
    startOfToday_ = calendar.startOfDay(now);
    startOfTomorrow_ = calendar.startOfDayAfter(now, 1).value_or(startOfToday_);
    auto flagged = FetchDescriptor<DayTask>::where([](const DayTask& t) {
                       return t.isTodaysOneThing();
                   }).onDates(startOfToday_, startOfTomorrow_);
    if (!todaysTasks_)
        todaysTasks_ = std::make_unique<LiveQuery<DayTask>>(env_.context(), std::move(flagged),
                                                            entityBit(EntityType::dayTask));
    else
        todaysTasks_->setDescriptor(std::move(flagged));
}

void TraySummaryModel::refresh() {
    setDay();
    rebuild();
}

void TraySummaryModel::setShown(bool shown) {
    if (shown == shown_)
        return;
    shown_ = shown;
    if (!shown_) {
        clockCheck_.stop();
        return;
    }
    clockCheck_.start();
    refresh();
}

void TraySummaryModel::checkTime() {
    const Timestamp now = env_.now();
    if (now < startOfToday_ || now >= startOfTomorrow_)
        setDay();
    rebuild();
}

void TraySummaryModel::noteTrail(Record* record, int sign) {
    if (record->entityType() == EntityType::trailEntry)
        totals_->note(static_cast<TrailEntry*>(record), sign);
}

void TraySummaryModel::rebuild() {
    const auto& flagged = todaysTasks_->results();
    oneThing_ = flagged.empty() ? nullptr : flagged.front();

    const Calendar& calendar = env_.calendar();
    const Timestamp now = env_.now();
    upcomingBlock_ = nullptr;
    for (FocusBlockTemplate* b : activeTemplates_->results()) {
        if (!b->isStillRelevant(now, calendar))
            continue;
        // The earliest start; of equal ones the first in the store's order.
        if (!upcomingBlock_ || std::make_pair(b->hour(), b->minute()) <
                                   std::make_pair(upcomingBlock_->hour(), upcomingBlock_->minute()))
            upcomingBlock_ = b;
    }

    const bool activityChanged = totals_->update(env_.context(), calendar);
    const Timestamp today = calendar.startOfDay(now);
    if (activityChanged || streakDay_ != today) {
        streak_ = OverviewStats::currentStreak(totals_->days(), calendar, now);
        streakDay_ = today;
    }
    emit changed();
}

void TraySummaryModel::toggleOneThing() {
    if (!oneThing_ || oneThing_->isDeleted())
        return;
    toggleTaskCompletion(*oneThing_, env_.notifications());
    rebuild();
}

} // namespace orvana
