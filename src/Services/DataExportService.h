#pragma once

#include "Core/Result.h"
#include "Core/Timestamp.h"

#include "Models/ExportRecords.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <array>
#include <limits>
#include <tuple>
#include <vector>

class QIODevice;

namespace orvana {

class DayTask;
class FocusBlockTemplate;
class FocusSession;
class Goal;
class ModelContext;
class SqliteStore;
class TrailEntry;
class Week;
class WeekItem;

// Writes every record of the store as one JSON document (schema version 1):
// keys sorted, "key" : value, two-space indentation, no trailing newline,
// whole-second UTC timestamps, upper-case ids, absent optionals left out,
// the solidus escaped. Nothing in the store changes.
class DataExportService {
public:
    static constexpr int schemaVersion = 1;

    // Every record as the document's records, in store order (an
    // ExportSnapshot taken in one slice).
    static OrvanaExport exportDocument(const ModelContext& context, Timestamp exportedAt);

    // The document's bytes. Touches no record, so it may run on any thread
    // over a snapshot taken by exportDocument. Fails only when a value cannot
    // be written as JSON (a duration that is not a finite number).
    static Result<QByteArray> encode(const OrvanaExport& document);
    // The same bytes handed to `device` in pieces as they are made, so that
    // writing even a large store to a file needs little memory besides the
    // snapshot. Fails also when the device takes less than it is given.
    static Result<void> encode(const OrvanaExport& document, QIODevice& device);

    // One record as the document holds it: whole seconds, links by id.
    static GoalExport valueOf(const Goal& goal);
    static WeekExport valueOf(const Week& week);
    static WeekItemExport valueOf(const WeekItem& item);
    static DayTaskExport valueOf(const DayTask& task);
    static FocusBlockTemplateExport valueOf(const FocusBlockTemplate& block);
    static TrailEntryExport valueOf(const TrailEntry& entry);

    // encode(exportDocument(context, exportedAt)).
    static Result<QByteArray> exportJSON(const ModelContext& context, Timestamp exportedAt);

    // The same document for a store opened for reading, written to `device`
    // by the same writer as its records are read (SqliteStore::readRecords):
    // a few are held at a time, however large the store. A store that
    // cannot become JSON is refused before anything is written.
    static Result<void> exportStore(SqliteStore& store, Timestamp exportedAt, QIODevice& device);

    // "2026-03-05T14:07:00Z": UTC, whole seconds (the fraction is dropped),
    // years kept within 0001...9999. DataImport::parseTimestamp reads it back.
    static QByteArray timestampText(Timestamp t);
    // The same 20 characters into `text`, for writers that keep their own
    // buffer.
    static void timestampText(Timestamp t, char* text);
};

// exportDocument a slice at a time, so that the main thread can copy a large
// store between events. The copy is the store at one instant only if the
// store did not change between slices: the caller compares
// ModelContext::changeCount() before each slice and restarts when it moved.
// Main thread only; the context must outlive every slice taken.
class ExportSnapshot {
public:
    // Within a deadline, the largest type is fetched in pieces of
    // `recordsPerFetch`: the last piece still visits every record, but the
    // slice that fetches it fills a shorter list.
    static constexpr std::size_t defaultRecordsPerFetch = 256 * 1024;

    ExportSnapshot(const ModelContext& context, Timestamp exportedAt,
                   std::size_t recordsPerFetch = defaultRecordsPerFetch);

    // Copies the next records, at most `maxRecords`, until `deadline` has
    // passed. The deadline is looked at every few thousand records, so a
    // slice may run over by that much. The records of a type are fetched
    // in a few large pieces, each by the next slice when the fetch would
    // not fit in what is left of this one; the fetch of a piece of a very
    // large type can take longer than the deadline by itself. Every slice
    // copies at least one record while any are left. True once every
    // record is in.
    bool copySlice(QDeadlineTimer deadline = QDeadlineTimer::Forever,
                   std::size_t maxRecords = std::numeric_limits<std::size_t>::max());

    // Drops what was copied; the next slice starts from the first record.
    void restart();

    // The document, complete once copySlice has returned true. The snapshot
    // is restarted.
    OrvanaExport takeDocument();

private:
    struct Slice;
    template <class T, class E> bool copyRecords(std::vector<E>& out, Slice& slice);

    const ModelContext& context_;
    Timestamp exportedAt_;
    std::size_t recordsPerFetch_;
    OrvanaExport document_;
    int stage_ = 0;              // the record type being copied, in schema order
    bool fetched_ = false;       // a piece of its records is in lists_
    std::size_t next_ = 0;       // the position in that piece
    std::size_t fetchLimit_ = 0; // the most records that piece could hold
    std::tuple<std::vector<Goal*>, std::vector<Week*>, std::vector<WeekItem*>,
               std::vector<DayTask*>, std::vector<FocusSession*>, std::vector<FocusBlockTemplate*>,
               std::vector<TrailEntry*>>
        lists_;
    // Each enumeration's raw texts made once and shared by every record
    // (rawValue builds a new string on each call).
    std::array<QString, 3> statuses_;
    std::array<QString, 3> kinds_;
};

} // namespace orvana
