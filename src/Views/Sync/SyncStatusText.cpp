#include "Views/Sync/SyncStatusText.h"

#include "Sync/SyncController.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <cmath>

namespace orvana {

namespace {

// Named, so that lupdate files these texts under the context they are looked up in.
struct StatusText {
    Q_DECLARE_TR_FUNCTIONS(SyncStatus)
};

QString ago(Timestamp then, Timestamp now) {
    const double seconds = std::max(0.0, now - then);
    if (seconds < 60)
        return StatusText::tr("Last synced just now");
    if (seconds < 3600)
        return StatusText::tr("Last synced %n min ago", nullptr, int(seconds / 60));
    if (seconds < 24 * 3600)
        return StatusText::tr("Last synced %n h ago", nullptr, int(seconds / 3600));
    const QDateTime at = QDateTime::fromSecsSinceEpoch(qint64(then));
    return StatusText::tr("Last synced on %1")
        .arg(QLocale().toString(at.date(), QLocale::ShortFormat));
}

QString wait(Timestamp seconds) {
    if (seconds < 60)
        return StatusText::tr("Trying again in %n s.", nullptr, int(std::ceil(seconds)));
    return StatusText::tr("Trying again in %n min.", nullptr, int(std::ceil(seconds / 60)));
}

} // namespace

QString syncStatusLine(const SyncController& sync, Timestamp now) {
    switch (sync.phase()) {
    case SyncController::Phase::off:
        return StatusText::tr("Sync is off");
    case SyncController::Phase::syncing: {
        const SyncController::Progress p = sync.progress();
        if (p.of > 0 && p.sent < p.of)
            return StatusText::tr("Syncing\u2026 %1 of %2 sent")
                .arg(QLocale().toString(p.sent), QLocale().toString(p.of));
        return StatusText::tr("Syncing\u2026");
    }
    case SyncController::Phase::failed: {
        QString line = sync.error();
        if (const std::optional<Timestamp> in = sync.retryIn())
            line += u' ' + wait(*in);
        return line;
    }
    case SyncController::Phase::asking:
        return StatusText::tr("Sync is waiting for your answer");
    case SyncController::Phase::idle:
        break;
    }
    if (const std::optional<Timestamp> last = sync.lastSynced())
        return ago(*last, now);
    return StatusText::tr("Not synced yet");
}

} // namespace orvana
