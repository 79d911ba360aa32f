#include "AppIntents/GetTodaysOneThingIntent.h"

#include "Store/ModelContext.h"

#include <QCoreApplication>

namespace orvana {

GetTodaysOneThingIntent::Answer GetTodaysOneThingIntent::perform(const ModelContext& context,
                                                                 const Calendar& calendar,
                                                                 Timestamp now) {
    const Timestamp dayStart = calendar.startOfDay(now);
    const Timestamp dayEnd = calendar.startOfDayAfter(now, 1).value_or(dayStart);
    const auto flagged = context.fetch(
        FetchDescriptor<DayTask>::where([](const DayTask& t) { return t.isTodaysOneThing(); })
            .onDates(dayStart, dayEnd)
            .limitedTo(1));
    return answer(flagged.empty() ? std::nullopt
                                  : std::optional<QString>(flagged.front()->title()));
}

GetTodaysOneThingIntent::Answer
GetTodaysOneThingIntent::answer(const std::optional<QString>& title) {
    if (!title)
        return {QString(), QCoreApplication::translate("GetTodaysOneThingIntent",
                                                       "Nothing is set as Today's One Thing yet.")};
    return {*title,
            QCoreApplication::translate("GetTodaysOneThingIntent", "Today's One Thing is %1.")
                .arg(*title),
            true};
}

} // namespace orvana
