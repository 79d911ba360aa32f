#include "Platform/DBusNames.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <qcoro/qcorodbuspendingcall.h>

namespace orvana {

namespace {

QDBusMessage busCall(const QString& method) {
    const QString bus = QStringLiteral("org.freedesktop.DBus");
    return QDBusMessage::createMethodCall(bus, QStringLiteral("/org/freedesktop/DBus"), bus,
                                          method);
}

} // namespace

QCoro::Task<bool> isAnyBusNameAvailable(QDBusConnection bus, QStringList names) {
    if (!bus.isConnected())
        co_return false;
    for (const QString& name : names) {
        QDBusMessage hasOwner = busCall(QStringLiteral("NameHasOwner"));
        hasOwner << name;
        const QDBusMessage reply = co_await bus.asyncCall(hasOwner);
        if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toBool())
            co_return true;
    }
    // Many services are started by the bus on first use.
    const QDBusMessage reply =
        co_await bus.asyncCall(busCall(QStringLiteral("ListActivatableNames")));
    if (reply.type() != QDBusMessage::ReplyMessage)
        co_return false;
    const QStringList activatable = reply.arguments().value(0).toStringList();
    for (const QString& name : names)
        if (activatable.contains(name))
            co_return true;
    co_return false;
}

} // namespace orvana
