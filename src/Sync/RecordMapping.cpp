#include "Sync/RecordMapping.h"

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
    const bool wasComplete = server && object.text("STATUS") == QLatin1String("COMPLETED");
    object.setText("STATUS",
                   task.isComplete ? QStringLiteral("COMPLETED") : QStringLiteral("NEEDS-ACTION"));
    if (!task.isComplete) {
        object.setInstant("COMPLETED", std::nullopt);
        object.setText("PERCENT-COMPLETE", std::nullopt);
    } else {
        if (!wasComplete || !object.instant("COMPLETED"))
            object.setInstant("COMPLETED", now);
        object.setText("PERCENT-COMPLETE", QStringLiteral("100"));
    }
    object.setReminder(task.reminderAt, task.title);
    object.setText("RELATED-TO", uidText(task.goalID));
    object.setText(oneThing, task.isTodaysOneThing ? QStringLiteral("1") : QStringLiteral("0"));
    object.setText(sortOrder, QString::number(task.sortOrder));
    object.setText(weekItem, uidText(task.weekItemID));
    object.setText(block, uidText(task.sourceTemplateID));
    if (!object.instant("CREATED"))
        object.setInstant("CREATED", task.createdAt);
    object.setInstant("LAST-MODIFIED", now);
    object.setInstant("DTSTAMP", now);
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
    // Clients mark a to-do done in one of three ways; STATUS, when there, decides.
    const std::optional<QString> status = object.text("STATUS");
    task.isComplete =
        status ? *status == QLatin1String("COMPLETED")
               : object.instant("COMPLETED") || number(object.text("PERCENT-COMPLETE")) == 100;
    task.reminderAt = object.reminder();
    task.goalID = idText(object.text("RELATED-TO"));
    task.createdAt = object.instant("CREATED").value_or(base ? base->createdAt : now);

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

} // namespace orvana::sync
