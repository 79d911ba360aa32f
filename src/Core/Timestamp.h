#pragma once

#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace orvana {

// An absolute instant: seconds since 1970-01-01T00:00:00Z. Durations are plain
// double seconds as well.
using Timestamp = double;

inline QDateTime toDateTime(Timestamp t) {
    // Imported values can be anything; keep them within QDateTime's range
    // (about ±270 000 years) instead of overflowing the conversion.
    constexpr double limitMs = 8.64e15;
    const double ms = std::isnan(t) ? 0.0 : std::clamp(std::floor(t * 1000.0), -limitMs, limitMs);
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(ms), Qt::UTC);
}

inline Timestamp fromDateTime(const QDateTime& dt) {
    return static_cast<double>(dt.toMSecsSinceEpoch()) / 1000.0;
}

// The current instant from the system clock. Core code never calls this
// directly; it takes a Clock so tests can pin "now".
inline Timestamp systemNow() {
    return static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
}

} // namespace orvana
