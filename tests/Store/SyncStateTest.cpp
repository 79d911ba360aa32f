#include "Store/SyncState.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvana;

namespace {

std::unique_ptr<ModelContext> openAt(const QString& path, Timestamp now) {
    auto opened = openModelContext(path);
    EXPECT_TRUE(opened.ok());
    if (!opened.ok())
        return nullptr;
    opened.value()->setClock([now] { return now; });
    return std::move(opened.value());
}

std::vector<SyncJournalEntry> pending(ModelContext& ctx) {
    auto all = ctx.store()->sync()->pending(1000);
    EXPECT_TRUE(all.ok());
    return all.ok() ? all.value() : std::vector<SyncJournalEntry>{};
}

// Signing in notes every record to be sent; each save notes what it
// changed in its own transaction, so what was saved is sent even if the
// process dies right after; a confirmation clears only what did not change
// again; signing out leaves the records and takes the sync's tables away.
TEST(SyncState, TheJournalFollowsEverySaveFromSignInToSignOut) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Orvana.sqlite");
    SyncAccount account{"https://dav.example.org/", "alice", "/alice/", false, "ACC-1",
                        {"/alice/t/", "/alice/p/", "/alice/b/", "/alice/f/"}, {}, {}};
    QUuid goalID;
    {
        auto ctx = openAt(path, 1000);
        test::fillEveryKind(*ctx);
        ASSERT_TRUE(ctx->save().ok());
        EXPECT_EQ(ctx->store()->sync(), nullptr);
        ASSERT_TRUE(ctx->store()->startSync(account, 1000).ok());
        const auto all = pending(*ctx);
        const qint64 records = qint64(ctx->count<Goal>() + ctx->count<Week>() +
                                      ctx->count<WeekItem>() + ctx->count<DayTask>() +
                                      ctx->count<FocusBlockTemplate>() + ctx->count<TrailEntry>());
        EXPECT_EQ(qint64(all.size()), records); // focus sessions stay here
        EXPECT_GT(ctx->count<FocusSession>(), 0u);
        ASSERT_TRUE(ctx->store()->changeSync([&](SyncState& s) { return s.confirm(all); }).ok());
        EXPECT_TRUE(pending(*ctx).empty());

        Goal* goal = ctx->fetch<Goal>().front();
        goalID = goal->id();
        goal->setTitle(QStringLiteral("Renamed"));
        ctx->setClock([] { return 2000.0; });
        ASSERT_TRUE(ctx->save().ok());
    }
    {
        auto ctx = openAt(path, 3000);
        ASSERT_NE(ctx->store()->sync(), nullptr);
        EXPECT_EQ(ctx->store()->sync()->account().value(), account);
        const auto afterEdit = pending(*ctx);
        ASSERT_EQ(afterEdit.size(), 1u);
        EXPECT_EQ(afterEdit[0], (SyncJournalEntry{goalID, EntityType::goal, 2000, false}));

        // Changed again while the first change was on its way: still pending.
        ctx->fetch<Goal>().front()->setTitle(QStringLiteral("Renamed again"));
        ASSERT_TRUE(ctx->save().ok());
        ASSERT_TRUE(
            ctx->store()->changeSync([&](SyncState& s) { return s.confirm(afterEdit); }).ok());
        ASSERT_EQ(pending(*ctx).size(), 1u);
        EXPECT_EQ(pending(*ctx)[0].changedAt, 3000);

        ctx->remove(ctx->fetch<Goal>().front());
        ASSERT_TRUE(ctx->save().ok());
        bool goalDeleted = false;
        for (const SyncJournalEntry& e : pending(*ctx))
            goalDeleted = goalDeleted || (e.record == goalID && e.deleted);
        EXPECT_TRUE(goalDeleted);

        const std::size_t goals = ctx->count<Goal>();
        ASSERT_TRUE(ctx->store()->stopSync().ok());
        EXPECT_EQ(ctx->store()->sync(), nullptr);
        EXPECT_EQ(ctx->count<Goal>(), goals);
    }
    auto reopened = openAt(path, 4000);
    EXPECT_EQ(reopened->store()->sync(), nullptr);
}

} // namespace
