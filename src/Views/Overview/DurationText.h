#pragma once

#include <QString>

namespace orvana {

// A number of minutes as the user reads it: 45 -> "45m", 120 -> "2h",
// 135 -> "2h 15m".
QString formattedDuration(qint64 minutes);

} // namespace orvana
