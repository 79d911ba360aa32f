#include "Services/EngagementNudgeService.h"

#include "Models/DayTask.h"
#include "Models/Week.h"
#include "Services/NotificationService.h"
#include "Services/Preferences.h"
#include "Store/ModelContext.h"

#include <QPointer>
#include <algorithm>
#include <cmath>
#include <qcoro/qcorosignal.h>

namespace orvana {

namespace {

bool isNudgeKey(const QString& key) {
    using namespace PreferenceKeys;
    for (const char* name : {dailyPlanningNudgeEnabled.name, dailyPlanningNudgeHour.name,
                             dailyPlanningNudgeMinute.name, weeklyRitualNudgeEnabled.name,
                             weeklyRitualNudgeWeekday.name, weeklyRitualNudgeHour.name,
                             weeklyRitualNudgeMinute.name}) {
        if (key == QLatin1String(name))
            return true;
    }
    return false;
}

// A moment after the due time, so the refresh sees the nudge as past.
constexpr double afterDue = 1.0;

} // namespace

EngagementNudgeService::EngagementNudgeService(ModelContext& context, Preferences& preferences,
                                               NotificationService& notifications,
                                               Calendar calendar, QObject* parent)
    : QObject(parent), context_(context), preferences_(preferences), notifications_(notifications),
      calendar_(std::move(calendar)) {
    nextRefresh_.setSingleShot(true);
    nextRefresh_.setTimerType(Qt::VeryCoarseTimer);
    connect(&nextRefresh_, &QTimer::timeout, this, &EngagementNudgeService::refreshIfDue);
    connect(&preferences_, &Preferences::valueChanged, this, [this](const QString& key) {
        if (isNudgeKey(key)) // the settings re-plan at once, even before the window started them
            refresh();
    });
    // Only when the answer flips: most task and week edits leave it alone.
    connect(&context_, &ModelContext::changed, this, [this](unsigned types) {
        constexpr unsigned read = entityBit(EntityType::dayTask) | entityBit(EntityType::week);
        if (keepsCurrent_ && (types & read) && recordState() != plannedFor_)
            refresh();
    });
}

std::pair<bool, bool> EngagementNudgeService::recordState() const {
    const Timestamp now = context_.now();
    const Week* week = Week::containing(now, context_, calendar_);
    return {hasTodaysOneThing(context_, calendar_, now), week && week->ritualCompletedAt()};
}

void EngagementNudgeService::setCalendar(const Calendar& calendar) {
    if (calendar == calendar_)
        return;
    calendar_ = calendar;
    if (keepsCurrent_)
        (void)refresh();
}

void EngagementNudgeService::keepCurrent() {
    keepsCurrent_ = true;
    refresh();
}

QCoro::Task<> EngagementNudgeService::refresh() {
    if (running_) {
        again_ = true;
        co_await qCoro(this, &EngagementNudgeService::settled);
        co_return;
    }
    co_await runRefreshes();
}

QCoro::Task<> EngagementNudgeService::runRefreshes() {
    QPointer<EngagementNudgeService> self(this);
    running_ = true;
    do {
        again_ = false;
        plannedFor_ = recordState();
        co_await refreshDailyNudge();
        if (!self)
            co_return;
        if (again_)
            continue; // start over with the newer reading
        co_await refreshWeeklyNudge();
        if (!self)
            co_return;
    } while (again_);
    running_ = false;
    planNextRefresh();
    emit settled();
}

void EngagementNudgeService::refreshIfDue() {
    if (!keepsCurrent_)
        return;
    if (context_.now() >= nextRefreshAt_)
        refresh();
    else if (!running_)
        planNextRefresh();
}

bool EngagementNudgeService::hasTodaysOneThing(const ModelContext& context,
                                               const Calendar& calendar, Timestamp now) {
    const Timestamp start = calendar.startOfDay(now);
    // Without a next day in the calendar, the range still ends within today.
    const Timestamp end = calendar.startOfDayAfter(now, 1).value_or(start + 86400);
    auto marked =
        FetchDescriptor<DayTask>::where([](const DayTask& task) { return task.isTodaysOneThing(); })
            .onDates(start, end)
            .limitedTo(1);
    return !context.fetch(marked).empty();
}

QCoro::Task<> EngagementNudgeService::refreshDailyNudge() {
    using namespace PreferenceKeys;
    if (!preferences_.value(dailyPlanningNudgeEnabled) ||
        hasTodaysOneThing(context_, calendar_, context_.now())) {
        notifications_.cancelDailyPlanningNudge();
        co_return;
    }
    co_await notifications_.scheduleDailyPlanningNudge(
        preferences_.value(dailyPlanningNudgeHour), preferences_.value(dailyPlanningNudgeMinute));
}

QCoro::Task<> EngagementNudgeService::refreshWeeklyNudge() {
    using namespace PreferenceKeys;
    if (!preferences_.value(weeklyRitualNudgeEnabled)) {
        notifications_.cancelWeeklyRitualNudge();
        co_return;
    }
    const Week* week = Week::containing(context_.now(), context_, calendar_);
    if (week && week->ritualCompletedAt()) {
        notifications_.cancelWeeklyRitualNudge();
        co_return;
    }
    co_await notifications_.scheduleWeeklyRitualNudge(preferences_.value(weeklyRitualNudgeWeekday),
                                                      preferences_.value(weeklyRitualNudgeHour),
                                                      preferences_.value(weeklyRitualNudgeMinute));
}

void EngagementNudgeService::planNextRefresh() {
    if (!keepsCurrent_)
        return;
    using namespace PreferenceKeys;
    const Timestamp now = context_.now();
    Timestamp next = calendar_.startOfDayAfter(now, 1).value_or(now + 86400);
    // Once the daily nudge has fired, the next one exists only after a refresh.
    if (preferences_.value(dailyPlanningNudgeEnabled)) {
        const Timestamp due = NotificationService::nextOccurrence(
            preferences_.value(dailyPlanningNudgeHour),
            preferences_.value(dailyPlanningNudgeMinute), now, calendar_);
        if (due > now)
            next = std::min(next, due + afterDue);
    }
    nextRefreshAt_ = next;
    const double ms = std::clamp((next - now) * 1000.0, 0.0, double(24 * 3600 * 1000));
    nextRefresh_.start(int(std::ceil(ms)));
}

} // namespace orvana
