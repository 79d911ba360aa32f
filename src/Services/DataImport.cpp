// The import half of DataExportService: strict decoding and the merge.
#include "Services/DataExportService.h"

#include "Store/ModelContext.h"
#include "Store/UndoManager.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QRegularExpression>
#include <cmath>
#include <QHash>

namespace orvana {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("DataImport", text);
}

// Thrown inside the decoder only; turned into an Error at its boundary.
struct DecodeFailure {
    QString message;
};

// Reads one object's keys, naming the place in every error:
// "goals[3].createdAt: ...".
class Fields {
public:
    Fields(const QJsonObject& object, QString where) : o_(object), where_(std::move(where)) {}

    QString string(const char* key) const { return stringValue(required(key), key); }
    std::optional<QString> optionalString(const char* key) const {
        const QJsonValue v = o_.value(QLatin1String(key));
        if (v.isUndefined() || v.isNull())
            return std::nullopt;
        return stringValue(v, key);
    }
    bool boolean(const char* key) const {
        const QJsonValue v = required(key);
        if (!v.isBool())
            fail(key, tr("expected true or false"));
        return v.toBool();
    }
    qint64 integer(const char* key) const { return integerValue(required(key), key); }
    std::optional<qint64> optionalInteger(const char* key) const {
        const QJsonValue v = o_.value(QLatin1String(key));
        if (v.isUndefined() || v.isNull())
            return std::nullopt;
        return integerValue(v, key);
    }
    double number(const char* key) const {
        const QJsonValue v = required(key);
        if (!v.isDouble())
            fail(key, tr("expected a number"));
        return v.toDouble();
    }
    Timestamp timestamp(const char* key) const { return timestampValue(required(key), key); }
    std::optional<Timestamp> optionalTimestamp(const char* key) const {
        const QJsonValue v = o_.value(QLatin1String(key));
        if (v.isUndefined() || v.isNull())
            return std::nullopt;
        return timestampValue(v, key);
    }
    QUuid id(const char* key) const { return idValue(required(key), key); }
    std::optional<QUuid> optionalID(const char* key) const {
        const QJsonValue v = o_.value(QLatin1String(key));
        if (v.isUndefined() || v.isNull())
            return std::nullopt;
        return idValue(v, key);
    }
    std::vector<qint64> integers(const char* key) const {
        const QJsonValue v = required(key);
        if (!v.isArray())
            fail(key, tr("expected a list of whole numbers"));
        std::vector<qint64> out;
        for (const QJsonValue& element : v.toArray())
            out.push_back(integerValue(element, key));
        return out;
    }

private:
    [[noreturn]] void fail(const char* key, const QString& what) const {
        throw DecodeFailure{QStringLiteral("%1.%2: %3").arg(where_, QLatin1String(key), what)};
    }
    QJsonValue required(const char* key) const {
        const QJsonValue v = o_.value(QLatin1String(key));
        if (v.isUndefined())
            throw DecodeFailure{
                tr("%1: the key \"%2\" is missing").arg(where_, QLatin1String(key))};
        return v;
    }
    QString stringValue(const QJsonValue& v, const char* key) const {
        if (!v.isString())
            fail(key, tr("expected text"));
        return v.toString();
    }
    qint64 integerValue(const QJsonValue& v, const char* key) const {
        // An integral number within 64 bits; Qt keeps such numbers exact.
        if (!v.isDouble())
            fail(key, tr("expected a whole number"));
        const double d = v.toDouble();
        const qint64 i = v.toInteger(0);
        if (!std::isfinite(d) || std::trunc(d) != d || (i == 0 && d != 0.0) || std::abs(d) > 9.3e18)
            fail(key, tr("expected a whole number"));
        return i;
    }
    Timestamp timestampValue(const QJsonValue& v, const char* key) const {
        if (!v.isString())
            fail(key, tr("expected a date and time like 2026-03-05T14:07:00Z"));
        const auto t = DataExportService::parseTimestamp(v.toString());
        if (!t)
            fail(key, tr("\"%1\" is not a date and time like 2026-03-05T14:07:00Z (UTC, whole "
                         "seconds)")
                          .arg(v.toString().left(40)));
        return *t;
    }
    QUuid idValue(const QJsonValue& v, const char* key) const {
        const QString text = v.isString() ? v.toString() : QString();
        static const QRegularExpression form(QStringLiteral(
            "^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$"));
        if (text.size() != 36 || !form.match(text).hasMatch())
            fail(key, tr("expected an identifier like 6A1F0C3E-1D2B-4C5A-9E8F-0123456789AB"));
        return QUuid::fromString(text);
    }

    const QJsonObject& o_;
    QString where_;
};

template <class T, class Read>
std::vector<T> readArray(const QJsonObject& root, const char* key, Read read) {
    const QJsonValue v = root.value(QLatin1String(key));
    if (v.isUndefined())
        throw DecodeFailure{tr("the key \"%1\" is missing").arg(QLatin1String(key))};
    if (!v.isArray())
        throw DecodeFailure{tr("\"%1\" must be a list").arg(QLatin1String(key))};
    const QJsonArray array = v.toArray();
    std::vector<T> out;
    out.reserve(std::size_t(array.size()));
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QString where = QStringLiteral("%1[%2]").arg(QLatin1String(key)).arg(i);
        if (!array[i].isObject())
            throw DecodeFailure{tr("%1: expected an object").arg(where)};
        const QJsonObject object = array[i].toObject();
        out.push_back(read(Fields(object, where)));
    }
    return out;
}

qint64 daysFromCivil(qint64 y, unsigned m, unsigned d) {
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + qint64(doe) - 719468;
}

} // namespace

std::optional<Timestamp> DataExportService::parseTimestamp(QStringView text) {
    // YYYY-MM-DDTHH:MM:SSZ and nothing else.
    if (text.size() != 20 || text[4] != u'-' || text[7] != u'-' || text[10] != u'T' ||
        text[13] != u':' || text[16] != u':' || text[19] != u'Z')
        return std::nullopt;
    auto number = [&](int from, int length, int& out) {
        out = 0;
        for (int i = from; i < from + length; ++i) {
            if (text[i] < u'0' || text[i] > u'9')
                return false;
            out = out * 10 + (text[i].unicode() - u'0');
        }
        return true;
    };
    int y, mo, d, h, mi, s;
    if (!number(0, 4, y) || !number(5, 2, mo) || !number(8, 2, d) || !number(11, 2, h) ||
        !number(14, 2, mi) || !number(17, 2, s))
        return std::nullopt;
    static constexpr int monthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (mo < 1 || mo > 12 || d < 1 || d > monthDays[mo - 1] || (mo == 2 && d == 29 && !leap) ||
        h > 23 || mi > 59 || s > 59)
        return std::nullopt;
    return double(daysFromCivil(y, unsigned(mo), unsigned(d)) * 86400 + h * 3600 + mi * 60 + s);
}

QString DataExportService::unsupportedSchemaVersionMessage(qint64 version) {
    return tr("This file uses export format %1, which this version of Orvana doesn't "
              "understand.")
        .arg(version);
}

Result<OrvanaExport> DataExportService::decode(const QByteArray& json) {
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return Error{tr("The file is not valid JSON (%1 at byte %2).")
                         .arg(parseError.errorString())
                         .arg(parseError.offset)};
    if (!document.isObject())
        return Error{tr("The file is not an Orvana export: its top level is not an object.")};
    const QJsonObject root = document.object();
    try {
        OrvanaExport e;
        const Fields top(root, QStringLiteral("document"));
        e.schemaVersion = top.integer("schemaVersion");
        e.exportedAt = top.timestamp("exportedAt");
        e.goals = readArray<GoalExport>(root, "goals", [](const Fields& f) {
            return GoalExport{f.id("id"),
                              f.string("title"),
                              f.optionalString("goalDescription"),
                              f.timestamp("createdAt"),
                              f.optionalTimestamp("targetDate"),
                              f.string("status"),
                              f.optionalString("colorTag"),
                              f.integer("sortOrder")};
        });
        e.weeks = readArray<WeekExport>(root, "weeks", [](const Fields& f) {
            return WeekExport{f.id("id"),
                              f.timestamp("startDate"),
                              f.timestamp("endDate"),
                              f.optionalString("intention"),
                              f.optionalString("reflection"),
                              f.timestamp("createdAt"),
                              f.optionalTimestamp("ritualCompletedAt")};
        });
        e.weekItems = readArray<WeekItemExport>(root, "weekItems", [](const Fields& f) {
            return WeekItemExport{f.id("id"),
                                  f.string("title"),
                                  f.optionalString("notes"),
                                  f.boolean("isComplete"),
                                  f.integer("sortOrder"),
                                  f.timestamp("createdAt"),
                                  f.optionalID("weekID"),
                                  f.optionalID("goalID")};
        });
        e.dayTasks = readArray<DayTaskExport>(root, "dayTasks", [](const Fields& f) {
            return DayTaskExport{f.id("id"),
                                 f.string("title"),
                                 f.optionalString("notes"),
                                 f.timestamp("date"),
                                 f.boolean("isComplete"),
                                 f.boolean("isTodaysOneThing"),
                                 f.integer("sortOrder"),
                                 f.timestamp("createdAt"),
                                 f.optionalID("sourceTemplateID"),
                                 f.optionalID("weekItemID"),
                                 f.optionalID("goalID"),
                                 f.optionalTimestamp("reminderAt")};
        });
        e.focusSessions = readArray<FocusSessionExport>(root, "focusSessions", [](const Fields& f) {
            return FocusSessionExport{f.id("id"),
                                      f.timestamp("createdAt"),
                                      f.number("plannedDuration"),
                                      f.number("accumulatedActiveDuration"),
                                      f.optionalTimestamp("endedAt"),
                                      f.boolean("isCompleted"),
                                      f.optionalID("dayTaskID"),
                                      f.optionalID("goalID"),
                                      f.string("kind"),
                                      f.optionalInteger("pomodoroCycleNumber")};
        });
        e.focusBlockTemplates =
            readArray<FocusBlockTemplateExport>(root, "focusBlockTemplates", [](const Fields& f) {
                return FocusBlockTemplateExport{f.id("id"),
                                                f.string("title"),
                                                f.timestamp("createdAt"),
                                                f.boolean("isActive"),
                                                f.integers("weekdays"),
                                                f.integer("hour"),
                                                f.integer("minute"),
                                                f.integer("durationMinutes"),
                                                f.optionalID("goalID")};
            });
        e.trailEntries = readArray<TrailEntryExport>(root, "trailEntries", [](const Fields& f) {
            return TrailEntryExport{f.id("id"), f.timestamp("date"), f.integer("minutes"),
                                    f.timestamp("createdAt"), f.optionalID("goalID")};
        });
        return e;
    } catch (const DecodeFailure& failure) {
        return Error{tr("The file is not a valid Orvana export: %1.").arg(failure.message)};
    }
}

namespace {

template <class T> using IDMap = QHash<QUuid, T*>;

template <class T> T* mapped(const IDMap<T>& map, const std::optional<QUuid>& id) {
    if (!id)
        return nullptr;
    return map.value(*id, nullptr);
}

// The record with this id, or a new one inserted after `prepare` gave it its
// values (a new record costs one undo action, not one per field).
template <class T, class Make, class Assign>
T* upsert(ModelContext& ctx, const QUuid& id, Make make, Assign assign) {
    if (T* existing = ctx.findByID<T>(id)) {
        assign(*existing);
        return existing;
    }
    std::unique_ptr<T> created = make();
    created->setID(id);
    assign(*created);
    return ctx.insert(std::move(created));
}

} // namespace

Result<void> DataExportService::importJSON(const QByteArray& json, ModelContext& ctx) {
    auto decoded = decode(json);
    if (!decoded.ok())
        return decoded.error();
    const OrvanaExport& e = decoded.value();
    if (e.schemaVersion != schemaVersion)
        return Error{unsupportedSchemaVersionMessage(e.schemaVersion)};

    // One undo step, ended exactly once whatever happens below.
    UndoManager* undo = ctx.undoManager();
    if (undo)
        undo->beginUndoGrouping();
    struct EndGroup {
        UndoManager* undo;
        ~EndGroup() {
            if (undo)
                undo->endUndoGrouping();
        }
    } endGroup{undo};

    IDMap<Goal> goals;
    for (const GoalExport& g : e.goals) {
        goals[g.id] = upsert<Goal>(
            ctx, g.id, [&] { return std::make_unique<Goal>(QString()); },
            [&](Goal& r) {
                r.setTitle(g.title);
                r.setGoalDescription(g.goalDescription);
                r.setCreatedAt(g.createdAt);
                r.setTargetDate(g.targetDate);
                r.setStatus(goalStatusFromRaw(g.status).value_or(GoalStatus::active));
                r.setColorTag(g.colorTag);
                r.setSortOrder(g.sortOrder);
            });
    }
    IDMap<Week> weeks;
    for (const WeekExport& w : e.weeks) {
        weeks[w.id] = upsert<Week>(
            ctx, w.id, [&] { return std::make_unique<Week>(w.startDate, w.endDate); },
            [&](Week& r) {
                r.setStartDate(w.startDate);
                r.setEndDate(w.endDate);
                r.setIntention(w.intention);
                r.setReflection(w.reflection);
                r.setCreatedAt(w.createdAt);
                r.setRitualCompletedAt(w.ritualCompletedAt);
            });
    }
    IDMap<WeekItem> items;
    for (const WeekItemExport& i : e.weekItems) {
        items[i.id] = upsert<WeekItem>(
            ctx, i.id, [&] { return std::make_unique<WeekItem>(i.title); },
            [&](WeekItem& r) {
                r.setTitle(i.title);
                r.setNotes(i.notes);
                r.setIsComplete(i.isComplete);
                r.setSortOrder(i.sortOrder);
                r.setCreatedAt(i.createdAt);
                r.setWeek(mapped(weeks, i.weekID));
                r.setGoal(mapped(goals, i.goalID));
            });
    }
    IDMap<DayTask> tasks;
    for (const DayTaskExport& t : e.dayTasks) {
        tasks[t.id] = upsert<DayTask>(
            ctx, t.id, [&] { return std::make_unique<DayTask>(t.title, t.date); },
            [&](DayTask& r) {
                r.setTitle(t.title);
                r.setNotes(t.notes);
                r.setDate(t.date);
                r.setIsComplete(t.isComplete);
                r.setIsTodaysOneThing(t.isTodaysOneThing);
                r.setSortOrder(t.sortOrder);
                r.setCreatedAt(t.createdAt);
                r.setSourceTemplateID(t.sourceTemplateID);
                r.setReminderAt(t.reminderAt);
                r.setWeekItem(mapped(items, t.weekItemID));
                r.setGoal(mapped(goals, t.goalID));
            });
    }
    for (const FocusSessionExport& s : e.focusSessions) {
        upsert<FocusSession>(
            ctx, s.id, [&] { return std::make_unique<FocusSession>(s.plannedDuration); },
            [&](FocusSession& r) {
                r.setCreatedAt(s.createdAt);
                r.setPlannedDuration(s.plannedDuration);
                r.setAccumulatedActiveDuration(s.accumulatedActiveDuration);
                r.setEndedAt(s.endedAt);
                r.setIsCompleted(s.isCompleted);
                r.setPomodoroCycleNumber(s.pomodoroCycleNumber);
                r.setDayTask(mapped(tasks, s.dayTaskID));
                r.setGoal(mapped(goals, s.goalID));
                r.setKind(focusSessionKindFromRaw(s.kind).value_or(FocusSessionKind::work));
            });
    }
    for (const FocusBlockTemplateExport& b : e.focusBlockTemplates) {
        upsert<FocusBlockTemplate>(
            ctx, b.id,
            [&] {
                return std::make_unique<FocusBlockTemplate>(b.title, b.weekdays, b.hour, b.minute,
                                                            b.durationMinutes);
            },
            [&](FocusBlockTemplate& r) {
                r.setTitle(b.title);
                r.setCreatedAt(b.createdAt);
                r.setIsActive(b.isActive);
                r.setWeekdays(b.weekdays);
                r.setHour(b.hour);
                r.setMinute(b.minute);
                r.setDurationMinutes(b.durationMinutes);
                r.setGoal(mapped(goals, b.goalID));
            });
    }
    for (const TrailEntryExport& t : e.trailEntries) {
        upsert<TrailEntry>(
            ctx, t.id, [&] { return std::make_unique<TrailEntry>(t.date, t.minutes); },
            [&](TrailEntry& r) {
                r.setDate(t.date);
                r.setMinutes(t.minutes);
                r.setCreatedAt(t.createdAt);
                r.setGoal(mapped(goals, t.goalID));
            });
    }
    return ctx.save();
}

} // namespace orvana
