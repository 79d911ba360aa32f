// The store's records read row by row into the plain records of
// Models/ExportRecords.h, for readers that never load the store.
#include "Store/SqliteStore.h"

#include "Models/Enums.h"
#include "Models/ExportRecords.h"

#include <algorithm>
#include <array>

namespace orvana {

namespace {

// The ids of one table's records by sequence, for the links of others: the
// owner a row names, when that owner exists, as loading resolves it.
class LinkedIds {
public:
    Result<void> read(SqliteStore& store, const char* table) {
        const QByteArray sql = QByteArray("SELECT seq, id FROM ") + table + " ORDER BY seq";
        return store.select(sql.constData(), {}, [this](const StoreRow& row) {
            ids_.emplace_back(row.integer(0), row.uuid(1));
        });
    }
    std::optional<QUuid> find(const StoreRow& row, int column) const {
        if (row.isNull(column))
            return std::nullopt;
        const qint64 sequence = row.integer(column);
        // Sequences are dense unless records were deleted: the direct slot first.
        if (sequence >= 1 && std::size_t(sequence) <= ids_.size() &&
            ids_[std::size_t(sequence - 1)].first == sequence)
            return ids_[std::size_t(sequence - 1)].second;
        const auto it = std::lower_bound(ids_.begin(), ids_.end(), sequence,
                                         [](const auto& e, qint64 s) { return e.first < s; });
        if (it == ids_.end() || it->first != sequence)
            return std::nullopt;
        return it->second;
    }

private:
    std::vector<std::pair<qint64, QUuid>> ids_;
};

// Each enumeration's raw texts made once and shared by every record
// (rawValue builds a new string on each call).
template <class E, std::size_t N> std::array<QString, N> rawValues() {
    std::array<QString, N> texts;
    for (std::size_t i = 0; i < N; ++i)
        texts[i] = rawValue(static_cast<E>(i));
    return texts;
}

} // namespace

Result<void> SqliteStore::readRecords(const std::function<void(const GoalExport&)>& each) {
    const auto statuses = rawValues<GoalStatus, 3>();
    return select("SELECT id, title, goalDescription, createdAt, targetDate, status, colorTag, "
                  "sortOrder FROM goal ORDER BY seq",
                  {}, [&](const StoreRow& r) {
                      const GoalStatus status =
                          goalStatusFromRaw(r.text(5)).value_or(GoalStatus::active);
                      each({r.uuid(0), r.text(1), r.optionalText(2), r.real(3), r.optionalReal(4),
                            statuses[std::size_t(status)], r.optionalText(6), r.integer(7)});
                  });
}

Result<void> SqliteStore::readRecords(const std::function<void(const WeekExport&)>& each) {
    return select("SELECT id, startDate, endDate, intention, reflection, createdAt, "
                  "ritualCompletedAt FROM week ORDER BY seq",
                  {}, [&](const StoreRow& r) {
                      each({r.uuid(0), r.real(1), r.real(2), r.optionalText(3), r.optionalText(4),
                            r.real(5), r.optionalReal(6)});
                  });
}

Result<void> SqliteStore::readRecords(const std::function<void(const WeekItemExport&)>& each) {
    LinkedIds weeks, goals;
    if (auto read = weeks.read(*this, "week"); !read.ok())
        return read;
    if (auto read = goals.read(*this, "goal"); !read.ok())
        return read;
    return select("SELECT id, title, notes, isComplete, sortOrder, createdAt, week, goal "
                  "FROM weekItem ORDER BY seq",
                  {}, [&](const StoreRow& r) {
                      each({r.uuid(0), r.text(1), r.optionalText(2), r.boolean(3), r.integer(4),
                            r.real(5), weeks.find(r, 6), goals.find(r, 7)});
                  });
}

Result<void> SqliteStore::readRecords(const std::function<void(const DayTaskExport&)>& each) {
    LinkedIds items, goals;
    if (auto read = items.read(*this, "weekItem"); !read.ok())
        return read;
    if (auto read = goals.read(*this, "goal"); !read.ok())
        return read;
    return select("SELECT id, title, notes, date, isComplete, isTodaysOneThing, sortOrder, "
                  "createdAt, sourceTemplateID, reminderAt, weekItem, goal FROM dayTask "
                  "ORDER BY seq",
                  {}, [&](const StoreRow& r) {
                      each({r.uuid(0), r.text(1), r.optionalText(2), r.real(3), r.boolean(4),
                            r.boolean(5), r.integer(6), r.real(7), r.optionalUuid(8),
                            items.find(r, 10), goals.find(r, 11), r.optionalReal(9)});
                  });
}

Result<void> SqliteStore::readRecords(const std::function<void(const FocusSessionExport&)>& each) {
    LinkedIds tasks, goals;
    if (auto read = tasks.read(*this, "dayTask"); !read.ok())
        return read;
    if (auto read = goals.read(*this, "goal"); !read.ok())
        return read;
    const auto kinds = rawValues<FocusSessionKind, 3>();
    return select("SELECT id, createdAt, plannedDuration, accumulatedActiveDuration, endedAt, "
                  "isCompleted, kindRawValue, pomodoroCycleNumber, dayTask, goal "
                  "FROM focusSession ORDER BY seq",
                  {}, [&](const StoreRow& r) {
                      const FocusSessionKind kind =
                          r.isNull(6)
                              ? FocusSessionKind::work
                              : focusSessionKindFromRaw(r.text(6)).value_or(FocusSessionKind::work);
                      each({r.uuid(0), r.real(1), r.real(2), r.real(3), r.optionalReal(4),
                            r.boolean(5), tasks.find(r, 8), goals.find(r, 9),
                            kinds[std::size_t(kind)], r.optionalInteger(7)});
                  });
}

Result<void>
SqliteStore::readRecords(const std::function<void(const FocusBlockTemplateExport&)>& each) {
    LinkedIds goals;
    if (auto read = goals.read(*this, "goal"); !read.ok())
        return read;
    return select("SELECT id, title, createdAt, isActive, weekdays, hour, minute, "
                  "durationMinutes, goal FROM focusBlockTemplate ORDER BY seq",
                  {}, [&](const StoreRow& r) {
                      each({r.uuid(0), r.text(1), r.real(2), r.boolean(3), r.integerList(4),
                            r.integer(5), r.integer(6), r.integer(7), goals.find(r, 8)});
                  });
}

Result<void> SqliteStore::readRecords(const std::function<void(const TrailEntryExport&)>& each) {
    LinkedIds goals;
    if (auto read = goals.read(*this, "goal"); !read.ok())
        return read;
    return select("SELECT id, date, minutes, createdAt, goal FROM trailEntry ORDER BY seq", {},
                  [&](const StoreRow& r) {
                      each({r.uuid(0), r.real(1), r.integer(2), r.real(3), goals.find(r, 4)});
                  });
}

Result<bool> SqliteStore::holdsInfiniteDuration() {
    bool infinite = false;
    auto read =
        select("SELECT 1 FROM focusSession WHERE abs(plannedDuration) > 1.7976931348623157e308 "
               "OR abs(accumulatedActiveDuration) > 1.7976931348623157e308 LIMIT 1",
               {}, [&](const StoreRow&) { infinite = true; });
    if (!read.ok())
        return read.error();
    return infinite;
}

} // namespace orvana
