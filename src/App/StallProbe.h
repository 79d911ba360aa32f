#pragma once

#include <QString>

namespace orvana {

// For bench/startup-time: when ORVANA_STALL_PROBE names a file, measures for
// `seconds` how long the event loop went without turning (the longest gap
// between ticks of a 10 ms timer, less the 10 ms) and writes that number of
// milliseconds to the file. Nothing happens without the variable.
void startStallProbeIfAsked(int seconds = 8);

} // namespace orvana
