#pragma once

#include <QString>

namespace orvana {

// The one place that knows where Orvana keeps its files, after the XDG base
// directories (QStandardPaths, so tests in test mode never reach real files).
// Every path names the file or folder itself; folders may not exist yet.
struct AppPaths {
    QString storeFile;            // $XDG_DATA_HOME/Orvana/Orvana.sqlite
    QString backupsDirectory;     // $XDG_DATA_HOME/Orvana/Backups
    QString secretsFile;          // $XDG_DATA_HOME/Orvana/secrets.json (no keyring)
    QString reviewProxyDatabase;  // $XDG_DATA_HOME/Orvana/review-proxy.sqlite
    QString preferencesFile;      // $XDG_CONFIG_HOME/Orvana/preferences.json
    QString autostartFile;        // $XDG_CONFIG_HOME/autostart/app.orvana.Orvana.desktop
    QString pendingNotifications; // $XDG_STATE_HOME/Orvana/pending-notifications.json

    // The user's locations.
    static AppPaths standard();
    // Everything under one folder (tests, benchmarks).
    static AppPaths under(const QString& directory);
};

} // namespace orvana
