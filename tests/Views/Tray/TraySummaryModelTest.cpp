#include "Views/Tray/TraySummaryModel.h"

#include "Models/FocusBlockTemplate.h"
#include "Models/Goal.h"
#include "Models/Week.h"
#include "Models/WeekItem.h"
#include "support/TestEnvironment.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using namespace orvana;
using orvana::test::drainEvents;

struct TraySummary : ::testing::Test {
    test::TestEnvironment t; // Monday 2026-03-02 10:00 Berlin
    Timestamp monday = t.local(2026, 3, 2);

    DayTask* task(const QString& title, Timestamp day, bool flagged, qint64 order = 0) {
        return t.context.create<DayTask>(title, day, std::nullopt, false, flagged, order, t.now);
    }
    QString oneThingTitle(const TraySummaryModel& m) const {
        return m.oneThingTask() ? m.oneThingTask()->title() : QStringLiteral("(none)");
    }
};

TEST_F(TraySummary, OneThingIsTodaysFirstFlaggedTaskOfTheDayTakenAtEachRefresh) {
    task(QStringLiteral("Tomorrow's thing"), monday + 86400 + 3600, true);
    task(QStringLiteral("Email"), monday, false);
    TraySummaryModel m(t.env);
    m.refresh();
    EXPECT_EQ(m.oneThingTask(), nullptr) << "tomorrow's one thing is not today's";

    // Flagged twice today (an import): the first in the store's order, not
    // by sortOrder; the summary follows the records while it is shown.
    m.setShown(true);
    task(QStringLiteral("Ship it"), monday + 9 * 3600, true, 5);
    task(QStringLiteral("Second flag"), monday, true, 1);
    drainEvents();
    EXPECT_EQ(oneThingTitle(m), QStringLiteral("Ship it"));
    m.setShown(false);

    // The day stays as it was until the summary opens again.
    t.now = t.local(2026, 3, 3, 8, 0);
    drainEvents();
    EXPECT_EQ(oneThingTitle(m), QStringLiteral("Ship it"));
    m.setShown(true);
    EXPECT_EQ(m.startOfToday(), t.local(2026, 3, 3));
    EXPECT_EQ(oneThingTitle(m), QStringLiteral("Tomorrow's thing"));

    // Open over midnight: the clock check moves it to the new day.
    t.now = t.local(2026, 3, 4, 0, 1);
    m.checkTime();
    EXPECT_EQ(m.oneThingTask(), nullptr);
}

TEST_F(TraySummary, TogglingCompletesTheWeekItemAndWithdrawsTheReminderOnlyWhenTickingOff) {
    auto* week = t.context.create<Week>(t.local(2026, 3, 2), t.local(2026, 3, 9));
    auto* item = t.context.create<WeekItem>(QStringLiteral("Write the report"));
    item->setWeek(week);
    DayTask* one = task(QStringLiteral("Write the report"), monday, true);
    one->setWeekItem(item);
    one->setReminderAt(t.now + 3600);
    const QString reminder = NotificationService::reminderIdentifier(one->id());
    t.center.pending[reminder] = {};

    TraySummaryModel m(t.env);
    m.setShown(true);
    QSignalSpy changed(&m, &TraySummaryModel::changed);
    m.toggleOneThing();
    EXPECT_TRUE(one->isComplete());
    EXPECT_TRUE(item->isComplete()) << "the week item is completed with its task";
    EXPECT_FALSE(t.center.pending.count(reminder));
    EXPECT_GE(changed.count(), 1);
    EXPECT_EQ(m.oneThingTask(), one) << "a completed one thing stays, ticked";

    t.center.log.clear();
    m.toggleOneThing();
    EXPECT_FALSE(one->isComplete());
    EXPECT_FALSE(item->isComplete());
    EXPECT_TRUE(t.center.log.isEmpty()) << "ticking back on neither cancels nor schedules";
}

// The streak itself is the focus figures' (their test has its rules).
TEST_F(TraySummary, StreakLineIsAbsentAtZeroSingularAtOneAndPluralAfter) {
    TraySummaryModel m(t.env);
    m.refresh();
    EXPECT_TRUE(m.streakLine().isEmpty());
    t.context.create<TrailEntry>(t.local(2026, 3, 1, 18, 0), 25);
    m.refresh();
    EXPECT_EQ(m.streakLine(), QStringLiteral("1 day streak"));
    EXPECT_EQ(TraySummaryModel::streakText(12), QStringLiteral("12 days streak"));
}

TEST_F(TraySummary, UpcomingBlockIsTheEarliestActiveBlockStillRelevantNow) {
    auto block = [&](const char* title, std::vector<qint64> days, int hour, int minute,
                     int duration, bool active = true) {
        return t.context.create<FocusBlockTemplate>(QString::fromUtf8(title), std::move(days), hour,
                                                    minute, duration, active);
    };
    // Monday (weekday 2), 10:00.
    auto* late = block("Late", {2, 4}, 9, 30, 60);
    auto* early = block("Early", {2}, 8, 15, 105); // ends at 10:00: still relevant
    block("Ended", {2}, 7, 0, 59);
    block("Paused", {2}, 6, 0, 600, false);
    block("Tuesdays", {3}, 5, 0, 600);
    TraySummaryModel m(t.env);
    m.setShown(true);
    EXPECT_EQ(m.upcomingBlock(), early);
    EXPECT_EQ(m.upcomingBlockLine(),
              QStringLiteral("Early · ") + TraySummaryModel::timeLabel(*early));

    t.now = t.local(2026, 3, 2, 10, 1);
    m.checkTime();
    EXPECT_EQ(m.upcomingBlock(), late);
    late->setIsActive(false); // paused from the Focus Blocks screen
    drainEvents();
    EXPECT_EQ(m.upcomingBlock(), nullptr);
    EXPECT_TRUE(m.upcomingBlockLine().isEmpty());
}

TEST_F(TraySummary, TimeLabelFollowsTheLocaleAndFallsBackToDigits) {
    auto* block = t.context.create<FocusBlockTemplate>(QStringLiteral("Deep work"),
                                                       std::vector<qint64>{2}, 8, 5, 50);
    EXPECT_EQ(TraySummaryModel::timeLabel(*block, QLocale(QLocale::German, QLocale::Germany)),
              QStringLiteral("08:05"));
    const QString us =
        TraySummaryModel::timeLabel(*block, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(us.startsWith(QStringLiteral("8:05"))) << us.toStdString();
    EXPECT_TRUE(us.endsWith(QStringLiteral("AM"))) << us.toStdString();
    EXPECT_EQ(TraySummaryModel::timeLabel(*block, QLocale::c()), QStringLiteral("08:05"))
        << "no seconds where the locale has no short time";
    // Imported values that are no time of day.
    block->setHour(24);
    EXPECT_EQ(TraySummaryModel::timeLabel(*block), QStringLiteral("24:05"));
    block->setHour(7);
    block->setMinute(75);
    EXPECT_EQ(TraySummaryModel::timeLabel(*block), QStringLiteral("07:75"));
}

} // namespace
