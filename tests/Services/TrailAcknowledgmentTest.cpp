#include "Services/TrailAcknowledgment.h"
#include "Services/Preferences.h"
#include "Store/ModelContext.h"

#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvana;

namespace {

TEST(TrailAcknowledgment, AnnouncesOnlyTheNewestEntryOnceAndMarksItsGoalBriefly) {
    QTemporaryDir dir;
    Preferences prefs(dir.filePath(QStringLiteral("preferences.json")));
    ModelContext ctx;
    TrailAcknowledgment ack(ctx, prefs);
    ack.setMarkerDuration(0); // the next turn of the event loop
    EXPECT_FALSE(ack.acknowledgeNewlyLoggedEntryIfAny()) << "no trail yet";

    auto* marathon = ctx.create<Goal>(QStringLiteral("Run a marathon"));
    ctx.create<TrailEntry>(100.0, 10, marathon, 100.0);
    auto* newest = ctx.create<TrailEntry>(200.0, 25, marathon, 200.0);
    ctx.create<TrailEntry>(300.0, 5, marathon, 200.0); // same createdAt: the earlier wins

    EXPECT_EQ(ack.acknowledgeNewlyLoggedEntryIfAny(),
              QStringLiteral("25 min logged to Run a marathon"));
    EXPECT_EQ(prefs.value(PreferenceKeys::lastAcknowledgedTrailEntryID),
              newest->id().toString(QUuid::WithoutBraces).toUpper());
    EXPECT_EQ(ack.justLoggedGoalID(), marathon->id());
    test::drainEvents();
    EXPECT_FALSE(ack.justLoggedGoalID());

    EXPECT_FALSE(ack.acknowledgeNewlyLoggedEntryIfAny()) << "announced once, also after restart";
    TrailAcknowledgment afterRestart(ctx, prefs);
    EXPECT_FALSE(afterRestart.acknowledgeNewlyLoggedEntryIfAny());

    ctx.create<TrailEntry>(400.0, 3, nullptr, 400.0);
    EXPECT_EQ(ack.acknowledgeNewlyLoggedEntryIfAny(), QStringLiteral("3 min logged to your goal"));
    EXPECT_FALSE(ack.justLoggedGoalID());
}

} // namespace
