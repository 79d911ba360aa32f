#include "Services/TrailAcknowledgment.h"
#include "Services/Preferences.h"
#include "Store/ModelContext.h"

#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvana;

namespace {

// Announcing once (after a restart too), the wording and the goal's brief
// mark are followed on the Overview (OverviewModelTest); here which entry is
// the newest and what is kept of it.
TEST(TrailAcknowledgment, TheNewestEntryByCreationIsAnnouncedAndOfTwoTheEarlier) {
    QTemporaryDir dir;
    Preferences prefs(dir.filePath(QStringLiteral("preferences.json")));
    ModelContext ctx;
    TrailAcknowledgment ack(ctx, prefs);
    EXPECT_FALSE(ack.acknowledgeNewlyLoggedEntryIfAny()) << "no trail yet";

    auto* marathon = ctx.create<Goal>(QStringLiteral("Run a marathon"));
    ctx.create<TrailEntry>(100.0, 10, marathon, 100.0);
    auto* newest = ctx.create<TrailEntry>(200.0, 25, marathon, 200.0);
    ctx.create<TrailEntry>(300.0, 5, marathon, 200.0); // same createdAt: the earlier wins
    EXPECT_EQ(ack.acknowledgeNewlyLoggedEntryIfAny(),
              QStringLiteral("25 min logged to Run a marathon"));
    EXPECT_EQ(prefs.value(PreferenceKeys::lastAcknowledgedTrailEntryID),
              newest->id().toString(QUuid::WithoutBraces).toUpper());
}

} // namespace
