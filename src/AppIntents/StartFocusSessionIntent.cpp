#include "AppIntents/StartFocusSessionIntent.h"

#include "AppIntents/GoalEntityQuery.h"
#include "Services/AppEnvironment.h"

#include <QCoreApplication>

namespace orvana {

QString StartFocusSessionIntent::perform(AppEnvironment& environment, std::optional<QUuid> goalID) {
    QString name = QCoreApplication::translate("StartFocusSessionIntent", "a goal");
    if (goalID) {
        const auto goals = GoalEntityQuery::entities(environment.context(), {*goalID});
        if (!goals.empty())
            name = goals.front().title;
    }
    environment.requestFocusSession(goalID);
    return QCoreApplication::translate("StartFocusSessionIntent",
                                       "Opening Orvana to start a focus session for %1.")
        .arg(name);
}

} // namespace orvana
