#include "Sync/Merge.h"

#include <QJsonArray>
#include <gtest/gtest.h>

namespace {

using namespace orvana;
using sync::merge;

DayTaskExport baseTask() {
    DayTaskExport t;
    t.id = QUuid("{0b7e6a2c-1f1a-4c55-9a0e-5a1c3b9d2e10}");
    t.title = QStringLiteral("Run");
    t.date = 1'796'684'400;
    t.sortOrder = 1;
    return t;
}

TEST(Merge, EachSidesChangeToADifferentFieldIsKept) {
    const DayTaskExport base = baseTask();
    DayTaskExport here = base, there = base;
    here.title = QStringLiteral("Run 10 km");
    there.isComplete = true;
    there.notes = QStringLiteral("done on the phone");
    const auto merged = merge(base, here, 100, there, 200);
    EXPECT_TRUE(merged.conflicts.empty());
    EXPECT_EQ(merged.value.title, "Run 10 km");
    EXPECT_TRUE(merged.value.isComplete);
    EXPECT_EQ(merged.value.notes, "done on the phone");
}

// Both changed the title: the later edit wins on both devices, and the
// loser is kept as a conflict.
TEST(Merge, TheLaterEditOfOneFieldWinsAndTheOtherIsKept) {
    const DayTaskExport base = baseTask();
    DayTaskExport here = base, there = base;
    here.title = QStringLiteral("Run here");
    there.title = QStringLiteral("Run there");

    const auto onThisDevice = merge(base, here, 300.4, there, 200);
    EXPECT_EQ(onThisDevice.value.title, "Run here");
    ASSERT_EQ(onThisDevice.conflicts.size(), 1u);
    EXPECT_EQ(onThisDevice.conflicts[0],
              (sync::Conflict{"title", QJsonValue("Run here"), QJsonValue("Run there"), false}));

    const auto onTheOther = merge(base, there, 200, here, 300.4);
    EXPECT_EQ(onTheOther.value, onThisDevice.value);
    ASSERT_EQ(onTheOther.conflicts.size(), 1u);
    EXPECT_TRUE(onTheOther.conflicts[0].thisDeviceLost);

    // Within the same second (LAST-MODIFIED has no more) both still agree.
    for (const auto& [a, b] : {std::pair{here, there}, std::pair{there, here}}) {
        EXPECT_EQ(merge(base, a, 300.9, b, 300).value.title,
                  merge(base, b, 300, a, 300.9).value.title);
    }
}

// Two devices made the same record on their own (nothing agreed yet): every
// difference is a conflict, optional fields and lists included.
TEST(Merge, WithoutABaseEveryDifferenceIsAConflict) {
    FocusBlockTemplateExport here;
    here.title = QStringLiteral("Deep work");
    here.weekdays = {2, 3};
    FocusBlockTemplateExport there = here;
    there.weekdays = {2, 4};
    there.goalID = QUuid("{11111111-2222-3333-4444-555555555555}");
    const auto merged = merge(std::nullopt, here, 500, there, 400);
    EXPECT_EQ(merged.value, here);
    ASSERT_EQ(merged.conflicts.size(), 2u);
    EXPECT_EQ(merged.conflicts[0].lost, (QJsonArray{2, 4}));
    EXPECT_EQ(merged.conflicts[1].field, "goalID");
    EXPECT_EQ(merged.conflicts[1].kept, QJsonValue(QJsonValue::Null));
    EXPECT_EQ(merged.conflicts[1].lost, "11111111-2222-3333-4444-555555555555");
}

} // namespace
