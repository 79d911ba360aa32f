#pragma once

#include "Core/Calendar.h"

#include <QString>
#include <optional>

namespace orvana {

class ModelContext;

// "What's Today's One Thing?": answers from the store without changing it.
class GetTodaysOneThingIntent {
public:
    struct Answer {
        QString value;  // the task's title, or empty
        QString dialog; // what is shown or spoken
        bool found = false;
    };

    // The first task (in store order) flagged as the one thing of today.
    static Answer perform(const ModelContext& context, const Calendar& calendar, Timestamp now);

    // The answer for that task's title, or for none.
    static Answer answer(const std::optional<QString>& title);
};

} // namespace orvana
