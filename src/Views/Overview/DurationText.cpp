#include "Views/Overview/DurationText.h"

#include <QCoreApplication>
#include <QLocale>

namespace orvana {

QString formattedDuration(qint64 minutes) {
    const qint64 h = minutes / 60;
    const qint64 m = minutes - 60 * h;
    const QLocale locale;
    if (h == 0)
        return QCoreApplication::translate("orvana::DurationText", "%1m", "minutes")
            .arg(locale.toString(m));
    if (m == 0)
        return QCoreApplication::translate("orvana::DurationText", "%1h", "hours")
            .arg(locale.toString(h));
    return QCoreApplication::translate("orvana::DurationText", "%1h %2m", "hours and minutes")
        .arg(locale.toString(h), locale.toString(m));
}

} // namespace orvana
