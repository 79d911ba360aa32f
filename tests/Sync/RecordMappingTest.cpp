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
    t.createdAt = now - 86'400;
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

} // namespace
