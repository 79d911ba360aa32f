#pragma once

#include "Core/Timestamp.h"
#include "Models/Enums.h"

#include <QString>
#include <optional>

namespace orvana {

class Calendar;

// Texts every goal screen shows the same way: in the list's rows, the
// detail's header, the pickers.

// "Active", "Completed", "Archived".
QString statusLabel(GoalStatus status);
// "None" for no tag, else "Red", "Orange", ...
QString colorTagLabel(std::optional<GoalColorTag> tag);

// The badge of a goal's target date, by whole calendar days from today.
struct TargetBadge {
    enum class Tone { overdue, soon, later }; // red, orange, secondary
    QString text;
    Tone tone = Tone::later;
    friend bool operator==(const TargetBadge&, const TargetBadge&) = default;
};
TargetBadge targetBadge(Timestamp target, Timestamp now, const Calendar& calendar);

// Whole calendar days from the day of `now` to the day of `target`
// (negative when the target's day has passed).
qint64 daysUntil(Timestamp target, Timestamp now, const Calendar& calendar);

// "{minutes} min" of a row, "{minutes} min logged" of the detail's header.
QString minutesText(qint64 minutes);
QString minutesLoggedText(qint64 minutes);

} // namespace orvana
