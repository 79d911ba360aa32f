// Writes a synthetic store to a given path, optionally scaled down (for
// profiling runs that must finish quickly under valgrind).
#include "SyntheticStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const char* usage = "usage: orvana_generate_store OUTPUT.sqlite [--scale FACTOR]\n";
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fputs(usage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    double factor = 1.0;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc) {
            factor = std::atof(argv[++i]);
        } else {
            std::fputs(usage, stderr);
            return 2;
        }
    }
    if (!(factor > 0)) {
        std::fputs("The scale must be a positive number.\n", stderr);
        return 2;
    }

    const QString path = QString::fromLocal8Bit(argv[1]);
    const auto size = orvana::bench::SyntheticStoreSize{}.scaled(factor);
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
