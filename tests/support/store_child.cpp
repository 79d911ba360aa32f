// Opens a store, then edits and autosaves it in a loop, printing the number
// of every goal whose save has returned. The crash-safety test kills it at
// random moments and checks that every printed goal is in the file.
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

using namespace orvana;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const int start = std::atoi(argv[2]);
    auto opened = openModelContext(path);
    if (!opened.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(opened.error().message));
        return 1;
    }
    ModelContext& ctx = *opened.value();
    ctx.setAutosaveInterval(5);
    ctx.setAutosaveEnabled(true);

    int next = start;
    std::vector<int> unsaved;
    QObject::connect(&ctx, &ModelContext::saved, [&] {
        for (int n : unsaved)
            std::printf("%d\n", n);
        std::fflush(stdout);
        unsaved.clear();
    });
    QTimer edit;
    edit.setInterval(1);
    QObject::connect(&edit, &QTimer::timeout, [&] {
        // Several records per turn, with relationships, so saves carry real
        // multi-row transactions.
        auto* goal = ctx.create<Goal>(QStringLiteral("goal %1").arg(next), std::nullopt,
                                      std::nullopt, GoalStatus::active, std::nullopt, next);
        auto* item = ctx.create<WeekItem>(QStringLiteral("item %1").arg(next));
        item->setGoal(goal);
        auto* task = ctx.create<DayTask>(QStringLiteral("task %1").arg(next), 0.0);
        task->setWeekItem(item);
        task->setGoal(goal);
        unsaved.push_back(next++);
    });
    edit.start();
    return app.exec();
}
