#pragma once

#include <QObject>
#include <QTimer>
#include <QUuid>
#include <optional>

namespace orvana {

class ModelContext;
class Preferences;

// The one-time announcement of newly logged focus minutes on the Overview:
// each newest trail entry is announced once, remembered across restarts in
// the lastAcknowledgedTrailEntryID preference, and its goal is marked as
// "just credited" for 4 seconds.
class TrailAcknowledgment : public QObject {
    Q_OBJECT
public:
    TrailAcknowledgment(ModelContext& context, Preferences& preferences, QObject* parent = nullptr);

    // Run each time the Overview is shown. Returns the banner message
    // ("{minutes} min logged to {goal}") when there is something new.
    std::optional<QString> acknowledgeNewlyLoggedEntryIfAny();

    const std::optional<QUuid>& justLoggedGoalID() const { return justLoggedGoalID_; }
    void setMarkerDuration(int milliseconds) { markerTimer_.setInterval(milliseconds); }
    // The wait of the latest announcement; a test can fire it instead of waiting.
    QTimer* markerTimer() { return &markerTimer_; }

signals:
    void justLoggedGoalIDChanged();
    // The latest announcement's 4 seconds are over (with or without a goal):
    // its message goes, as its goal's mark does.
    void acknowledgmentEnded();

private:
    ModelContext& context_;
    Preferences& preferences_;
    std::optional<QUuid> justLoggedGoalID_;
    QTimer markerTimer_; // a monotonic wait on the main thread
};

} // namespace orvana
