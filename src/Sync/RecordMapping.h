#pragma once

#include "Core/Calendar.h"
#include "Models/ExportRecords.h"
#include "Models/Record.h"
#include "Store/SyncState.h"
#include "Sync/CalendarObject.h"

#include <QUuid>
#include <optional>
#include <vector>

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

// Every mapping below reads back exactly what it wrote (read in another zone,
// dates keep their calendar day): the sync compares what the server holds
// with the record by reading the server's copy. Where a standard property
// shows only part of a value (a day for an instant, a set for a list), the
// exact value rides in an X-ORVANA- field and counts while the standard one
// still agrees with it; a standard property another client changed is an
// edit and wins. Orvana's own X- fields that another client dropped keep
// their `base` values. Since iCalendar readers drop empty values,
// X-ORVANA-EMPTY lists the properties that hold empty text and
// X-ORVANA-UNSET the own fields that hold nothing. Values a calendar cannot
// show (a year after 3000, hour 25) are kept by the X- fields alone; control
// characters other than tab and line feed do not travel.

// Which record a resource in one of Orvana's calendars is: a day task in
// "Orvana Tasks"; a goal (any to-do not marked as a week item), a week item
// or a week (a journal) in "Orvana Plan"; a block in "Orvana Focus Blocks";
// a day of focus minutes in "Orvana Focus Log". Nothing for what Orvana
// does not show: the account's mark, another client's event in the log.
std::optional<EntityType> recordTypeOf(const CalendarObject& object, SyncCollection calendar);

// Goals, in "Orvana Plan" as to-dos marked X-ORVANA-KIND:goal: the title,
// the description, the target as a DUE date (exact in X-ORVANA-TARGET),
// active/completed/archived as NEEDS-ACTION/COMPLETED/CANCELLED (the raw
// status in X-ORVANA-STATUS), the colour tag as COLOR when it is a CSS
// colour name (exact in X-ORVANA-COLOR).
CalendarObject writeGoal(const GoalExport& goal, const CalendarObject* server,
                         const Calendar& calendar, Timestamp now);
GoalExport readGoal(const CalendarObject& object, const GoalExport* base, const Calendar& calendar,
                    Timestamp now);

// Week items, in "Orvana Plan" as to-dos marked X-ORVANA-KIND:week-item,
// from the first to the last day of `week` (when given; without one, the
// days stay as they were unless the item has no week), the goal as the
// parent, the week in X-ORVANA-WEEK.
CalendarObject writeWeekItem(const WeekItemExport& item, const WeekExport* week,
                             const CalendarObject* server, const Calendar& calendar, Timestamp now);
WeekItemExport readWeekItem(const CalendarObject& object, const WeekItemExport* base,
                            const Calendar& calendar, Timestamp now);

// Weeks, in "Orvana Plan" as journal entries on their start day (exact
// start and end in X-ORVANA-START/-END), with the intention, the reflection
// and when the ritual was finished in X-ORVANA-INTENTION/-REFLECTION/
// -RITUAL; the title and description are for people and not read. A start
// day another client moved gives a week of seven days from it.
CalendarObject writeWeek(const WeekExport& week, const CalendarObject* server,
                         const Calendar& calendar, Timestamp now);
WeekExport readWeek(const CalendarObject& object, const WeekExport* base, const Calendar& calendar,
                    Timestamp now);

// Recurring focus blocks, in "Orvana Focus Blocks" as weekly events at the
// block's local hour and minute in the calendar's zone (read back as that
// wall clock in any zone), first on the first of its weekdays from the day
// it was made, with a DURATION; a paused block is a cancelled event. The
// stored numbers ride exactly in X-ORVANA-TIME, -DURATION and -WEEKDAYS (the
// list, in order, duplicates and all); the goal in X-ORVANA-GOAL.
CalendarObject writeBlock(const FocusBlockTemplateExport& block, const CalendarObject* server,
                          const Calendar& calendar, Timestamp now);
FocusBlockTemplateExport readBlock(const CalendarObject& object,
                                   const FocusBlockTemplateExport* base, const Calendar& calendar,
                                   Timestamp now);

// Focus minutes, in "Orvana Focus Log" as one all-day, free event per day
// listing that day's entries (a device's local day when it first sends
// them): a ten-year trail is a few thousand resources, not tens of
// thousands. Entries are never edited, so two devices' lists of a day merge
// as their union; the writer writes exactly `entries`. Each entry is one
// X-ORVANA-ENTRY: "ID DATE MINUTES CREATED GOAL", space-separated, instants
// as exact seconds, GOAL "-" for none. A line that does not read is skipped.
QString trailDayUid(QDate day);
CalendarObject writeTrailDay(QDate day, const std::vector<TrailEntryExport>& entries,
                             const CalendarObject* server, Timestamp now);
std::vector<TrailEntryExport> readTrailDay(const CalendarObject& object);

} // namespace orvana::sync
