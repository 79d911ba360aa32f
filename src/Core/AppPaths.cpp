#include "Core/AppPaths.h"

#include <QDir>
#include <QStandardPaths>

namespace orvana {

namespace {

// Qt has no location for XDG_STATE_HOME; a relative value is invalid and
// must be ignored.
QString stateHome() {
    if (QStandardPaths::isTestModeEnabled())
        return QDir::homePath() + QStringLiteral("/.qttest/state");
    const QString configured = qEnvironmentVariable("XDG_STATE_HOME");
    return QDir::isAbsolutePath(configured) ? configured
                                            : QDir::homePath() + QStringLiteral("/.local/state");
}

AppPaths fromBases(const QString& data, const QString& config, const QString& state) {
    AppPaths p;
    p.storeFile = data + QStringLiteral("/Orvana/Orvana.sqlite");
    p.backupsDirectory = data + QStringLiteral("/Orvana/Backups");
    p.secretsFile = data + QStringLiteral("/Orvana/secrets.json");
    p.reviewProxyDatabase = data + QStringLiteral("/Orvana/review-proxy.sqlite");
    p.preferencesFile = config + QStringLiteral("/Orvana/preferences.json");
    p.autostartFile = config + QStringLiteral("/autostart/app.orvana.Orvana.desktop");
    p.pendingNotifications = state + QStringLiteral("/Orvana/pending-notifications.json");
    return p;
}

} // namespace

AppPaths AppPaths::standard() {
    return fromBases(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
                     QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
                     stateHome());
}

AppPaths AppPaths::under(const QString& directory) {
    return fromBases(directory + QStringLiteral("/data"), directory + QStringLiteral("/config"),
                     directory + QStringLiteral("/state"));
}

} // namespace orvana
