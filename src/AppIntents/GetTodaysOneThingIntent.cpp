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
    if (flagged.empty())
        return {QString(), QCoreApplication::translate("GetTodaysOneThingIntent",
                                                       "Nothing is set as Today's One Thing yet.")};
    const QString title = flagged.front()->title();
    return {title,
            QCoreApplication::translate("GetTodaysOneThingIntent", "Today's One Thing is %1.")
                .arg(title),
            true};
}

} // namespace orvana
