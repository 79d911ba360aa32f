#include "Views/Overview/DurationText.h"

namespace orvana {

QString formattedDuration(qint64 minutes) {
    const qint64 h = minutes / 60;
    const qint64 m = minutes - 60 * h;
    if (h == 0)
        return QStringLiteral("%1m").arg(m);
    if (m == 0)
        return QStringLiteral("%1h").arg(h);
    return QStringLiteral("%1h %2m").arg(h).arg(m);
}

} // namespace orvana
