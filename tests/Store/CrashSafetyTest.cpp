#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <set>

using namespace orvana;

namespace {

// A child process edits and autosaves the store and prints every goal whose
// save returned; we kill it without warning at random moments. Every time,
// the store must open, hold every goal that was reported saved, and hold
// each edit whole (a goal always with its item and task).
TEST(CrashSafety, KilledWhileSavingTheStoreOpensWithEverySavedChange) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Orvana.sqlite"));
    std::mt19937 random(20261206);
    std::set<qint64> confirmed;

    for (int round = 0; round < 15; ++round) {
        SCOPED_TRACE(round);
        QProcess child;
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.start(QStringLiteral(ORVANA_STORE_CHILD), {path, QString::number(round * 1'000'000)});
        ASSERT_TRUE(child.waitForStarted(10000));
        // Wait for the first reported save, then a random while longer, so
        // kills land in every phase of the edit/save cycle.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return child.bytesAvailable() > 0 || child.state() != QProcess::Running; },
            20000));
        QTest::qWait(std::uniform_int_distribution<int>(0, 250)(random));
        ASSERT_EQ(child.state(), QProcess::Running) << child.readAllStandardError().constData();
        ::kill(pid_t(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished(10000));

        // Only complete lines were reported after a save returned.
        const QByteArray out = child.readAllStandardOutput();
        const QList<QByteArray> lines = out.split('\n');
        for (qsizetype i = 0; i + 1 < lines.size(); ++i)
            confirmed.insert(lines[i].toLongLong());

        auto opened = openModelContext(path);
        ASSERT_TRUE(opened.ok()) << qPrintable(opened.error().message);
        ModelContext& ctx = *opened.value();
        std::set<qint64> stored;
        for (Goal* goal : ctx.fetch<Goal>()) {
            stored.insert(goal->sortOrder());
            ASSERT_EQ(goal->weekItems().size(), 1u) << "an edit was saved in part";
            ASSERT_EQ(goal->weekItems().front()->dayTasks().size(), 1u);
            ASSERT_EQ(goal->directDayTasks().size(), 1u);
        }
        for (qint64 n : confirmed)
            ASSERT_TRUE(stored.count(n)) << "goal " << n << " was reported saved but is missing";
    }
    EXPECT_GT(confirmed.size(), 15u);
}

} // namespace
