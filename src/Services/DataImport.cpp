#include "Services/DataImport.h"

#include "Services/DataExportService.h"

#include "Core/HugePages.h"
#include "Store/ModelContext.h"
#include "Store/UndoManager.h"

#include <QCoreApplication>
#include <QHash>
#include <array>
#include <cmath>
#include <cstring>
#include <simdjson.h>

namespace orvana {

namespace {

// Named, so that lupdate files these texts under the context they are looked up in.
struct ImportText {
    Q_DECLARE_TR_FUNCTIONS(DataImport)
};

// Thrown inside the decoder only; turned into an Error at its boundary.
struct DecodeFailure {
    QString message;
};

// Value of each byte as a hex digit, -1 for anything else.
constexpr auto hexDigits = [] {
    std::array<signed char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[std::size_t(c)] = static_cast<signed char>(c >= '0' && c <= '9'   ? c - '0'
                                                         : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                         : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                                                : -1);
    return table;
}();

std::optional<Timestamp> parseTimestampText(std::string_view text);

using Element = simdjson::dom::element;
using simdjson::dom::element_type;

bool isNull(const Element* e) {
    return !e || e->type() == element_type::NULL_VALUE;
}

// Reads one object's keys, naming the place in every error:
// "goals[3].createdAt: ...". A repeated key counts with its last value.
class Fields {
public:
    // `list` and `index` name the place for messages ("goals[3]"); the text
    // is only built when something is wrong.
    Fields(simdjson::dom::object object, const char* list = nullptr, qsizetype index = 0)
        : list_(list), index_(index) {
        for (auto field : object) {
            if (count_ < inlineFields)
                inline_[count_] = {field.key, field.value};
            else
                more_.emplace_back(field.key, field.value);
            ++count_;
        }
    }

    QString string(const char* key) const { return stringValue(required(key), key); }
    std::optional<QString> optionalString(const char* key) const {
        const Element* v = find(key);
        if (isNull(v))
            return std::nullopt;
        return stringValue(*v, key);
    }
    bool boolean(const char* key) const {
        const Element v = required(key);
        if (v.type() != element_type::BOOL)
            fail(key, ImportText::tr("expected true or false"));
        return bool(v.get_bool().value_unsafe());
    }
    qint64 integer(const char* key) const { return integerValue(required(key), key); }
    std::optional<qint64> optionalInteger(const char* key) const {
        const Element* v = find(key);
        if (isNull(v))
            return std::nullopt;
        return integerValue(*v, key);
    }
    double number(const char* key) const {
        const Element v = required(key);
        switch (v.type()) {
        case element_type::INT64:
            return double(v.get_int64().value_unsafe());
        case element_type::UINT64:
            return double(v.get_uint64().value_unsafe());
        case element_type::DOUBLE:
            return v.get_double().value_unsafe();
        default:
            fail(key, ImportText::tr("expected a number"));
        }
    }
    Timestamp timestamp(const char* key) const { return timestampValue(required(key), key); }
    std::optional<Timestamp> optionalTimestamp(const char* key) const {
        const Element* v = find(key);
        if (isNull(v))
            return std::nullopt;
        return timestampValue(*v, key);
    }
    QUuid id(const char* key) const { return idValue(required(key), key); }
    std::optional<QUuid> optionalID(const char* key) const {
        const Element* v = find(key);
        if (isNull(v))
            return std::nullopt;
        return idValue(*v, key);
    }
    // A required list of objects.
    simdjson::dom::array array(const char* key) const {
        const Element v = required(key);
        if (v.type() != element_type::ARRAY)
            // Spelt out: lupdate loses the class in this function's return type.
            throw DecodeFailure{QCoreApplication::translate("DataImport", "\"%1\" must be a list")
                                    .arg(QLatin1String(key))};
        return v.get_array().value_unsafe();
    }
    std::vector<qint64> integers(const char* key) const {
        const Element v = required(key);
        if (v.type() != element_type::ARRAY)
            fail(key, ImportText::tr("expected a list of whole numbers"));
        std::vector<qint64> out;
        const simdjson::dom::array list = v.get_array().value_unsafe();
        for (Element element : list)
            out.push_back(integerValue(element, key));
        return out;
    }

private:
    // The last of repeated keys counts, so the search goes backwards.
    const Element* find(const char* key) const {
        const std::string_view wanted(key);
        for (auto it = more_.rbegin(); it != more_.rend(); ++it) {
            if (it->first == wanted)
                return &it->second;
        }
        for (std::size_t i = std::min(count_, inlineFields); i-- > 0;) {
            if (inline_[i].first.size() == wanted.size() &&
                std::memcmp(inline_[i].first.data(), wanted.data(), wanted.size()) == 0)
                return &inline_[i].second;
        }
        return nullptr;
    }
    [[noreturn]] void fail(const char* key, const QString& what) const {
        throw DecodeFailure{
            !list_ ? QStringLiteral("%1: %2").arg(QLatin1String(key), what)
                   : QStringLiteral("%1.%2: %3").arg(where(), QLatin1String(key), what)};
    }
    Element required(const char* key) const {
        const Element* v = find(key);
        if (!v)
            throw DecodeFailure{
                !list_ ? ImportText::tr("the key \"%1\" is missing").arg(QLatin1String(key))
                       : ImportText::tr("%1: the key \"%2\" is missing")
                             .arg(where(), QLatin1String(key))};
        return *v;
    }
    static std::string_view text(const Element& v) { return v.get_string().value_unsafe(); }
    QString stringValue(const Element& v, const char* key) const {
        if (v.type() != element_type::STRING)
            fail(key, ImportText::tr("expected text"));
        const std::string_view t = text(v);
        return QString::fromUtf8(t.data(), qsizetype(t.size()));
    }
    qint64 integerValue(const Element& v, const char* key) const {
        switch (v.type()) {
        case element_type::INT64:
            return v.get_int64().value_unsafe();
        case element_type::DOUBLE: {
            // 30.0 is a whole number too, as long as it fits in 64 bits.
            const double d = v.get_double().value_unsafe();
            if (std::isfinite(d) && std::trunc(d) == d && std::abs(d) < 9.2e18)
                return qint64(d);
            break;
        }
        default:
            break;
        }
        fail(key, ImportText::tr("expected a whole number"));
    }
    Timestamp timestampValue(const Element& v, const char* key) const {
        if (v.type() != element_type::STRING)
            fail(key, ImportText::tr("expected a date and time like 2026-03-05T14:07:00Z"));
        const std::string_view t = text(v);
        if (const auto parsed = parseTimestampText(t))
            return *parsed;
        const QString value =
            QString::fromUtf8(t.data(), qsizetype(std::min<std::size_t>(t.size(), 64)));
        fail(key,
             ImportText::tr("\"%1\" is not a date and time like 2026-03-05T14:07:00Z (UTC, whole "
                            "seconds)")
                 .arg(value.left(40)));
    }
    QUuid idValue(const Element& v, const char* key) const {
        // Hyphenated hex in either case, read straight into the 16 bytes.
        const std::string_view t = v.type() == element_type::STRING ? text(v) : std::string_view();
        char bytes[16];
        bool ok = t.size() == 36;
        for (std::size_t i = 0, n = 0; ok && i < 36; ++i) {
            if (i == 8 || i == 13 || i == 18 || i == 23) {
                ok = t[i] == '-';
                continue;
            }
            const int nibble = hexValue(t[i]);
            ok = nibble >= 0;
            if (n % 2 == 0)
                bytes[n / 2] = char(nibble << 4);
            else
                bytes[n / 2] = char(bytes[n / 2] | nibble);
            ++n;
        }
        if (!ok)
            fail(key, ImportText::tr(
                          "expected an identifier like 6A1F0C3E-1D2B-4C5A-9E8F-0123456789AB"));
        return QUuid::fromRfc4122(QByteArrayView(bytes, 16));
    }
    static int hexValue(char c) { return hexDigits[static_cast<unsigned char>(c)]; }

    QString where() const {
        return list_ ? QStringLiteral("%1[%2]").arg(QLatin1String(list_)).arg(index_) : QString();
    }

    // Records have a dozen keys at most; only odd documents need more room.
    static constexpr std::size_t inlineFields = 16;
    using Field = std::pair<std::string_view, Element>;
    Field inline_[inlineFields];
    std::vector<Field> more_;
    std::size_t count_ = 0;
    const char* list_;
    qsizetype index_;
};

template <class T, class Read>
std::vector<T> readArray(const Fields& root, const char* key, Read read) {
    const simdjson::dom::array array = root.array(key);
    std::vector<T> out;
    out.reserve(array.size());
    adviseHugePages(out.data(), out.capacity() * sizeof(T));
    qsizetype i = 0;
    for (Element element : array) {
        if (element.type() != element_type::OBJECT)
            throw DecodeFailure{
                ImportText::tr("%1[%2]: expected an object").arg(QLatin1String(key)).arg(i)};
        out.push_back(read(Fields(element.get_object().value_unsafe(), key, i)));
        ++i;
    }
    return out;
}

// The parser reads a number without fraction or exponent into a 64-bit
// integer: it refuses the whole document for a larger one, and -0 becomes 0.
// Such numbers need a fraction to be read as the doubles they are.
bool needsFraction(bool negative, std::string_view digits) {
    if (negative && digits == "0")
        return true;
    const std::string_view largest = negative ? "9223372036854775808" : "18446744073709551615";
    return digits.size() > largest.size() || (digits.size() == largest.size() && digits > largest);
}

// Whether "-0" stands anywhere before what may end a number. Text in a
// string can match too, which costs only the copy below. Branch-free over
// blocks, so that it takes a small part of the parse's time.
bool mayHoldNegativeZero(std::string_view json) {
    const auto* p = reinterpret_cast<const unsigned char*>(json.data());
    const std::size_t n = json.size();
    auto at = [p](std::size_t i) -> unsigned char {
        const unsigned char next = p[i + 2];
        return (p[i] == '-') & (p[i + 1] == '0') &
               ((next == ',') | (next == '}') | (next == ']') | (next <= ' '));
    };
    constexpr std::size_t block = 1024;
    std::size_t i = 0;
    for (; i + block + 2 <= n; i += block) {
        unsigned char found = 0;
        for (std::size_t k = i; k < i + block; ++k)
            found |= at(k);
        if (found)
            return true;
    }
    for (; i + 2 < n; ++i) {
        if (at(i))
            return true;
    }
    return n >= 2 && p[n - 2] == '-' && p[n - 1] == '0';
}

// `json` with ".0" after each integer that needsFraction(), strings and
// every other byte as they are, with room for the parser's padding.
QByteArray integersWithFractions(std::string_view json) {
    QByteArray out;
    out.reserve(qsizetype(json.size()) + 4096 + DataImport::decodePadding);
    const char* p = json.data();
    const char* const end = p + json.size();
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    auto skipDigits = [&](const char* q) {
        while (q < end && isDigit(*q))
            ++q;
        return q;
    };
    while (p < end) {
        const char* q = p + 1;
        bool fraction = false;
        if (*p == '"') {
            while (q < end && *q != '"')
                q += *q == '\\' && q + 1 < end ? 2 : 1;
            q += q < end; // the closing quote
        } else if (*p == '-' || isDigit(*p)) {
            const char* whole = p + (*p == '-');
            q = skipDigits(whole);
            fraction = needsFraction(*p == '-', std::string_view(whole, std::size_t(q - whole)));
            if (q < end && *q == '.') {
                fraction = false;
                q = skipDigits(q + 1);
            }
            if (q < end && (*q == 'e' || *q == 'E')) {
                fraction = false;
                q = skipDigits(q + (q + 1 < end && (q[1] == '+' || q[1] == '-') ? 2 : 1));
            }
        } else {
            while (q < end && *q != '"' && *q != '-' && !isDigit(*q))
                ++q;
        }
        out.append(p, qsizetype(q - p));
        if (fraction)
            out.append(".0");
        p = q;
    }
    out.reserve(out.size() + DataImport::decodePadding);
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

namespace {

// YYYY-MM-DDTHH:MM:SSZ and nothing else, from UTF-16 or UTF-8 alike (any
// byte of a multi-byte character fails as a digit or separator).
template <class Text> std::optional<Timestamp> parseTimestampChars(const Text& text) {
    auto at = [&](int i) -> char16_t {
        if constexpr (std::is_same_v<Text, QStringView>)
            return text[i].unicode();
        else
            return static_cast<unsigned char>(text[std::size_t(i)]);
    };
    if (text.size() != 20 || at(4) != u'-' || at(7) != u'-' || at(10) != u'T' || at(13) != u':' ||
        at(16) != u':' || at(19) != u'Z')
        return std::nullopt;
    auto number = [&](int from, int length, int& out) {
        out = 0;
        for (int i = from; i < from + length; ++i) {
            if (at(i) < u'0' || at(i) > u'9')
                return false;
            out = out * 10 + (at(i) - u'0');
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

std::optional<Timestamp> parseTimestampText(std::string_view text) {
    return parseTimestampChars(text);
}

} // namespace

std::optional<Timestamp> DataImport::parseTimestamp(QStringView text) {
    return parseTimestampChars(text);
}

QString DataImport::unsupportedSchemaVersionMessage(qint64 version) {
    return ImportText::tr("This file uses export format %1, which this version of Orvana doesn't "
                          "understand.")
        .arg(version);
}

Result<OrvanaExport> DataImport::decode(const QByteArray& json) {
    static_assert(decodePadding >= qsizetype(simdjson::SIMDJSON_PADDING));
    simdjson::dom::parser parser;
    Element document;
    auto parse = [&parser, &document](const QByteArray& bytes) {
        const std::size_t size = std::size_t(bytes.size());
        // The parser reads a little past the end: a document with that much
        // spare capacity is read in place, any other from a padded copy.
        if (bytes.capacity() - bytes.size() >= decodePadding)
            return parser.parse(bytes.constData(), size, false).get(document);
        const simdjson::padded_string copy(bytes.constData(), size);
        return parser.parse(copy).get(document);
    };
    // Integers the parser cannot take as they are (a duration of 1e300 in
    // full, or -0) are read from a copy that gives them a fraction.
    const std::string_view text(json.constData(), std::size_t(json.size()));
    QByteArray withFractions;
    auto error = mayHoldNegativeZero(text) ? simdjson::NUMBER_ERROR : parse(json);
    if (error == simdjson::NUMBER_ERROR) {
        withFractions = integersWithFractions(text);
        error = parse(withFractions);
    }
    if (error != simdjson::SUCCESS) {
        // The parser's sentences end in a full stop; the one after the
        // parenthesis ends ours.
        QString reason = QString::fromUtf8(simdjson::error_message(error)).trimmed();
        if (reason.endsWith(u'.'))
            reason.chop(1);
        return Error{ImportText::tr("The file is not valid JSON (%1).").arg(reason),
                     ErrorKind::invalidInput};
    }
    if (document.type() != element_type::OBJECT)
        return Error{
            ImportText::tr("The file is not an Orvana export: its top level is not an object."),
            ErrorKind::invalidInput};
    const simdjson::dom::object root = document.get_object().value_unsafe();
    try {
        OrvanaExport e;
        const Fields top(root);
        e.schemaVersion = top.integer("schemaVersion");
        e.exportedAt = top.timestamp("exportedAt");
        e.goals = readArray<GoalExport>(top, "goals", [](const Fields& f) {
            return GoalExport{f.id("id"),
                              f.string("title"),
                              f.optionalString("goalDescription"),
                              f.timestamp("createdAt"),
                              f.optionalTimestamp("targetDate"),
                              f.string("status"),
                              f.optionalString("colorTag"),
                              f.integer("sortOrder")};
        });
        e.weeks = readArray<WeekExport>(top, "weeks", [](const Fields& f) {
            return WeekExport{f.id("id"),
                              f.timestamp("startDate"),
                              f.timestamp("endDate"),
                              f.optionalString("intention"),
                              f.optionalString("reflection"),
                              f.timestamp("createdAt"),
                              f.optionalTimestamp("ritualCompletedAt")};
        });
        e.weekItems = readArray<WeekItemExport>(top, "weekItems", [](const Fields& f) {
            return WeekItemExport{f.id("id"),
                                  f.string("title"),
                                  f.optionalString("notes"),
                                  f.boolean("isComplete"),
                                  f.integer("sortOrder"),
                                  f.timestamp("createdAt"),
                                  f.optionalID("weekID"),
                                  f.optionalID("goalID")};
        });
        e.dayTasks = readArray<DayTaskExport>(top, "dayTasks", [](const Fields& f) {
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
        e.focusSessions = readArray<FocusSessionExport>(top, "focusSessions", [](const Fields& f) {
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
            readArray<FocusBlockTemplateExport>(top, "focusBlockTemplates", [](const Fields& f) {
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
        e.trailEntries = readArray<TrailEntryExport>(top, "trailEntries", [](const Fields& f) {
            return TrailEntryExport{f.id("id"), f.timestamp("date"), f.integer("minutes"),
                                    f.timestamp("createdAt"), f.optionalID("goalID")};
        });
        return e;
    } catch (const DecodeFailure& failure) {
        return Error{
            ImportText::tr("The file is not a valid Orvana export: %1.").arg(failure.message),
            ErrorKind::invalidInput};
    }
}

namespace {

template <class T> using IDMap = QHash<QUuid, T*>;

// The record the document's reference names; with `store`, also one that is
// only in the store.
template <class T>
T* mapped(const IDMap<T>& map, const std::optional<QUuid>& id, ModelContext* store = nullptr) {
    if (!id)
        return nullptr;
    T* found = map.value(*id, nullptr);
    return found || !store ? found : store->findByID<T>(*id);
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

void assign(DayTask& r, const DayTaskExport& t, WeekItem* weekItem, Goal* goal) {
    r.setTitle(t.title);
    r.setNotes(t.notes);
    r.setDate(t.date);
    r.setOnlyCompleteFlag(t.isComplete);
    r.setIsTodaysOneThing(t.isTodaysOneThing);
    r.setSortOrder(t.sortOrder);
    r.setCreatedAt(t.createdAt);
    r.setSourceTemplateID(t.sourceTemplateID);
    r.setReminderAt(t.reminderAt);
    r.setWeekItem(weekItem);
    r.setGoal(goal);
}

} // namespace

Result<void> DataImport::importJSON(const QByteArray& json, ModelContext& ctx) {
    auto decoded = decode(json);
    if (!decoded.ok())
        return decoded.error();
    return importDocument(decoded.value(), ctx);
}

Result<void> DataImport::importDocument(const OrvanaExport& e, ModelContext& ctx,
                                        bool resolveInStore) {
    if (e.schemaVersion != DataExportService::schemaVersion)
        return Error{unsupportedSchemaVersionMessage(e.schemaVersion),
                     e.schemaVersion > DataExportService::schemaVersion ? ErrorKind::newerVersion
                                                                        : ErrorKind::invalidInput};

    // One undo step, ended exactly once whatever happens below.
    UndoManager* undo = ctx.undoManager();
    if (undo) {
        undo->beginUndoGrouping();
        // The import is one undo step even when it changed nothing.
        undo->registerUndo([] {});
    }
    struct EndGroup {
        UndoManager* undo;
        ~EndGroup() {
            if (undo)
                undo->endUndoGrouping();
        }
    } endGroup{undo};
    merge(e, ctx, resolveInStore);
    return ctx.save();
}

void DataImport::merge(const OrvanaExport& e, ModelContext& ctx, bool resolveInStore) {
    ModelContext* store = resolveInStore ? &ctx : nullptr;
    // Room for every record up front: no growing of the lists and id maps.
    ctx.reserve<Goal>(e.goals.size());
    ctx.reserve<Week>(e.weeks.size());
    ctx.reserve<WeekItem>(e.weekItems.size());
    ctx.reserve<DayTask>(e.dayTasks.size());
    ctx.reserve<FocusSession>(e.focusSessions.size());
    ctx.reserve<FocusBlockTemplate>(e.focusBlockTemplates.size());
    ctx.reserve<TrailEntry>(e.trailEntries.size());

    IDMap<Goal> goals;
    goals.reserve(qsizetype(e.goals.size()));
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
    weeks.reserve(qsizetype(e.weeks.size()));
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
    items.reserve(qsizetype(e.weekItems.size()));
    for (const WeekItemExport& i : e.weekItems) {
        items[i.id] = upsert<WeekItem>(
            ctx, i.id, [&] { return std::make_unique<WeekItem>(i.title); },
            [&](WeekItem& r) {
                r.setTitle(i.title);
                r.setNotes(i.notes);
                r.setOnlyCompleteFlag(i.isComplete);
                r.setSortOrder(i.sortOrder);
                r.setCreatedAt(i.createdAt);
                r.setWeek(mapped(weeks, i.weekID, store));
                r.setGoal(mapped(goals, i.goalID, store));
            });
    }
    IDMap<DayTask> tasks;
    tasks.reserve(qsizetype(e.dayTasks.size()));
    for (const DayTaskExport& t : e.dayTasks) {
        tasks[t.id] = upsert<DayTask>(
            ctx, t.id, [&] { return std::make_unique<DayTask>(t.title, t.date); },
            [&](DayTask& r) {
                assign(r, t, mapped(items, t.weekItemID, store), mapped(goals, t.goalID, store));
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
                r.setDayTask(mapped(tasks, s.dayTaskID, store));
                r.setGoal(mapped(goals, s.goalID, store));
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
                r.setGoal(mapped(goals, b.goalID, store));
            });
    }
    for (const TrailEntryExport& t : e.trailEntries) {
        upsert<TrailEntry>(
            ctx, t.id, [&] { return std::make_unique<TrailEntry>(t.date, t.minutes); },
            [&](TrailEntry& r) {
                r.setDate(t.date);
                r.setMinutes(t.minutes);
                r.setCreatedAt(t.createdAt);
                r.setGoal(mapped(goals, t.goalID, store));
            });
    }
}

} // namespace orvana
