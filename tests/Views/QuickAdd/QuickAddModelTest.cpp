#include "Views/QuickAdd/QuickAddModel.h"

#include "Views/Today/TodayModel.h"
#include "support/TestEnvironment.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using namespace orvana;
using orvana::test::drainEvents;

struct QuickAdd : ::testing::Test {
    test::TestEnvironment t; // Monday 2026-03-02 10:00
};

TEST_F(QuickAdd, ReturnPutsThePlainTrimmedTaskOnTodayAndSavesAtOnce) {
    TodayModel today(t.env);
    auto* oneThing = t.context.create<DayTask>(QStringLiteral("Already the one"),
                                               t.local(2026, 3, 2), std::nullopt, false, true);
    (void)t.context.save();
    QuickAddModel model(t.env);
    QSignalSpy dismissed(&model, &QuickAddModel::dismissed);
    model.setTitle(QStringLiteral("  \tBuy  milk \n"));
    model.save();

    ASSERT_NE(model.createdTask(), nullptr);
    const DayTask& task = *model.createdTask();
    EXPECT_EQ(task.title(), QStringLiteral("Buy  milk"));
    EXPECT_EQ(task.date(), t.local(2026, 3, 2)) << "the start of today";
    EXPECT_FALSE(task.isTodaysOneThing());
    EXPECT_TRUE(oneThing->isTodaysOneThing());
    EXPECT_FALSE(t.context.hasChanges()) << "saved explicitly, not left to the autosave";
    EXPECT_TRUE(t.center.pending.empty()) << "no reminder, no nudge touched";
    EXPECT_EQ(dismissed.count(), 1);

    // Today's live list shows it.
    drainEvents();
    EXPECT_EQ(today.otherTasks(), std::vector<DayTask*>{model.createdTask()});

    // A second Return before the panel is gone adds nothing more.
    model.save();
    EXPECT_EQ(t.context.count<DayTask>(), 2u);
    EXPECT_EQ(dismissed.count(), 1);
}

// The panel's own test covers a blank title and Escape; here a Return that
// lands after Escape, and a panel left open over midnight.
TEST_F(QuickAdd, ASaveAfterEscapeCreatesNothingAndOneOverMidnightAddsToTheNewDay) {
    QuickAddModel escaped(t.env);
    QSignalSpy dismissed(&escaped, &QuickAddModel::dismissed);
    escaped.setTitle(QStringLiteral("Call the bank"));
    escaped.dismiss();
    escaped.save(); // too late: the panel is closing
    EXPECT_EQ(dismissed.count(), 1);
    EXPECT_EQ(t.context.count<DayTask>(), 0u);

    t.now = t.local(2026, 3, 2, 23, 58);
    QuickAddModel model(t.env);
    model.setTitle(QStringLiteral("Water the plants"));
    t.now = t.local(2026, 3, 3, 0, 4);
    model.save();
    ASSERT_NE(model.createdTask(), nullptr);
    EXPECT_EQ(model.createdTask()->date(), t.local(2026, 3, 3));
}

} // namespace
