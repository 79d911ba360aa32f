#pragma once

#include <QStringList>

namespace orvana {

// The verbs of the `orvana` command (export, import, backup, today, goals,
// stats): the same store, preferences and folders as the app, no display.
// Exit status 0 on success, 1 on failure (one line on stderr), 2 on a usage
// error.
class CommandLine {
public:
    static bool isVerb(const QString& word);
    // `arguments` starts with the program name; a QCoreApplication exists.
    static int run(const QStringList& arguments);
    // The verbs' part of `orvana --help`.
    static QString verbsHelp();
};

} // namespace orvana
