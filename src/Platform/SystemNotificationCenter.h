#pragma once

#include "Core/Clock.h"
#include "Services/NotificationCenter.h"

#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>

#include <map>
#include <vector>

namespace orvana {

// Local notifications on a Linux desktop: requests are shown through the
// freedesktop notification server (org.freedesktop.Notifications on the
// session bus). Desktops have no scheduler for them, so this centre keeps the
// pending requests itself, in a JSON file rewritten atomically on every
// change, and fires them with a timer while the app runs.
//
// At start() requests that fell due while the app was not running are shown
// once if they are less than 24 hours late and dropped otherwise; the same
// rule applies to a request whose timer comes late (after a suspend). Shown
// and dropped requests leave the file at once.
//
// Authorisation is `authorized` while a notification server owns its name on
// the bus or can be started by the bus, `denied` otherwise; there is never a
// question to the user, so never `notDetermined`.
//
// Main thread only; no call blocks. Make one per process (two on one file
// would overwrite each other's changes), in the process that owns the app.
class SystemNotificationCenter final : public QObject, public NotificationCenter {
    Q_OBJECT
public:
    // Reads the pending requests from `statePath` (a missing or unreadable
    // file counts as empty) but neither delivers nor arms a timer before
    // start(). `clock` is the wall clock that due instants are written in.
    explicit SystemNotificationCenter(QString statePath, Clock clock = systemClock(),
                                      QDBusConnection bus = QDBusConnection::sessionBus(),
                                      QObject* parent = nullptr);
    ~SystemNotificationCenter() override;

    // $XDG_STATE_HOME/Orvana/pending-notifications.json (~/.local/state when
    // the variable is unset or relative; under ~/.qttest while
    // QStandardPaths' test mode is on, as Qt does for its own locations).
    static QString defaultStatePath();

    // Delivers or drops what fell due while the app was closed, then arms the
    // timer. Later calls do nothing.
    void start();

    QCoro::Task<NotificationAuthorization> authorizationStatus() override;
    // Nothing to ask on this platform: true when the status is authorised.
    QCoro::Task<bool> requestAuthorization() override;
    // Completes at once. A delay that is not a positive number of seconds (up
    // to a century) is ignored; an existing request with the identifier is
    // replaced.
    QCoro::Task<> add(QString identifier, QString title, QString body,
                      double delaySeconds) override;
    void removePendingNotificationRequests(const QStringList& identifiers) override;

    // Identifiers of the pending requests, earliest first.
    QStringList pendingIdentifiers() const;

private:
    struct Request {
        QString title;
        QString body;
        Timestamp fireAt = 0;    // wall clock, as written to the file
        QDeadlineTimer deadline; // monotonic, for this run of the app
    };

    void load();
    bool save() const;
    void fireDueRequests();
    // Shows (or, when stale, drops) the given due requests, earliest first.
    void showOrDrop(std::vector<std::pair<Timestamp, QString>> due, Timestamp now);
    void arm();
    void deliver(const QString& title, const QString& body);

    QString statePath_;
    Clock clock_;
    QDBusConnection bus_;
    std::map<QString, Request> pending_;
    QTimer timer_;
    bool started_ = false;
};

} // namespace orvana
