#pragma once

#include "Core/Timestamp.h"

#include <optional>

namespace orvana {

// When the app syncs by itself: at start, 10 s after local edits settle,
// every 5 minutes, and at once after a wake or when the network comes back.
// A cycle that failed on the connection or the server is tried again 30 s
// later, then after twice as long each time, at most 15 minutes, until one
// goes through. A failure that trying again cannot mend (a wrong password,
// a certificate, the deletion guard's question) waits for the user.
// Plain values, so that the rules are tested without timers.
class SyncSchedule {
public:
    static constexpr Timestamp settle = 10;
    static constexpr Timestamp period = 5 * 60;
    static constexpr Timestamp firstRetry = 30;
    static constexpr Timestamp longestRetry = 15 * 60;

    // Due at once: the sync at start.
    explicit SyncSchedule(Timestamp now) : due_(now) {}

    // A local change was saved at `at`.
    void edited(Timestamp at);
    // Woken from suspend, or the network came back; or the user asked.
    void prompted(Timestamp at);
    // A cycle began: nothing is due while it runs.
    void started();
    // A cycle ended at `at`; a failure is `retryable` when the connection or
    // the server failed.
    void finished(Timestamp at, bool ok, bool retryable);

    // When the next cycle is due; none while one runs or after a failure
    // that waits for the user.
    std::optional<Timestamp> due() const { return running_ ? std::nullopt : due_; }
    // Failed cycles in a row.
    int failures() const { return failures_; }

private:
    std::optional<Timestamp> due_;
    std::optional<Timestamp> editedDuringRun_;
    bool running_ = false;
    bool waitingForUser_ = false;
    int failures_ = 0;
};

} // namespace orvana
