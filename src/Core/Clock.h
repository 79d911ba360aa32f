#pragma once

#include "Core/Timestamp.h"

#include <functional>

namespace orvana {

// "Now", injected. The default reads the system clock.
using Clock = std::function<Timestamp()>;

inline Clock systemClock() {
    return [] { return systemNow(); };
}

} // namespace orvana
