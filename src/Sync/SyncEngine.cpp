#include "Sync/SyncEngine.h"

#include "Services/DataExportService.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "Store/SyncState.h"
#include "Sync/CalendarObject.h"
#include "Sync/RecordMapping.h"
#include "Sync/SyncSetup.h"

#include <QCoreApplication>
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

QCoro::Task<Result<SyncReport>> SyncEngine::push() {
    SqliteStore* store = context_.store();
    SyncState* state = store ? store->sync() : nullptr;
    if (!state)
        co_return Error{QCoreApplication::translate("SyncEngine", "Sync is not set up."),
                        ErrorKind::notFound};
    // Everything the user did is in the journal once it is saved.
    if (auto saved = context_.save(); !saved.ok())
        co_return saved.error();
    Result<SyncAccount> account = state->account();
    if (!account.ok())
        co_return account.error();
    const QString tasks = account.value().collections[std::size_t(SyncCollection::tasks)];

    SyncReport report;
    QSet<QUuid> heldBack;
    for (;;) {
        Result<std::vector<SyncJournalEntry>> pending =
            state->pending(batchSize + std::size_t(heldBack.size()), entityBit(EntityType::dayTask));
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

} // namespace orvana
