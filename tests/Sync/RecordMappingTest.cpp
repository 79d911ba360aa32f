#include "Sync/RecordMapping.h"

#include <gtest/gtest.h>

namespace {

using namespace orvana;

const Calendar berlin(QTimeZone("Europe/Berlin"), 2);
const Calendar newYork(QTimeZone("America/New_York"), 1);
// 2026-12-08 09:30 in Berlin.
const Timestamp now = 1'796'718'600;

Timestamp day8(const Calendar& calendar) {
    return calendar.startOfDay(*calendar.date({2026, 12, 8, 12}));
}

DayTaskExport sampleTask() {
    DayTaskExport t;
    t.id = QUuid("{0b7e6a2c-1f1a-4c55-9a0e-5a1c3b9d2e10}");
    t.title = QStringLiteral("Long run, 12 km");
    t.notes = QStringLiteral("Easy pace;\nhydrate");
    t.date = day8(berlin);
    t.isComplete = true;
    t.isTodaysOneThing = true;
    t.sortOrder = 7;
    t.createdAt = now - 86'400.25;
    t.sourceTemplateID = QUuid::createUuid();
    t.weekItemID = QUuid::createUuid();
    t.goalID = QUuid::createUuid();
    t.reminderAt = now + 3'600;
    return t;
}

// Written in Berlin, read in New York: every field comes back, and the task
// for 8 Dec is on 8 Dec there too.
TEST(RecordMapping, DayTaskRoundTripsAcrossZones) {
    const DayTaskExport task = sampleTask();
    auto parsed = CalendarObject::parse(sync::writeDayTask(task, nullptr, berlin, now).bytes());
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.value().uid(), "0B7E6A2C-1F1A-4C55-9A0E-5A1C3B9D2E10");
    EXPECT_EQ(sync::readDayTask(parsed.value(), nullptr, berlin, now), task);

    DayTaskExport there = sync::readDayTask(parsed.value(), nullptr, newYork, now);
    EXPECT_EQ(there.date, day8(newYork));
    there.date = task.date;
    EXPECT_EQ(there, task);
}

// A to-do typed on a phone: no DUE, none of Orvana's fields, done the way
// some apps mark it (COMPLETED without STATUS).
TEST(RecordMapping, AnotherClientsToDoBecomesATaskForToday) {
    auto object = CalendarObject::parse("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\n"
                                        "BEGIN:VTODO\r\nUID:phone-42@example.org\r\n"
                                        "SUMMARY:Call the dentist\r\n"
                                        "COMPLETED:20261208T080000Z\r\n"
                                        "END:VTODO\r\nEND:VCALENDAR\r\n");
    ASSERT_TRUE(object.ok());
    const DayTaskExport task = sync::readDayTask(object.value(), nullptr, berlin, now);
    EXPECT_EQ(task.id, sync::idOf("phone-42@example.org"));
    EXPECT_EQ(task.title, "Call the dentist");
    EXPECT_EQ(task.date, berlin.startOfDay(now));
    EXPECT_TRUE(task.isComplete);
    EXPECT_FALSE(task.isTodaysOneThing);
    EXPECT_FALSE(task.goalID);

    // Written back, it keeps its UID.
    auto back =
        CalendarObject::parse(sync::writeDayTask(task, &object.value(), berlin, now).bytes());
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.value().uid(), "phone-42@example.org");
}

// Another client that rewrites the to-do without Orvana's X- fields does not
// clear them; its edits of standard properties are edits.
TEST(RecordMapping, DroppedOwnFieldsKeepTheBaseStandardOnesAreEdits) {
    const DayTaskExport base = sampleTask();
    CalendarObject edited = sync::writeDayTask(base, nullptr, berlin, now);
    for (const char* name :
         {"X-ORVANA-ONE-THING", "X-ORVANA-SORT", "X-ORVANA-WEEK-ITEM", "X-ORVANA-BLOCK"})
        edited.setText(name, std::nullopt);
    edited.setText("STATUS", QStringLiteral("NEEDS-ACTION"));
    edited.setText("DESCRIPTION", std::nullopt);
    edited.setReminder(std::nullopt, {});

    const DayTaskExport read = sync::readDayTask(edited, &base, berlin, now);
    EXPECT_TRUE(read.isTodaysOneThing);
    EXPECT_EQ(read.sortOrder, 7);
    EXPECT_EQ(read.weekItemID, base.weekItemID);
    EXPECT_EQ(read.sourceTemplateID, base.sourceTemplateID);
    EXPECT_FALSE(read.isComplete);
    EXPECT_FALSE(read.notes);
    EXPECT_FALSE(read.reminderAt);
}

// Orvana changes only its own alarm; another client's stays.
TEST(RecordMapping, WritingOverTheServersCopyKeepsOtherClientsAdditions) {
    DayTaskExport task = sampleTask();
    CalendarObject server = sync::writeDayTask(task, nullptr, berlin, now);
    auto withTheirs = CalendarObject::parse(
        server.bytes().replace("END:VTODO", "CATEGORIES:sport\r\nBEGIN:VALARM\r\nACTION:AUDIO\r\n"
                                            "TRIGGER:-PT10M\r\nEND:VALARM\r\nEND:VTODO"));
    ASSERT_TRUE(withTheirs.ok());

    task.reminderAt.reset();
    task.title = QStringLiteral("Long run, 14 km");
    const QByteArray bytes =
        sync::writeDayTask(task, &withTheirs.value(), berlin, now + 60).bytes();
    EXPECT_TRUE(bytes.contains("CATEGORIES:sport"));
    EXPECT_TRUE(bytes.contains("TRIGGER:-PT10M"));
    EXPECT_FALSE(bytes.contains("X-ORVANA-REMINDER"));
    EXPECT_TRUE(bytes.contains("SUMMARY:Long run\\, 14 km"));
    EXPECT_EQ(bytes.count("BEGIN:VALARM"), 1);

    task.reminderAt = now + 7'200;
    auto again = CalendarObject::parse(
        sync::writeDayTask(task, &withTheirs.value(), berlin, now + 60).bytes());
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again.value().reminder(), now + 7'200);
    EXPECT_TRUE(again.value().bytes().contains("TRIGGER;VALUE=DATE-TIME:"));
}

// What a server gives back: the bytes written, parsed again.
CalendarObject served(const CalendarObject& written) {
    auto parsed = CalendarObject::parse(written.bytes());
    EXPECT_TRUE(parsed.ok()) << written.bytes().constData();
    return parsed.ok() ? parsed.value() : written;
}

QDate dayIn(const Calendar& calendar, Timestamp t) {
    const DateComponents c = calendar.components(t);
    return QDate(c.year, c.month, c.day);
}

Timestamp at(int day, int hour, int minute) {
    return *berlin.date({2026, 12, day, hour, minute});
}

// An object written by another client that keeps none of Orvana's X- fields.
CalendarObject withoutOwnFields(const CalendarObject& object) {
    QByteArray kept;
    bool dropping = false;
    for (const QByteArray& line : object.bytes().split('\n')) {
        dropping = line.startsWith("X-ORVANA-") || (dropping && line.startsWith(' '));
        if (!dropping)
            kept += line + '\n';
    }
    auto parsed = CalendarObject::parse(kept);
    EXPECT_TRUE(parsed.ok()) << kept.constData();
    return parsed.ok() ? parsed.value() : object;
}

const QUuid goalID("{5d1f3a7e-0c44-4e1b-8f2d-7a9b6c3e1d20}");
const QUuid weekID("{9a2b4c6d-1e3f-4a5b-8c7d-0e1f2a3b4c5d}");

// Every value comes back exactly, also over a base that differs in every
// field (nothing and empty text are told apart from a dropped field). In
// New York dates keep their calendar day.
TEST(RecordMapping, GoalsRoundTripAcrossZones) {
    const std::vector<GoalExport> goals = {
        {QUuid::createUuid(), "Run a marathon", "Sub 4 h,\ntwice", now - 86'400.25,
         at(20, 0, 30) + 0.5, "archived", "blue", 3},
        {QUuid::createUuid(), "", "", now, std::nullopt, "paused", "mint", -2},
        {QUuid::createUuid(), "Read; more", std::nullopt, 12.5, at(8, 17, 0), "completed",
         std::nullopt, 0},
        {QUuid::createUuid(), "Rest", std::nullopt, now, std::nullopt, "", "", 1},
    };
    for (std::size_t i = 0; i < goals.size(); ++i) {
        const GoalExport& goal = goals[i];
        const GoalExport& other = goals[(i + 1) % goals.size()];
        const CalendarObject object = served(sync::writeGoal(goal, nullptr, berlin, now));
        EXPECT_EQ(sync::readGoal(object, nullptr, berlin, now), goal) << i;
        EXPECT_EQ(sync::readGoal(object, &other, berlin, now), goal) << i;
        GoalExport there = sync::readGoal(object, &other, newYork, now);
        ASSERT_EQ(there.targetDate.has_value(), goal.targetDate.has_value());
        if (goal.targetDate) {
            EXPECT_EQ(dayIn(newYork, *there.targetDate), dayIn(berlin, *goal.targetDate));
            there.targetDate = goal.targetDate;
        }
        EXPECT_EQ(there, goal) << i;
    }
    const QByteArray bytes = sync::writeGoal(goals[0], nullptr, berlin, now).bytes();
    for (const char* shown : {"DUE;VALUE=DATE:20261220", "STATUS:CANCELLED", "COLOR:blue"})
        EXPECT_TRUE(bytes.contains(shown)) << shown;
}

TEST(RecordMapping, WeekItemsAndWeeksRoundTripAcrossZones) {
    const WeekExport week{weekID, at(7, 0, 0), at(14, 0, 0),          "Ship the beta",
                          "",     now - 3.75,  at(13, 19, 45) + 0.125};
    const WeekExport bare{QUuid::createUuid(), at(7, 9, 15), at(14, 9, 15), std::nullopt,
                          "Calm\nweek",        99,           std::nullopt};
    for (const auto& [w, other] : {std::pair(week, bare), std::pair(bare, week)}) {
        const CalendarObject object = served(sync::writeWeek(w, nullptr, berlin, now));
        EXPECT_EQ(sync::readWeek(object, &other, berlin, now), w);
        WeekExport there = sync::readWeek(object, &other, newYork, now);
        EXPECT_EQ(dayIn(newYork, there.startDate), QDate(2026, 12, 7));
        EXPECT_EQ(dayIn(newYork, there.endDate), QDate(2026, 12, 14));
        // Written back there, it is the week of 7 Dec here still, from
        // Berlin's midnight: not New York's.
        const CalendarObject back = served(sync::writeWeek(there, &object, newYork, now));
        EXPECT_EQ(dayIn(berlin, sync::readWeek(back, &w, berlin, now).startDate),
                  QDate(2026, 12, 7));
        EXPECT_EQ(sync::readWeek(back, &w, berlin, now).startDate, berlin.startOfDay(at(7, 12, 0)));
        there.startDate = w.startDate;
        there.endDate = w.endDate;
        EXPECT_EQ(there, w);
    }

    const WeekItemExport item{
        QUuid::createUuid(), "Draft chapter 3", "", true, 4, now - 0.5, weekID, goalID};
    const WeekItemExport loose{QUuid::createUuid(), "Tidy up",   std::nullopt, false, -1, now,
                               std::nullopt,        std::nullopt};
    for (const auto& [i, other] : {std::pair(item, loose), std::pair(loose, item)}) {
        const CalendarObject object =
            served(sync::writeWeekItem(i, i.weekID ? &week : nullptr, nullptr, berlin, now));
        EXPECT_EQ(sync::readWeekItem(object, &other, berlin, now), i);
        EXPECT_EQ(sync::readWeekItem(object, &other, newYork, now), i);
    }
    const QByteArray bytes = sync::writeWeekItem(item, &week, nullptr, berlin, now).bytes();
    for (const char* shown : {"DTSTART;VALUE=DATE:20261207", "DUE;VALUE=DATE:20261213",
                              "RELATED-TO:5D1F3A7E-0C44-4E1B-8F2D-7A9B6C3E1D20"})
        EXPECT_TRUE(bytes.contains(shown)) << shown;
}

// A block written in Berlin stays at its local time on a New York device;
// stored numbers that a calendar cannot show still come back exactly.
TEST(RecordMapping, BlocksRoundTripAcrossZones) {
    const std::vector<FocusBlockTemplateExport> blocks = {
        {QUuid::createUuid(), "Deep work", now - 86'400.5, true, {4, 2, 4}, 9, 30, 45, goalID},
        {QUuid::createUuid(), "", now, false, {}, 0, 0, 0, std::nullopt},
        {QUuid::createUuid(), "Odd", -1e12, true, {9, 1}, 25, -1, 2'000, std::nullopt},
    };
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const FocusBlockTemplateExport& other = blocks[(i + 1) % blocks.size()];
        const CalendarObject object = served(sync::writeBlock(blocks[i], nullptr, berlin, now));
        EXPECT_EQ(sync::readBlock(object, &other, berlin, now), blocks[i]) << i;
        EXPECT_EQ(sync::readBlock(object, &other, newYork, now), blocks[i]) << i;
    }
    // Made on Monday 7 Dec: first on that Monday, then Mondays and Wednesdays.
    const QByteArray bytes = sync::writeBlock(blocks[0], nullptr, berlin, now).bytes();
    for (const char* shown :
         {"DTSTART;TZID=Europe/Berlin:20261207T093000", "TZID:Europe/Berlin", "DURATION:PT45M",
          "RRULE:FREQ=WEEKLY;BYDAY=MO,WE", "STATUS:CONFIRMED"})
        EXPECT_TRUE(bytes.contains(shown)) << shown;
    EXPECT_FALSE(sync::writeBlock(blocks[1], nullptr, berlin, now).bytes().contains("FREQ=WEEKLY"));
}

TEST(RecordMapping, TrailDaysListTheirEntries) {
    const std::vector<TrailEntryExport> entries = {
        {QUuid::createUuid(), at(8, 10, 5) + 0.375, 25, at(8, 10, 30) + 0.001, goalID},
        {QUuid::createUuid(), at(8, 23, 59), 70, at(9, 0, 1), std::nullopt},
    };
    CalendarObject object = served(sync::writeTrailDay(QDate(2026, 12, 8), entries, nullptr, now));
    EXPECT_EQ(object.uid(), "focus-20261208");
    EXPECT_EQ(sync::readTrailDay(object), entries);
    for (const char* shown :
         {"DTSTART;VALUE=DATE:20261208", "TRANSP:TRANSPARENT", "SUMMARY:Focus: 95 min"})
        EXPECT_TRUE(object.bytes().contains(shown)) << shown;

    // Lines another client mangled are skipped; the rest stay in order.
    std::vector<QString> lines = object.texts("X-ORVANA-ENTRY");
    lines.insert(lines.begin() + 1,
                 {QStringLiteral("not an entry"),
                  QString(lines[0]).replace(QStringLiteral(" 25 "), QStringLiteral(" x ")),
                  lines[1] + QStringLiteral(" extra")});
    object.setTexts("X-ORVANA-ENTRY", lines);
    EXPECT_EQ(sync::readTrailDay(served(object)), entries);
}

// Dropped X- fields keep the base; standard properties another client
// changed are edits, and win over the X- fields that disagree with them.
TEST(RecordMapping, ForeignEditsAndDroppedOwnFieldsAcrossRecords) {
    const GoalExport goal{goalID,        "Marathon", "Sub 4 h", now - 0.5,
                          at(20, 15, 0), "archived", "mint",    3};
    EXPECT_EQ(sync::readGoal(withoutOwnFields(sync::writeGoal(goal, nullptr, berlin, now)), &goal,
                             berlin, now),
              goal);
    CalendarObject edited = served(sync::writeGoal(goal, nullptr, berlin, now));
    edited.setText("STATUS", QStringLiteral("COMPLETED"));
    edited.setDay("DUE", QDate(2026, 12, 24));
    edited.setText("COLOR", QStringLiteral("teal"));
    GoalExport expected = goal;
    expected.status = "completed";
    expected.targetDate = at(24, 0, 0);
    expected.colorTag = "teal";
    EXPECT_EQ(sync::readGoal(edited, &goal, berlin, now), expected);

    const WeekExport week{weekID, at(7, 0, 0), at(14, 0, 0), "Focus", std::nullopt, now, now};
    EXPECT_EQ(sync::readWeek(withoutOwnFields(sync::writeWeek(week, nullptr, berlin, now)), &week,
                             berlin, now),
              week);
    CalendarObject moved = served(sync::writeWeek(week, nullptr, berlin, now));
    moved.setDay("DTSTART", QDate(2026, 12, 6));
    const WeekExport movedWeek = sync::readWeek(moved, &week, berlin, now);
    EXPECT_EQ(movedWeek.startDate, at(6, 0, 0));
    EXPECT_EQ(movedWeek.endDate, at(13, 0, 0));

    const WeekItemExport item{
        QUuid::createUuid(), "Draft", "Outline", false, 4, now, weekID, goalID};
    CalendarObject ticked =
        withoutOwnFields(sync::writeWeekItem(item, &week, nullptr, berlin, now));
    ticked.setText("STATUS", QStringLiteral("COMPLETED"));
    WeekItemExport tickedItem = item;
    tickedItem.isComplete = true;
    EXPECT_EQ(sync::readWeekItem(ticked, &item, berlin, now), tickedItem);

    const FocusBlockTemplateExport block{
        QUuid::createUuid(), "Deep work", now, true, {2, 4, 2}, 9, 30, 45, goalID};
    EXPECT_EQ(sync::readBlock(withoutOwnFields(sync::writeBlock(block, nullptr, berlin, now)),
                              &block, newYork, now),
              block);
    CalendarObject rescheduled = served(sync::writeBlock(block, nullptr, berlin, now));
    rescheduled.setText("RRULE", QStringLiteral("FREQ=WEEKLY;BYDAY=TU,TH"));
    rescheduled.setText("DURATION", QStringLiteral("PT1H30M"));
    rescheduled.setText("STATUS", QStringLiteral("CANCELLED"));
    FocusBlockTemplateExport expectedBlock = block;
    expectedBlock.weekdays = {3, 5};
    expectedBlock.durationMinutes = 90;
    expectedBlock.isActive = false;
    EXPECT_EQ(sync::readBlock(served(rescheduled), &block, berlin, now), expectedBlock);
}

CalendarObject made(CalendarObject::Kind kind, const QString& uid, const char* mark = nullptr,
                    const QString& value = {}) {
    CalendarObject o(kind, uid);
    if (mark)
        o.setText(mark, value);
    return o;
}

TEST(RecordMapping, RecordTypeOfEachCalendarsObjects) {
    using K = CalendarObject::Kind;
    using C = SyncCollection;
    const struct {
        CalendarObject object;
        SyncCollection calendar;
        std::optional<EntityType> type;
    } cases[] = {
        {made(K::todo, "A"), C::tasks, EntityType::dayTask},
        {made(K::event, "A"), C::tasks, std::nullopt},
        {made(K::todo, "A", "X-ORVANA-KIND", "week-item"), C::plan, EntityType::weekItem},
        {made(K::todo, "A", "X-ORVANA-KIND", "goal"), C::plan, EntityType::goal},
        {made(K::todo, "phone-1"), C::plan, EntityType::goal},
        {made(K::journal, "A"), C::plan, EntityType::week},
        {made(K::journal, "ORVANA-ACCOUNT-1", "X-ORVANA-ACCOUNT", "1"), C::plan, std::nullopt},
        {made(K::event, "A"), C::plan, std::nullopt},
        {made(K::event, "A"), C::blocks, EntityType::focusBlockTemplate},
        {made(K::todo, "A"), C::blocks, std::nullopt},
        {made(K::event, sync::trailDayUid(QDate(2026, 12, 8))), C::focusLog,
         EntityType::trailEntry},
        {made(K::event, "birthday@example.org"), C::focusLog, std::nullopt},
        {made(K::todo, "focus-20261208"), C::focusLog, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sync::recordTypeOf(c.object, c.calendar), c.type) << c.object.uid().toStdString();
}

} // namespace
