#include "Services/DataExportService.h"

#include "Store/ModelContext.h"

#include <charconv>
#include <cmath>

namespace orvana {

namespace {

// Days since 1970-01-01 to a civil date (proleptic Gregorian), after
// Howard Hinnant's algorithm; exact for the whole clamped range.
void civilFromDays(qint64 z, qint64& y, unsigned& m, unsigned& d) {
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = qint64(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

// Appends JSON text to one growing buffer; the whole document is built in
// a single pass without intermediate strings per record.
class Writer {
public:
    explicit Writer(QByteArray& out) : out_(out) {}

    void raw(const char* text) { out_.append(text); }
    void indent(int level) { out_.append(level * 2, ' '); }

    void string(const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        out_.append('"');
        const char* p = utf8.constData();
        const char* end = p + utf8.size();
        const char* run = p;
        for (; p != end; ++p) {
            const unsigned char c = static_cast<unsigned char>(*p);
            if (c >= 0x20 && c != '"' && c != '\\' && c != '/')
                continue;
            out_.append(run, p - run);
            run = p + 1;
            switch (c) {
            case '"':
                out_.append("\\\"");
                break;
            case '\\':
                out_.append("\\\\");
                break;
            case '/':
                out_.append("\\/");
                break;
            case '\n':
                out_.append("\\n");
                break;
            case '\r':
                out_.append("\\r");
                break;
            case '\t':
                out_.append("\\t");
                break;
            case '\b':
                out_.append("\\b");
                break;
            case '\f':
                out_.append("\\f");
                break;
            default: {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out_.append(escaped);
            }
            }
        }
        out_.append(run, end - run);
        out_.append('"');
    }

    void integer(qint64 v) {
        char buffer[24];
        auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
        (void)ec;
        out_.append(buffer, end - buffer);
    }

    bool number(double v) {
        if (!std::isfinite(v))
            return false;
        char buffer[32];
        // Shortest text that reads back to the same double; 1500.0 -> "1500".
        auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
        (void)ec;
        out_.append(buffer, end - buffer);
        return true;
    }

    void boolean(bool v) { out_.append(v ? "true" : "false"); }

    void uuid(const QUuid& id) {
        // Canonical upper-case text without going through QString.
        static constexpr char hex[] = "0123456789ABCDEF";
        const QByteArray bytes = id.toRfc4122();
        char text[38];
        int n = 0;
        text[n++] = '"';
        for (int i = 0; i < 16; ++i) {
            if (i == 4 || i == 6 || i == 8 || i == 10)
                text[n++] = '-';
            const auto b = static_cast<unsigned char>(bytes[i]);
            text[n++] = hex[b >> 4];
            text[n++] = hex[b & 15];
        }
        text[n++] = '"';
        out_.append(text, n);
    }

    void timestamp(Timestamp t) {
        out_.append('"');
        out_.append(DataExportService::timestampText(t));
        out_.append('"');
    }

private:
    QByteArray& out_;
};

// Writes one object's members in the order given, leaving out absent ones
// and putting the commas between the members that are written.
class ObjectWriter {
public:
    ObjectWriter(Writer& w, int level) : w_(w), level_(level) { w_.raw("{\n"); }
    ~ObjectWriter() {
        w_.raw("\n");
        w_.indent(level_ - 1);
        w_.raw("}");
    }

    Writer& key(const char* name) {
        if (!first_)
            w_.raw(",\n");
        first_ = false;
        w_.indent(level_);
        w_.raw("\"");
        w_.raw(name);
        w_.raw("\" : ");
        return w_;
    }

    void string(const char* name, const QString& v) { key(name).string(v); }
    void string(const char* name, const std::optional<QString>& v) {
        if (v)
            key(name).string(*v);
    }
    void timestamp(const char* name, Timestamp v) { key(name).timestamp(v); }
    void timestamp(const char* name, const std::optional<Timestamp>& v) {
        if (v)
            key(name).timestamp(*v);
    }
    void id(const char* name, const QUuid& v) { key(name).uuid(v); }
    void id(const char* name, const std::optional<QUuid>& v) {
        if (v)
            key(name).uuid(*v);
    }
    void reference(const char* name, const Record* owner) {
        if (owner)
            key(name).uuid(owner->id());
    }
    void integer(const char* name, qint64 v) { key(name).integer(v); }
    void integer(const char* name, const std::optional<qint64>& v) {
        if (v)
            key(name).integer(*v);
    }
    void boolean(const char* name, bool v) { key(name).boolean(v); }
    bool number(const char* name, double v) { return key(name).number(v); }

private:
    Writer& w_;
    int level_;
    bool first_ = true;
};

// An array of records, one object per element at nesting level 2.
template <class T, class WriteMembers>
bool writeArray(ObjectWriter& root, const char* name, const ModelContext& ctx,
                WriteMembers writeMembers) {
    Writer& w = root.key(name);
    const auto records = ctx.fetch<T>();
    if (records.empty()) {
        w.raw("[]");
        return true;
    }
    w.raw("[\n");
    bool ok = true;
    bool first = true;
    for (const T* r : records) {
        if (!first)
            w.raw(",\n");
        first = false;
        w.indent(2);
        ObjectWriter object(w, 3);
        ok = writeMembers(object, *r) && ok;
    }
    w.raw("\n");
    w.indent(1);
    w.raw("]");
    return ok;
}

} // namespace

namespace {

std::optional<QUuid> idOf(const Record* owner) {
    return owner ? std::optional<QUuid>(owner->id()) : std::nullopt;
}

// The format carries whole seconds only.
Timestamp seconds(Timestamp t) {
    return std::floor(t);
}
std::optional<Timestamp> seconds(const std::optional<Timestamp>& t) {
    return t ? std::optional<Timestamp>(std::floor(*t)) : std::nullopt;
}

} // namespace

OrvanaExport DataExportService::exportDocument(const ModelContext& ctx, Timestamp exportedAt) {
    OrvanaExport e;
    e.schemaVersion = schemaVersion;
    e.exportedAt = seconds(exportedAt);
    for (const Goal* g : ctx.fetch<Goal>())
        e.goals.push_back({g->id(), g->title(), g->goalDescription(), seconds(g->createdAt()),
                           seconds(g->targetDate()), rawValue(g->status()), g->colorTag(),
                           g->sortOrder()});
    for (const Week* w : ctx.fetch<Week>())
        e.weeks.push_back({w->id(), seconds(w->startDate()), seconds(w->endDate()), w->intention(),
                           w->reflection(), seconds(w->createdAt()),
                           seconds(w->ritualCompletedAt())});
    for (const WeekItem* i : ctx.fetch<WeekItem>())
        e.weekItems.push_back({i->id(), i->title(), i->notes(), i->isComplete(), i->sortOrder(),
                               seconds(i->createdAt()), idOf(i->week()), idOf(i->goal())});
    for (const DayTask* t : ctx.fetch<DayTask>())
        e.dayTasks.push_back({t->id(), t->title(), t->notes(), seconds(t->date()), t->isComplete(),
                              t->isTodaysOneThing(), t->sortOrder(), seconds(t->createdAt()),
                              t->sourceTemplateID(), idOf(t->weekItem()), idOf(t->goal()),
                              seconds(t->reminderAt())});
    for (const FocusSession* s : ctx.fetch<FocusSession>())
        e.focusSessions.push_back({s->id(), seconds(s->createdAt()), s->plannedDuration(),
                                   s->accumulatedActiveDuration(), seconds(s->endedAt()),
                                   s->isCompleted(), idOf(s->dayTask()), idOf(s->goal()),
                                   rawValue(s->kind()), s->pomodoroCycleNumber()});
    for (const FocusBlockTemplate* b : ctx.fetch<FocusBlockTemplate>())
        e.focusBlockTemplates.push_back({b->id(), b->title(), seconds(b->createdAt()),
                                         b->isActive(), b->weekdays(), b->hour(), b->minute(),
                                         b->durationMinutes(), idOf(b->goal())});
    for (const TrailEntry* t : ctx.fetch<TrailEntry>())
        e.trailEntries.push_back(
            {t->id(), seconds(t->date()), t->minutes(), seconds(t->createdAt()), idOf(t->goal())});
    return e;
}

QByteArray DataExportService::timestampText(Timestamp t) {
    // 0001-01-01T00:00:00Z ... 9999-12-31T23:59:59Z
    constexpr double earliest = -62135596800.0, latest = 253402300799.0;
    const double seconds = std::isnan(t) ? 0.0 : std::clamp(std::floor(t), earliest, latest);
    const qint64 whole = qint64(seconds);
    const qint64 days = whole >= 0 ? whole / 86400 : (whole - 86399) / 86400;
    const qint64 secondOfDay = whole - days * 86400;
    qint64 year;
    unsigned month, day;
    civilFromDays(days, year, month, day);
    // The clamp above keeps every field to its width.
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", int(year), month, day,
                  int(secondOfDay / 3600), int(secondOfDay / 60 % 60), int(secondOfDay % 60));
    return QByteArray(text, 20);
}

Result<QByteArray> DataExportService::exportJSON(const ModelContext& ctx, Timestamp exportedAt) {
    QByteArray out;
    // Roughly 300 bytes per record: one allocation for most stores.
    const std::size_t records = ctx.count<Goal>() + ctx.count<Week>() + ctx.count<WeekItem>() +
                                ctx.count<DayTask>() + ctx.count<FocusSession>() +
                                ctx.count<FocusBlockTemplate>() + ctx.count<TrailEntry>();
    out.reserve(qsizetype(records * 300 + 512));
    Writer w(out);
    bool ok = true;
    {
        ObjectWriter root(w, 1);
        ok = writeArray<DayTask>(root, "dayTasks", ctx,
                                 [](ObjectWriter& o, const DayTask& t) {
                                     o.timestamp("createdAt", t.createdAt());
                                     o.timestamp("date", t.date());
                                     o.reference("goalID", t.goal());
                                     o.id("id", t.id());
                                     o.boolean("isComplete", t.isComplete());
                                     o.boolean("isTodaysOneThing", t.isTodaysOneThing());
                                     o.string("notes", t.notes());
                                     o.timestamp("reminderAt", t.reminderAt());
                                     o.integer("sortOrder", t.sortOrder());
                                     o.id("sourceTemplateID", t.sourceTemplateID());
                                     o.string("title", t.title());
                                     o.reference("weekItemID", t.weekItem());
                                     return true;
                                 }) &&
             ok;
        root.timestamp("exportedAt", exportedAt);
        ok = writeArray<FocusBlockTemplate>(root, "focusBlockTemplates", ctx,
                                            [](ObjectWriter& o, const FocusBlockTemplate& b) {
                                                o.timestamp("createdAt", b.createdAt());
                                                o.integer("durationMinutes", b.durationMinutes());
                                                o.reference("goalID", b.goal());
                                                o.integer("hour", b.hour());
                                                o.id("id", b.id());
                                                o.boolean("isActive", b.isActive());
                                                o.integer("minute", b.minute());
                                                o.string("title", b.title());
                                                Writer& days = o.key("weekdays");
                                                if (b.weekdays().empty()) {
                                                    days.raw("[]");
                                                } else {
                                                    days.raw("[\n");
                                                    bool first = true;
                                                    for (qint64 d : b.weekdays()) {
                                                        if (!first)
                                                            days.raw(",\n");
                                                        first = false;
                                                        days.indent(4);
                                                        days.integer(d);
                                                    }
                                                    days.raw("\n");
                                                    days.indent(3);
                                                    days.raw("]");
                                                }
                                                return true;
                                            }) &&
             ok;
        ok = writeArray<FocusSession>(root, "focusSessions", ctx,
                                      [](ObjectWriter& o, const FocusSession& s) {
                                          bool fine = o.number("accumulatedActiveDuration",
                                                               s.accumulatedActiveDuration());
                                          o.timestamp("createdAt", s.createdAt());
                                          o.reference("dayTaskID", s.dayTask());
                                          o.timestamp("endedAt", s.endedAt());
                                          o.reference("goalID", s.goal());
                                          o.id("id", s.id());
                                          o.boolean("isCompleted", s.isCompleted());
                                          o.string("kind", rawValue(s.kind()));
                                          fine = o.number("plannedDuration", s.plannedDuration()) &&
                                                 fine;
                                          o.integer("pomodoroCycleNumber", s.pomodoroCycleNumber());
                                          return fine;
                                      }) &&
             ok;
        ok = writeArray<Goal>(root, "goals", ctx,
                              [](ObjectWriter& o, const Goal& g) {
                                  o.string("colorTag", g.colorTag());
                                  o.timestamp("createdAt", g.createdAt());
                                  o.string("goalDescription", g.goalDescription());
                                  o.id("id", g.id());
                                  o.integer("sortOrder", g.sortOrder());
                                  o.string("status", rawValue(g.status()));
                                  o.timestamp("targetDate", g.targetDate());
                                  o.string("title", g.title());
                                  return true;
                              }) &&
             ok;
        root.integer("schemaVersion", schemaVersion);
        ok = writeArray<TrailEntry>(root, "trailEntries", ctx,
                                    [](ObjectWriter& o, const TrailEntry& e) {
                                        o.timestamp("createdAt", e.createdAt());
                                        o.timestamp("date", e.date());
                                        o.reference("goalID", e.goal());
                                        o.id("id", e.id());
                                        o.integer("minutes", e.minutes());
                                        return true;
                                    }) &&
             ok;
        ok = writeArray<WeekItem>(root, "weekItems", ctx,
                                  [](ObjectWriter& o, const WeekItem& i) {
                                      o.timestamp("createdAt", i.createdAt());
                                      o.reference("goalID", i.goal());
                                      o.id("id", i.id());
                                      o.boolean("isComplete", i.isComplete());
                                      o.string("notes", i.notes());
                                      o.integer("sortOrder", i.sortOrder());
                                      o.string("title", i.title());
                                      o.reference("weekID", i.week());
                                      return true;
                                  }) &&
             ok;
        ok = writeArray<Week>(root, "weeks", ctx,
                              [](ObjectWriter& o, const Week& wk) {
                                  o.timestamp("createdAt", wk.createdAt());
                                  o.timestamp("endDate", wk.endDate());
                                  o.id("id", wk.id());
                                  o.string("intention", wk.intention());
                                  o.string("reflection", wk.reflection());
                                  o.timestamp("ritualCompletedAt", wk.ritualCompletedAt());
                                  o.timestamp("startDate", wk.startDate());
                                  return true;
                              }) &&
             ok;
    }
    if (!ok)
        return Error{QStringLiteral("A focus session holds a duration that is not a number, so "
                                    "the data cannot be written as JSON.")};
    return out;
}

} // namespace orvana
