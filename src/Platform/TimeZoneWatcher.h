#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QTimer>

namespace orvana {

// Tells when the user's time zone may have changed while the app runs:
// systemd-timedated's property change on the system bus, and a look once a
// minute for a zone changed by other means (or with no system bus). The
// app then compares Calendar::current() with the calendar it uses.
class TimeZoneWatcher : public QObject {
    Q_OBJECT
public:
    explicit TimeZoneWatcher(QDBusConnection systemBus = QDBusConnection::systemBus(),
                             QObject* parent = nullptr);

signals:
    void mayHaveChanged();

private slots:
    void propertiesChanged(const QString& interface, const QVariantMap& changed,
                           const QStringList& invalidated);

private:
    QTimer minute_;
};

} // namespace orvana
