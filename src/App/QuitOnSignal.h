#pragma once

namespace orvana {

// Turns SIGTERM, SIGINT and SIGHUP (log-out, Ctrl+C, closed terminal) into an
// orderly QCoreApplication::quit(), so pending changes are saved instead of
// being lost with the process. Call once, after the application object exists.
void quitOnTerminationSignals();

} // namespace orvana
