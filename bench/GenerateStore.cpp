// Writes a synthetic store to a given path, optionally scaled down (for
// profiling runs that must finish quickly under valgrind) or with counts of
// its own (for documents of a given shape, such as the import benchmark's).
#include "SyntheticStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// "goals,weeks,weekItems,dayTasks,focusSessions,focusBlocks,trailEntries";
// the generator needs a goal, a week and a focus block, week items for
// tasks, and tasks for sessions.
bool parseCounts(const char* text, orvana::bench::SyntheticStoreSize& size) {
    const QStringList parts = QString::fromLocal8Bit(text).split(u',');
    if (parts.size() != 7)
        return false;
    std::size_t counts[7];
    for (int i = 0; i < 7; ++i) {
        bool ok = false;
        const qulonglong n = parts[i].trimmed().toULongLong(&ok);
        if (!ok)
            return false;
        counts[i] = std::size_t(n);
    }
    size = {counts[0], counts[1], counts[2], counts[3], counts[4], counts[5], counts[6]};
    return size.goals > 0 && size.weeks > 0 && size.focusBlocks > 0 &&
           (size.weekItems > 0 || size.dayTasks == 0) &&
           (size.dayTasks > 0 || size.focusSessions == 0);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const char* usage =
        "usage: orvana_generate_store OUTPUT.sqlite [--scale FACTOR | --counts "
        "GOALS,WEEKS,WEEK_ITEMS,DAY_TASKS,FOCUS_SESSIONS,FOCUS_BLOCKS,TRAIL_ENTRIES]\n";
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fputs(usage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    double factor = 1.0;
    const char* counts = nullptr;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc) {
            factor = std::atof(argv[++i]);
        } else if (std::strcmp(argv[i], "--counts") == 0 && i + 1 < argc) {
            counts = argv[++i];
        } else {
            std::fputs(usage, stderr);
            return 2;
        }
    }
    if (!(factor > 0)) {
        std::fputs("The scale must be a positive number.\n", stderr);
        return 2;
    }

    auto size = orvana::bench::SyntheticStoreSize{}.scaled(factor);
    if (counts && !parseCounts(counts, size)) {
        std::fputs("The counts are seven whole numbers separated by commas, with at least one "
                   "goal, one week and one focus block, week items when there are tasks and "
                   "tasks when there are sessions.\n",
                   stderr);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    QElapsedTimer timer;
    timer.start();
    if (auto made = orvana::bench::generateSyntheticStore(path, size); !made.ok()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(made.error().message));
        return 1;
    }
    std::printf("%s: %zu records (%zu goals, %zu weeks, %zu week items, %zu day tasks, %zu focus "
                "sessions, %zu focus blocks, %zu trail entries), %.1f MB, generated in %.1f s\n",
                qPrintable(path), size.total(), size.goals, size.weeks, size.weekItems,
                size.dayTasks, size.focusSessions, size.focusBlocks, size.trailEntries,
                static_cast<double>(QFileInfo(path).size()) / 1e6,
                static_cast<double>(timer.nsecsElapsed()) / 1e9);
    return 0;
}
