#pragma once

#include <QList>
#include <QString>
#include <QUuid>
#include <vector>

namespace orvana {

class ModelContext;

// A goal as the desktop's intents see it.
struct GoalEntity {
    QUuid id;
    QString title;
    friend bool operator==(const GoalEntity&, const GoalEntity&) = default;
};

class GoalEntityQuery {
public:
    // The goals with these ids, in store order; unknown ids are dropped.
    static std::vector<GoalEntity> entities(const ModelContext& context, const QList<QUuid>& ids);
    // The active goals by sortOrder.
    static std::vector<GoalEntity> suggestedEntities(const ModelContext& context);
};

} // namespace orvana
