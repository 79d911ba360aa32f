#include "Services/DataExportService.h"

#include "Store/ModelContext.h"

#include <QIODevice>

#include <array>
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

// Appends JSON text to one buffer in a single pass, without intermediate
// strings per record. With a device, the buffer is handed on whenever it
// passes a piece's size, so a document of any size needs only that much
// memory besides the records.
class Writer {
public:
    static constexpr qsizetype pieceSize = 256 * 1024;

    explicit Writer(QByteArray& out, QIODevice* device = nullptr) : out_(out), device_(device) {}

    // Between records. False once the device has refused a write.
    bool flushIfFull() { return out_.size() < pieceSize || flush(); }
    bool flush() {
        if (!device_ || failed_)
            return !failed_;
        failed_ = device_->write(out_) != out_.size();
        out_.resize(0); // keeps the allocation for the next piece
        return !failed_;
    }

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
    QIODevice* device_;
    bool failed_ = false;
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

    int level() const { return level_; }

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

// The members of each record, keys in ascending order. False when a value
// cannot be written as JSON.

bool writeMembers(ObjectWriter& o, const DayTaskExport& t) {
    o.timestamp("createdAt", t.createdAt);
    o.timestamp("date", t.date);
    o.id("goalID", t.goalID);
    o.id("id", t.id);
    o.boolean("isComplete", t.isComplete);
    o.boolean("isTodaysOneThing", t.isTodaysOneThing);
    o.string("notes", t.notes);
    o.timestamp("reminderAt", t.reminderAt);
    o.integer("sortOrder", t.sortOrder);
    o.id("sourceTemplateID", t.sourceTemplateID);
    o.string("title", t.title);
    o.id("weekItemID", t.weekItemID);
    return true;
}

bool writeMembers(ObjectWriter& o, const FocusBlockTemplateExport& b) {
    o.timestamp("createdAt", b.createdAt);
    o.integer("durationMinutes", b.durationMinutes);
    o.id("goalID", b.goalID);
    o.integer("hour", b.hour);
    o.id("id", b.id);
    o.boolean("isActive", b.isActive);
    o.integer("minute", b.minute);
    o.string("title", b.title);
    Writer& days = o.key("weekdays");
    if (b.weekdays.empty()) {
        days.raw("[]");
        return true;
    }
    days.raw("[\n");
    bool first = true;
    for (qint64 d : b.weekdays) {
        if (!first)
            days.raw(",\n");
        first = false;
        days.indent(o.level() + 1);
        days.integer(d);
    }
    days.raw("\n");
    days.indent(o.level());
    days.raw("]");
    return true;
}

bool writeMembers(ObjectWriter& o, const FocusSessionExport& s) {
    bool fine = o.number("accumulatedActiveDuration", s.accumulatedActiveDuration);
    o.timestamp("createdAt", s.createdAt);
    o.id("dayTaskID", s.dayTaskID);
    o.timestamp("endedAt", s.endedAt);
    o.id("goalID", s.goalID);
    o.id("id", s.id);
    o.boolean("isCompleted", s.isCompleted);
    o.string("kind", s.kind);
    fine = o.number("plannedDuration", s.plannedDuration) && fine;
    o.integer("pomodoroCycleNumber", s.pomodoroCycleNumber);
    return fine;
}

bool writeMembers(ObjectWriter& o, const GoalExport& g) {
    o.string("colorTag", g.colorTag);
    o.timestamp("createdAt", g.createdAt);
    o.string("goalDescription", g.goalDescription);
    o.id("id", g.id);
    o.integer("sortOrder", g.sortOrder);
    o.string("status", g.status);
    o.timestamp("targetDate", g.targetDate);
    o.string("title", g.title);
    return true;
}

bool writeMembers(ObjectWriter& o, const TrailEntryExport& e) {
    o.timestamp("createdAt", e.createdAt);
    o.timestamp("date", e.date);
    o.id("goalID", e.goalID);
    o.id("id", e.id);
    o.integer("minutes", e.minutes);
    return true;
}

bool writeMembers(ObjectWriter& o, const WeekItemExport& i) {
    o.timestamp("createdAt", i.createdAt);
    o.id("goalID", i.goalID);
    o.id("id", i.id);
    o.boolean("isComplete", i.isComplete);
    o.string("notes", i.notes);
    o.integer("sortOrder", i.sortOrder);
    o.string("title", i.title);
    o.id("weekID", i.weekID);
    return true;
}

bool writeMembers(ObjectWriter& o, const WeekExport& w) {
    o.timestamp("createdAt", w.createdAt);
    o.timestamp("endDate", w.endDate);
    o.id("id", w.id);
    o.string("intention", w.intention);
    o.string("reflection", w.reflection);
    o.timestamp("ritualCompletedAt", w.ritualCompletedAt);
    o.timestamp("startDate", w.startDate);
    return true;
}

// An array of records, one object per element at nesting level 2.
template <class T>
bool writeArray(ObjectWriter& root, const char* name, const std::vector<T>& records) {
    Writer& w = root.key(name);
    if (records.empty()) {
        w.raw("[]");
        return true;
    }
    w.raw("[\n");
    bool ok = true;
    bool first = true;
    for (const T& r : records) {
        if (!first)
            w.raw(",\n");
        first = false;
        w.indent(2);
        {
            ObjectWriter object(w, 3);
            ok = writeMembers(object, r) && ok;
        }
        if (!w.flushIfFull())
            return false;
    }
    w.raw("\n");
    w.indent(1);
    w.raw("]");
    return ok;
}

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

// Each enumeration's raw texts made once per document and then shared by
// every record (rawValue builds a new string on each call).
template <class E, std::size_t N> std::array<QString, N> rawValues() {
    std::array<QString, N> texts;
    for (std::size_t i = 0; i < N; ++i)
        texts[i] = rawValue(static_cast<E>(i));
    return texts;
}

} // namespace

OrvanaExport DataExportService::exportDocument(const ModelContext& ctx, Timestamp exportedAt) {
    const auto statuses = rawValues<GoalStatus, 3>();
    const auto kinds = rawValues<FocusSessionKind, 3>();
    OrvanaExport e;
    e.schemaVersion = schemaVersion;
    e.exportedAt = seconds(exportedAt);
    e.goals.reserve(ctx.count<Goal>());
    for (const Goal* g : ctx.fetch<Goal>())
        e.goals.push_back({g->id(), g->title(), g->goalDescription(), seconds(g->createdAt()),
                           seconds(g->targetDate()), statuses[std::size_t(g->status())],
                           g->colorTag(), g->sortOrder()});
    e.weeks.reserve(ctx.count<Week>());
    for (const Week* w : ctx.fetch<Week>())
        e.weeks.push_back({w->id(), seconds(w->startDate()), seconds(w->endDate()), w->intention(),
                           w->reflection(), seconds(w->createdAt()),
                           seconds(w->ritualCompletedAt())});
    e.weekItems.reserve(ctx.count<WeekItem>());
    for (const WeekItem* i : ctx.fetch<WeekItem>())
        e.weekItems.push_back({i->id(), i->title(), i->notes(), i->isComplete(), i->sortOrder(),
                               seconds(i->createdAt()), idOf(i->week()), idOf(i->goal())});
    e.dayTasks.reserve(ctx.count<DayTask>());
    for (const DayTask* t : ctx.fetch<DayTask>())
        e.dayTasks.push_back({t->id(), t->title(), t->notes(), seconds(t->date()), t->isComplete(),
                              t->isTodaysOneThing(), t->sortOrder(), seconds(t->createdAt()),
                              t->sourceTemplateID(), idOf(t->weekItem()), idOf(t->goal()),
                              seconds(t->reminderAt())});
    e.focusSessions.reserve(ctx.count<FocusSession>());
    for (const FocusSession* s : ctx.fetch<FocusSession>())
        e.focusSessions.push_back({s->id(), seconds(s->createdAt()), s->plannedDuration(),
                                   s->accumulatedActiveDuration(), seconds(s->endedAt()),
                                   s->isCompleted(), idOf(s->dayTask()), idOf(s->goal()),
                                   kinds[std::size_t(s->kind())], s->pomodoroCycleNumber()});
    e.focusBlockTemplates.reserve(ctx.count<FocusBlockTemplate>());
    for (const FocusBlockTemplate* b : ctx.fetch<FocusBlockTemplate>())
        e.focusBlockTemplates.push_back({b->id(), b->title(), seconds(b->createdAt()),
                                         b->isActive(), b->weekdays(), b->hour(), b->minute(),
                                         b->durationMinutes(), idOf(b->goal())});
    e.trailEntries.reserve(ctx.count<TrailEntry>());
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

namespace {

std::size_t recordCount(const OrvanaExport& d) {
    return d.goals.size() + d.weeks.size() + d.weekItems.size() + d.dayTasks.size() +
           d.focusSessions.size() + d.focusBlockTemplates.size() + d.trailEntries.size();
}

Result<void> write(const OrvanaExport& d, Writer& w) {
    bool ok = true;
    {
        ObjectWriter root(w, 1);
        ok = writeArray(root, "dayTasks", d.dayTasks) && ok;
        root.timestamp("exportedAt", d.exportedAt);
        ok = writeArray(root, "focusBlockTemplates", d.focusBlockTemplates) && ok;
        ok = writeArray(root, "focusSessions", d.focusSessions) && ok;
        ok = writeArray(root, "goals", d.goals) && ok;
        root.integer("schemaVersion", d.schemaVersion);
        ok = writeArray(root, "trailEntries", d.trailEntries) && ok;
        ok = writeArray(root, "weekItems", d.weekItems) && ok;
        ok = writeArray(root, "weeks", d.weeks) && ok;
    }
    if (!w.flush())
        return Error{QStringLiteral("The file could not be written.")};
    if (!ok)
        return Error{QStringLiteral("A focus session holds a duration that is not a number, so "
                                    "the data cannot be written as JSON.")};
    return {};
}

} // namespace

Result<QByteArray> DataExportService::encode(const OrvanaExport& document) {
    QByteArray out;
    // Roughly 300 bytes per record: one allocation for most stores.
    out.reserve(qsizetype(recordCount(document) * 300 + 512));
    Writer w(out);
    if (auto written = write(document, w); !written.ok())
        return written.error();
    return out;
}

Result<void> DataExportService::encode(const OrvanaExport& document, QIODevice& device) {
    QByteArray piece;
    // A piece ends after the record that fills it.
    piece.reserve(Writer::pieceSize + 64 * 1024);
    Writer w(piece, &device);
    return write(document, w);
}

Result<QByteArray> DataExportService::exportJSON(const ModelContext& ctx, Timestamp exportedAt) {
    return encode(exportDocument(ctx, exportedAt));
}

} // namespace orvana
