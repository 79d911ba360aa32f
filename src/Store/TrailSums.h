#pragma once

#include "Core/Calendar.h"
#include "Core/Result.h"
#include "Store/FocusFigures.h"

#include <QByteArray>
#include <optional>
#include <unordered_map>

struct sqlite3;

namespace orvana {

// The trail's sums, kept in the store beside it so that its figures are read
// from a row a day instead of a row an entry (a million entries cost SQLite
// alone more than a command may take): per local day of one zone its start,
// minutes and entries (table trailDay), per goal its minutes and entries
// (trailGoal). They hold while meta 'trailSums' names their zone. A writer
// keeps them in the transaction of every save, and drops them while any
// entry is one FocusFigures::keepable refuses (where sums could saturate,
// and their order would matter).
class TrailSums {
public:
    static constexpr const char* metaKey = "trailSums";
    // Also drops the sums when a tool other than ours edits an entry in
    // place (ours replace or delete rows); added or deleted entries show in
    // the count, which readers check.
    static constexpr const char* schemaSQL =
        "CREATE TABLE IF NOT EXISTS trailDay(day INTEGER PRIMARY KEY, start REAL NOT NULL,"
        " minutes INTEGER NOT NULL, entries INTEGER NOT NULL);"
        "CREATE TABLE IF NOT EXISTS trailGoal(goal INTEGER PRIMARY KEY,"
        " minutes INTEGER NOT NULL, entries INTEGER NOT NULL);"
        "CREATE TRIGGER IF NOT EXISTS trailEntryEdited AFTER UPDATE ON trailEntry BEGIN"
        " DELETE FROM meta WHERE key = 'trailSums'; END;";

    explicit TrailSums(const Calendar& calendar);
    TrailSums(const TrailSums&) = delete;
    TrailSums& operator=(const TrailSums&) = delete;
    ~TrailSums();

    // The zone's days by name, as meta 'trailSums' records it.
    const QByteArray& zone();

    // Counts an entry in (`sign` 1) or out (-1). `goal`: its sequence.
    void count(Timestamp date, qint64 minutes, std::optional<qint64> goal, int sign);
    bool counted() const { return !byDay_.empty() || !sane_; }
    // False once an entry counted could not be kept.
    bool sane() const { return sane_; }

    // Writes what was counted inside the caller's transaction: as changes to
    // the kept sums, or (`whole`) as all of them, naming the zone. When an
    // entry could not be kept, drops the sums instead.
    Result<void> write(sqlite3* db, bool whole);
    // Forgets what was counted.
    void clear();

private:
    struct Day {
        Timestamp sample = 0; // an instant of the day
        qint64 minutes = 0;
        qint64 entries = 0;
    };
    struct Sum {
        qint64 minutes = 0;
        qint64 entries = 0;
    };

    Calendar calendar_;
    TrailDays days_;
    QByteArray zone_;
    std::unordered_map<qint64, Day> byDay_;
    std::unordered_map<qint64, Sum> byGoal_;
    // Entries mostly come by date: the last day counted is tried first.
    qint64 lastDayNumber_ = 0;
    Day* lastDay_ = nullptr;
    bool sane_ = true;
};

} // namespace orvana
