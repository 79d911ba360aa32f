#include "App/StallProbe.h"

#include "Sync/SyncController.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

namespace orvana {

void startStallProbeIfAsked(int seconds) {
    const QString path = qEnvironmentVariable("ORVANA_STALL_PROBE");
    if (path.isEmpty())
        return;
    constexpr int tickMs = 10;
    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(tickMs);
    auto* clock = new QElapsedTimer;
    clock->start();
    // The gap before the first tick is start-up, measured by the caller.
    auto last = std::make_shared<qint64>(-1);
    auto longest = std::make_shared<qint64>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        const qint64 now = clock->elapsed();
        if (*last >= 0)
            *longest = std::max(*longest, now - *last - tickMs);
        *last = now;
        if (now < seconds * 1000)
            return;
        timer->stop();
        QFile out(path);
        if (out.open(QIODevice::WriteOnly))
            out.write(QByteArray::number(*longest) + '\n');
        delete clock;
    });
    timer->start();
}

void probeStallsDuringFirstSync(SyncController& sync) {
    const QString path = qEnvironmentVariable("ORVANA_SYNC_STALL_PROBE");
    if (path.isEmpty())
        return;
    constexpr int tickMs = 10;
    struct Probe {
        QTimer timer;
        QElapsedTimer clock;
        qint64 last = -1;
        qint64 longest = 0;
        bool started = false;
        bool done = false;
    };
    auto* probe = new Probe;
    probe->timer.setTimerType(Qt::PreciseTimer);
    probe->timer.setInterval(tickMs);
    QObject::connect(&probe->timer, &QTimer::timeout, &sync, [probe] {
        const qint64 now = probe->clock.elapsed();
        if (probe->last >= 0)
            probe->longest = std::max(probe->longest, now - probe->last - tickMs);
        probe->last = now;
    });
    QObject::connect(&sync, &SyncController::changed, &sync, [probe, &sync] {
        if (probe->started || sync.phase() != SyncController::Phase::syncing)
            return;
        probe->started = true;
        probe->clock.start();
        probe->timer.start();
    });
    QObject::connect(&sync, &SyncController::cycleFinished, &sync, [probe, path] {
        if (!probe->started || probe->done)
            return;
        probe->done = true;
        probe->timer.stop();
        QFile out(path);
        if (out.open(QIODevice::WriteOnly))
            out.write(QByteArray::number(probe->longest) + ' ' +
                      QByteArray::number(probe->clock.elapsed()) + '\n');
    });
}

} // namespace orvana
