#pragma once

#include <QtGlobal>

namespace orvana {

// The number shown on the app's launcher icon (the dock badge elsewhere).
class LauncherBadge {
public:
    virtual ~LauncherBadge() = default;
    // 0 removes the badge.
    virtual void setCount(qint64 count) = 0;
};

} // namespace orvana
