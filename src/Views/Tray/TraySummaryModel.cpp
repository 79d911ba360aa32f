#include "Views/Tray/TraySummaryModel.h"

#include "Models/DayTask.h"
#include "Models/FocusBlockTemplate.h"
#include "Services/AppEnvironment.h"
#include "Services/TaskCompletion.h"
#include "Store/FocusFigures.h"
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

} // namespace

TraySummaryModel::TraySummaryModel(AppEnvironment& environment, QObject* parent)
    : QObject(parent), env_(environment) {
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
    clockCheck_.setInterval(clockCheckIntervalMs);
    connect(&clockCheck_, &QTimer::timeout, this, &TraySummaryModel::checkTime);
    // Another zone: another today, and the entries fall on other days.
    connect(&env_, &AppEnvironment::calendarChanged, this, [this] {
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
    return tr("%n days streak", nullptr, int(days));
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

    streak_ = FocusFigures::of(env_.context(), calendar).streak(now);
    emit changed();
}

void TraySummaryModel::toggleOneThing() {
    if (!oneThing_ || oneThing_->isDeleted())
        return;
    toggleTaskCompletion(*oneThing_, env_.notifications());
    rebuild();
}

} // namespace orvana
