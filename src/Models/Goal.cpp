#include "Models/Goal.h"

#include "Store/ModelContext.h"

namespace orvana {

Goal::Goal(QString title, std::optional<QString> goalDescription,
           std::optional<Timestamp> targetDate, GoalStatus status, std::optional<QString> colorTag,
           qint64 sortOrder, std::optional<Timestamp> createdAt)
    : Record(EntityType::goal, !createdAt.has_value()), title_(std::move(title)),
      goalDescription_(std::move(goalDescription)), createdAt_(createdAt.value_or(0)),
      targetDate_(targetDate), status_(status), colorTag_(std::move(colorTag)),
      sortOrder_(sortOrder) {}

std::optional<GoalColorTag> Goal::colorTagValue() const {
    if (!colorTag_)
        return std::nullopt;
    return goalColorTagFromRaw(*colorTag_);
}

void Goal::applyDeleteRules(ModelContext& context) {
    // Copies: every removal edits the list being walked. Walking backwards
    // keeps each erase at the end of the owner's list.
    for (auto items = weekItems_; !items.empty(); items.pop_back())
        context.remove(items.back());
    for (auto entries = trailEntries_; !entries.empty(); entries.pop_back())
        context.remove(entries.back());
    for (auto tasks = directDayTasks_; !tasks.empty(); tasks.pop_back())
        tasks.back()->setGoal(nullptr);
    for (auto sessions = directFocusSessions_; !sessions.empty(); sessions.pop_back())
        sessions.back()->setGoal(nullptr);
    for (auto blocks = focusBlockTemplates_; !blocks.empty(); blocks.pop_back())
        blocks.back()->setGoal(nullptr);
}

} // namespace orvana
