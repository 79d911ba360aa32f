#pragma once

#include <QString>
#include <QStringList>
#include <qcoro/qcorotask.h>

namespace orvana {

enum class NotificationAuthorization { notDetermined, denied, authorized, provisional, ephemeral };

// The platform's local notifications, as the app needs them: one-shot
// requests with an identifier, a title, a body, the default sound and a delay.
// The asynchronous operations complete on the main thread.
class NotificationCenter {
public:
    virtual ~NotificationCenter() = default;

    virtual QCoro::Task<NotificationAuthorization> authorizationStatus() = 0;
    // Asks for permission (alert and sound); true when granted.
    virtual QCoro::Task<bool> requestAuthorization() = 0;
    // Schedules one request firing once after `delaySeconds`. Errors are the
    // centre's own business: callers ignore them.
    virtual QCoro::Task<> add(QString identifier, QString title, QString body,
                              double delaySeconds) = 0;
    // Withdraws pending requests; unknown identifiers are ignored.
    virtual void removePendingNotificationRequests(const QStringList& identifiers) = 0;
};

} // namespace orvana
