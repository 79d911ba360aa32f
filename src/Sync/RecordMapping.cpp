#include "Sync/RecordMapping.h"

#include "Models/Enums.h"

#include <QCoreApplication>
#include <QLocale>
#include <algorithm>
#include <cmath>

namespace orvana::sync {

namespace {

// Name-based ids for other clients' UIDs: a fixed namespace, so every device
// gives the same record for the same object.
const QUuid foreignNamespace("{6f0c7a52-3c1e-4b8e-9a57-1d0b2f4c8e31}");

std::optional<QString> uidText(const std::optional<QUuid>& id) {
    return id ? std::optional(uidOf(*id)) : std::nullopt;
}

std::optional<QUuid> idText(const std::optional<QString>& uid) {
    return uid && !uid->isEmpty() ? std::optional(idOf(*uid)) : std::nullopt;
}

QDate dayOf(Timestamp t, const Calendar& calendar) {
    const DateComponents c = calendar.components(t);
    return QDate(c.year, c.month, c.day);
}

// The start of `day` in the calendar's zone (noon exists on every day).
std::optional<Timestamp> startOf(QDate day, const Calendar& calendar) {
    const std::optional<Timestamp> noon = calendar.date({day.year(), day.month(), day.day(), 12});
    return noon ? std::optional(calendar.startOfDay(*noon)) : std::nullopt;
}

std::optional<qint64> number(const std::optional<QString>& text) {
    bool ok = false;
    const qint64 n = text ? text->toLongLong(&ok) : 0;
    return ok ? std::optional(n) : std::nullopt;
}

constexpr const char* oneThing = "X-ORVANA-ONE-THING";
constexpr const char* sortOrder = "X-ORVANA-SORT";
constexpr const char* weekItem = "X-ORVANA-WEEK-ITEM";
constexpr const char* block = "X-ORVANA-BLOCK";

// Whether a to-do is done: STATUS when there, else how some clients mark it.
bool isDone(const CalendarObject& object) {
    const std::optional<QString> status = object.text("STATUS");
    return status ? *status == QLatin1String("COMPLETED")
                  : object.instant("COMPLETED") || number(object.text("PERCENT-COMPLETE")) == 100;
}

// Marks a to-do done or not; the time it was done is kept while it stays done.
void setDone(CalendarObject& object, bool done, Timestamp now) {
    const bool wasDone = object.text("STATUS") == QLatin1String("COMPLETED");
    object.setText("STATUS", done ? QStringLiteral("COMPLETED") : QStringLiteral("NEEDS-ACTION"));
    if (!done) {
        object.setInstant("COMPLETED", std::nullopt);
        object.setText("PERCENT-COMPLETE", std::nullopt);
    } else {
        if (!wasDone || !object.instant("COMPLETED"))
            object.setInstant("COMPLETED", now);
        object.setText("PERCENT-COMPLETE", QStringLiteral("100"));
    }
}

// The parent, as another client wrote its UID when it names the same record
// (a foreign UID reads as a name-based id, which is no UID of its own).
void setParent(CalendarObject& object, const std::optional<QUuid>& parent) {
    if (idText(object.text("RELATED-TO")) != parent)
        object.setText("RELATED-TO", uidText(parent));
}

// The creation time: CREATED holds its second, an own field the exact value
// (a record made now has a fraction of a second).
void stamp(CalendarObject& object, Timestamp createdAt, Timestamp now);
Timestamp createdOf(const CalendarObject& object, const Timestamp* base, Timestamp now);

} // namespace

QString uidOf(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces).toUpper();
}

QUuid idOf(const QString& uid) {
    const QUuid ours(uid);
    return ours.isNull() ? QUuid::createUuidV5(foreignNamespace, uid) : ours;
}

CalendarObject writeDayTask(const DayTaskExport& task, const CalendarObject* server,
                            const Calendar& calendar, Timestamp now) {
    CalendarObject object =
        server ? *server : CalendarObject(CalendarObject::Kind::todo, uidOf(task.id));
    object.setText("SUMMARY", task.title);
    object.setText("DESCRIPTION", task.notes);
    object.setDay("DUE", dayOf(task.date, calendar));
    setDone(object, task.isComplete, now);
    object.setReminder(task.reminderAt, task.title);
    setParent(object, task.goalID);
    object.setText(oneThing, task.isTodaysOneThing ? QStringLiteral("1") : QStringLiteral("0"));
    object.setText(sortOrder, QString::number(task.sortOrder));
    object.setText(weekItem, uidText(task.weekItemID));
    object.setText(block, uidText(task.sourceTemplateID));
    stamp(object, task.createdAt, now);
    return object;
}

DayTaskExport readDayTask(const CalendarObject& object, const DayTaskExport* base,
                          const Calendar& calendar, Timestamp now) {
    DayTaskExport task;
    task.id = idOf(object.uid());
    task.title = object.text("SUMMARY").value_or(QString());
    task.notes = object.text("DESCRIPTION");
    const std::optional<QDate> due = object.day("DUE", calendar.timeZone());
    task.date = (due ? startOf(*due, calendar) : std::nullopt).value_or(calendar.startOfDay(now));
    task.isComplete = isDone(object);
    task.reminderAt = object.reminder();
    task.goalID = idText(object.text("RELATED-TO"));
    task.createdAt = createdOf(object, base ? &base->createdAt : nullptr, now);

    // Orvana's own fields: absent means unchanged.
    const std::optional<QString> flag = object.text(oneThing);
    task.isTodaysOneThing = flag ? *flag == QLatin1String("1") : base && base->isTodaysOneThing;
    task.sortOrder = number(object.text(sortOrder)).value_or(base ? base->sortOrder : 0);
    const std::optional<QString> item = object.text(weekItem);
    task.weekItemID = item ? idText(item) : (base ? base->weekItemID : std::nullopt);
    const std::optional<QString> from = object.text(block);
    task.sourceTemplateID = from ? idText(from) : (base ? base->sourceTemplateID : std::nullopt);
    return task;
}

namespace {

constexpr const char* kindField = "X-ORVANA-KIND";
constexpr const char* createdField = "X-ORVANA-CREATED";
constexpr const char* emptyMarks = "X-ORVANA-EMPTY";
constexpr const char* unsetMarks = "X-ORVANA-UNSET";
constexpr const char* targetField = "X-ORVANA-TARGET";
constexpr const char* statusField = "X-ORVANA-STATUS";
constexpr const char* colorField = "X-ORVANA-COLOR";
constexpr const char* weekField = "X-ORVANA-WEEK";
constexpr const char* startField = "X-ORVANA-START";
constexpr const char* endField = "X-ORVANA-END";
constexpr const char* intentionField = "X-ORVANA-INTENTION";
constexpr const char* reflectionField = "X-ORVANA-REFLECTION";
constexpr const char* ritualField = "X-ORVANA-RITUAL";
constexpr const char* goalField = "X-ORVANA-GOAL";
constexpr const char* weekdaysField = "X-ORVANA-WEEKDAYS";
constexpr const char* timeField = "X-ORVANA-TIME";
constexpr const char* durationField = "X-ORVANA-DURATION";
constexpr const char* entryField = "X-ORVANA-ENTRY";
constexpr const char* accountField = "X-ORVANA-ACCOUNT";

const QString goalKind = QStringLiteral("goal");
const QString weekItemKind = QStringLiteral("week-item");
const QString trailPrefix = QStringLiteral("focus-");

// An instant as the shortest text that reads back to the same double.
QString exactText(Timestamp t) {
    return QString::number(t, 'g', QLocale::FloatingPointShortest);
}

// The first word: a dated instant adds the day it was shown as.
std::optional<Timestamp> exactOf(const QString& text) {
    bool ok = false;
    const double t = QStringView(text).left(text.indexOf(u' ')).toDouble(&ok);
    return ok && std::isfinite(t) ? std::optional(t) : std::nullopt;
}

std::optional<Timestamp> exactIn(const std::optional<QString>& text) {
    return text ? exactOf(*text) : std::nullopt;
}

std::optional<QUuid> uuidOf(const QString& text) {
    const QUuid id(text);
    return id.isNull() ? std::nullopt : std::optional(id);
}

// The day of `t` when a DATE can hold it.
std::optional<QDate> statedDay(Timestamp t, const Calendar& calendar) {
    const QDate day = dayOf(t, calendar);
    return CalendarObject::canState(day) ? std::optional(day) : std::nullopt;
}

// Its whole second when iCalendar can state it, as CREATED holds it.
std::optional<Timestamp> statedSecond(Timestamp t) {
    return CalendarObject::canState(t) ? std::optional(std::floor(t)) : std::nullopt;
}

// What one of Orvana's own fields holds; absent when another client dropped it.
using Own = std::optional<std::optional<QString>>;

// Text that iCalendar cannot carry as a value: readers drop an empty value,
// and an own field that holds nothing must differ from one another client
// dropped. X-ORVANA-EMPTY lists the properties written as empty text,
// X-ORVANA-UNSET Orvana's own fields that hold nothing (comma-separated).
class Marks {
public:
    Marks() = default;
    explicit Marks(const CalendarObject& object)
        : empty_(object.text(emptyMarks).value_or(QString()).split(u',')),
          unset_(object.text(unsetMarks).value_or(QString()).split(u',')) {}

    void put(CalendarObject& object, const char* name, const std::optional<QString>& value) {
        object.setText(name, value);
        if (value && value->isEmpty())
            empty_.append(QLatin1String(name));
        else if (!value && qstrncmp(name, "X-ORVANA-", 9) == 0)
            unset_.append(QLatin1String(name));
    }
    // Writes the lists; after every put.
    void finish(CalendarObject& object) const {
        object.setText(emptyMarks, empty_.join(u','));
        object.setText(unsetMarks, unset_.join(u','));
    }

    // A standard property: nothing when absent (another client's removal is
    // an edit).
    std::optional<QString> standard(const CalendarObject& object, const char* name) const {
        const std::optional<QString> value = object.text(name);
        return value || !empty_.contains(QLatin1String(name)) ? value : std::optional(QString());
    }
    Own own(const CalendarObject& object, const char* name) const {
        if (const std::optional<QString> value = object.text(name))
            return Own(value);
        if (empty_.contains(QLatin1String(name)))
            return Own(QString());
        if (unset_.contains(QLatin1String(name)))
            return Own(std::optional<QString>());
        return std::nullopt;
    }

private:
    QStringList empty_;
    QStringList unset_;
};

// An own field read with `parse`; text that does not parse counts as dropped.
template <class T, class Parse>
std::optional<std::optional<T>> ownAs(const Own& field, Parse parse) {
    if (!field)
        return std::nullopt;
    if (!*field)
        return std::optional<std::optional<T>>(std::optional<T>());
    const std::optional<T> value = parse(**field);
    return value ? std::optional<std::optional<T>>(value) : std::nullopt;
}

// An own field that always holds a value: "nothing" is as good as dropped.
std::optional<QString> held(const Own& field) {
    return field ? *field : std::nullopt;
}

// A value kept exactly in an own field beside a standard property that shows
// part of it (a day for an instant, a set for a list): the exact value while
// the standard one still agrees with it, else what the standard one says
// (another client changed it). An own field another client dropped: the
// base's value stands in.
template <class T, class Observed, class Project, class FromObserved>
T reconcile(const std::optional<T>& exact, const T* base, const Observed& observed, Project project,
            FromObserved fromObserved) {
    const T* candidate = exact ? &*exact : base;
    if (candidate && project(*candidate) == observed)
        return *candidate;
    return fromObserved(observed);
}

// An instant shown as a day (DUE, DTSTART) with its exact value in `field`,
// the day it was shown as and the zone it was written in. Read in that zone
// it is exact while nobody moved the day; in another zone it is the start
// of the same calendar day there, as a task's day is (the week of 7 Dec is
// the week of 7 Dec in New York too, from its midnight). Another client that
// moves the day moves it to the start of that day.
std::optional<Timestamp> datedInstant(const CalendarObject& object, const Marks& marks,
                                      const char* standard, const char* field,
                                      const std::optional<Timestamp>* base,
                                      const Calendar& calendar) {
    const Own own = marks.own(object, field);
    const QStringList parts = own && *own ? (**own).split(u' ') : QStringList();
    const std::optional<QDate> observed = object.day(standard, calendar.timeZone());
    if (parts.size() == 3) {
        const std::optional<Timestamp> exact = exactOf(parts[0]);
        if (exact && observed &&
            QDate::fromString(parts[1], QStringLiteral("yyyyMMdd")) == *observed &&
            parts[2] == QString::fromUtf8(calendar.timeZone().id()))
            return exact;
        if (observed)
            return startOf(*observed, calendar);
    }
    return reconcile<std::optional<Timestamp>>(
        ownAs<Timestamp>(own, exactOf), base, observed,
        [&](const std::optional<Timestamp>& t) {
            return t ? statedDay(*t, calendar) : std::nullopt;
        },
        [&](const std::optional<QDate>& day) {
            return day ? startOf(*day, calendar) : std::nullopt;
        });
}

void putInstant(CalendarObject& object, Marks& marks, const char* standard, const char* field,
                const std::optional<Timestamp>& t, const Calendar& calendar) {
    const std::optional<QDate> day = t ? statedDay(*t, calendar) : std::nullopt;
    object.setDay(standard, day);
    QString text;
    if (t)
        text = exactText(*t);
    if (day)
        text += u' ' + day->toString(QStringLiteral("yyyyMMdd")) + u' ' +
                QString::fromUtf8(calendar.timeZone().id());
    marks.put(object, field, t ? std::optional(text) : std::nullopt);
}

// CREATED is a whole second; the exact creation time rides beside it.
void stamp(CalendarObject& object, Timestamp createdAt, Timestamp now) {
    if (object.instant("CREATED") != statedSecond(createdAt))
        object.setInstant("CREATED", createdAt);
    object.setText(createdField, exactText(createdAt));
    object.setInstant("LAST-MODIFIED", now);
    object.setInstant("DTSTAMP", now);
}

Timestamp createdOf(const CalendarObject& object, const Timestamp* base, Timestamp now) {
    const std::optional<Timestamp> exact = exactIn(object.text(createdField));
    return reconcile<Timestamp>(exact, base, object.instant("CREATED"), statedSecond,
                                [&](const std::optional<Timestamp>& created) {
                                    return created.value_or(exact ? *exact : base ? *base : now);
                                });
}

std::optional<std::optional<QUuid>> ownID(const Own& field) {
    return ownAs<QUuid>(field, uuidOf);
}

template <class T> T orBase(const std::optional<T>& own, const T* base, T fallback = T()) {
    return own ? *own : base ? *base : fallback;
}

// Goals: STATUS for the three states the store knows, the raw text exact in
// X-ORVANA-STATUS (what is not one of them shows as NEEDS-ACTION).
QString todoStatusOf(const QString& raw) {
    const std::optional<GoalStatus> status = goalStatusFromRaw(raw);
    if (status == GoalStatus::completed)
        return QStringLiteral("COMPLETED");
    if (status == GoalStatus::archived)
        return QStringLiteral("CANCELLED");
    return QStringLiteral("NEEDS-ACTION");
}

QString goalStatusOf(const QString& todoStatus) {
    if (todoStatus == QLatin1String("COMPLETED"))
        return rawValue(GoalStatus::completed);
    if (todoStatus == QLatin1String("CANCELLED"))
        return rawValue(GoalStatus::archived);
    return rawValue(GoalStatus::active);
}

QString todoStatus(const CalendarObject& object) {
    return object.text("STATUS").value_or(isDone(object) ? QStringLiteral("COMPLETED")
                                                         : QStringLiteral("NEEDS-ACTION"));
}

// COLOR (RFC 7986) takes CSS colour names, which every tag of the app is.
std::optional<QString> cssColor(const std::optional<QString>& tag) {
    return tag && goalColorTagFromRaw(*tag) ? tag : std::nullopt;
}

// Blocks: what DTSTART, DURATION and BYDAY can show of the stored numbers.
std::pair<int, int> clockOf(qint64 hour, qint64 minute) {
    return {int((hour % 24 + 24) % 24), int((minute % 60 + 60) % 60)};
}

int lengthOf(qint64 minutes) {
    return int(std::clamp<qint64>(minutes, 0, 24 * 60));
}

// The valid weekdays (1 = Sunday ... 7 = Saturday), each once, in `days`'
// order.
std::vector<int> weekdaysIn(const std::vector<qint64>& days) {
    std::vector<int> out;
    for (const qint64 day : days) {
        if (day >= 1 && day <= 7 && std::find(out.begin(), out.end(), int(day)) == out.end())
            out.push_back(int(day));
    }
    return out;
}

std::vector<int> weekdaySet(const std::vector<qint64>& days) {
    std::vector<int> set = weekdaysIn(days);
    std::sort(set.begin(), set.end());
    return set;
}

int weekdayOf(QDate day) {
    return day.dayOfWeek() % 7 + 1;
}

std::optional<std::vector<qint64>> numbersIn(const QString& text) {
    std::vector<qint64> out;
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        const std::optional<qint64> n = number(part);
        if (!n)
            return std::nullopt;
        out.push_back(*n);
    }
    return out;
}

QString numbersText(const std::vector<qint64>& numbers) {
    QStringList parts;
    for (const qint64 n : numbers)
        parts.append(QString::number(n));
    return parts.join(u',');
}

// One trail entry as an X-ORVANA-ENTRY value: "ID DATE MINUTES CREATED GOAL",
// space-separated, the instants as exact decimal seconds, GOAL "-" for none.
QString entryText(const TrailEntryExport& entry) {
    return QStringList{uidOf(entry.id), exactText(entry.date), QString::number(entry.minutes),
                       exactText(entry.createdAt),
                       entry.goalID ? uidOf(*entry.goalID) : QStringLiteral("-")}
        .join(u' ');
}

std::optional<TrailEntryExport> entryOf(const QString& text) {
    const QStringList parts = text.split(u' ');
    if (parts.size() != 5)
        return std::nullopt;
    const std::optional<QUuid> id = uuidOf(parts[0]);
    const std::optional<Timestamp> date = exactOf(parts[1]);
    const std::optional<qint64> minutes = number(parts[2]);
    const std::optional<Timestamp> createdAt = exactOf(parts[3]);
    const std::optional<QUuid> goal = uuidOf(parts[4]);
    if (!id || !date || !minutes || !createdAt || (!goal && parts[4] != QLatin1String("-")))
        return std::nullopt;
    return TrailEntryExport{*id, *date, *minutes, *createdAt, goal};
}

} // namespace

std::optional<EntityType> recordTypeOf(const CalendarObject& object, SyncCollection calendar) {
    const CalendarObject::Kind kind = object.kind();
    switch (calendar) {
    case SyncCollection::tasks:
        if (kind == CalendarObject::Kind::todo)
            return EntityType::dayTask;
        break;
    case SyncCollection::plan:
        if (kind == CalendarObject::Kind::todo)
            return object.text(kindField) == weekItemKind ? EntityType::weekItem : EntityType::goal;
        if (kind == CalendarObject::Kind::journal && !object.text(accountField))
            return EntityType::week;
        break;
    case SyncCollection::blocks:
        if (kind == CalendarObject::Kind::event)
            return EntityType::focusBlockTemplate;
        break;
    case SyncCollection::focusLog:
        if (kind == CalendarObject::Kind::event && object.uid().startsWith(trailPrefix))
            return EntityType::trailEntry;
        break;
    }
    return std::nullopt;
}

CalendarObject writeGoal(const GoalExport& goal, const CalendarObject* server,
                         const Calendar& calendar, Timestamp now) {
    CalendarObject object =
        server ? *server : CalendarObject(CalendarObject::Kind::todo, uidOf(goal.id));
    Marks marks;
    object.setText(kindField, goalKind);
    marks.put(object, "SUMMARY", goal.title);
    marks.put(object, "DESCRIPTION", goal.goalDescription);
    putInstant(object, marks, "DUE", targetField, goal.targetDate, calendar);
    object.setText("STATUS", todoStatusOf(goal.status));
    marks.put(object, statusField, goal.status);
    object.setText("COLOR", cssColor(goal.colorTag));
    marks.put(object, colorField, goal.colorTag);
    object.setText(sortOrder, QString::number(goal.sortOrder));
    stamp(object, goal.createdAt, now);
    marks.finish(object);
    return object;
}

GoalExport readGoal(const CalendarObject& object, const GoalExport* base, const Calendar& calendar,
                    Timestamp now) {
    const Marks marks(object);
    GoalExport goal;
    goal.id = idOf(object.uid());
    goal.title = marks.standard(object, "SUMMARY").value_or(QString());
    goal.goalDescription = marks.standard(object, "DESCRIPTION");
    goal.createdAt = createdOf(object, base ? &base->createdAt : nullptr, now);
    goal.targetDate = datedInstant(object, marks, "DUE", targetField,
                                   base ? &base->targetDate : nullptr, calendar);
    goal.status =
        reconcile<QString>(held(marks.own(object, statusField)), base ? &base->status : nullptr,
                           todoStatus(object), todoStatusOf, goalStatusOf);
    goal.colorTag = reconcile<std::optional<QString>>(
        marks.own(object, colorField), base ? &base->colorTag : nullptr, object.text("COLOR"),
        cssColor, [](const std::optional<QString>& color) { return color; });
    goal.sortOrder = number(object.text(sortOrder)).value_or(base ? base->sortOrder : 0);
    return goal;
}

CalendarObject writeWeekItem(const WeekItemExport& item, const WeekExport* week,
                             const CalendarObject* server, const Calendar& calendar,
                             Timestamp now) {
    CalendarObject object =
        server ? *server : CalendarObject(CalendarObject::Kind::todo, uidOf(item.id));
    Marks marks;
    object.setText(kindField, weekItemKind);
    marks.put(object, "SUMMARY", item.title);
    marks.put(object, "DESCRIPTION", item.notes);
    setDone(object, item.isComplete, now);
    if (week) {
        // From the first day to the last (the week's end is the start of
        // the day after it).
        const std::optional<QDate> first = statedDay(week->startDate, calendar);
        const std::optional<QDate> last = statedDay(week->endDate - 1, calendar);
        object.setDay("DTSTART", first);
        object.setDay("DUE", first && last && *last > *first ? last : std::nullopt);
    } else if (!item.weekID) {
        object.setDay("DTSTART", std::nullopt);
        object.setDay("DUE", std::nullopt);
    }
    setParent(object, item.goalID);
    marks.put(object, weekField, uidText(item.weekID));
    object.setText(sortOrder, QString::number(item.sortOrder));
    stamp(object, item.createdAt, now);
    marks.finish(object);
    return object;
}

WeekItemExport readWeekItem(const CalendarObject& object, const WeekItemExport* base,
                            const Calendar& calendar, Timestamp now) {
    Q_UNUSED(calendar); // its days are the week's, read from the week
    const Marks marks(object);
    WeekItemExport item;
    item.id = idOf(object.uid());
    item.title = marks.standard(object, "SUMMARY").value_or(QString());
    item.notes = marks.standard(object, "DESCRIPTION");
    item.isComplete = isDone(object);
    item.sortOrder = number(object.text(sortOrder)).value_or(base ? base->sortOrder : 0);
    item.createdAt = createdOf(object, base ? &base->createdAt : nullptr, now);
    item.weekID = orBase(ownID(marks.own(object, weekField)), base ? &base->weekID : nullptr);
    item.goalID = idText(object.text("RELATED-TO"));
    return item;
}

CalendarObject writeWeek(const WeekExport& week, const CalendarObject* server,
                         const Calendar& calendar, Timestamp now) {
    CalendarObject object =
        server ? *server : CalendarObject(CalendarObject::Kind::journal, uidOf(week.id));
    Marks marks;
    putInstant(object, marks, "DTSTART", startField, week.startDate, calendar);
    object.setText(endField, exactText(week.endDate));
    marks.put(object, intentionField, week.intention);
    marks.put(object, reflectionField, week.reflection);
    marks.put(object, ritualField,
              week.ritualCompletedAt ? std::optional(exactText(*week.ritualCompletedAt))
                                     : std::nullopt);
    // For people reading the journal elsewhere, in one language whichever
    // device wrote it; Orvana reads its own fields.
    const std::optional<QDate> first = statedDay(week.startDate, calendar);
    object.setText(
        "SUMMARY",
        first ? std::optional(QStringLiteral("Week of %1")
                                  .arg(QLocale::c().toString(*first, QStringLiteral("d MMM yyyy"))))
              : std::nullopt);
    QStringList words;
    for (const std::optional<QString>& text : {week.intention, week.reflection}) {
        if (text && !text->isEmpty())
            words.append(*text);
    }
    object.setText("DESCRIPTION", words.join(QStringLiteral("\n\n")));
    stamp(object, week.createdAt, now);
    marks.finish(object);
    return object;
}

WeekExport readWeek(const CalendarObject& object, const WeekExport* base, const Calendar& calendar,
                    Timestamp now) {
    const Marks marks(object);
    WeekExport week;
    week.id = idOf(object.uid());
    const std::optional<Timestamp> exactStart = exactIn(held(marks.own(object, startField)));
    const std::optional<Timestamp> baseStart = base ? std::optional(base->startDate) : std::nullopt;
    const std::optional<Timestamp> start =
        datedInstant(object, marks, "DTSTART", startField, base ? &baseStart : nullptr, calendar);
    // Without DTSTART (another client removed it) the week stays where it was.
    week.startDate =
        start.value_or(exactStart.value_or(baseStart.value_or(calendar.startOfDay(now))));
    std::optional<Timestamp> end = exactIn(object.text(endField));
    if (!end && base)
        end = base->endDate;
    // Moved by another client, or never Orvana's: a week from its start.
    const bool moved = exactStart.value_or(baseStart.value_or(week.startDate)) != week.startDate;
    week.endDate =
        end && !moved ? *end : calendar.startOfDayAfter(week.startDate, 7).value_or(week.startDate);
    week.intention = orBase(marks.own(object, intentionField), base ? &base->intention : nullptr);
    week.reflection =
        orBase(marks.own(object, reflectionField), base ? &base->reflection : nullptr);
    week.createdAt = createdOf(object, base ? &base->createdAt : nullptr, now);
    week.ritualCompletedAt = orBase(ownAs<Timestamp>(marks.own(object, ritualField), exactOf),
                                    base ? &base->ritualCompletedAt : nullptr);
    return week;
}

CalendarObject writeBlock(const FocusBlockTemplateExport& block, const CalendarObject* server,
                          const Calendar& calendar, Timestamp now) {
    CalendarObject object =
        server ? *server : CalendarObject(CalendarObject::Kind::event, uidOf(block.id));
    Marks marks;
    marks.put(object, "SUMMARY", block.title);
    // The first occurrence: the first of its weekdays from the day it was made.
    const std::vector<int> days = weekdaysIn(block.weekdays);
    QDate first = statedDay(block.createdAt, calendar).value_or(dayOf(now, calendar));
    for (int i = 0; i < 7 && !days.empty() &&
                    std::find(days.begin(), days.end(), weekdayOf(first)) == days.end();
         ++i)
        first = first.addDays(1);
    const auto [hour, minute] = clockOf(block.hour, block.minute);
    object.setWallClock("DTSTART", {first, hour, minute}, calendar.timeZone());
    object.setText("DTEND", std::nullopt); // DURATION says how long
    object.setDurationMinutes("DURATION", lengthOf(block.durationMinutes));
    object.setWeeklyRecurrence(weekdaySet(block.weekdays));
    object.setText("STATUS",
                   block.isActive ? QStringLiteral("CONFIRMED") : QStringLiteral("CANCELLED"));
    marks.put(object, goalField, uidText(block.goalID));
    // The stored numbers exactly, for values the standard ones cannot show.
    object.setText(timeField, QStringLiteral("%1:%2").arg(block.hour).arg(block.minute));
    object.setText(durationField, QString::number(block.durationMinutes));
    marks.put(object, weekdaysField, numbersText(block.weekdays));
    stamp(object, block.createdAt, now);
    marks.finish(object);
    return object;
}

FocusBlockTemplateExport readBlock(const CalendarObject& object,
                                   const FocusBlockTemplateExport* base, const Calendar& calendar,
                                   Timestamp now) {
    using Clock = std::pair<qint64, qint64>;
    const Marks marks(object);
    FocusBlockTemplateExport block;
    block.id = idOf(object.uid());
    block.title = marks.standard(object, "SUMMARY").value_or(QString());
    block.createdAt = createdOf(object, base ? &base->createdAt : nullptr, now);
    block.isActive = object.text("STATUS") != QLatin1String("CANCELLED");
    block.goalID = orBase(ownID(marks.own(object, goalField)), base ? &base->goalID : nullptr);

    const std::optional<CalendarObject::WallClock> start =
        object.wallClock("DTSTART", calendar.timeZone());
    std::optional<Clock> exactClock;
    if (const QStringList parts = object.text(timeField).value_or(QString()).split(u':');
        parts.size() == 2 && number(parts[0]) && number(parts[1]))
        exactClock = Clock(*number(parts[0]), *number(parts[1]));
    const std::optional<Clock> baseClock =
        base ? std::optional(Clock(base->hour, base->minute)) : std::nullopt;
    const Clock clock = reconcile<Clock>(
        exactClock, base ? &*baseClock : nullptr,
        start ? std::optional<std::pair<int, int>>({start->hour, start->minute}) : std::nullopt,
        [](const Clock& c) { return std::optional(clockOf(c.first, c.second)); },
        [&](const std::optional<std::pair<int, int>>& wall) {
            return wall ? Clock(*wall) : exactClock.value_or(baseClock.value_or(Clock(0, 0)));
        });
    block.hour = clock.first;
    block.minute = clock.second;

    std::optional<qint64> seconds = object.duration("DURATION");
    const std::optional<Timestamp> end = object.instant("DTEND");
    const std::optional<Timestamp> begin = object.instant("DTSTART");
    if (!seconds && end && begin)
        seconds = qint64(*end - *begin);
    const std::optional<qint64> exactLength = number(object.text(durationField));
    block.durationMinutes = reconcile<qint64>(
        exactLength, base ? &base->durationMinutes : nullptr,
        seconds ? std::optional(*seconds / 60) : std::nullopt,
        [](qint64 minutes) { return std::optional<qint64>(lengthOf(minutes)); },
        [&](const std::optional<qint64>& minutes) {
            return minutes.value_or(exactLength.value_or(base ? base->durationMinutes : 0));
        });

    // BYDAY as a set; a weekly rule without it recurs on its start's weekday.
    std::vector<qint64> shown;
    if (const std::optional<std::vector<int>> rule = object.recurrenceWeekdays()) {
        shown.assign(rule->begin(), rule->end());
        if (shown.empty() && start)
            shown.push_back(weekdayOf(start->date));
    }
    const std::vector<int> set = weekdaySet(shown);
    block.weekdays = reconcile<std::vector<qint64>>(
        ownAs<std::vector<qint64>>(marks.own(object, weekdaysField), numbersIn)
            .value_or(std::nullopt),
        base ? &base->weekdays : nullptr, set, weekdaySet,
        [](const std::vector<int>& days) { return std::vector<qint64>(days.begin(), days.end()); });
    return block;
}

QString trailDayUid(QDate day) {
    return trailPrefix + day.toString(QStringLiteral("yyyyMMdd"));
}

CalendarObject writeTrailDay(QDate day, const std::vector<TrailEntryExport>& entries,
                             const CalendarObject* server, Timestamp now) {
    CalendarObject object =
        server ? *server : CalendarObject(CalendarObject::Kind::event, trailDayUid(day));
    object.setDay("DTSTART", day);
    object.setDay("DTEND", day.addDays(1));
    object.setText("TRANSP", QStringLiteral("TRANSPARENT"));
    qint64 minutes = 0;
    std::vector<QString> lines;
    for (const TrailEntryExport& entry : entries) {
        minutes = std::clamp<qint64>(entry.minutes, 0, 24 * 60) + minutes;
        lines.push_back(entryText(entry));
    }
    object.setText("SUMMARY", QStringLiteral("Focus: %1 min").arg(minutes));
    object.setTexts(entryField, lines);
    if (!object.instant("CREATED"))
        object.setInstant("CREATED", now);
    object.setInstant("LAST-MODIFIED", now);
    object.setInstant("DTSTAMP", now);
    return object;
}

std::vector<TrailEntryExport> readTrailDay(const CalendarObject& object) {
    std::vector<TrailEntryExport> entries;
    for (const QString& line : object.texts(entryField)) {
        if (std::optional<TrailEntryExport> entry = entryOf(line))
            entries.push_back(*entry);
    }
    return entries;
}

} // namespace orvana::sync
