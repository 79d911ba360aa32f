#include "support/TestSupport.h"

#include <QDateTime>
#include <QFile>

namespace orvana::test {

void drainEvents() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

Timestamp at(const QTimeZone& zone, int year, int month, int day, int hour, int minute,
             int second) {
    return fromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second), zone));
}

Calendar berlinMondayFirst() {
    return Calendar(QTimeZone("Europe/Berlin"), 2);
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace orvana::test
