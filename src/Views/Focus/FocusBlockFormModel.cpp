#include "Views/Focus/FocusBlockFormModel.h"

#include "Models/FocusBlockTemplate.h"
#include "Models/Goal.h"
#include "Services/AppEnvironment.h"
#include "Store/LiveQuery.h"
#include "Store/ModelContext.h"
#include "Store/UndoManager.h"
#include "Views/Shared/Stepping.h"

#include <algorithm>
#include <limits>

namespace orvana {

namespace {

bool isTimeOfDay(qint64 hour, qint64 minute) {
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59;
}

// The stepper holds an int.
constexpr qint64 intMin = std::numeric_limits<int>::min();
constexpr qint64 intMax = std::numeric_limits<int>::max();

} // namespace

FocusBlockFormModel::FocusBlockFormModel(AppEnvironment& environment, FocusBlockTemplate* editing,
                                         QObject* parent)
    : QObject(parent), env_(environment), editing_(editing) {
    goals_ = std::make_unique<LiveQuery<Goal>>(
        env_.context(),
        FetchDescriptor<Goal>().sortedBy(SortDescriptor<Goal>::by(&Goal::sortOrder)),
        entityBit(EntityType::goal));
    connect(goals_.get(), &LiveQueryBase::resultsChanged, this, [this] {
        // A goal deleted meanwhile is no longer a choice.
        if (goal_ && std::find(goals().begin(), goals().end(), goal_) == goals().end())
            goal_ = nullptr;
        emit changed();
    });
    if (!editing_)
        return;
    title_ = editing_->title();
    // Only days the toggles can show: what the form shows is what it saves.
    weekdays_.clear();
    for (qint64 day : editing_->weekdays()) {
        if (day >= 1 && day <= 7)
            weekdays_.insert(day);
    }
    if (isTimeOfDay(editing_->hour(), editing_->minute())) {
        hour_ = int(editing_->hour());
        minute_ = int(editing_->minute());
    }
    durationMinutes_ = std::clamp(editing_->durationMinutes(), intMin, intMax);
    minimumDuration_ = std::min(minimumDuration_, durationMinutes_);
    maximumDuration_ = std::max(maximumDuration_, durationMinutes_);
    goal_ = editing_->goal();
}

FocusBlockFormModel::~FocusBlockFormModel() = default;

const std::vector<Goal*>& FocusBlockFormModel::goals() const {
    return goals_->results();
}

QString FocusBlockFormModel::windowTitle() const {
    return editing_ ? tr("Edit Recurring Block") : tr("New Recurring Block");
}

QString FocusBlockFormModel::repeatsOnFooter() {
    return tr("Every week, on these days at this time, the block will show up on Today waiting for "
              "a tap to start — it won't start itself.");
}

void FocusBlockFormModel::setTitle(const QString& title) {
    if (title == title_)
        return;
    title_ = title;
    emit changed();
}

void FocusBlockFormModel::setWeekdaySelected(qint64 weekday, bool selected) {
    if (weekday < 1 || weekday > 7 || selected == isWeekdaySelected(weekday))
        return;
    if (selected)
        weekdays_.insert(weekday);
    else
        weekdays_.erase(weekday);
    emit changed();
}

void FocusBlockFormModel::setTime(int hour, int minute) {
    if (!isTimeOfDay(hour, minute)) {
        hour = 9;
        minute = 0;
    }
    if (hour == hour_ && minute == minute_)
        return;
    hour_ = hour;
    minute_ = minute;
    emit changed();
}

void FocusBlockFormModel::setDurationMinutes(qint64 minutes) {
    minutes = steppedValue(minutes, minimumDuration_, maximumDuration_, durationStep);
    if (minutes == durationMinutes_)
        return;
    durationMinutes_ = minutes;
    emit changed();
}

void FocusBlockFormModel::setGoal(Goal* goal) {
    if (goal == goal_)
        return;
    goal_ = goal;
    emit changed();
}

bool FocusBlockFormModel::canSave() const {
    return !title_.trimmed().isEmpty() && !weekdays_.empty() &&
           !(editing_ && editing_->isDeleted());
}

bool FocusBlockFormModel::save() {
    if (!canSave())
        return false;
    ModelContext& ctx = env_.context();
    const QString title = title_.trimmed(); // white space and line breaks, both ends
    std::vector<qint64> days(weekdays_.begin(), weekdays_.end()); // ascending
    // A goal deleted while the form was open is no goal.
    Goal* goal = goal_ && !goal_->isDeleted() ? goal_ : nullptr;

    // One undo step for the whole save, even when the event loop is not
    // running (tests, scripted use).
    UndoManager* undo = ctx.undoManager();
    if (undo)
        undo->beginUndoGrouping();
    if (!editing_) {
        auto* block = ctx.create<FocusBlockTemplate>(title, std::move(days), hour_, minute_,
                                                     durationMinutes_, true, ctx.now());
        block->setGoal(goal);
    } else {
        editing_->setTitle(title);
        editing_->setWeekdays(std::move(days));
        editing_->setHour(hour_);
        editing_->setMinute(minute_);
        editing_->setDurationMinutes(durationMinutes_);
        editing_->setGoal(goal);
    }
    if (undo)
        undo->endUndoGrouping();
    emit changed();
    return true;
}

} // namespace orvana
