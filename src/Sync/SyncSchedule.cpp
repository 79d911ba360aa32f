#include "Sync/SyncSchedule.h"

#include <algorithm>
#include <cmath>

namespace orvana {

namespace {

std::optional<Timestamp> earlier(std::optional<Timestamp> a, Timestamp b) {
    return a ? std::min(*a, b) : b;
}

} // namespace

void SyncSchedule::edited(Timestamp at) {
    if (running_) {
        editedDuringRun_ = at;
        return;
    }
    // Another edit within the settling time puts the sync off again; a retry
    // that is due earlier stays.
    if (!waitingForUser_ && failures_ == 0)
        due_ = at + settle;
    else if (!waitingForUser_)
        due_ = std::max(*due_, at + settle);
}

void SyncSchedule::prompted(Timestamp at) {
    waitingForUser_ = false;
    due_ = at;
}

void SyncSchedule::started() {
    running_ = true;
    editedDuringRun_.reset();
}

void SyncSchedule::finished(Timestamp at, bool ok, bool retryable) {
    running_ = false;
    if (ok) {
        failures_ = 0;
        waitingForUser_ = false;
        due_ = at + period;
        if (editedDuringRun_)
            due_ = earlier(due_, *editedDuringRun_ + settle);
    } else if (retryable) {
        ++failures_;
        const Timestamp wait = std::min(longestRetry, firstRetry * std::pow(2.0, failures_ - 1));
        due_ = at + wait;
    } else {
        ++failures_;
        waitingForUser_ = true;
        due_.reset();
    }
    editedDuringRun_.reset();
}

} // namespace orvana
