#pragma once

#include <QString>
#include <QUuid>
#include <optional>

namespace orvana {

class AppEnvironment;
class ModelContext;

// "Start Focus Session": asks the running window for the quick focus timer
// on a goal (or none); touches no record.
class StartFocusSessionIntent {
public:
    // Posts the request and says what happens: "Opening Orvana to start a
    // focus session for {title}." ("a goal" without one). An id that names
    // no goal is passed on; the window opens the timer without a goal.
    static QString perform(AppEnvironment& environment, std::optional<QUuid> goalID);
};

} // namespace orvana
