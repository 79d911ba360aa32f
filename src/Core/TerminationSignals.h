#pragma once

#include <functional>

namespace orvana {

// Delivers SIGTERM, SIGINT and SIGHUP (log-out, Ctrl+C, closed terminal) to
// `handler` in the event loop, once per signal, instead of killing the
// process, so it can finish its work in order. Call once, after the
// application object exists.
void onTerminationSignals(std::function<void()> handler);

// The usual handler: an orderly QCoreApplication::quit(), so pending changes
// are saved instead of being lost with the process.
void quitOnTerminationSignals();

} // namespace orvana
