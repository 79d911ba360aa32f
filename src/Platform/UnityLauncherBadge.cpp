#include "Platform/UnityLauncherBadge.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace orvana {

UnityLauncherBadge::UnityLauncherBadge(QString desktopFileID)
    : appURI_(QStringLiteral("application://") + desktopFileID) {}

void UnityLauncherBadge::setCount(qint64 count) {
    QDBusMessage update = QDBusMessage::createSignal(
        QLatin1String(objectPath), QLatin1String(interfaceName), QStringLiteral("Update"));
    update << appURI_
           << QVariantMap{
                  {QStringLiteral("count"), QVariant::fromValue<qint64>(count > 0 ? count : 0)},
                  {QStringLiteral("count-visible"), count > 0}};
    QDBusConnection::sessionBus().send(update); // no listener, no bus: nothing to do
}

} // namespace orvana
