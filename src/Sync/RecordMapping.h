#pragma once

#include "Core/Calendar.h"
#include "Models/ExportRecords.h"
#include "Sync/CalendarObject.h"

#include <QUuid>
#include <optional>

namespace orvana::sync {

// A record's UID on the server: its id, upper-case, without braces.
QString uidOf(const QUuid& id);
// The record id for a UID: ours read back, or for another client's object a
// name-based id of its UID, the same on every device.
QUuid idOf(const QString& uid);

// Day tasks, in "Orvana Tasks" as to-dos a phone's task app shows: the
// title, the notes, the task's calendar day as a DUE date (the same day in
// every zone), done or not, the reminder as an alarm at an absolute time,
// the goal as the parent; what only Orvana uses as X-ORVANA- properties.
//
// Written on top of the server's copy when there is one, so that what other
// clients added stays. `now` stamps the change.
CalendarObject writeDayTask(const DayTaskExport& task, const CalendarObject* server,
                            const Calendar& calendar, Timestamp now);
// Read back. Orvana's own X- fields that another client dropped keep their
// `base` values (that client did not mean to change them); a to-do another
// client made has no X- fields and no DUE: then it is for `now`'s day.
DayTaskExport readDayTask(const CalendarObject& object, const DayTaskExport* base,
                          const Calendar& calendar, Timestamp now);

} // namespace orvana::sync
