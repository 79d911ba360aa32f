// Feeds arbitrary bytes to what reads a CalDAV server's answers: the
// multistatus reader and the calendar-object reader, then a day task read
// from the object, written back over it and read again. None may crash,
// hang or grow without bound; what is written must read back.
#include "Sync/CalendarObject.h"
#include "Sync/RecordMapping.h"
#include "Sync/WebDav.h"

#include <QCoreApplication>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvana;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)dav::parseMultistatus(bytes);
    Result<CalendarObject> object = CalendarObject::parse(bytes);
    if (!object.ok())
        return 0;
    static const Calendar calendar(QTimeZone("America/New_York"), 1);
    const Timestamp now = 1'796'718'600;
    const DayTaskExport task = sync::readDayTask(object.value(), nullptr, calendar, now);
    const QByteArray written = sync::writeDayTask(task, &object.value(), calendar, now).bytes();
    if (!CalendarObject::parse(written).ok())
        std::abort(); // Orvana wrote what it cannot read
    return 0;
}
