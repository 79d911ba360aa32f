#pragma once

#include "Core/Timestamp.h"
#include "Models/Record.h"

#include <QString>

namespace orvana {

class Calendar;

// Texts both sync lists write the same way.
namespace syncText {

// "Goal", "Week", "Week item", "Task", "Focus block", "Focus minutes".
QString kindText(EntityType type);
// The day of `t` in the locale's long style.
QString dateText(Timestamp t, const Calendar& calendar);
// The day and the time of day of `t`.
QString dateTimeText(Timestamp t, const Calendar& calendar);
// "Mar 2 – Mar 8, 2026": a week as the Weeks screen names it.
QString weekRangeText(Timestamp start, Timestamp end, const Calendar& calendar);

} // namespace syncText
} // namespace orvana
