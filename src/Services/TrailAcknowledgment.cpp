#include "Services/TrailAcknowledgment.h"

#include "Core/Uuid.h"
#include "Services/Preferences.h"
#include "Store/ModelContext.h"

namespace orvana {

TrailAcknowledgment::TrailAcknowledgment(ModelContext& context, Preferences& preferences,
                                         QObject* parent)
    : QObject(parent), context_(context), preferences_(preferences) {
    markerTimer_.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the banner's wait hangs on it.
    markerTimer_.setTimerType(Qt::PreciseTimer);
    markerTimer_.setInterval(4000);
    connect(&markerTimer_, &QTimer::timeout, this, [this] {
        justLoggedGoalID_.reset();
        emit justLoggedGoalIDChanged();
        emit acknowledgmentEnded();
    });
}

std::optional<QString> TrailAcknowledgment::acknowledgeNewlyLoggedEntryIfAny() {
    TrailEntry* entry = TrailEntry::newestUnacknowledged(
        context_.fetch<TrailEntry>(),
        preferences_.value(PreferenceKeys::lastAcknowledgedTrailEntryID));
    if (!entry)
        return std::nullopt;
    preferences_.setValue(PreferenceKeys::lastAcknowledgedTrailEntryID, uuidText(entry->id()));
    const Goal* goal = entry->goal();
    const QString message =
        tr("%1 min logged to %2")
            .arg(QLocale().toString(entry->minutes()), goal ? goal->title() : tr("your goal"));
    justLoggedGoalID_ = goal ? std::optional<QUuid>(goal->id()) : std::nullopt;
    emit justLoggedGoalIDChanged();
    markerTimer_.start(); // the message's wait, also without a goal to mark
    return message;
}

} // namespace orvana
