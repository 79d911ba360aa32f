#include "Views/Goals/GoalDetailModel.h"

#include "Models/Goal.h"
#include "Services/AppEnvironment.h"
#include "Store/FocusFigures.h"
#include "Store/ModelContext.h"
#include "Store/UndoManager.h"

namespace orvana {

namespace {

constexpr unsigned readTypes = entityBit(EntityType::goal) | entityBit(EntityType::trailEntry);

constexpr int dayCheckIntervalMs = 60 * 1000;

enum Field { titleField, descriptionField };

} // namespace

GoalDetailModel::GoalDetailModel(AppEnvironment& environment, Goal& goal, QObject* parent)
    : QObject(parent), env_(environment), goal_(&goal), typing_(environment.context()) {
    ModelContext& ctx = env_.context();
    connect(&ctx, &ModelContext::changed, this, [this](unsigned types) {
        if (goal_ && (types & readTypes))
            emit changed();
    });
    connect(&ctx, &ModelContext::recordRemoved, this, [this](Record* record) {
        if (record == goal_) {
            goal_ = nullptr;
            emit goalRemoved();
        }
    });
    startOfToday_ = env_.calendar().startOfDay(env_.now());
    dayCheck_.setInterval(dayCheckIntervalMs);
    auto checkDay = [this] {
        const Timestamp start = env_.calendar().startOfDay(env_.now());
        if (start != startOfToday_ && goal_) {
            startOfToday_ = start;
            emit changed(); // the target badge counts from today
        }
    };
    connect(&dayCheck_, &QTimer::timeout, this, checkDay);
    connect(&env_, &AppEnvironment::calendarChanged, this, checkDay);
    dayCheck_.start();
}

QString GoalDetailModel::title() const {
    return goal_ ? goal_->title() : QString();
}

void GoalDetailModel::setTitle(const QString& title) {
    if (!goal_ || title == goal_->title())
        return;
    // As typed: untrimmed, and it may become empty.
    typing_.keystroke(titleField, [&] { goal_->setTitle(title); });
}

QString GoalDetailModel::goalDescription() const {
    return goal_ ? goal_->goalDescription().value_or(QString()) : QString();
}

void GoalDetailModel::setGoalDescription(const QString& text) {
    if (!goal_ || text == goalDescription())
        return;
    typing_.keystroke(descriptionField, [&] {
        goal_->setGoalDescription(text.isEmpty() ? std::nullopt : std::optional<QString>(text));
    });
}

void GoalDetailModel::endTypingBurst() {
    typing_.end();
}

GoalStatus GoalDetailModel::status() const {
    return goal_ ? goal_->status() : GoalStatus::active;
}

void GoalDetailModel::setStatus(GoalStatus status) {
    // Nothing else changes with it: items, tasks and sessions stay as they are.
    if (goal_ && status != goal_->status())
        goal_->setStatus(status);
}

std::optional<GoalColorTag> GoalDetailModel::colorTag() const {
    return goal_ ? goal_->colorTagValue() : std::nullopt;
}

QString GoalDetailModel::rawColorTag() const {
    return goal_ ? goal_->colorTag().value_or(QString()) : QString();
}

void GoalDetailModel::setColorTag(std::optional<GoalColorTag> tag) {
    if (!goal_)
        return;
    const std::optional<QString> raw = tag ? std::optional<QString>(rawValue(*tag)) : std::nullopt;
    if (raw != goal_->colorTag())
        goal_->setColorTag(raw);
}

bool GoalDetailModel::hasTargetDate() const {
    return goal_ && goal_->targetDate().has_value();
}

void GoalDetailModel::setHasTargetDate(bool on) {
    if (!goal_ || on == hasTargetDate())
        return;
    goal_->setTargetDate(on ? std::optional<Timestamp>(env_.now()) : std::nullopt);
}

Timestamp GoalDetailModel::targetDate() const {
    return goal_ && goal_->targetDate() ? *goal_->targetDate() : env_.now();
}

void GoalDetailModel::setTargetDate(Timestamp date) {
    if (goal_ && goal_->targetDate() && *goal_->targetDate() != date)
        goal_->setTargetDate(date);
}

QString GoalDetailModel::statusPillText() const {
    return status() == GoalStatus::active ? QString() : statusLabel(status());
}

qint64 GoalDetailModel::totalMinutes() const {
    return goal_ ? FocusFigures::of(env_.context(), env_.calendar()).minutesOf(*goal_) : 0;
}

QString GoalDetailModel::minutesLoggedText() const {
    const qint64 minutes = totalMinutes();
    return minutes >= 1 ? orvana::minutesLoggedText(minutes) : QString();
}

std::optional<TargetBadge> GoalDetailModel::targetBadge() const {
    if (!goal_ || !goal_->targetDate())
        return std::nullopt;
    return orvana::targetBadge(*goal_->targetDate(), env_.now(), env_.calendar());
}

QString GoalDetailModel::reviewText() const {
    if (!goal_)
        return {};
    // An empty description still counts as one.
    if (goal_->goalDescription())
        return goal_->title() + u'\n' + *goal_->goalDescription();
    return goal_->title();
}

} // namespace orvana
