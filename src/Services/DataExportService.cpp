#include "Services/DataExportService.h"

#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"

#include <QCoreApplication>
#include <QIODevice>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace orvana {

namespace {

// Its errors are shown; named so that lupdate files them under it.
struct ExportText {
    Q_DECLARE_TR_FUNCTIONS(DataExportService)
};

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
    bool flushIfFull() { return out_.size() + used_ < pieceSize || flush(); }
    bool flush() {
        spill();
        if (!device_ || failed_)
            return !failed_;
        failed_ = device_->write(out_) != out_.size();
        out_.resize(0); // keeps the allocation for the next piece
        return !failed_;
    }

    void raw(const char* text) { put(text, qsizetype(std::strlen(text))); }
    void raw(const char* text, qsizetype size) { put(text, size); }
    void indent(int level) {
        for (int i = 0; i < level; ++i)
            put("  ", 2);
    }

    void string(const QString& text) {
        put('"');
        // Most text is ASCII: escaped as it is read, without a UTF-8 copy.
        const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
        const qsizetype length = text.size();
        if (std::all_of(units, units + length, [](char16_t c) { return c < 0x80; })) {
            for (qsizetype i = 0; i < length; ++i)
                character(static_cast<unsigned char>(units[i]));
        } else {
            const QByteArray utf8 = text.toUtf8();
            for (char c : utf8)
                character(static_cast<unsigned char>(c));
        }
        put('"');
    }

    void integer(qint64 v) {
        char buffer[24];
        auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
        (void)ec;
        put(buffer, end - buffer);
    }

    bool number(double v) {
        if (!std::isfinite(v))
            return false;
        // The fewest digits that read back to the same double: 1499.25,
        // 1e-07. An integral value has them written out in full, followed
        // by zeros, without fraction or exponent (1500, 100000; 1e300 as
        // 301 digits): std::to_chars would give 1e+05, or in fixed notation
        // the exact value, 1e23 as 99999999999999991611392.
        char buffer[std::numeric_limits<double>::max_exponent10 + 32];
        const char* end = std::trunc(v) == v ? integral(buffer, v)
                                             : std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
        put(buffer, end - buffer);
        return true;
    }

    void boolean(bool v) { v ? put("true", 4) : put("false", 5); }

    void uuid(const QUuid& id) {
        // Canonical upper-case text without going through QString.
        static constexpr char hex[] = "0123456789ABCDEF";
        // The 16 bytes in order, from the fields (toRfc4122 would allocate).
        unsigned char bytes[16];
        for (int i = 0; i < 4; ++i)
            bytes[i] = static_cast<unsigned char>(id.data1 >> (24 - 8 * i));
        bytes[4] = static_cast<unsigned char>(id.data2 >> 8);
        bytes[5] = static_cast<unsigned char>(id.data2);
        bytes[6] = static_cast<unsigned char>(id.data3 >> 8);
        bytes[7] = static_cast<unsigned char>(id.data3);
        std::memcpy(bytes + 8, id.data4, 8);
        char text[38];
        int n = 0;
        text[n++] = '"';
        for (int i = 0; i < 16; ++i) {
            if (i == 4 || i == 6 || i == 8 || i == 10)
                text[n++] = '-';
            const auto b = bytes[i];
            text[n++] = hex[b >> 4];
            text[n++] = hex[b & 15];
        }
        text[n++] = '"';
        put(text, n);
    }

    void timestamp(Timestamp t) {
        char text[22];
        text[0] = '"';
        DataExportService::timestampText(t, text + 1);
        text[21] = '"';
        put(text, 22);
    }

private:
    // `v` integral and finite, in full: its shortest digits, then zeros.
    static char* integral(char* out, double v) {
        char shortest[32]; // "-d.dddddddddddddddde+308"
        const char* const end = std::to_chars(std::begin(shortest), std::end(shortest), v,
                                              std::chars_format::scientific)
                                    .ptr;
        const char* const e = std::find(std::cbegin(shortest), end, 'e');
        int exponent = 0;
        std::from_chars(e + (e[1] == '+' ? 2 : 1), end, exponent);
        int digits = 0;
        for (const char* c = shortest; c < e; ++c) {
            if (*c != '.')
                *out++ = *c;
            digits += *c >= '0' && *c <= '9';
        }
        // An integral value has no digit after the units.
        for (int i = digits - 1; i < exponent; ++i)
            *out++ = '0';
        return out;
    }

    // One byte of a string's UTF-8, escaped as JSON wants it.
    void character(unsigned char c) {
        if (c >= 0x20 && c != '"' && c != '\\' && c != '/') {
            put(char(c));
            return;
        }
        switch (c) {
        case '"':
            put("\\\"", 2);
            break;
        case '\\':
            put("\\\\", 2);
            break;
        case '/':
            put("\\/", 2);
            break;
        case '\n':
            put("\\n", 2);
            break;
        case '\r':
            put("\\r", 2);
            break;
        case '\t':
            put("\\t", 2);
            break;
        case '\b':
            put("\\b", 2);
            break;
        case '\f':
            put("\\f", 2);
            break;
        default: {
            static constexpr char hex[] = "0123456789abcdef";
            const char escaped[6] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 15]};
            put(escaped, 6);
        }
        }
    }

    // Small appends go to a buffer of the writer's own, which costs far
    // less per call than QByteArray's; it is spilled into `out_` in blocks.
    void put(char c) {
        if (used_ == bufferSize)
            spill();
        buffer_[used_++] = c;
    }
    void put(const char* text, qsizetype size) {
        if (used_ + size > bufferSize) {
            spill();
            if (size > bufferSize) {
                out_.append(text, size);
                return;
            }
        }
        std::memcpy(buffer_ + used_, text, std::size_t(size));
        used_ += size;
    }
    void spill() {
        out_.append(buffer_, used_);
        used_ = 0;
    }

    static constexpr qsizetype bufferSize = 16 * 1024;
    QByteArray& out_;
    QIODevice* device_;
    bool failed_ = false;
    qsizetype used_ = 0;
    char buffer_[bufferSize];
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

    // `,\n    "name" : ` in one append: a record has a dozen keys, and each
    // append on its own costs more than the characters.
    Writer& key(const char* name) {
        char text[128];
        qsizetype n = 0;
        if (!first_) {
            text[n++] = ',';
            text[n++] = '\n';
        }
        first_ = false;
        const qsizetype length = qsizetype(std::strlen(name));
        if (level_ * 2 + length + 8 > qsizetype(sizeof text)) { // never for our keys
            w_.raw(text, n);
            w_.indent(level_);
            w_.raw("\"");
            w_.raw(name);
            w_.raw("\" : ");
            return w_;
        }
        for (int i = 0; i < level_ * 2; ++i)
            text[n++] = ' ';
        text[n++] = '"';
        std::memcpy(text + n, name, std::size_t(length));
        n += length;
        for (char c : {'"', ' ', ':', ' '})
            text[n++] = c;
        w_.raw(text, n);
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
// `produce` calls its argument with each record in turn; once the device
// has refused a write the rest are let go by.
template <class T, class Produce>
bool writeArray(ObjectWriter& root, const char* name, Produce&& produce) {
    Writer& w = root.key(name);
    bool ok = true;
    bool first = true;
    bool writing = true;
    produce([&](const T& r) {
        if (!writing)
            return;
        w.raw(first ? "[\n" : ",\n");
        first = false;
        w.indent(2);
        {
            ObjectWriter object(w, 3);
            ok = writeMembers(object, r) && ok;
        }
        writing = w.flushIfFull();
    });
    if (!writing)
        return false;
    if (first) {
        w.raw("[]");
        return true;
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

template <class E, std::size_t N> std::array<QString, N> rawValues() {
    std::array<QString, N> texts;
    for (std::size_t i = 0; i < N; ++i)
        texts[i] = rawValue(static_cast<E>(i));
    return texts;
}

// One record as the document holds it.

GoalExport exported(const Goal& g, const std::array<QString, 3>& statuses) {
    return {g.id(),
            g.title(),
            g.goalDescription(),
            seconds(g.createdAt()),
            seconds(g.targetDate()),
            statuses[std::size_t(g.status())],
            g.colorTag(),
            g.sortOrder()};
}

WeekExport exported(const Week& w) {
    return {w.id(),         seconds(w.startDate()), seconds(w.endDate()),          w.intention(),
            w.reflection(), seconds(w.createdAt()), seconds(w.ritualCompletedAt())};
}

WeekItemExport exported(const WeekItem& i) {
    return {i.id(),         i.title(),     i.notes(),
            i.isComplete(), i.sortOrder(), seconds(i.createdAt()),
            idOf(i.week()), idOf(i.goal())};
}

DayTaskExport exported(const DayTask& t) {
    return {t.id(),
            t.title(),
            t.notes(),
            seconds(t.date()),
            t.isComplete(),
            t.isTodaysOneThing(),
            t.sortOrder(),
            seconds(t.createdAt()),
            t.sourceTemplateID(),
            idOf(t.weekItem()),
            idOf(t.goal()),
            seconds(t.reminderAt())};
}

FocusSessionExport exported(const FocusSession& s, const std::array<QString, 3>& kinds) {
    return {s.id(),
            seconds(s.createdAt()),
            s.plannedDuration(),
            s.accumulatedActiveDuration(),
            seconds(s.endedAt()),
            s.isCompleted(),
            idOf(s.dayTask()),
            idOf(s.goal()),
            kinds[std::size_t(s.kind())],
            s.pomodoroCycleNumber()};
}

FocusBlockTemplateExport exported(const FocusBlockTemplate& b) {
    return {b.id(),   b.title(),  seconds(b.createdAt()), b.isActive(),  b.weekdays(),
            b.hour(), b.minute(), b.durationMinutes(),    idOf(b.goal())};
}

TrailEntryExport exported(const TrailEntry& e) {
    return {e.id(), seconds(e.date()), e.minutes(), seconds(e.createdAt()), idOf(e.goal())};
}

// Looking at the clock costs far less than copying this many records, and
// this many take well under a millisecond.
constexpr std::size_t recordsBetweenDeadlineChecks = 2048;
// What a fetch costs per record it visits, roughly, on the development
// machine (mostly cache misses).
constexpr qint64 fetchNsPerRecord = 20;

} // namespace

GoalExport DataExportService::valueOf(const Goal& goal) {
    return exported(goal, rawValues<GoalStatus, 3>());
}
WeekExport DataExportService::valueOf(const Week& week) {
    return exported(week);
}
WeekItemExport DataExportService::valueOf(const WeekItem& item) {
    return exported(item);
}
DayTaskExport DataExportService::valueOf(const DayTask& task) {
    return exported(task);
}
FocusBlockTemplateExport DataExportService::valueOf(const FocusBlockTemplate& block) {
    return exported(block);
}
TrailEntryExport DataExportService::valueOf(const TrailEntry& entry) {
    return exported(entry);
}

ExportSnapshot::ExportSnapshot(const ModelContext& context, Timestamp exportedAt,
                               std::size_t recordsPerFetch)
    : context_(context), exportedAt_(exportedAt),
      recordsPerFetch_(std::max<std::size_t>(recordsPerFetch, 1)),
      statuses_(rawValues<GoalStatus, 3>()), kinds_(rawValues<FocusSessionKind, 3>()) {
    restart();
}

void ExportSnapshot::restart() {
    document_ = OrvanaExport{};
    document_.schemaVersion = DataExportService::schemaVersion;
    document_.exportedAt = seconds(exportedAt_);
    stage_ = 0;
    fetched_ = false;
    next_ = 0;
    lists_ = {};
}

OrvanaExport ExportSnapshot::takeDocument() {
    OrvanaExport document = std::move(document_);
    restart();
    return document;
}

struct ExportSnapshot::Slice {
    QDeadlineTimer deadline;
    std::size_t allowed; // records still to copy in this slice
    bool copied = false; // until then the deadline is not looked at: every slice makes progress
    bool over() const { return allowed == 0 || (copied && deadline.hasExpired()); }
};

template <class T, class E> bool ExportSnapshot::copyRecords(std::vector<E>& out, Slice& slice) {
    auto& list = std::get<std::vector<T*>>(lists_);
    for (;;) {
        while (next_ < list.size()) {
            if (slice.over())
                return false;
            const std::size_t end = next_ + std::min({list.size() - next_,
                                                      recordsBetweenDeadlineChecks, slice.allowed});
            slice.allowed -= end - next_;
            slice.copied = true;
            for (; next_ < end; ++next_) {
                if constexpr (std::is_same_v<T, Goal>)
                    out.push_back(exported(*list[next_], statuses_));
                else if constexpr (std::is_same_v<T, FocusSession>)
                    out.push_back(exported(*list[next_], kinds_));
                else
                    out.push_back(exported(*list[next_]));
            }
        }
        if (fetched_ && list.size() < fetchLimit_)
            break;
        // The next piece of the list, by the next slice if the fetch would
        // not fit in what is left of this one. A fetch visits the records
        // from the first one to the end of its piece.
        const std::size_t remaining = context_.count<T>() - out.size();
        const qint64 fetchNs =
            qint64(out.size() + std::min(remaining, recordsPerFetch_)) * fetchNsPerRecord;
        if (slice.over() || (slice.copied && !slice.deadline.isForever() &&
                             slice.deadline.remainingTimeNSecs() < fetchNs))
            return false;
        // Without a deadline, all at once: pieces only add visits.
        fetchLimit_ =
            slice.deadline.isForever() ? std::numeric_limits<std::size_t>::max() : recordsPerFetch_;
        auto piece = FetchDescriptor<T>().limitedTo(fetchLimit_);
        if (!list.empty())
            piece.predicate = [after = list.back()->sequence()](const T& r) {
                return r.sequence() > after; // records come in the order of their sequence
            };
        if (!fetched_)
            out.reserve(context_.count<T>());
        list = context_.fetch(piece);
        next_ = 0;
        fetched_ = true;
    }
    list = {};
    fetched_ = false;
    next_ = 0;
    return true;
}

bool ExportSnapshot::copySlice(QDeadlineTimer deadline, std::size_t maxRecords) {
    Slice slice{deadline, std::max<std::size_t>(maxRecords, 1)};
    for (; stage_ < entityTypeCount; ++stage_) {
        bool complete = false;
        switch (static_cast<EntityType>(stage_)) {
        case EntityType::goal:
            complete = copyRecords<Goal>(document_.goals, slice);
            break;
        case EntityType::week:
            complete = copyRecords<Week>(document_.weeks, slice);
            break;
        case EntityType::weekItem:
            complete = copyRecords<WeekItem>(document_.weekItems, slice);
            break;
        case EntityType::dayTask:
            complete = copyRecords<DayTask>(document_.dayTasks, slice);
            break;
        case EntityType::focusSession:
            complete = copyRecords<FocusSession>(document_.focusSessions, slice);
            break;
        case EntityType::focusBlockTemplate:
            complete = copyRecords<FocusBlockTemplate>(document_.focusBlockTemplates, slice);
            break;
        case EntityType::trailEntry:
            complete = copyRecords<TrailEntry>(document_.trailEntries, slice);
            break;
        }
        if (!complete)
            return false;
    }
    return true;
}

OrvanaExport DataExportService::exportDocument(const ModelContext& ctx, Timestamp exportedAt) {
    ExportSnapshot snapshot(ctx, exportedAt);
    snapshot.copySlice();
    return snapshot.takeDocument();
}

void DataExportService::timestampText(Timestamp t, char* text) {
    // 0001-01-01T00:00:00Z ... 9999-12-31T23:59:59Z
    constexpr double earliest = -62135596800.0, latest = 253402300799.0;
    const double seconds = std::isnan(t) ? 0.0 : std::clamp(std::floor(t), earliest, latest);
    const qint64 whole = qint64(seconds);
    const qint64 days = whole >= 0 ? whole / 86400 : (whole - 86399) / 86400;
    const qint64 secondOfDay = whole - days * 86400;
    qint64 year;
    unsigned month, day;
    civilFromDays(days, year, month, day);
    // The clamp above keeps every field to its width. By hand: this runs
    // for every date of an export, and snprintf costs more than the rest.
    auto digits = [&text](int at, int width, qint64 value) {
        for (int i = at + width - 1; i >= at; --i, value /= 10)
            text[i] = char('0' + value % 10);
    };
    digits(0, 4, year);
    text[4] = '-';
    digits(5, 2, month);
    text[7] = '-';
    digits(8, 2, day);
    text[10] = 'T';
    digits(11, 2, secondOfDay / 3600);
    text[13] = ':';
    digits(14, 2, secondOfDay / 60 % 60);
    text[16] = ':';
    digits(17, 2, secondOfDay % 60);
    text[19] = 'Z';
}

QByteArray DataExportService::timestampText(Timestamp t) {
    char text[20];
    timestampText(t, text);
    return QByteArray(text, 20);
}

namespace {

std::size_t recordCount(const OrvanaExport& d) {
    return d.goals.size() + d.weeks.size() + d.weekItems.size() + d.dayTasks.size() +
           d.focusSessions.size() + d.focusBlockTemplates.size() + d.trailEntries.size();
}

Error notJSON() {
    return Error{ExportText::tr("A focus session holds a duration that is not a number, so the "
                                "data cannot be written as JSON."),
                 ErrorKind::invalidInput};
}

// The one writer of the document. `source.each(array, take)` hands `take`
// every record of one of the document's arrays in order; whether they come
// from a document in memory or from the store's rows, each goes through
// writeMembers, so the same records give the same bytes.
template <class Source>
Result<void> writeDocument(Source& source, qint64 schemaVersion, Timestamp exportedAt, Writer& w) {
    Result<void> read; // the source's first failure
    bool ok = true;
    {
        ObjectWriter root(w, 1);
        auto array = [&]<class T>(std::vector<T> OrvanaExport::*records, const char* key) {
            ok = writeArray<T>(root, key,
                               [&](const auto& take) {
                                   if (read.ok())
                                       read = source.each(records, take);
                               }) &&
                 ok;
        };
        array(&OrvanaExport::dayTasks, "dayTasks");
        root.timestamp("exportedAt", exportedAt);
        array(&OrvanaExport::focusBlockTemplates, "focusBlockTemplates");
        array(&OrvanaExport::focusSessions, "focusSessions");
        array(&OrvanaExport::goals, "goals");
        root.integer("schemaVersion", schemaVersion);
        array(&OrvanaExport::trailEntries, "trailEntries");
        array(&OrvanaExport::weekItems, "weekItems");
        array(&OrvanaExport::weeks, "weeks");
    }
    const bool written = w.flush();
    if (!read.ok())
        return read;
    if (!written)
        return Error{ExportText::tr("The file could not be written."), ErrorKind::io};
    if (!ok)
        return notJSON();
    return {};
}

struct DocumentSource {
    const OrvanaExport& document;
    template <class T, class Take>
    Result<void> each(std::vector<T> OrvanaExport::*records, const Take& take) const {
        for (const T& r : document.*records)
            take(r);
        return {};
    }
};

// The store's rows, one record at a time: a few rows are held however
// large the store.
struct StoreSource {
    SqliteStore& store;
    template <class T, class Take>
    Result<void> each(std::vector<T> OrvanaExport::*, const Take& take) const {
        return store.readRecords(std::function<void(const T&)>([&take](const T& r) { take(r); }));
    }
};

Result<void> write(const OrvanaExport& d, Writer& w) {
    DocumentSource source{d};
    return writeDocument(source, d.schemaVersion, d.exportedAt, w);
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

Result<void> DataExportService::exportStore(SqliteStore& store, Timestamp exportedAt,
                                            QIODevice& device) {
    // The one thing that can keep records from being JSON, found before
    // the first byte goes out.
    auto infinite = store.holdsInfiniteDuration();
    if (!infinite.ok())
        return infinite.error();
    if (infinite.value())
        return notJSON();
    QByteArray piece;
    piece.reserve(Writer::pieceSize + 64 * 1024);
    Writer w(piece, &device);
    StoreSource source{store};
    return writeDocument(source, schemaVersion, exportedAt, w);
}

} // namespace orvana
