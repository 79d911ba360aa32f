#pragma once

#include <QDBusConnection>
#include <QStringList>
#include <qcoro/qcorotask.h>

namespace orvana {

// True when one of `names` is owned on `bus` or can be started by it.
// Asynchronous: the bus may be slow to answer.
QCoro::Task<bool> isAnyBusNameAvailable(QDBusConnection bus, QStringList names);

} // namespace orvana
