#pragma once

#include <QStringList>

namespace orvana {

// The application entry: parses the command line, opens the store and shows
// the main window. Returns the process exit status.
class OrvanaApp {
public:
    static int run(int argc, char** argv);
};

} // namespace orvana
