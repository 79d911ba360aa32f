#pragma once

#include <QObject>

namespace orvana {

// Tells when the machine wakes from suspend: logind's PrepareForSleep(false)
// on the system bus. Timers that waited through the sleep are late then, so
// what depends on the wall clock looks again. Without a system bus (a
// container, a test) it stays silent.
class SleepWatcher : public QObject {
    Q_OBJECT
public:
    explicit SleepWatcher(QObject* parent = nullptr);

signals:
    void resumed();

private slots:
    void prepareForSleep(bool sleeping);
};

} // namespace orvana
