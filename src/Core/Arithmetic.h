#pragma once

#include <QtGlobal>
#include <limits>

namespace orvana {

// a + b, held at the 64-bit limits instead of overflowing: minute sums over
// imported data may hold absurd values.
inline qint64 saturatingAdd(qint64 a, qint64 b) {
    qint64 sum;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    return sum;
}

} // namespace orvana
