// Feeds arbitrary bytes to what reads a CalDAV server's answers: the
// multistatus reader and the calendar-object reader, then every record type
// read from the object, written back over it and read again. None may
// crash, hang or grow without bound; what is written must parse, and a
// record read from Orvana's own writing must be the record written.
#include "Sync/CalendarObject.h"
#include "Sync/RecordMapping.h"
#include "Sync/WebDav.h"

#include <QCoreApplication>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace orvana;

CalendarObject reparsed(const CalendarObject& written) {
    Result<CalendarObject> again = CalendarObject::parse(written.bytes());
    if (!again.ok())
        std::abort(); // Orvana wrote what it cannot read
    return again.value();
}

// Read, written over the server's copy, read again: the same record.
template <class T, class Read, class Write>
void roundTrip(const CalendarObject& object, Read read, Write write) {
    const T record = read(object);
    if (read(reparsed(write(record, object))) != record)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)dav::parseMultistatus(bytes);
    Result<CalendarObject> parsed = CalendarObject::parse(bytes);
    if (!parsed.ok())
        return 0;
    const CalendarObject& object = parsed.value();
    static const Calendar calendar(QTimeZone("America/New_York"), 1);
    const Timestamp now = 1'796'718'600;
    for (const SyncCollection collection : {SyncCollection::tasks, SyncCollection::plan,
                                            SyncCollection::blocks, SyncCollection::focusLog})
        (void)sync::recordTypeOf(object, collection);

    const DayTaskExport task = sync::readDayTask(object, nullptr, calendar, now);
    (void)reparsed(sync::writeDayTask(task, &object, calendar, now));

    roundTrip<GoalExport>(
        object, [&](const CalendarObject& o) { return sync::readGoal(o, nullptr, calendar, now); },
        [&](const GoalExport& g, const CalendarObject& o) {
            return sync::writeGoal(g, &o, calendar, now);
        });
    const WeekExport week = sync::readWeek(object, nullptr, calendar, now);
    roundTrip<WeekExport>(
        object, [&](const CalendarObject& o) { return sync::readWeek(o, nullptr, calendar, now); },
        [&](const WeekExport& w, const CalendarObject& o) {
            return sync::writeWeek(w, &o, calendar, now);
        });
    roundTrip<WeekItemExport>(
        object,
        [&](const CalendarObject& o) { return sync::readWeekItem(o, nullptr, calendar, now); },
        [&](const WeekItemExport& i, const CalendarObject& o) {
            return sync::writeWeekItem(i, &week, &o, calendar, now);
        });
    roundTrip<FocusBlockTemplateExport>(
        object, [&](const CalendarObject& o) { return sync::readBlock(o, nullptr, calendar, now); },
        [&](const FocusBlockTemplateExport& b, const CalendarObject& o) {
            return sync::writeBlock(b, &o, calendar, now);
        });
    roundTrip<std::vector<TrailEntryExport>>(
        object, [](const CalendarObject& o) { return sync::readTrailDay(o); },
        [&](const std::vector<TrailEntryExport>& entries, const CalendarObject& o) {
            return sync::writeTrailDay(QDate(2026, 12, 8), entries, &o, now);
        });
    return 0;
}
