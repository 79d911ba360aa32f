#pragma once

#include "Core/Calendar.h"
#include "Core/Result.h"

#include <QString>
#include <cstddef>
#include <cstdint>

namespace orvana::bench {

// How many records of each type the synthetic store holds.
struct SyntheticStoreSize {
    std::size_t goals = 1'000;
    std::size_t weeks = 5'000;
    std::size_t weekItems = 50'000;
    std::size_t dayTasks = 100'000;
    std::size_t focusSessions = 200'000;
    std::size_t focusBlocks = 1'000;
    std::size_t trailEntries = 1'000'000;

    // Every count multiplied by `factor` (at least one of each), for quick
    // profiling runs on a smaller store.
    SyntheticStoreSize scaled(double factor) const;
    std::size_t total() const;
};

inline constexpr std::uint64_t syntheticSeed = 0x4F52564E'42454E43; // 'ORVNBENC'

// The calendar the data is laid out in. Fixed (UTC, weeks from Monday) so the
// file is the same on every machine, whatever its time zone.
Calendar syntheticCalendar();

// Start of the first day of the first week.
Timestamp syntheticFirstDay();

// A Thursday in the middle week of a store of the given size: a typical day
// with a handful of tasks, one of them flagged.
Timestamp syntheticMiddleDay(const SyntheticStoreSize& size = {});

// Writes a new store at `path` (any file there is replaced) through a model
// context and one save. Deterministic: the same size and seed give the same
// records, ids included.
Result<void> generateSyntheticStore(const QString& path, const SyntheticStoreSize& size = {},
                                    std::uint64_t seed = syntheticSeed);

// Where the full-size store is cached: $ORVANA_BENCH_DATA when set, else
// bench-data/synthetic-v1.sqlite in the build directory.
QString syntheticStorePath();

// Generation statistics of ensureSyntheticStore(), for the benchmark report.
struct SyntheticStoreInfo {
    QString path;
    bool generated = false; // false: the cached file was reused
    double generateSeconds = 0;
    std::int64_t fileBytes = 0;
};

// The cached full-size store, generated first when missing. Generation goes
// to a temporary file renamed into place, so an interrupted run leaves no
// half-made cache behind.
Result<SyntheticStoreInfo> ensureSyntheticStore();

// Copies a closed store file to `target`, replacing any store there (with its
// side files).
Result<void> copyStore(const QString& source, const QString& target);

// Deletes a store file and its WAL, shared-memory and lock side files.
void removeStore(const QString& path);

} // namespace orvana::bench
