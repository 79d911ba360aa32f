#pragma once

#include <QString>

namespace orvana {

// For bench/startup-time: when ORVANA_STALL_PROBE names a file, measures for
// `seconds` how long the event loop went without turning (the longest gap
// between ticks of a 10 ms timer, less the 10 ms) and writes that number of
// milliseconds to the file. Nothing happens without the variable.
void startStallProbeIfAsked(int seconds = 8);

class SyncController;

// For bench/sync-window: when ORVANA_SYNC_STALL_PROBE names a file, measures
// the same during the app's first sync cycle and writes the longest gap and
// the cycle's length, both in milliseconds, to the file when it ends.
void probeStallsDuringFirstSync(SyncController& sync);

} // namespace orvana
