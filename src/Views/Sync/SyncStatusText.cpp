#include "Views/Sync/SyncStatusText.h"

#include "Sync/SyncController.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <cmath>

namespace orvana {

namespace {

QString tr(const char* text, int n = -1) {
    return QCoreApplication::translate("SyncStatus", text, nullptr, n);
}

QString ago(Timestamp then, Timestamp now) {
    const double seconds = std::max(0.0, now - then);
    if (seconds < 60)
        return tr("Last synced just now");
    if (seconds < 3600)
        return tr("Last synced %n min ago", int(seconds / 60));
    if (seconds < 24 * 3600)
        return tr("Last synced %n h ago", int(seconds / 3600));
    const QDateTime at = QDateTime::fromSecsSinceEpoch(qint64(then));
    return tr("Last synced on %1").arg(QLocale().toString(at.date(), QLocale::ShortFormat));
}

QString wait(Timestamp seconds) {
    if (seconds < 60)
        return tr("Trying again in %n s.", int(std::ceil(seconds)));
    return tr("Trying again in %n min.", int(std::ceil(seconds / 60)));
}

} // namespace

QString syncStatusLine(const SyncController& sync, Timestamp now) {
    switch (sync.phase()) {
    case SyncController::Phase::off:
        return tr("Sync is off");
    case SyncController::Phase::syncing: {
        const SyncController::Progress p = sync.progress();
        if (p.of > 0 && p.sent < p.of)
            return tr("Syncing\u2026 %1 of %2 sent")
                .arg(QLocale().toString(p.sent), QLocale().toString(p.of));
        return tr("Syncing\u2026");
    }
    case SyncController::Phase::failed: {
        QString line = sync.error();
        if (const std::optional<Timestamp> in = sync.retryIn())
            line += u' ' + wait(*in);
        return line;
    }
    case SyncController::Phase::asking:
        return tr("Sync is waiting for your answer");
    case SyncController::Phase::idle:
        break;
    }
    if (const std::optional<Timestamp> last = sync.lastSynced())
        return ago(*last, now);
    return tr("Not synced yet");
}

} // namespace orvana
