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
#include <QSet>

namespace orvana {

namespace {

// Journal entries read and sent per transaction.
constexpr std::size_t batchSize = 100;

// What the server holds of a task: its day as the start of that day.
DayTaskExport comparable(DayTaskExport task, const Calendar& calendar) {
    task.date = calendar.startOfDay(task.date);
    return task;
}

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
    const QString tasks = account.value().collections[std::size_t(SyncCollection::tasks)];

    SyncReport report;
    QSet<QUuid> heldBack;
    for (;;) {
        Result<std::vector<SyncJournalEntry>> pending = state->pending(
            batchSize + std::size_t(heldBack.size()), entityBit(EntityType::dayTask));
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
            const DayTask* task = e.deleted ? nullptr : context_.findByID<DayTask>(e.record);
            if (!task) {
                if (base.value()) {
                    Result<DavReply> removed =
                        co_await client_.remove(base.value()->href, base.value()->etag);
                    if (!removed.ok())
                        co_return removed.error();
                    if (removed.value().status == 412) {
                        // Changed there meanwhile: the change wins over the deletion.
                        heldBack.insert(e.record);
                        ++report.heldBack;
                        continue;
                    }
                    gone.push_back(e.record);
                    ++report.removed;
                }
                done.push_back(e);
                continue;
            }
            const Timestamp now = context_.now();
            const DayTaskExport value = DataExportService::valueOf(*task);
            std::optional<CalendarObject> server;
            if (base.value()) {
                Result<CalendarObject> parsed = CalendarObject::parse(base.value()->ics);
                if (parsed.ok())
                    server = std::move(parsed.value());
            }
            if (server && comparable(sync::readDayTask(*server, nullptr, calendar_, now),
                                     calendar_) == comparable(value, calendar_)) {
                done.push_back(e); // the server has it as it is
                continue;
            }
            QByteArray ics =
                sync::writeDayTask(value, server ? &*server : nullptr, calendar_, now).bytes();
            const QString href = base.value()
                                     ? base.value()->href
                                     : tasks + sync::uidOf(task->id()) + QLatin1String(".ics");
            std::optional<QByteArray> condition;
            if (base.value())
                condition = base.value()->etag;
            Result<DavReply> put = co_await client_.put(href, ics, condition);
            if (!put.ok())
                co_return put.error();
            if (put.value().status == 412) {
                heldBack.insert(e.record);
                ++report.heldBack;
                continue;
            }
            QByteArray etag = put.value().etag;
            if (etag.isEmpty()) {
                // The server changed what it stored: keep its copy as the base.
                Result<DavReply> stored = co_await client_.get(href);
                if (!stored.ok())
                    co_return stored.error();
                etag = stored.value().etag;
                ics = stored.value().body;
            }
            kept.push_back({e.record, EntityType::dayTask, href, etag, ics});
            done.push_back(e);
            ++report.sent;
        }
        if (!any)
            break;
        Result<void> committed = store->changeSync([&](SyncState& s) -> Result<void> {
            for (const SyncBase& b : kept) {
                if (auto ok = s.keep(b); !ok.ok())
                    return ok;
            }
            for (const QUuid& id : gone) {
                if (auto ok = s.forget(id); !ok.ok())
                    return ok;
            }
            return s.confirm(done);
        });
        if (!committed.ok())
            co_return committed.error();
    }
    co_return report;
}

namespace {

// Resources fetched per calendar-multiget.
constexpr std::size_t fetchBatch = 100;

// The deletion guard: more than this many, and more than this share of the
// synced records.
constexpr qint64 guardCount = 20;
constexpr double guardShare = 0.10;

DayTask* applyDayTask(ModelContext& ctx, const DayTaskExport& v) {
    WeekItem* item = v.weekItemID ? ctx.findByID<WeekItem>(*v.weekItemID) : nullptr;
    Goal* goal = v.goalID ? ctx.findByID<Goal>(*v.goalID) : nullptr;
    if (DayTask* existing = ctx.findByID<DayTask>(v.id)) {
        DataImport::assign(*existing, v, item, goal);
        return existing;
    }
    auto created = std::make_unique<DayTask>(v.title, v.date);
    created->setID(v.id);
    DataImport::assign(*created, v, item, goal);
    return ctx.insert(std::move(created));
}

// A pull is not a step of the user's: nothing it does goes on the undo
// stack.
class WithoutUndo {
public:
    explicit WithoutUndo(ModelContext& ctx) : ctx_(ctx), undo_(ctx.undoManager()) {
        ctx_.setUndoManager(nullptr);
    }
    ~WithoutUndo() { ctx_.setUndoManager(undo_); }
    WithoutUndo(const WithoutUndo&) = delete;
    WithoutUndo& operator=(const WithoutUndo&) = delete;

private:
    ModelContext& ctx_;
    UndoManager* undo_;
};

struct Fetched {
    QString href;
    QByteArray etag;
    QByteArray ics;
};

} // namespace

QCoro::Task<Result<SyncReport>> SyncEngine::pull(bool allowDeletions) {
    Result<SyncAccount> account = prepare();
    if (!account.ok())
        co_return account.error();
    SqliteStore* store = context_.store();
    SyncState* state = store->sync();
    const int kind = int(SyncCollection::tasks);
    const QString collection = account.value().collections[std::size_t(kind)];
    Result<QString> token = state->token(kind);
    if (!token.ok())
        co_return token.error();

    Result<std::optional<dav::Multistatus>> changes =
        co_await client_.changesSince(collection, token.value());
    if (!changes.ok())
        co_return changes.error();
    if (!changes.value()) {
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

    std::vector<QString> wanted;
    std::vector<SyncBase> gone;
    for (const dav::Response& r : listing.responses) {
        if (r.href == collection || r.href.endsWith(u'/'))
            continue;
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

    // Deletions here are counted before anything changes.
    SyncReport report;
    std::vector<SyncBase> toDelete, toResend;
    for (const SyncBase& base : gone) {
        Result<std::optional<SyncJournalEntry>> journal = state->journalOf(base.record);
        if (!journal.ok())
            co_return journal.error();
        const bool changedHere =
            journal.value() && !journal.value()->deleted && context_.findByID<DayTask>(base.record);
        (changedHere ? toResend : toDelete).push_back(base);
    }
    Result<qint64> synced = state->baseCount();
    if (!synced.ok())
        co_return synced.error();
    const qint64 deleting = qint64(toDelete.size());
    if (!allowDeletions && deleting > guardCount &&
        double(deleting) > guardShare * double(synced.value())) {
        report.guarded = deleting;
        co_return report;
    }

    std::vector<Fetched> fetched;
    for (std::size_t from = 0; from < wanted.size(); from += fetchBatch) {
        const std::vector<QString> batch(
            wanted.begin() + std::ptrdiff_t(from),
            wanted.begin() + std::ptrdiff_t(std::min(wanted.size(), from + fetchBatch)));
        Result<dav::Multistatus> got = co_await client_.multiget(collection, batch);
        if (!got.ok())
            co_return got.error();
        for (dav::Response& r : got.value().responses) {
            if (r.status == 0 || r.status / 100 == 2)
                fetched.push_back({r.href, r.etag, std::move(r.calendarData)});
        }
    }

    const Timestamp now = context_.now();
    std::vector<SyncBase> kept;
    QHash<QUuid, Timestamp> arrived; // when each task that arrived was last changed there
    std::vector<std::pair<QUuid, sync::Conflict>> conflicts;
    std::vector<std::pair<QUuid, QByteArray>> deleted;
    {
        WithoutUndo quiet(context_);
        for (const Fetched& f : fetched) {
            Result<CalendarObject> object = CalendarObject::parse(f.ics);
            if (!object.ok() || object.value().kind() != CalendarObject::Kind::todo)
                continue; // not something Orvana can show: left alone there
            Result<std::optional<SyncBase>> base = state->baseAt(f.href);
            if (!base.ok())
                co_return base.error();
            std::optional<DayTaskExport> baseValue;
            if (base.value()) {
                Result<CalendarObject> old = CalendarObject::parse(base.value()->ics);
                if (old.ok())
                    baseValue = sync::readDayTask(old.value(), nullptr, calendar_, now);
            }
            const DayTaskExport remote = sync::readDayTask(
                object.value(), baseValue ? &*baseValue : nullptr, calendar_, now);
            const DayTask* local = context_.findByID<DayTask>(remote.id);
            Result<std::optional<SyncJournalEntry>> journal = state->journalOf(remote.id);
            if (!journal.ok())
                co_return journal.error();
            DayTaskExport value = remote;
            if (local && journal.value() && !journal.value()->deleted) {
                const sync::Merged<DayTaskExport> merged = sync::merge(
                    baseValue, comparable(DataExportService::valueOf(*local), calendar_),
                    journal.value()->changedAt, comparable(remote, calendar_),
                    object.value().instant("LAST-MODIFIED").value_or(now));
                value = merged.value;
                report.conflicts += qint64(merged.conflicts.size());
                for (const sync::Conflict& c : merged.conflicts)
                    conflicts.push_back({remote.id, c});
            }
            applyDayTask(context_, value);
            arrived[value.id] = object.value().instant("LAST-MODIFIED").value_or(now);
            ++report.received;
            kept.push_back({remote.id, EntityType::dayTask, f.href, f.etag, f.ics});
        }
        for (const SyncBase& base : toDelete) {
            if (DayTask* task = context_.findByID<DayTask>(base.record)) {
                // Kept for 30 days as a document of its own, to restore from.
                OrvanaExport contents;
                contents.exportedAt = now;
                contents.dayTasks.push_back(DataExportService::valueOf(*task));
                if (Result<QByteArray> bytes = DataExportService::encode(contents); bytes.ok())
                    deleted.push_back({base.record, bytes.value()});
                context_.remove(task);
                ++report.removedHere;
            }
        }
        if (!arrived.isEmpty()) {
            Result<void> merged = keepOnePerDay(arrived, *state);
            if (!merged.ok())
                co_return merged.error();
        }
    }
    if (auto saved = context_.save(); !saved.ok())
        co_return saved.error();
    Result<void> committed = store->changeSync([&](SyncState& s) -> Result<void> {
        for (const SyncBase& b : kept) {
            if (auto ok = s.keep(b); !ok.ok())
                return ok;
        }
        // Deleted there: forgotten; changed here: sent again as new.
        for (const std::vector<SyncBase>* list : {&toDelete, &toResend}) {
            for (const SyncBase& b : *list) {
                if (auto ok = s.forget(b.record); !ok.ok())
                    return ok;
            }
        }
        for (const auto& [record, c] : conflicts) {
            auto text = [](const QJsonValue& v) {
                return QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
            };
            if (auto ok = s.addConflict(record, EntityType::dayTask, c.field, text(c.kept),
                                        text(c.lost), c.thisDeviceLost, now);
                !ok.ok())
                return ok;
        }
        for (const auto& [record, contents] : deleted) {
            if (auto ok = s.addDeleted(record, EntityType::dayTask, contents, now); !ok.ok())
                return ok;
        }
        return s.setToken(kind, listing.syncToken);
    });
    if (!committed.ok())
        co_return committed.error();
    co_return report;
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

} // namespace orvana
