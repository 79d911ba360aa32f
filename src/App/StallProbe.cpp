#include "App/StallProbe.h"

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

} // namespace orvana
