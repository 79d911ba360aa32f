#include "Store/ModelContext.h"
#include "Store/UndoManager.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <random>

using namespace orvana;

namespace {

// Date-range fetches go through an index; after any mix of inserts, moves,
// deletes, undo and redo they must find exactly what a full scan finds, in
// the same order. Checks come after a random number of edits, so that edits
// also meet entries the index has not put in place yet.
TEST(DayIndex, RangeFetchesAgreeWithAFullScanThroughEditsUndoAndRedo) {
    ModelContext ctx;
    UndoManager* undo = ctx.ensureUndoManager();
    std::mt19937 random(7);
    auto day = [&] { return double(std::uniform_int_distribution<int>(0, 9)(random)) * 86400; };
    std::vector<DayTask*> tasks;
    for (int i = 0; i < 40; ++i)
        tasks.push_back(ctx.create<DayTask>(QString::number(i), day()));

    auto check = [&](int step) {
        SCOPED_TRACE(step);
        for (int d = 0; d < 10; ++d) {
            const double from = d * 86400.0, to = from + 86400.0;
            auto indexed = ctx.fetch(FetchDescriptor<DayTask>().onDates(from, to));
            auto scanned = ctx.fetch(FetchDescriptor<DayTask>::where(
                [&](const DayTask& t) { return from <= t.date() && t.date() < to; }));
            ASSERT_EQ(indexed, scanned) << "day " << d;
        }
    };
    check(-1);
    for (int step = 0; step < 300; ++step) {
        DayTask* t = tasks[std::uniform_int_distribution<std::size_t>(0, tasks.size() - 1)(random)];
        switch (std::uniform_int_distribution<int>(0, 5)(random)) {
        case 0:
            t->setDate(day() + 3600);
            break;
        case 1:
            ctx.remove(t);
            break;
        case 2:
            tasks.push_back(ctx.create<DayTask>(QStringLiteral("new"), day()));
            break;
        case 3:
            undo->undo();
            break;
        case 4:
            undo->redo();
            break;
        default:
            test::drainEvents(); // closes the per-event undo group
        }
        if (std::uniform_int_distribution<int>(0, 2)(random) == 0)
            check(step);
    }
    check(300);
}

} // namespace
