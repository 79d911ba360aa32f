#include "Sync/SyncEngine.h"
#include "Platform/NetworkRequestPerformer.h"
#include "Services/DataExportService.h"
#include "Services/NotificationService.h"
#include "Services/RecordNotificationKeeper.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "Store/UndoManager.h"
#include "Sync/CalDavServers.h"
#include "Sync/CalendarObject.h"
#include "Sync/RecordMapping.h"
#include "Sync/SyncSetup.h"
#include "support/FakeNotificationCenter.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

namespace {

using namespace orvana;
using test::CalDavServer;

class SyncEngineTest : public ::testing::TestWithParam<CalDavServer::Kind> {};

// A device's changes reach the server: new tasks are created once, edits go
// over the server's copy, deletions remove it, and a second push with
// nothing new sends nothing. A task another client changed meanwhile is
// held back, not overwritten, and stays in the journal.
TEST_P(SyncEngineTest, PushSendsEachChangeOnceAndNeverOverwritesAnotherClients) {
    CalDavServer server(GetParam());
    ASSERT_TRUE(server.ready());
    QTemporaryDir dir;
    auto opened = openModelContext(dir.filePath("Orvana.sqlite"));
    ASSERT_TRUE(opened.ok());
    ModelContext& ctx = *opened.value();
    const Calendar calendar(QTimeZone("Europe/Berlin"), 2);
    const Timestamp day = calendar.startOfDay(1'796'718'600); // 8 Dec 2026
    ctx.setClock([] { return 1'796'718'600.375; }); // a fraction of a second, as a real clock has
    DayTask* run = ctx.create<DayTask>(QStringLiteral("Run"), day);
    DayTask* swim = ctx.create<DayTask>(QStringLiteral("Swim"), day);
    swim->setNotes(QString()); // cleared notes: the server keeps none
    ASSERT_TRUE(ctx.save().ok());

    NetworkRequestPerformer http;
    CalDavClient client(http, {server.url(), server.user, server.password});
    Result<SyncAccount> account =
        QCoro::waitFor(signIn(client, server.url().toString(), server.user, false));
    ASSERT_TRUE(account.ok()) << account.error().message.toStdString();
    ASSERT_TRUE(ctx.store()->startSync(account.value(), ctx.now()).ok());
    const QString tasks = account.value().collections[std::size_t(SyncCollection::tasks)];
    SyncEngine engine(ctx, client, calendar);

    auto push = [&] {
        Result<SyncReport> r = QCoro::waitFor(engine.push());
        EXPECT_TRUE(r.ok()) << r.error().message.toStdString();
        return r.ok() ? r.value() : SyncReport{};
    };
    auto summaryOf = [&](const DayTask* task) -> std::optional<QString> {
        Result<DavReply> got = QCoro::waitFor(client.get(tasks + sync::uidOf(task->id()) + ".ics"));
        if (!got.ok() || got.value().status != 200)
            return std::nullopt;
        return CalendarObject::parse(got.value().body).value().text("SUMMARY");
    };

    EXPECT_EQ(push().sent, 2);
    EXPECT_EQ(summaryOf(run), "Run");
    EXPECT_EQ(push().sent, 0);
    EXPECT_EQ(ctx.store()->sync()->pendingCount().value(), 0);

    run->setTitle(QStringLiteral("Run 10 km"));
    ctx.remove(swim);
    const SyncReport second = push();
    EXPECT_EQ(second.sent, 1);
    EXPECT_EQ(second.removed, 1);
    EXPECT_EQ(summaryOf(run), "Run 10 km");
    EXPECT_EQ(summaryOf(swim), std::nullopt);

    // Another client renames it on the server; this device's edit waits.
    const QString href = tasks + sync::uidOf(run->id()) + ".ics";
    const DavReply there = QCoro::waitFor(client.get(href)).value();
    CalendarObject theirs = CalendarObject::parse(there.body).value();
    theirs.setText("SUMMARY", QStringLiteral("Run 12 km"));
    ASSERT_EQ(QCoro::waitFor(client.put(href, theirs.bytes(), there.etag)).value().status / 100, 2);
    run->setTitle(QStringLiteral("Run 8 km"));
    EXPECT_EQ(push().heldBack, 1);
    EXPECT_EQ(summaryOf(run), "Run 12 km");
    EXPECT_EQ(ctx.store()->sync()->pendingCount().value(), 1);

    // A record the server refuses (its UID already taken there, as Radicale
    // and Nextcloud refuse it) waits, and says why; the others still go.
    if (server.checksPasswords()) {
        DayTask* twin = ctx.create<DayTask>(QStringLiteral("Twin"), day);
        DayTask* small = ctx.create<DayTask>(QStringLiteral("Small"), day);
        CalendarObject copy(CalendarObject::Kind::todo, sync::uidOf(twin->id()));
        ASSERT_EQ(QCoro::waitFor(client.put(tasks + "copy.ics", copy.bytes(), std::nullopt))
                          .value()
                          .status /
                      100,
                  2);
        const SyncReport refused = push();
        EXPECT_EQ(refused.refused, 1);
        EXPECT_FALSE(refused.refusal.isEmpty());
        EXPECT_EQ(summaryOf(small), "Small");
    }
}

// One device of an account: its own store, clock and engine.
struct Device {
    explicit Device(const CalDavServer& server, Timestamp now,
                    Calendar zone = Calendar(QTimeZone("Europe/Berlin"), 2))
        : http(), client(http, {server.url(), server.user, server.password}),
          calendar(std::move(zone)) {
        auto opened = openModelContext(dir.filePath("Orvana.sqlite"));
        EXPECT_TRUE(opened.ok());
        ctx = std::move(opened.value());
        at(now);
        Result<SyncAccount> account =
            QCoro::waitFor(signIn(client, server.url().toString(), server.user, false));
        EXPECT_TRUE(account.ok());
        EXPECT_TRUE(ctx->store()->startSync(account.value(), now).ok());
        engine = std::make_unique<SyncEngine>(*ctx, client, calendar);
    }
    void at(Timestamp now) {
        ctx->setClock([now] { return now; });
    }
    SyncReport sync(bool allowDeletions = false) {
        Result<SyncReport> pulled = QCoro::waitFor(engine->pull(allowDeletions));
        EXPECT_TRUE(pulled.ok()) << pulled.error().message.toStdString();
        if (!pulled.ok() || pulled.value().guarded || pulled.value().identityLost)
            return pulled.ok() ? pulled.value() : SyncReport{};
        Result<SyncReport> pushed = QCoro::waitFor(engine->push());
        EXPECT_TRUE(pushed.ok()) << pushed.error().message.toStdString();
        SyncReport r = pulled.value();
        if (pushed.ok()) {
            r.sent = pushed.value().sent;
            r.removed = pushed.value().removed;
            r.heldBack = pushed.value().heldBack;
        }
        return r;
    }
    DayTask* task(const QString& title) {
        for (DayTask* t : ctx->fetch<DayTask>())
            if (t->title() == title)
                return t;
        return nullptr;
    }

    QTemporaryDir dir;
    NetworkRequestPerformer http;
    CalDavClient client;
    const Calendar calendar;
    std::unique_ptr<ModelContext> ctx;
    std::unique_ptr<SyncEngine> engine;
};

// Two homes, one server: what each device does reaches the other; edits of
// different fields both survive, the later edit of one field wins (and is
// counted as a conflict), a deletion travels unless the other device changed
// the record meanwhile, and a mass deletion stops at the guard.
TEST_P(SyncEngineTest, TwoDevicesStayInStep) {
    CalDavServer server(GetParam());
    ASSERT_TRUE(server.ready());
    const Timestamp t0 = 1'796'718'600; // 8 Dec 2026, 09:30 in Berlin
    Device laptop(server, t0), phone(server, t0);
    const Timestamp day = laptop.calendar.startOfDay(t0);
    laptop.ctx->create<DayTask>(QStringLiteral("Run"), day);
    for (int i = 0; i < 30; ++i)
        laptop.ctx->create<DayTask>(QStringLiteral("Chore %1").arg(i), day);
    EXPECT_EQ(laptop.sync().sent, 31);
    EXPECT_EQ(phone.sync().received, 31);
    ASSERT_NE(phone.task("Run"), nullptr);
    EXPECT_EQ(phone.task("Run")->date(), day);

    // Different fields, then the same field: the later edit wins.
    laptop.at(t0 + 60);
    laptop.task("Run")->setNotes(QStringLiteral("easy pace"));
    laptop.task("Chore 0")->setTitle(QStringLiteral("Laundry (laptop)"));
    phone.at(t0 + 120);
    phone.task("Run")->setOnlyCompleteFlag(true);
    phone.task("Chore 0")->setTitle(QStringLiteral("Laundry (phone)"));
    laptop.sync();
    EXPECT_EQ(phone.sync().conflicts, 1);
    EXPECT_EQ(phone.ctx->store()->sync()->conflictCount().value(), 1); // the loser is kept
    laptop.sync();
    for (Device* d : {&laptop, &phone}) {
        ASSERT_NE(d->task("Run"), nullptr);
        EXPECT_EQ(d->task("Run")->notes(), "easy pace");
        EXPECT_TRUE(d->task("Run")->isComplete());
        EXPECT_NE(d->task("Laundry (phone)"), nullptr);
        EXPECT_EQ(d->task("Laundry (laptop)"), nullptr);
    }
    // The laptop's title taken instead, on the phone: it goes to both.
    const SyncConflictEntry lost = phone.ctx->store()->sync()->conflicts().value().front();
    EXPECT_EQ(lost.field, "title");
    ASSERT_TRUE(useLostValue(*phone.ctx, lost.id).ok());
    EXPECT_EQ(phone.ctx->store()->sync()->conflictCount().value(), 0);
    phone.sync();
    laptop.sync();
    EXPECT_NE(laptop.task("Laundry (laptop)"), nullptr);

    // Deleted on the laptop, changed on the phone meanwhile: it comes back.
    laptop.ctx->remove(laptop.task("Chore 1"));
    phone.task("Chore 1")->setNotes(QStringLiteral("still needed"));
    laptop.sync();
    phone.sync();
    laptop.sync();
    EXPECT_NE(laptop.task("Chore 1"), nullptr);
    // And the other way round.
    phone.ctx->remove(phone.task("Chore 1"));
    laptop.task("Chore 1")->setNotes(QStringLiteral("needed twice"));
    phone.sync();
    laptop.sync();
    phone.sync();
    ASSERT_NE(phone.task("Chore 1"), nullptr);
    EXPECT_EQ(phone.task("Chore 1")->notes(), "needed twice");

    // A task the phone only received (its push never ran) is no change of
    // its own: deleted on the laptop, it goes on the phone too.
    laptop.ctx->create<DayTask>(QStringLiteral("Errand"), day);
    laptop.sync();
    ASSERT_TRUE(QCoro::waitFor(phone.engine->pull(false)).ok());
    laptop.ctx->remove(laptop.task("Errand"));
    laptop.sync();
    phone.sync();
    EXPECT_EQ(phone.task("Errand"), nullptr);

    // A deletion travels; a mass deletion waits for the user's word.
    laptop.ctx->remove(laptop.task("Chore 2"));
    laptop.sync();
    EXPECT_EQ(phone.sync().removedHere, 1);
    for (int i = 3; i < 30; ++i)
        laptop.ctx->remove(laptop.task(QStringLiteral("Chore %1").arg(i)));
    laptop.sync();
    EXPECT_EQ(phone.sync().guarded, 27);
    EXPECT_NE(phone.task("Chore 29"), nullptr);
    EXPECT_EQ(phone.sync(true).removedHere, 27);
    EXPECT_EQ(phone.task("Chore 29"), nullptr);
    // Each kept 30 days, with its contents, to be restored; a restored task
    // goes back to every device.
    EXPECT_EQ(phone.ctx->store()->sync()->deletedCount(t0).value(), 29);
    const QUuid chore = phone.ctx->store()->sync()->deleted(t0).value().front().record;
    ASSERT_TRUE(restoreDeleted(*phone.ctx, chore).ok());
    EXPECT_NE(phone.ctx->findByID<DayTask>(chore), nullptr);
    EXPECT_EQ(phone.ctx->store()->sync()->deletedCount(t0).value(), 28);
    phone.sync();
    laptop.sync();
    EXPECT_NE(laptop.ctx->findByID<DayTask>(chore), nullptr);
}

// Another CalDAV client (python3-caldav) at work in one of Orvana's calendars.
QString foreignClient(const CalDavServer& server, const QString& calendar,
                      const QStringList& args) {
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 QStringList{QStringLiteral(QT_TESTCASE_SOURCEDIR "/Sync/foreign_client.py"),
                             server.url().toString(), server.user, server.password, calendar} +
                     args);
    EXPECT_TRUE(python.waitForFinished(60'000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return QString::fromUtf8(python.readAllStandardOutput()).trimmed();
}

// Another client (python3-caldav) writes into "Orvana Tasks": a to-do it
// makes becomes a task on its DUE day; its rename and its completion of one
// of Orvana's tasks arrive, and Orvana's own fields survive its rewrite.
TEST_P(SyncEngineTest, AnotherClientsToDosArriveAndKeepOrvanasFields) {
    CalDavServer server(GetParam());
    ASSERT_TRUE(server.ready());
    const Timestamp t0 = 1'796'718'600;
    Device laptop(server, t0);
    DayTask* run =
        laptop.ctx->create<DayTask>(QStringLiteral("Run"), laptop.calendar.startOfDay(t0));
    run->setSortOrder(7);
    laptop.sync();
    const QString uid = sync::uidOf(run->id());
    const QString tasks =
        QCoro::waitFor(laptop.client.findCalendarHome()).value() + QStringLiteral("orvana-tasks/");
    auto foreign = [&](const QStringList& args) { return foreignClient(server, tasks, args); };
    foreign({"create", "phone-7", "Water plants", "20261210"});
    foreign({"rename", uid, "Run 5 km"});
    foreign({"complete", uid});
    EXPECT_EQ(foreign({"show", uid, "X-ORVANA-SORT"}), "7");

    EXPECT_EQ(laptop.sync().received, 2);
    const DayTask* water = laptop.task("Water plants");
    ASSERT_NE(water, nullptr);
    EXPECT_EQ(water->date(), laptop.calendar.startOfDay(*laptop.calendar.date({2026, 12, 10, 12})));
    EXPECT_EQ(run->title(), "Run 5 km");
    EXPECT_TRUE(run->isComplete());
    EXPECT_EQ(run->sortOrder(), 7);

    // A to-do whose parent Orvana does not have keeps its parent through
    // Orvana's sync and edits.
    CalendarObject child(CalendarObject::Kind::todo, QStringLiteral("phone-8"));
    child.setText("SUMMARY", QStringLiteral("Buy shoes"));
    child.setText("RELATED-TO", QStringLiteral("phone-parent-1"));
    const QByteArray childBytes = child.bytes();
    ASSERT_EQ(QCoro::waitFor(laptop.client.put(tasks + "phone-8.ics", childBytes, std::nullopt))
                      .value()
                      .status /
                  100,
              2);
    laptop.sync();
    ASSERT_NE(laptop.task("Buy shoes"), nullptr);
    laptop.task("Buy shoes")->setTitle(QStringLiteral("Buy trail shoes"));
    laptop.sync();
    EXPECT_EQ(foreign({"show", "phone-8", "SUMMARY"}), "Buy trail shoes");
    EXPECT_EQ(foreign({"show", "phone-8", "RELATED-TO"}), "phone-parent-1");
}

// The sync's one-per-day rules: a block's or a week item's task of a day
// that both devices made becomes one (done on either is done), and of two
// tasks flagged as the day's one thing, the most recently flagged keeps the
// flag.
TEST_P(SyncEngineTest, OneADayRulesHoldAcrossDevices) {
    CalDavServer server(GetParam());
    ASSERT_TRUE(server.ready());
    const Timestamp t0 = 1'796'718'600;
    Device laptop(server, t0), phone(server, t0);
    const Timestamp day = laptop.calendar.startOfDay(t0);
    const QUuid block = QUuid::createUuid();
    const QUuid item = laptop.ctx->create<WeekItem>(QStringLiteral("Stretch"))->id();
    laptop.sync();
    phone.sync();
    for (Device* d : {&laptop, &phone}) {
        DayTask* t = d->ctx->create<DayTask>(QStringLiteral("Stretch"), day);
        t->setWeekItem(d->ctx->findByID<WeekItem>(item));
    }
    laptop.ctx->create<DayTask>(QStringLiteral("Deep work"), day)->setSourceTemplateID(block);
    DayTask* phones = phone.ctx->create<DayTask>(QStringLiteral("Deep work"), day);
    phones->setSourceTemplateID(block);
    phones->setOnlyCompleteFlag(true);
    laptop.at(t0 + 60);
    laptop.ctx->create<DayTask>(QStringLiteral("Write"), day)->setIsTodaysOneThing(true);
    phone.at(t0 + 120);
    phone.ctx->create<DayTask>(QStringLiteral("Read"), day)->setIsTodaysOneThing(true);

    for (int round = 0; round < 2; ++round) {
        laptop.sync();
        phone.sync();
    }
    for (Device* d : {&laptop, &phone}) {
        int blockTasks = 0, itemTasks = 0;
        QStringList flagged;
        for (const DayTask* t : d->ctx->fetch<DayTask>()) {
            if (t->sourceTemplateID() == block) {
                ++blockTasks;
                EXPECT_TRUE(t->isComplete());
            }
            itemTasks += t->weekItem() && t->weekItem()->id() == item;
            if (t->isTodaysOneThing())
                flagged << t->title();
        }
        EXPECT_EQ(blockTasks, 1);
        EXPECT_EQ(itemTasks, 1);
        EXPECT_EQ(flagged, QStringList{"Read"});
    }
}

// What a device holds, the same on every device: the records by id, dates
// (a task's day, a goal's target, a week's span) as calendar days.
OrvanaExport contentsOf(const Device& d) {
    OrvanaExport doc = DataExportService::exportDocument(*d.ctx, 0);
    auto byID = [](auto& list) {
        std::sort(list.begin(), list.end(),
                  [](const auto& a, const auto& b) { return a.id.toString() < b.id.toString(); });
    };
    byID(doc.goals), byID(doc.weeks), byID(doc.weekItems), byID(doc.dayTasks);
    byID(doc.focusBlockTemplates), byID(doc.trailEntries);
    doc.focusSessions.clear();
    auto day = [&](Timestamp t) {
        const DateComponents c = d.calendar.components(t);
        return Timestamp(QDate(c.year, c.month, c.day).toJulianDay());
    };
    for (GoalExport& g : doc.goals)
        g.targetDate = g.targetDate ? std::optional(day(*g.targetDate)) : std::nullopt;
    for (WeekExport& w : doc.weeks)
        w.startDate = day(w.startDate), w.endDate = day(w.endDate);
    for (DayTaskExport& t : doc.dayTasks)
        t.date = day(t.date);
    return doc;
}

// Every record type travels, from Berlin to New York and back: goals, weeks
// and their items, tasks (their days the same calendar days there), blocks
// (at the same local hour) and focus minutes, whose day lists both devices
// add to at once and which merge as their union.
TEST_P(SyncEngineTest, EverythingTravelsAcrossZones) {
    CalDavServer server(GetParam());
    ASSERT_TRUE(server.ready());
    const Timestamp t0 = 1'796'718'600; // 8 Dec 2026, 09:30 in Berlin, 03:30 in New York
    Device laptop(server, t0), phone(server, t0, Calendar(QTimeZone("America/New_York"), 1));
    ModelContext& ctx = *laptop.ctx;
    const Calendar& berlin = laptop.calendar;
    Goal* goal = ctx.create<Goal>(QStringLiteral("Marathon"), QStringLiteral("Sub 4 h"),
                                  t0 + 90 * 86'400, GoalStatus::active, QStringLiteral("blue"));
    const DateInterval span = *berlin.weekInterval(t0);
    Week* week = ctx.create<Week>(span.start, span.end, QStringLiteral("Base miles"));
    WeekItem* item = ctx.create<WeekItem>(QStringLiteral("Three runs"));
    item->setWeek(week);
    item->setGoal(goal);
    DayTask* task = ctx.create<DayTask>(QStringLiteral("Run"), berlin.startOfDay(t0));
    task->setWeekItem(item);
    task->setGoal(goal);
    ctx.create<FocusBlockTemplate>(QStringLiteral("Deep work"), std::vector<qint64>{2, 4}, 9, 0, 45)
        ->setGoal(goal);
    for (int i = 0; i < 3; ++i)
        ctx.create<TrailEntry>(t0 - i * 43'200, 25, goal);
    laptop.sync();
    // Another client sees the block as a weekly event at 09:00 Berlin time,
    // and the goal as a to-do, which it renames.
    const SyncAccount account = ctx.store()->sync()->account().value();
    auto calendarOf = [&](SyncCollection c) { return account.collections[std::size_t(c)]; };
    const QString block = sync::uidOf(ctx.fetch<FocusBlockTemplate>().front()->id());
    EXPECT_EQ(foreignClient(server, calendarOf(SyncCollection::blocks), {"show", block, "RRULE"}),
              "FREQ=WEEKLY;BYDAY=MO,WE");
    EXPECT_TRUE(
        foreignClient(server, calendarOf(SyncCollection::blocks), {"show", block, "DTSTART"})
            .endsWith("T090000"));
    foreignClient(server, calendarOf(SyncCollection::plan),
                  {"rename", sync::uidOf(goal->id()), "Marathon in spring"});
    phone.sync();
    EXPECT_EQ(phone.ctx->findByID<Goal>(goal->id())->title(), "Marathon in spring");
    // The phone's own minutes of the same day, logged while the laptop logs more.
    phone.ctx->create<TrailEntry>(t0 + 600, 30, phone.ctx->findByID<Goal>(goal->id()));
    ctx.create<TrailEntry>(t0 + 900, 15, goal);
    for (int round = 0; round < 2; ++round) {
        laptop.sync();
        phone.sync();
    }

    const OrvanaExport here = contentsOf(laptop), there = contentsOf(phone);
    EXPECT_EQ(there, here);
    EXPECT_EQ(here.trailEntries.size(), 5u);
    EXPECT_EQ(here.dayTasks.size(), 1u);
    // Nothing left to send, and nothing sent twice.
    EXPECT_EQ(laptop.sync().sent + phone.sync().sent, 0);

    // The week item deleted on the laptop (its task with it) while the phone
    // ticked that task: the change wins, and both come back.
    const QUuid itemID = item->id(), taskID = task->id();
    ctx.remove(item);
    phone.at(t0 + 300);
    phone.ctx->findByID<DayTask>(taskID)->setOnlyCompleteFlag(true);
    laptop.sync();
    phone.sync();
    laptop.sync();
    ASSERT_NE(ctx.findByID<DayTask>(taskID), nullptr);
    EXPECT_TRUE(ctx.findByID<DayTask>(taskID)->isComplete());
    EXPECT_EQ(ctx.findByID<DayTask>(taskID)->weekItem(), ctx.findByID<WeekItem>(itemID));
    EXPECT_NE(ctx.findByID<WeekItem>(itemID), nullptr);
}

// Two devices that each planned the week of the same day end with one week
// holding both devices' items.
TEST_P(SyncEngineTest, WeeksOfOneDayBecomeOne) {
    CalDavServer server(GetParam());
    ASSERT_TRUE(server.ready());
    const Timestamp t0 = 1'796'718'600;
    Device laptop(server, t0), phone(server, t0);
    const DateInterval span = *laptop.calendar.weekInterval(t0);
    for (Device* d : {&laptop, &phone}) {
        Week* week = d->ctx->create<Week>(span.start, span.end);
        d->ctx
            ->create<WeekItem>(d == &laptop ? QStringLiteral("Laptop's item")
                                            : QStringLiteral("Phone's item"))
            ->setWeek(week);
    }
    laptop.ctx->fetch<Week>().front()->setIntention(QStringLiteral("Rest"));
    for (int round = 0; round < 2; ++round) {
        laptop.sync();
        phone.sync();
    }
    laptop.sync();
    for (Device* d : {&laptop, &phone}) {
        const std::vector<Week*> weeks = d->ctx->fetch<Week>();
        ASSERT_EQ(weeks.size(), 1u);
        EXPECT_EQ(weeks.front()->items().size(), 2u);
        EXPECT_EQ(weeks.front()->intention(), "Rest");
    }
    EXPECT_EQ(laptop.ctx->fetch<Week>().front()->id(), phone.ctx->fetch<Week>().front()->id());
}

// A server that forgot a token lists everything again: what it lost is sent
// again, never deleted here. A server that lost the account's mark (reset,
// restored, another account) stops the sync until the user allows it; then
// it gets everything again.
TEST_P(SyncEngineTest, AServerThatLostThingsNeverDeletesThem) {
    CalDavServer server(GetParam());
    ASSERT_TRUE(server.ready());
    const Timestamp t0 = 1'796'718'600;
    Device laptop(server, t0);
    const Timestamp day = laptop.calendar.startOfDay(t0);
    DayTask* run = laptop.ctx->create<DayTask>(QStringLiteral("Run"), day);
    laptop.ctx->create<DayTask>(QStringLiteral("Swim"), day);
    laptop.sync();
    const SyncAccount account = laptop.ctx->store()->sync()->account().value();
    const QString tasks = account.collections[std::size_t(SyncCollection::tasks)];
    const QString runHref = tasks + sync::uidOf(run->id()) + ".ics";
    auto removeThere = [&](const QString& href) {
        const DavReply there = QCoro::waitFor(laptop.client.get(href)).value();
        ASSERT_EQ(QCoro::waitFor(laptop.client.remove(href, there.etag)).value().status / 100, 2);
    };

    removeThere(runHref);
    ASSERT_TRUE(laptop.ctx->store()
                    ->changeSync([&](SyncState& s) {
                        return s.setToken(int(SyncCollection::tasks), "http://x/forgotten");
                    })
                    .ok());
    const SyncReport resynced = laptop.sync();
    EXPECT_EQ(resynced.removedHere, 0);
    EXPECT_EQ(resynced.sent, 1);
    EXPECT_EQ(QCoro::waitFor(laptop.client.get(runHref)).value().status, 200);

    removeThere(accountMarkPath(account));
    laptop.at(t0 + 60);
    laptop.task("Swim")->setTitle(QStringLiteral("Swim 1 km"));
    const SyncReport stopped = laptop.sync();
    EXPECT_TRUE(stopped.identityLost);
    EXPECT_EQ(laptop.ctx->fetch<DayTask>().size(), 2u);
    EXPECT_EQ(laptop.ctx->store()->sync()->pendingCount().value(), 1);
    laptop.sync(true);
    laptop.sync();
    const SyncReport settled = laptop.sync();
    EXPECT_EQ(settled.sent + settled.heldBack + settled.received, 0);
    EXPECT_NE(laptop.task("Swim 1 km"), nullptr);
    EXPECT_EQ(QCoro::waitFor(laptop.client.get(accountMarkPath(account))).value().status, 200);
}

INSTANTIATE_TEST_SUITE_P(Servers, SyncEngineTest,
                         ::testing::Values(CalDavServer::Kind::radicale,
                                           CalDavServer::Kind::xandikos),
                         test::serverName);

} // namespace

namespace {

// A pull is no undo step of the laptop's. Its own step over another task
// still undoes; the one over the task the phone changed is dropped, so undo
// never writes the old title over the one that arrived.
TEST_P(SyncEngineTest, UndoAfterAPullKeepsOtherStepsAndNeverWritesOverWhatArrived) {
    CalDavServer server(GetParam());
    ASSERT_TRUE(server.ready());
    const Timestamp t0 = 1'796'718'600;
    Device laptop(server, t0), phone(server, t0);
    const Timestamp day = laptop.calendar.startOfDay(t0);
    laptop.ctx->create<DayTask>(QStringLiteral("Run"), day);
    laptop.ctx->create<DayTask>(QStringLiteral("Swim"), day);
    laptop.sync();
    phone.sync();

    UndoManager* undo = laptop.ctx->ensureUndoManager();
    laptop.at(t0 + 60);
    laptop.task("Swim")->setNotes(QStringLiteral("1 km"));
    undo->closeImplicitGroup();
    DayTask* run = laptop.task("Run");
    run->setTitle(QStringLiteral("Run 5 km"));
    undo->closeImplicitGroup();
    ASSERT_TRUE(laptop.ctx->save().ok()); // changed before the phone's edit
    phone.at(t0 + 120);
    phone.task("Run")->setTitle(QStringLiteral("Run 10 km"));
    phone.sync();
    laptop.at(t0 + 180);
    laptop.sync();
    ASSERT_EQ(run->title(), QStringLiteral("Run 10 km"));
    EXPECT_EQ(undo->undoCount(), 1u);

    undo->undo();
    EXPECT_EQ(laptop.task("Swim")->notes(), std::nullopt);
    EXPECT_EQ(run->title(), QStringLiteral("Run 10 km"));
    EXPECT_FALSE(undo->canUndo());
}

// What a pull brings keeps the laptop's reminders in step: a task ticked on
// the phone withdraws its reminder here, one that arrives with a reminder
// gets it.
TEST_P(SyncEngineTest, APullReplansTheRemindersOfWhatArrived) {
    CalDavServer server(GetParam());
    ASSERT_TRUE(server.ready());
    const Timestamp t0 = 1'796'718'600;
    Device laptop(server, t0), phone(server, t0);
    const Timestamp day = laptop.calendar.startOfDay(t0);
    test::FakeNotificationCenter center;
    NotificationService notifications(center, laptop.ctx->clockFunction(), laptop.calendar);
    RecordNotificationKeeper keeper(*laptop.ctx, notifications);
    DayTask* call = laptop.ctx->create<DayTask>(QStringLiteral("Call"), day);
    call->setReminderAt(t0 + 3600);
    QCoro::waitFor(notifications.scheduleReminder(*call));
    laptop.sync();
    phone.sync();
    const QString callReminder = NotificationService::reminderIdentifier(call->id());
    ASSERT_EQ(center.pending.count(callReminder), 1u);

    phone.at(t0 + 60);
    phone.task("Call")->setComplete(true);
    phone.ctx->create<DayTask>(QStringLiteral("Book"), day)->setReminderAt(t0 + 7200);
    phone.sync();
    laptop.at(t0 + 120);
    laptop.sync();
    DayTask* book = laptop.task("Book");
    ASSERT_NE(book, nullptr);
    const QString bookReminder = NotificationService::reminderIdentifier(book->id());
    ASSERT_TRUE(QTest::qWaitFor([&] { return center.pending.count(bookReminder) == 1; }));
    EXPECT_EQ(center.pending.at(bookReminder).delaySeconds, 7080.0);
    EXPECT_EQ(center.pending.count(callReminder), 0u);
}

} // namespace
