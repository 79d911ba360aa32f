#include "AppIntents/GoalEntityQuery.h"

#include "Store/ModelContext.h"

#include <QSet>

namespace orvana {

std::vector<GoalEntity> GoalEntityQuery::entities(const ModelContext& context,
                                                  const QList<QUuid>& ids) {
    const QSet<QUuid> wanted(ids.begin(), ids.end());
    std::vector<GoalEntity> out;
    for (const Goal* goal : context.fetch<Goal>()) {
        if (wanted.contains(goal->id()))
            out.push_back({goal->id(), goal->title()});
    }
    return out;
}

std::vector<GoalEntity> GoalEntityQuery::suggestedEntities(const ModelContext& context) {
    std::vector<GoalEntity> out;
    const auto goals = context.fetch(FetchDescriptor<Goal>::where([](const Goal& g) {
                                         return g.status() == GoalStatus::active;
                                     }).sortedBy(SortDescriptor<Goal>::by(&Goal::sortOrder)));
    for (const Goal* goal : goals)
        out.push_back({goal->id(), goal->title()});
    return out;
}

} // namespace orvana
