#include "Sync/SyncSchedule.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using orvana::SyncSchedule;
using orvana::Timestamp;

// At start, after edits settle (also those made while a cycle ran), every
// five minutes; nothing while a cycle runs.
TEST(SyncSchedule, StartEditsAndPeriod) {
    SyncSchedule s(1000);
    EXPECT_EQ(s.due(), 1000);
    s.started();
    EXPECT_EQ(s.due(), std::nullopt);
    s.edited(1002);
    s.finished(1003, true, false);
    EXPECT_EQ(s.due(), 1012);
    s.started();
    s.finished(1012, true, false);
    EXPECT_EQ(s.due(), 1312);
    s.edited(1100);
    s.edited(1105);
    EXPECT_EQ(s.due(), 1115);
    s.prompted(1106);
    EXPECT_EQ(s.due(), 1106);
}

// A failing server or connection: 30 s, doubling to 15 minutes, an edit never
// bringing a retry forward; one that goes through ends it. A failure that
// retrying cannot mend waits for the user's word, not for edits.
TEST(SyncSchedule, BacksOffAndWaitsForTheUser) {
    SyncSchedule s(0);
    Timestamp t = 0;
    std::vector<Timestamp> waits;
    for (int i = 0; i < 7; ++i) {
        s.started();
        s.finished(t, false, true);
        waits.push_back(*s.due() - t);
        t = *s.due();
    }
    EXPECT_EQ(waits, (std::vector<Timestamp>{30, 60, 120, 240, 480, 900, 900}));
    EXPECT_EQ(s.failures(), 7);
    s.edited(t - 100);
    EXPECT_EQ(s.due(), t);
    s.started();
    s.finished(t, true, false);
    EXPECT_EQ(s.failures(), 0);
    EXPECT_EQ(s.due(), t + SyncSchedule::period);

    s.started();
    s.finished(t, false, false);
    EXPECT_EQ(s.due(), std::nullopt);
    s.edited(t + 1);
    EXPECT_EQ(s.due(), std::nullopt);
    s.prompted(t + 2);
    EXPECT_EQ(s.due(), t + 2);
}

} // namespace
