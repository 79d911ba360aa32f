#pragma once

#include <QStringList>

namespace orvana {

// `orvana sync …`: signing in to a CalDAV server, the state of sync,
// signing out. Exit status 0, 1 on failure (one line on stderr), 2 on a
// usage error.
class SyncCommand {
public:
    // `arguments` follow the word "sync".
    static int run(const QStringList& arguments);
};

} // namespace orvana
