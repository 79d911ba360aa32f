#pragma once

#include "Core/Timestamp.h"

#include <QString>

namespace orvana {

class SyncController;

// The sync's state in one short line, as the sidebar, Settings and the tray
// show it: "Last synced 2 min ago", "Syncing… 120 of 4,152 sent", the error
// in words, or that it waits for an answer. `now` is the wall clock.
QString syncStatusLine(const SyncController& sync, Timestamp now);

} // namespace orvana
