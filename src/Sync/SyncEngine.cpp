#include "Sync/SyncEngine.h"

#include "Services/DataExportService.h"
#include "Services/DataImport.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "Store/SyncState.h"
#include "Store/UndoManager.h"
#include "Sync/CalendarObject.h"
#include "Sync/Merge.h"
#include "Sync/RecordMapping.h"
#include "Sync/SyncSetup.h"

#include <QCoreApplication>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QtConcurrent/QtConcurrentRun>
#include <map>
#include <qcoro/qcorofuture.h>
#include <type_traits>
#include <variant>

namespace orvana {

namespace {

// Journal entries read and sent per transaction.
constexpr std::size_t batchSize = 100;
// Focus-minute entries read per transaction: a day's resource holds many.
constexpr std::size_t trailBatchSize = 2000;
// Resources fetched per calendar-multiget.
constexpr std::size_t fetchBatch = 100;

// The deletion guard: more than this many, and more than this share of the
// synced records.
constexpr qint64 guardCount = 20;
constexpr double guardShare = 0.10;

// Records that go one to a resource.
constexpr unsigned oneToAResource =
    entityBit(EntityType::goal) | entityBit(EntityType::week) | entityBit(EntityType::weekItem) |
    entityBit(EntityType::dayTask) | entityBit(EntityType::focusBlockTemplate);

struct Env {
    ModelContext& ctx;
    const Calendar& calendar;
    Timestamp now;
};

QDate dayOf(Timestamp t, const Calendar& calendar) {
    const DateComponents c = calendar.components(t);
    return QDate(c.year, c.month, c.day);
}

// How each record type travels: its model, its calendar, its mapping, its
// list in a document.
template <class V, class M, EntityType T, SyncCollection C, auto Write, auto Read,
          std::vector<V> OrvanaExport::*List>
struct Travels {
    using Model = M;
    static constexpr EntityType type = T;
    static constexpr SyncCollection collection = C;
    static CalendarObject write(const V& v, const CalendarObject* s, const Env& e) {
        return Write(v, s, e.calendar, e.now);
    }
    static V read(const CalendarObject& o, const V* b, const Calendar& c, Timestamp now) {
        return Read(o, b, c, now);
    }
    // What the server holds of it, to compare with.
    static V comparable(V v, const Env&) { return v; }
    static std::vector<V>& in(OrvanaExport& d) { return d.*List; }
};

template <class V> struct Kind;

template <>
struct Kind<GoalExport> : Travels<GoalExport, Goal, EntityType::goal, SyncCollection::plan,
                                  &sync::writeGoal, &sync::readGoal, &OrvanaExport::goals> {};

template <>
struct Kind<WeekExport> : Travels<WeekExport, Week, EntityType::week, SyncCollection::plan,
                                  &sync::writeWeek, &sync::readWeek, &OrvanaExport::weeks> {};

template <>
struct Kind<FocusBlockTemplateExport>
    : Travels<FocusBlockTemplateExport, FocusBlockTemplate, EntityType::focusBlockTemplate,
              SyncCollection::blocks, &sync::writeBlock, &sync::readBlock,
              &OrvanaExport::focusBlockTemplates> {};

template <>
struct Kind<WeekItemExport>
    : Travels<WeekItemExport, WeekItem, EntityType::weekItem, SyncCollection::plan, nullptr,
              &sync::readWeekItem, &OrvanaExport::weekItems> {
    // Shown spanning its week.
    static CalendarObject write(const WeekItemExport& v, const CalendarObject* s, const Env& e) {
        const Week* week = v.weekID ? e.ctx.findByID<Week>(*v.weekID) : nullptr;
        std::optional<WeekExport> span;
        if (week)
            span = DataExportService::valueOf(*week);
        return sync::writeWeekItem(v, span ? &*span : nullptr, s, e.calendar, e.now);
    }
};

template <>
struct Kind<DayTaskExport>
    : Travels<DayTaskExport, DayTask, EntityType::dayTask, SyncCollection::tasks,
              &sync::writeDayTask, &sync::readDayTask, &OrvanaExport::dayTasks> {
    // Its day as the start of that day, empty notes as none.
    static DayTaskExport comparable(DayTaskExport v, const Env& e) {
        v.date = e.calendar.startOfDay(v.date);
        if (v.notes && v.notes->isEmpty())
            v.notes.reset();
        return v;
    }
};

// Calls `f` with the value type of a record that goes one to a resource.
template <class F> auto byType(EntityType type, F&& f) {
    switch (type) {
    case EntityType::goal:
        return f(std::type_identity<GoalExport>());
    case EntityType::week:
        return f(std::type_identity<WeekExport>());
    case EntityType::weekItem:
        return f(std::type_identity<WeekItemExport>());
    case EntityType::focusBlockTemplate:
        return f(std::type_identity<FocusBlockTemplateExport>());
    default:
        return f(std::type_identity<DayTaskExport>());
    }
}

Record* findRecord(const ModelContext& ctx, EntityType type, const QUuid& id) {
    if (type == EntityType::trailEntry)
        return ctx.findByID<TrailEntry>(id);
    return byType(type, [&]<class V>(std::type_identity<V>) -> Record* {
        return ctx.findByID<typename Kind<V>::Model>(id);
    });
}

// A record and the synced records its removal takes with it (a goal's week
// items, their tasks and its focus minutes; a week's items and their tasks;
// a week item's tasks).
std::vector<Record*> withCascade(Record* record) {
    std::vector<Record*> out{record};
    auto item = [&](WeekItem* i) {
        out.push_back(i);
        out.insert(out.end(), i->dayTasks().begin(), i->dayTasks().end());
    };
    if (auto* goal = dynamic_cast<Goal*>(record)) {
        for (WeekItem* i : goal->weekItems())
            item(i);
        out.insert(out.end(), goal->trailEntries().begin(), goal->trailEntries().end());
    } else if (auto* week = dynamic_cast<Week*>(record)) {
        for (WeekItem* i : week->items())
            item(i);
    } else if (auto* i = dynamic_cast<WeekItem*>(record)) {
        out.insert(out.end(), i->dayTasks().begin(), i->dayTasks().end());
    }
    return out;
}

// Records as a document of their own, to restore from.
QByteArray contentsOf(const std::vector<Record*>& records, Timestamp now) {
    OrvanaExport doc;
    doc.exportedAt = now;
    for (Record* record : records) {
        if (auto* t = dynamic_cast<TrailEntry*>(record))
            doc.trailEntries.push_back(DataExportService::valueOf(*t));
        else
            byType(record->entityType(), [&]<class V>(std::type_identity<V>) {
                Kind<V>::in(doc).push_back(
                    DataExportService::valueOf(*static_cast<typename Kind<V>::Model*>(record)));
            });
    }
    Result<QByteArray> bytes = DataExportService::encode(doc);
    return bytes.ok() ? bytes.value() : QByteArray();
}

std::optional<CalendarObject> parsed(const QByteArray& ics) {
    Result<CalendarObject> object = CalendarObject::parse(ics);
    return object.ok() ? std::optional(std::move(object.value())) : std::nullopt;
}

} // namespace

// What one journal entry asks of the server.
struct SyncWrite {
    enum class Action { none, put, remove } action = Action::none;
    QString href;
    QByteArray ics;
    // The ETag of the copy written over or removed; none: only if still new there.
    std::optional<QByteArray> ifMatch;
};

// What the server made of one write.
struct SyncSent {
    enum class Outcome { stored, removed, heldBack, refused } outcome;
    QByteArray etag; // stored: the copy the server now holds
    QByteArray ics;
};

namespace {

// A link to a record this device does not have (not yet arrived, or refused
// by the server) reads as none here; the server's copy keeps it, so that
// this device's next write does not take it from every device.
template <class T>
void keepUnknown(std::optional<QUuid>& mine, const std::optional<QUuid>& there,
                 const ModelContext& ctx) {
    if (!mine && there && !ctx.findByID<T>(*there))
        mine = there;
}

template <class V> void keepUnknownLinks(V& mine, const V& there, const ModelContext& ctx) {
    if constexpr (requires { mine.goalID; })
        keepUnknown<Goal>(mine.goalID, there.goalID, ctx);
    if constexpr (requires { mine.weekItemID; })
        keepUnknown<WeekItem>(mine.weekItemID, there.weekItemID, ctx);
    if constexpr (requires { mine.weekID; })
        keepUnknown<Week>(mine.weekID, there.weekID, ctx);
}

template <class V>
SyncWrite planWrite(const SyncJournalEntry& e, const std::optional<SyncBase>& base, const Env& env,
                    const QString& collection) {
    using M = typename Kind<V>::Model;
    const M* record = e.deleted ? nullptr : env.ctx.findByID<M>(e.record);
    if (!record)
        return base ? SyncWrite{SyncWrite::Action::remove, base->href, {}, base->etag}
                    : SyncWrite{};
    V value = DataExportService::valueOf(*record);
    const std::optional<CalendarObject> server = base ? parsed(base->ics) : std::nullopt;
    if (server) {
        const V there = Kind<V>::read(*server, nullptr, env.calendar, env.now);
        keepUnknownLinks(value, there, env.ctx);
        if (Kind<V>::comparable(there, env) == Kind<V>::comparable(value, env))
            return {}; // the server has it as it is
    }
    return {SyncWrite::Action::put,
            base ? base->href : collection + sync::uidOf(value.id) + QLatin1String(".ics"),
            Kind<V>::write(value, server ? &*server : nullptr, env).bytes(),
            base ? std::optional(base->etag) : std::nullopt};
}

// A full calendar names the calendar, not the resource.
Error withCalendar(Error error, SyncCollection collection) {
    if (error.kind == ErrorKind::diskFull)
        error.message = QCoreApplication::translate(
                            "SyncEngine", "The calendar \u201c%1\u201d on the server is full: %2")
                            .arg(QString::fromUtf8(specOf(collection).displayName), error.message);
    return error;
}

// A refusal of one resource, not of the account or the connection: the
// other records still go.
bool refusedOne(const Error& error) {
    return error.kind == ErrorKind::general || error.kind == ErrorKind::permission;
}

void noteRefusal(SyncReport& report, const Error& error) {
    if (report.refusal.isEmpty())
        report.refusal = error.message;
    ++report.refused;
}

SyncCollection collectionOf(EntityType type) {
    if (type == EntityType::trailEntry)
        return SyncCollection::focusLog;
    return byType(type, []<class V>(std::type_identity<V>) { return Kind<V>::collection; });
}

// What the server confirmed of a batch: the copies it holds now, which
// entries a day's resource holds, what it removed, and the journal entries
// done with. In the batch's one transaction.
Result<void> keepSent(SyncState& s, const std::vector<SyncBase>& kept,
                      const std::vector<std::pair<QUuid, std::vector<QUuid>>>& members,
                      const std::vector<QUuid>& gone, const std::vector<SyncJournalEntry>& done) {
    for (const SyncBase& b : kept) {
        if (auto ok = s.keep(b); !ok.ok())
            return ok;
    }
    for (const auto& [key, ids] : members) {
        if (auto ok = s.setMembers(key, ids); !ok.ok())
            return ok;
    }
    for (const QUuid& id : gone) {
        if (auto ok = s.forget(id); !ok.ok())
            return ok;
    }
    return s.confirm(done);
}

// A pull is not a step of the user's: nothing it does goes on the undo
// stack, and the user's steps over the records it changed are dropped.
using WithoutUndo = ModelContext::OutsideChange;

} // namespace

SyncEngine::SyncEngine(ModelContext& context, CalDavClient& client, Calendar calendar)
    : context_(context), client_(client), calendar_(std::move(calendar)) {}

Result<SyncAccount> SyncEngine::prepare() {
    SqliteStore* store = context_.store();
    if (!store || !store->sync())
        return Error{QCoreApplication::translate("SyncEngine", "Sync is not set up."),
                     ErrorKind::notFound};
    // Everything the user did is in the journal once it is saved.
    if (auto saved = context_.save(); !saved.ok())
        return saved.error();
    return store->sync()->account();
}

QCoro::Task<Result<SyncReport>> SyncEngine::push() {
    Result<SyncAccount> account = prepare();
    if (!account.ok())
        co_return account.error();
    SqliteStore* store = context_.store();
    SyncState* state = store->sync();
    const Env env{context_, calendar_, context_.now()};

    SyncReport report;
    QSet<QUuid> heldBack;
    qint64 total = 0, confirmed = 0;
    if (progress_) {
        Result<qint64> waiting = state->pendingCount();
        total = waiting.ok() ? waiting.value() : 0;
        progress_(0, total);
    }
    for (;;) {
        Result<std::vector<SyncJournalEntry>> pending =
            state->pending(batchSize + std::size_t(heldBack.size()), oneToAResource);
        if (!pending.ok())
            co_return pending.error();
        std::vector<SyncBase> kept;
        std::vector<QUuid> gone;
        std::vector<SyncJournalEntry> done;
        bool any = false;
        for (const SyncJournalEntry& e : pending.value()) {
            if (heldBack.contains(e.record))
                continue;
            any = true;
            Result<std::optional<SyncBase>> base = state->baseOf(e.record);
            if (!base.ok())
                co_return base.error();
            const SyncCollection collection = collectionOf(e.type);
            const QString& href = account.value().collections[std::size_t(collection)];
            const SyncWrite w = byType(e.type, [&]<class V>(std::type_identity<V>) {
                return planWrite<V>(e, base.value(), env, href);
            });
            if (w.action == SyncWrite::Action::none) {
                done.push_back(e);
                continue;
            }
            Result<SyncSent> sent = co_await send(w, collection, report);
            if (!sent.ok())
                co_return sent.error();
            switch (sent.value().outcome) {
            case SyncSent::Outcome::heldBack:
            case SyncSent::Outcome::refused:
                heldBack.insert(e.record);
                continue;
            case SyncSent::Outcome::removed:
                gone.push_back(e.record);
                break;
            case SyncSent::Outcome::stored:
                kept.push_back({e.record, e.type, w.href, sent.value().etag, sent.value().ics});
                break;
            }
            done.push_back(e);
        }
        if (!any)
            break;
        Result<void> committed =
            store->changeSync([&](SyncState& s) { return keepSent(s, kept, {}, gone, done); });
        if (!committed.ok())
            co_return committed.error();
        confirmed += qint64(done.size());
        if (progress_)
            progress_(std::min(confirmed, total), total);
    }
    if (auto trail = co_await pushTrail(report); !trail.ok())
        co_return trail.error();
    if (progress_)
        progress_(total, total);
    co_return report;
}

QCoro::Task<Result<SyncSent>> SyncEngine::send(SyncWrite w, SyncCollection collection,
                                               SyncReport& report) {
    Result<DavReply> answer = Error{};
    if (w.action == SyncWrite::Action::remove)
        answer = co_await client_.remove(w.href, *w.ifMatch);
    else
        answer = co_await client_.put(w.href, w.ics, w.ifMatch);
    if (!answer.ok() && refusedOne(answer.error())) {
        noteRefusal(report, answer.error());
        co_return SyncSent{SyncSent::Outcome::refused, {}, {}};
    }
    if (!answer.ok())
        co_return withCalendar(answer.error(), collection);
    if (answer.value().status == 412) {
        // Changed there meanwhile: merged at the next pull; a change wins
        // over a deletion.
        ++report.heldBack;
        co_return SyncSent{SyncSent::Outcome::heldBack, {}, {}};
    }
    if (w.action == SyncWrite::Action::remove) {
        ++report.removed;
        co_return SyncSent{SyncSent::Outcome::removed, {}, {}};
    }
    SyncSent stored{SyncSent::Outcome::stored, answer.value().etag, w.ics};
    if (stored.etag.isEmpty()) {
        // The server changed what it stored: its copy is the base.
        Result<DavReply> copy = co_await client_.get(w.href);
        if (!copy.ok())
            co_return copy.error();
        stored.etag = copy.value().etag;
        stored.ics = copy.value().body;
    }
    ++report.sent;
    co_return stored;
}

namespace {

bool earlier(const TrailEntryExport& a, const TrailEntryExport& b) {
    return a.date != b.date ? a.date < b.date : a.id.toString() < b.id.toString();
}

// The day a focus-log resource holds, from its UID.
QDate trailDayOf(const CalendarObject& object) {
    return QDate::fromString(object.uid().mid(6), QStringLiteral("yyyyMMdd"));
}

} // namespace

QCoro::Task<Result<void>> SyncEngine::pushTrail(SyncReport& report) {
    SqliteStore* store = context_.store();
    SyncState* state = store->sync();
    Result<SyncAccount> account = state->account();
    if (!account.ok())
        co_return account.error();
    const QString log = account.value().collections[std::size_t(SyncCollection::focusLog)];
    const Timestamp now = context_.now();

    // Entries changed here, gathered by the resource of their day.
    struct Day {
        std::vector<SyncJournalEntry> journal;
        std::vector<QUuid> added;
        QDate day;
    };
    QSet<QUuid> heldBack;
    for (;;) {
        Result<std::vector<SyncJournalEntry>> pending = state->pending(
            trailBatchSize + std::size_t(heldBack.size()), entityBit(EntityType::trailEntry));
        if (!pending.ok())
            co_return pending.error();
        std::map<QUuid, Day> days;
        std::vector<SyncJournalEntry> done;
        bool any = false;
        for (const SyncJournalEntry& e : pending.value()) {
            if (heldBack.contains(e.record))
                continue;
            any = true;
            Result<std::optional<QUuid>> resource = state->resourceOf(e.record);
            if (!resource.ok())
                co_return resource.error();
            const TrailEntry* entry = e.deleted ? nullptr : context_.findByID<TrailEntry>(e.record);
            QUuid key;
            if (resource.value()) {
                key = *resource.value();
            } else if (!entry) {
                done.push_back(e); // never sent
                continue;
            } else {
                const QDate day = dayOf(entry->date(), calendar_);
                key = sync::idOf(sync::trailDayUid(day));
                days[key].day = day;
            }
            days[key].journal.push_back(e);
            if (entry)
                days[key].added.push_back(e.record);
        }
        if (!any)
            break;

        std::vector<SyncBase> kept;
        std::vector<std::pair<QUuid, std::vector<QUuid>>> members;
        std::vector<QUuid> gone;
        for (auto it = days.begin(); it != days.end(); ++it) {
            const QUuid key = it->first;
            Day& d = it->second;
            Result<std::optional<SyncBase>> base = state->baseOf(key);
            if (!base.ok())
                co_return base.error();
            const std::optional<CalendarObject> server =
                base.value() ? parsed(base.value()->ics) : std::nullopt;
            const std::vector<TrailEntryExport> before =
                server ? sync::readTrailDay(*server) : std::vector<TrailEntryExport>();
            // What the server holds and this device still has, and what is new here.
            std::vector<TrailEntryExport> after;
            QSet<QUuid> in;
            for (const TrailEntryExport& b : before) {
                if (const TrailEntry* t = context_.findByID<TrailEntry>(b.id);
                    t && !in.contains(b.id)) {
                    after.push_back(DataExportService::valueOf(*t));
                    in.insert(b.id);
                }
            }
            for (const QUuid& id : d.added) {
                if (!in.contains(id)) {
                    after.push_back(DataExportService::valueOf(*context_.findByID<TrailEntry>(id)));
                    in.insert(id);
                }
            }
            std::sort(after.begin(), after.end(), earlier);
            if (server)
                d.day = trailDayOf(*server);
            if (after == before || !d.day.isValid()) {
                done.insert(done.end(), d.journal.begin(), d.journal.end());
                continue;
            }
            SyncWrite w;
            if (after.empty()) {
                w = {SyncWrite::Action::remove, base.value()->href, {}, base.value()->etag};
            } else {
                w.action = SyncWrite::Action::put;
                w.href = base.value() ? base.value()->href
                                      : log + sync::trailDayUid(d.day) + QLatin1String(".ics");
                w.ics = sync::writeTrailDay(d.day, after, server ? &*server : nullptr, now).bytes();
                if (base.value())
                    w.ifMatch = base.value()->etag;
            }
            // Another device that wrote this day meanwhile: its list is
            // merged at the next pull, then both are sent.
            Result<SyncSent> sent = co_await send(w, SyncCollection::focusLog, report);
            if (!sent.ok())
                co_return sent.error();
            switch (sent.value().outcome) {
            case SyncSent::Outcome::heldBack:
            case SyncSent::Outcome::refused:
                for (const SyncJournalEntry& e : d.journal)
                    heldBack.insert(e.record);
                continue;
            case SyncSent::Outcome::removed:
                gone.push_back(key);
                break;
            case SyncSent::Outcome::stored: {
                kept.push_back(
                    {key, EntityType::trailEntry, w.href, sent.value().etag, sent.value().ics});
                std::vector<QUuid> ids;
                for (const TrailEntryExport& a : after)
                    ids.push_back(a.id);
                members.emplace_back(key, std::move(ids));
                break;
            }
            }
            done.insert(done.end(), d.journal.begin(), d.journal.end());
        }
        Result<void> committed =
            store->changeSync([&](SyncState& s) { return keepSent(s, kept, members, gone, done); });
        if (!committed.ok())
            co_return committed.error();
    }
    co_return Result<void>();
}

namespace {

struct Fetched {
    SyncCollection collection;
    QString href;
    QByteArray etag;
    QByteArray ics;
};

// Deleted there, to be deleted here.
struct Doomed {
    EntityType type;
    QUuid record;
};

struct Lost {
    SyncBase base;
    std::vector<QUuid> members;
};

using Value = std::variant<std::monostate, GoalExport, WeekExport, WeekItemExport, DayTaskExport,
                           FocusBlockTemplateExport>;

// What a fetched resource says, and what the server said of it last time.
struct Reading {
    std::optional<EntityType> type; // none: unreadable, or not a record
    std::optional<QString> account; // the account's mark: its id
    Timestamp changedThere = 0;     // LAST-MODIFIED
    Value remote, base;             // a record of its own
    QUuid key;                      // a day of focus minutes: its resource
    std::vector<TrailEntryExport> there, before;
};

struct Read {
    std::vector<Fetched> fetched;
    std::vector<Reading> readings;
};

// Plain values from bytes: no store, no records, so that it runs anywhere.
// It owns what it reads, so that it may outlive a sync that was dropped.
Read readAll(std::vector<Fetched> fetched, std::vector<std::optional<QByteArray>> bases,
             QString mark, Calendar calendar, Timestamp now) {
    std::vector<Reading> out(fetched.size());
    for (std::size_t i = 0; i < fetched.size(); ++i) {
        Reading& r = out[i];
        const std::optional<CalendarObject> object = parsed(fetched[i].ics);
        if (fetched[i].href == mark) {
            // A mark that does not read is not this account's.
            r.account = object ? object->text("X-ORVANA-ACCOUNT").value_or(QString()) : QString();
            continue;
        }
        if (!object)
            continue;
        r.type = sync::recordTypeOf(*object, fetched[i].collection);
        if (!r.type)
            continue;
        r.changedThere = object->instant("LAST-MODIFIED").value_or(now);
        const std::optional<CalendarObject> old = bases[i] ? parsed(*bases[i]) : std::nullopt;
        if (*r.type == EntityType::trailEntry) {
            r.key = sync::idOf(object->uid());
            r.there = sync::readTrailDay(*object);
            if (old)
                r.before = sync::readTrailDay(*old);
            continue;
        }
        byType(*r.type, [&]<class V>(std::type_identity<V>) {
            std::optional<V> base;
            if (old)
                base = Kind<V>::read(*old, nullptr, calendar, now);
            r.remote = Kind<V>::read(*object, base ? &*base : nullptr, calendar, now);
            if (base)
                r.base = std::move(*base);
        });
    }
    return {std::move(fetched), std::move(out)};
}

constexpr SyncCollection pullOrder[] = {SyncCollection::plan, SyncCollection::blocks,
                                        SyncCollection::tasks, SyncCollection::focusLog};

} // namespace

QCoro::Task<Result<SyncReport>> SyncEngine::pull(SyncDeletions deletions) {
    const bool allowDeletions = deletions != SyncDeletions::ask;
    Result<SyncAccount> account = prepare();
    if (!account.ok())
        co_return account.error();
    SqliteStore* store = context_.store();
    SyncState* state = store->sync();
    const SyncAccount& acc = account.value();
    const QString mark = accountMarkPath(acc);
    const Env env{context_, calendar_, context_.now()};
    const Timestamp now = env.now;

    // What changed there, collection by collection.
    std::vector<Fetched> fetched;
    std::vector<SyncBase> gone; // deleted there
    std::vector<Lost> lost;     // missing from a fresh listing: sent again
    std::array<QString, 4> tokens;
    bool identityLost = false;
    for (SyncCollection c : pullOrder) {
        const int kind = int(c);
        const QString collection = acc.collections[std::size_t(kind)];
        Result<QString> token = state->token(kind);
        if (!token.ok())
            co_return token.error();
        bool fresh = token.value().isEmpty();
        Result<std::optional<dav::Multistatus>> changes =
            co_await client_.changesSince(collection, token.value());
        if (!changes.ok())
            co_return changes.error();
        if (!changes.value()) {
            fresh = true;
            changes = co_await client_.changesSince(collection, QString());
            if (!changes.ok())
                co_return changes.error();
            if (!changes.value())
                co_return Error{QCoreApplication::translate(
                                    "SyncEngine", "The server would not list the calendar %1.")
                                    .arg(collection),
                                ErrorKind::general};
        }
        const dav::Multistatus& listing = *changes.value();
        tokens[std::size_t(kind)] = listing.syncToken;
        QSet<QString> listed;
        std::vector<QString> wanted;
        for (const dav::Response& r : listing.responses) {
            if (r.href == collection || r.href.endsWith(u'/'))
                continue;
            // A fresh listing says what is there; some servers add what they
            // remember deleting, which is not to be trusted without a token.
            if (fresh && r.status == 404)
                continue;
            listed.insert(r.href);
            if (r.href == mark) {
                if (r.status == 404)
                    identityLost = true;
                else
                    wanted.push_back(r.href);
                continue;
            }
            Result<std::optional<SyncBase>> base = state->baseAt(r.href);
            if (!base.ok())
                co_return base.error();
            if (r.status == 404) {
                if (base.value())
                    gone.push_back(*base.value());
            } else if (!base.value() || base.value()->etag != r.etag || r.etag.isEmpty()) {
                wanted.push_back(r.href);
            }
        }
        if (fresh) {
            if (c == SyncCollection::plan && !listed.contains(mark))
                identityLost = true;
            Result<std::vector<SyncBase>> bases = state->basesIn(collection);
            if (!bases.ok())
                co_return bases.error();
            for (SyncBase& b : bases.value()) {
                if (listed.contains(b.href))
                    continue;
                Result<std::vector<QUuid>> members = state->membersOf(b.record);
                if (!members.ok())
                    co_return members.error();
                lost.push_back({std::move(b), std::move(members.value())});
            }
        }
        for (std::size_t from = 0; from < wanted.size(); from += fetchBatch) {
            const std::vector<QString> batch(
                wanted.begin() + std::ptrdiff_t(from),
                wanted.begin() + std::ptrdiff_t(std::min(wanted.size(), from + fetchBatch)));
            Result<dav::Multistatus> got = co_await client_.multiget(collection, batch);
            if (!got.ok())
                co_return got.error();
            for (dav::Response& r : got.value().responses) {
                if (r.status == 0 || r.status / 100 == 2)
                    fetched.push_back({c, r.href, r.etag, std::move(r.calendarData)});
            }
        }
    }

    // Read on a worker: libical's parsing is what grows with a pull.
    std::vector<std::optional<QByteArray>> bases;
    bases.reserve(fetched.size());
    for (const Fetched& f : fetched) {
        Result<std::optional<SyncBase>> base = state->baseAt(f.href);
        if (!base.ok())
            co_return base.error();
        bases.push_back(base.value() ? std::optional(base.value()->ics) : std::nullopt);
    }
    QFuture<Read> reading =
        QtConcurrent::run(readAll, std::move(fetched), std::move(bases), mark, calendar_, now);
    Read read = co_await reading;
    fetched = std::move(read.fetched);
    // What the user did while the pull waited is in the journal before it
    // is merged with.
    if (auto saved = context_.save(); !saved.ok())
        co_return saved.error();
    const std::vector<Reading>& readings = read.readings;

    // Merged with what changed here, before anything changes.
    SyncReport report;
    OrvanaExport incoming;
    incoming.exportedAt = now;
    std::vector<SyncBase> kept;
    std::vector<std::pair<QUuid, std::vector<QUuid>>> members;
    QHash<QUuid, Timestamp> arrived; // when each task that arrived was last changed there
    std::vector<QUuid> arrivedWeeks;
    std::vector<std::tuple<QUuid, EntityType, sync::Conflict>> conflicts;
    std::vector<Doomed> doomed;
    for (std::size_t i = 0; i < fetched.size(); ++i) {
        const Fetched& f = fetched[i];
        const Reading& r = readings[i];
        if (r.account) {
            if (*r.account != acc.accountID)
                identityLost = true;
            continue;
        }
        if (!r.type)
            continue; // not something Orvana shows: left alone there

        if (*r.type == EntityType::trailEntry) {
            // A day's entries: what is new there arrives, what went there goes.
            QSet<QUuid> ids;
            std::vector<QUuid> list;
            for (const TrailEntryExport& t : r.there) {
                ids.insert(t.id);
                list.push_back(t.id);
                Result<std::optional<SyncJournalEntry>> journal = state->journalOf(t.id);
                if (!journal.ok())
                    co_return journal.error();
                if ((journal.value() && journal.value()->deleted) ||
                    context_.findByID<TrailEntry>(t.id))
                    continue;
                incoming.trailEntries.push_back(t);
                ++report.received;
            }
            for (const TrailEntryExport& t : r.before) {
                if (!ids.contains(t.id) && context_.findByID<TrailEntry>(t.id))
                    doomed.push_back({EntityType::trailEntry, t.id});
            }
            kept.push_back({r.key, EntityType::trailEntry, f.href, f.etag, f.ics});
            members.emplace_back(r.key, std::move(list));
            continue;
        }

        auto take = [&]<class V>(std::type_identity<V>) -> Result<void> {
            const std::optional<V> baseValue = std::holds_alternative<V>(r.base)
                                                   ? std::optional(std::get<V>(r.base))
                                                   : std::nullopt;
            const V& remote = std::get<V>(r.remote);
            const auto* local = context_.findByID<typename Kind<V>::Model>(remote.id);
            Result<std::optional<SyncJournalEntry>> journal = state->journalOf(remote.id);
            if (!journal.ok())
                return journal.error();
            V value = remote;
            if (local && journal.value() && !journal.value()->deleted) {
                V mine = DataExportService::valueOf(*local);
                keepUnknownLinks(mine, baseValue.value_or(remote), context_);
                sync::Merged<V> merged = sync::merge(
                    baseValue, Kind<V>::comparable(mine, env), journal.value()->changedAt,
                    Kind<V>::comparable(remote, env), r.changedThere);
                value = std::move(merged.value);
                report.conflicts += qint64(merged.conflicts.size());
                for (sync::Conflict& c : merged.conflicts)
                    conflicts.emplace_back(remote.id, Kind<V>::type, std::move(c));
            }
            if constexpr (std::is_same_v<V, DayTaskExport>)
                arrived[value.id] = r.changedThere;
            if constexpr (std::is_same_v<V, WeekExport>)
                arrivedWeeks.push_back(value.id);
            Kind<V>::in(incoming).push_back(std::move(value));
            ++report.received;
            kept.push_back({remote.id, Kind<V>::type, f.href, f.etag, f.ics});
            return {};
        };
        if (Result<void> took = byType(*r.type, take); !took.ok())
            co_return took.error();
    }

    // Deleted there: deleted here, unless it (or what its removal takes
    // with it) changed here since the server last had it: then it is sent
    // again. A journal entry alone is not a change: a pull's own save
    // writes one for each record it took in.
    auto changedHere = [&](Record* r) -> Result<bool> {
        Result<std::optional<SyncJournalEntry>> journal = state->journalOf(r->id());
        if (!journal.ok())
            return journal.error();
        if (!journal.value() || journal.value()->deleted)
            return false;
        if (r->entityType() == EntityType::trailEntry) {
            Result<std::optional<QUuid>> in = state->resourceOf(r->id());
            if (!in.ok())
                return in.error();
            return !in.value(); // not sent yet
        }
        Result<std::optional<SyncBase>> base = state->baseOf(r->id());
        if (!base.ok())
            return base.error();
        const std::optional<CalendarObject> there =
            base.value() ? parsed(base.value()->ics) : std::nullopt;
        if (!there)
            return true;
        return byType(r->entityType(), [&]<class V>(std::type_identity<V>) {
            V mine = DataExportService::valueOf(*static_cast<typename Kind<V>::Model*>(r));
            const V theirs = Kind<V>::read(*there, nullptr, calendar_, now);
            keepUnknownLinks(mine, theirs, context_);
            return Kind<V>::comparable(mine, env) != Kind<V>::comparable(theirs, env);
        });
    };
    std::vector<SyncBase> resend;
    for (const SyncBase& base : gone) {
        if (base.type == EntityType::trailEntry) {
            Result<std::vector<QUuid>> ids = state->membersOf(base.record);
            if (!ids.ok())
                co_return ids.error();
            for (const QUuid& id : ids.value()) {
                if (context_.findByID<TrailEntry>(id))
                    doomed.push_back({EntityType::trailEntry, id});
            }
            continue;
        }
        Record* local = findRecord(context_, base.type, base.record);
        if (!local)
            continue;
        bool keep = false;
        for (Record* r : withCascade(local)) {
            Result<bool> changed = changedHere(r);
            if (!changed.ok())
                co_return changed.error();
            if ((keep = changed.value()))
                break;
        }
        if (keep)
            resend.push_back(base);
        else
            doomed.push_back({base.type, base.record});
    }

    // The guard, before anything changes here.
    if (identityLost) {
        if (!allowDeletions) {
            report = SyncReport();
            report.identityLost = true;
            co_return report;
        }
        if (auto restarted = co_await startOver(); !restarted.ok())
            co_return restarted.error();
        co_return SyncReport();
    }
    Result<qint64> synced = state->syncedCount();
    if (!synced.ok())
        co_return synced.error();
    qint64 deleting = 0;
    QStringList deletingIn;
    for (const Doomed& d : doomed) {
        Record* r = findRecord(context_, d.type, d.record);
        if (!r)
            continue;
        deleting += qint64(withCascade(r).size());
        const QString name = QString::fromUtf8(specOf(collectionOf(d.type)).displayName);
        if (!deletingIn.contains(name))
            deletingIn << name;
    }
    if (!allowDeletions && deleting > guardCount &&
        double(deleting) > guardShare * double(synced.value())) {
        report = SyncReport();
        report.guarded = deleting;
        report.guardedIn = deletingIn;
        co_return report;
    }
    // Kept here: what another device deleted is sent to the server again.
    std::vector<Doomed> keptHere;
    if (deletions == SyncDeletions::keep)
        std::swap(keptHere, doomed);

    // Applied in one step, outside the undo history.
    std::vector<std::tuple<QUuid, EntityType, QByteArray>> deleted;
    {
        WithoutUndo quiet(context_);
        DataImport::merge(incoming, context_, true);
        keepOneWeekPerDay(arrivedWeeks);
        for (const Doomed& d : doomed) {
            Record* record = findRecord(context_, d.type, d.record);
            if (!record || record->isDeleted())
                continue; // went with a record deleted before it
            const std::vector<Record*> going = withCascade(record);
            deleted.emplace_back(d.record, d.type, contentsOf(going, now));
            context_.remove(record);
            report.removedHere += qint64(going.size());
        }
        if (!arrived.isEmpty()) {
            Result<void> merged = keepOnePerDay(arrived, *state);
            if (!merged.ok())
                co_return merged.error();
        }
    }
    // The losers and what went are kept first: a sync killed after the save
    // would not find them again.
    Result<void> noted = store->changeSync([&](SyncState& s) -> Result<void> {
        auto text = [](const QJsonValue& v) {
            return QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
        };
        for (const auto& [record, type, c] : conflicts) {
            if (auto ok = s.addConflict(record, type, c.field, text(c.kept), text(c.lost),
                                        c.thisDeviceLost, now);
                !ok.ok())
                return ok;
        }
        for (const auto& [record, type, contents] : deleted) {
            if (auto ok = s.addDeleted(record, type, contents, now); !ok.ok())
                return ok;
        }
        return {};
    });
    if (!noted.ok())
        co_return noted.error();
    if (auto saved = context_.save(); !saved.ok())
        co_return saved.error();
    Result<void> committed = store->changeSync([&](SyncState& s) -> Result<void> {
        for (const SyncBase& b : kept) {
            if (auto ok = s.keep(b); !ok.ok())
                return ok;
        }
        for (const auto& [key, ids] : members) {
            if (auto ok = s.setMembers(key, ids); !ok.ok())
                return ok;
        }
        for (const std::vector<SyncBase>* list : {&gone, &resend}) {
            for (const SyncBase& b : *list) {
                if (auto ok = s.forget(b.record); !ok.ok())
                    return ok;
            }
        }
        // Not there any more, though never deleted: sent again.
        for (const Lost& l : lost) {
            if (auto ok = s.forget(l.base.record); !ok.ok())
                return ok;
            const bool day = l.base.type == EntityType::trailEntry;
            for (const QUuid& id : day ? l.members : std::vector<QUuid>{l.base.record}) {
                if (!findRecord(context_, l.base.type, id))
                    continue;
                if (auto ok = s.touch(id, l.base.type, now); !ok.ok())
                    return ok;
            }
        }
        // Sent again as new: changed here, or what it takes with it did,
        // or the user kept what another device deleted.
        for (const SyncBase& b : resend) {
            if (auto ok = s.touch(b.record, b.type, now); !ok.ok())
                return ok;
        }
        for (const Doomed& d : keptHere) {
            if (auto ok = s.touch(d.record, d.type, now); !ok.ok())
                return ok;
        }
        for (SyncCollection c : pullOrder) {
            if (auto ok = s.setToken(int(c), tokens[std::size_t(c)]); !ok.ok())
                return ok;
        }
        return {};
    });
    if (!committed.ok())
        co_return committed.error();
    co_return report;
}

QCoro::Task<Result<void>> SyncEngine::startOver() {
    SqliteStore* store = context_.store();
    Result<SyncAccount> account = store->sync()->account();
    if (!account.ok())
        co_return account.error();
    // The mark back, so that this account's other devices find it again.
    const QString mark = accountMarkPath(account.value());
    Result<DavReply> there = co_await client_.get(mark);
    if (!there.ok())
        co_return there.error();
    std::optional<QByteArray> condition;
    if (there.value().status == 200)
        condition = there.value().etag;
    const QByteArray bytes = accountMark(account.value().accountID);
    Result<DavReply> written = co_await client_.put(mark, bytes, condition);
    if (!written.ok())
        co_return written.error();
    const Timestamp now = context_.now();
    co_return store->changeSync([&](SyncState& s) { return s.restart(now); });
}

void SyncEngine::keepOneWeekPerDay(const std::vector<QUuid>& arrived) {
    QSet<qint64> days;
    for (const QUuid& id : arrived) {
        if (const Week* w = context_.findByID<Week>(id))
            days.insert(qint64(calendar_.startOfDay(w->startDate())));
    }
    if (days.isEmpty())
        return;
    QHash<qint64, std::vector<Week*>> byDay;
    for (Week* w : context_.fetch<Week>()) {
        const qint64 day = qint64(calendar_.startOfDay(w->startDate()));
        if (days.contains(day) && !w->isDeleted())
            byDay[day].push_back(w);
    }
    // Two devices that each planned the week of a day made one week: every
    // device keeps the same one, and the other's items move to it.
    for (auto it = byDay.begin(); it != byDay.end(); ++it) {
        std::vector<Week*>& weeks = it.value();
        std::sort(weeks.begin(), weeks.end(), [](const Week* a, const Week* b) {
            return a->id().toString() < b->id().toString();
        });
        Week* keep = weeks.front();
        for (std::size_t i = 1; i < weeks.size(); ++i) {
            Week* other = weeks[i];
            const std::vector<WeekItem*> items = other->items();
            for (WeekItem* item : items)
                item->setWeek(keep);
            if (!keep->intention())
                keep->setIntention(other->intention());
            if (!keep->reflection())
                keep->setReflection(other->reflection());
            if (!keep->ritualCompletedAt())
                keep->setRitualCompletedAt(other->ritualCompletedAt());
            context_.remove(other);
        }
    }
}

Result<void> SyncEngine::keepOnePerDay(const QHash<QUuid, Timestamp>& arrived, SyncState& state) {
    // The days the pull touched, and every task on them.
    QSet<qint64> days;
    for (auto it = arrived.begin(); it != arrived.end(); ++it) {
        if (const DayTask* t = context_.findByID<DayTask>(it.key()))
            days.insert(qint64(calendar_.startOfDay(t->date())));
    }
    QHash<qint64, std::vector<DayTask*>> byDay;
    for (DayTask* t : context_.fetch<DayTask>()) {
        const qint64 day = qint64(calendar_.startOfDay(t->date()));
        if (days.contains(day))
            byDay[day].push_back(t);
    }
    // Every device must pick the same survivor: by id where nothing else
    // decides.
    auto idText = [](const DayTask* t) { return t->id().toString(); };
    for (auto it = byDay.begin(); it != byDay.end(); ++it) {
        std::vector<DayTask*>& tasks = it.value();
        std::sort(tasks.begin(), tasks.end(),
                  [&](const DayTask* a, const DayTask* b) { return idText(a) < idText(b); });
        // A block's task and a week item's task of a day are one task, even
        // when two devices each made it; done on either is done.
        for (std::size_t i = 0; i < tasks.size(); ++i) {
            DayTask* keep = tasks[i];
            if (keep->isDeleted())
                continue;
            for (std::size_t j = i + 1; j < tasks.size(); ++j) {
                DayTask* other = tasks[j];
                if (other->isDeleted())
                    continue;
                const bool sameBlock = keep->sourceTemplateID() &&
                                       keep->sourceTemplateID() == other->sourceTemplateID();
                const bool sameItem = keep->weekItem() && keep->weekItem() == other->weekItem();
                if (!sameBlock && !sameItem)
                    continue;
                if (other->isComplete() && !keep->isComplete())
                    keep->setOnlyCompleteFlag(true);
                if (other->isTodaysOneThing() && !keep->isTodaysOneThing())
                    keep->setIsTodaysOneThing(true);
                context_.remove(other);
            }
        }
        // One flagged task a day: the most recently flagged.
        DayTask* flagged = nullptr;
        Timestamp flaggedAt = 0;
        for (DayTask* t : tasks) {
            if (t->isDeleted() || !t->isTodaysOneThing())
                continue;
            Timestamp at = arrived.value(t->id(), 0);
            if (!arrived.contains(t->id())) {
                Result<std::optional<SyncJournalEntry>> journal = state.journalOf(t->id());
                if (!journal.ok())
                    return journal.error();
                at = journal.value() ? journal.value()->changedAt : 0;
            }
            if (!flagged || at >= flaggedAt) {
                if (flagged)
                    flagged->setIsTodaysOneThing(false);
                flagged = t;
                flaggedAt = at;
            } else {
                t->setIsTodaysOneThing(false);
            }
        }
    }
    return {};
}

Result<void> restoreDeleted(ModelContext& context, const QUuid& record) {
    SqliteStore* store = context.store();
    if (!store || !store->sync())
        return Error{QCoreApplication::translate("SyncEngine", "Sync is not set up."),
                     ErrorKind::notFound};
    Result<std::vector<SyncDeletedRecord>> kept = store->sync()->deleted(0);
    if (!kept.ok())
        return kept.error();
    const auto found = std::find_if(kept.value().begin(), kept.value().end(),
                                    [&](const SyncDeletedRecord& d) { return d.record == record; });
    if (found == kept.value().end())
        return Error{QCoreApplication::translate("SyncEngine",
                                                 "That record is not among those deleted on "
                                                 "another device."),
                     ErrorKind::notFound};
    Result<OrvanaExport> contents = DataImport::decode(found->contents);
    if (!contents.ok())
        return contents.error();
    if (auto restored = DataImport::importDocument(contents.value(), context, true); !restored.ok())
        return restored;
    return store->changeSync([&](SyncState& s) { return s.forgetDeleted(record); });
}

Result<void> useLostValue(ModelContext& context, qint64 conflict) {
    SqliteStore* store = context.store();
    if (!store || !store->sync())
        return Error{QCoreApplication::translate("SyncEngine", "Sync is not set up."),
                     ErrorKind::notFound};
    Result<std::vector<SyncConflictEntry>> all = store->sync()->conflicts();
    if (!all.ok())
        return all.error();
    const auto found = std::find_if(all.value().begin(), all.value().end(),
                                    [&](const SyncConflictEntry& c) { return c.id == conflict; });
    Record* record =
        found == all.value().end() ? nullptr : findRecord(context, found->type, found->record);
    if (!record)
        return Error{
            QCoreApplication::translate("SyncEngine", "The record of that conflict is gone."),
            ErrorKind::notFound};
    // The record as a document, the field set to the value that lost (times
    // are kept as seconds, and the document writes them as text).
    QJsonObject doc = QJsonDocument::fromJson(contentsOf({record}, context.now())).object();
    static const QStringList times{"targetDate", "startDate",         "endDate",  "date",
                                   "reminderAt", "ritualCompletedAt", "createdAt"};
    QJsonValue lost = QJsonDocument::fromJson(found->lost).array().at(0);
    if (lost.isDouble() && times.contains(found->field))
        lost = QString::fromLatin1(DataExportService::timestampText(lost.toDouble()));
    for (auto list = doc.begin(); list != doc.end(); ++list) {
        QJsonArray records = list.value().toArray();
        if (records.isEmpty())
            continue;
        QJsonObject one = records.at(0).toObject();
        one.insert(found->field, lost);
        records.replace(0, one);
        list.value() = records;
    }
    Result<OrvanaExport> changed =
        DataImport::decode(QJsonDocument(doc).toJson(QJsonDocument::Compact));
    if (!changed.ok())
        return changed.error();
    if (auto used = DataImport::importDocument(changed.value(), context, true); !used.ok())
        return used;
    return store->changeSync([&](SyncState& s) { return s.forgetConflict(conflict); });
}

} // namespace orvana
