#include "Platform/TimeZoneWatcher.h"

namespace orvana {

TimeZoneWatcher::TimeZoneWatcher(QDBusConnection systemBus, QObject* parent) : QObject(parent) {
    if (systemBus.isConnected())
        systemBus.connect(QStringLiteral("org.freedesktop.timedate1"),
                          QStringLiteral("/org/freedesktop/timedate1"),
                          QStringLiteral("org.freedesktop.DBus.Properties"),
                          QStringLiteral("PropertiesChanged"), this,
                          SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    minute_.setInterval(60 * 1000);
    connect(&minute_, &QTimer::timeout, this, &TimeZoneWatcher::mayHaveChanged);
    minute_.start();
}

void TimeZoneWatcher::propertiesChanged(const QString& interface, const QVariantMap& changed,
                                        const QStringList& invalidated) {
    const QString zone = QStringLiteral("Timezone");
    if (interface == QLatin1String("org.freedesktop.timedate1") &&
        (changed.contains(zone) || invalidated.contains(zone)))
        emit mayHaveChanged();
}

} // namespace orvana
