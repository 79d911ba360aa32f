#include "Views/Goals/GoalFormModel.h"

#include "Models/Goal.h"
#include "Services/AppEnvironment.h"
#include "Store/ModelContext.h"

namespace orvana {

GoalFormModel::GoalFormModel(AppEnvironment& environment, QObject* parent)
    : QObject(parent), env_(environment), targetDate_(environment.now()) {}

QString GoalFormModel::windowTitle() {
    return tr("New Goal");
}

void GoalFormModel::setTitle(const QString& title) {
    if (title == title_)
        return;
    title_ = title;
    emit changed();
}

void GoalFormModel::setGoalDescription(const QString& text) {
    if (text == description_)
        return;
    description_ = text;
    emit changed();
}

void GoalFormModel::setHasTargetDate(bool on) {
    if (on == hasTargetDate_)
        return;
    hasTargetDate_ = on;
    emit changed();
}

void GoalFormModel::setTargetDate(Timestamp date) {
    if (date == targetDate_)
        return;
    targetDate_ = date;
    emit changed();
}

void GoalFormModel::setColorTag(std::optional<GoalColorTag> tag) {
    if (tag == colorTag_)
        return;
    colorTag_ = tag;
    emit changed();
}

bool GoalFormModel::canSave() const {
    return !title_.trimmed().isEmpty();
}

Goal* GoalFormModel::save() {
    if (!canSave())
        return nullptr;
    ModelContext& ctx = env_.context();
    // The description is kept as typed, spaces and all.
    saved_ = ctx.create<Goal>(
        title_.trimmed(),
        description_.isEmpty() ? std::nullopt : std::optional<QString>(description_),
        hasTargetDate_ ? std::optional<Timestamp>(targetDate_) : std::nullopt, GoalStatus::active,
        colorTag_ ? std::optional<QString>(rawValue(*colorTag_)) : std::nullopt, 0, ctx.now());
    emit changed();
    return saved_;
}

} // namespace orvana
