#pragma once

#include <QtGlobal>
#include <algorithm>

namespace orvana {

// What a stepper holds after a value is typed or stepped into it: the
// nearest multiple of the step (halves up), within the range. Typed digits
// land where the arrows could have taken them (7 minutes in steps of 5 become
// 5). A range widened to hold a stored value off the step keeps its ends.
constexpr qint64 steppedValue(qint64 value, qint64 minimum, qint64 maximum, qint64 step) {
    value = std::clamp(value, minimum, maximum); // also keeps the sums below in range
    if (step > 1) {
        const qint64 below = ((value % step) + step) % step;
        value += 2 * below >= step ? step - below : -below;
    }
    return std::clamp(value, minimum, maximum);
}

} // namespace orvana
