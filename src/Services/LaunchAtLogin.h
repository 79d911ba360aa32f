#pragma once

#include "Core/Result.h"

#include <QString>

namespace orvana {

// Starting Orvana when the user logs in, the XDG autostart way: a desktop
// entry in $XDG_CONFIG_HOME/autostart. On = the entry exists and the desktop
// has not hidden it (Hidden=true, as session settings write to switch an
// entry off); switching on writes it atomically, switching off removes it.
// Read anew on every call, so a change made in the desktop's own settings
// shows.
class LaunchAtLogin {
public:
    // `command`: the program to start (an absolute path; quoted as needed).
    LaunchAtLogin(QString autostartFile, QString command);

    bool isEnabled() const;
    // The error says what the file system refused.
    Result<void> setEnabled(bool enabled) const;

    // The entry written, for `command`.
    static QByteArray entry(const QString& command);

private:
    QString file_;
    QString command_;
};

} // namespace orvana
