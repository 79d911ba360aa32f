#include "Store/TrailSums.h"

#include "Store/SqliteStatement.h"

#include <QString>
#include <sqlite3.h>

namespace orvana {

TrailSums::TrailSums(const Calendar& calendar) : calendar_(calendar), days_(calendar_) {}

TrailSums::~TrailSums() = default;

const QByteArray& TrailSums::zone() {
    if (zone_.isEmpty())
        zone_ = days_.zoneFingerprint();
    return zone_;
}

void TrailSums::count(Timestamp date, qint64 minutes, std::optional<qint64> goal, int sign) {
    if (!sane_)
        return;
    const std::optional<FocusFigures::Counted> c =
        FocusFigures::countedAs(date, minutes, goal.value_or(0), days_);
    if (!c) {
        sane_ = false;
        return;
    }
    const qint64 day = c->day + TrailDays::firstDay;
    if (!lastDay_ || day != lastDayNumber_) {
        lastDay_ = &byDay_.try_emplace(day, Day{date, 0, 0}).first->second;
        lastDayNumber_ = day;
    }
    lastDay_->minutes += sign * qint64(c->minutes);
    lastDay_->entries += sign;
    if (c->goal > 0) {
        Sum& sum = byGoal_[c->goal];
        sum.minutes += sign * qint64(c->minutes);
        sum.entries += sign;
    }
}

void TrailSums::clear() {
    // Swapped out, not cleared: a store's worth of days leaves its buckets.
    std::unordered_map<qint64, Day>().swap(byDay_);
    std::unordered_map<qint64, Sum>().swap(byGoal_);
    lastDay_ = nullptr;
    sane_ = true;
}

Result<void> TrailSums::write(sqlite3* db, bool whole) {
    auto exec = [db](const char* sql) {
        return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    };
    if (whole || !sane_) {
        if (!exec("DELETE FROM trailDay; DELETE FROM trailGoal;"))
            return sqliteFailure(db);
    }
    if (!sane_) {
        if (!exec("DELETE FROM meta WHERE key = 'trailSums'"))
            return sqliteFailure(db);
        return {};
    }
    SqliteStatement day(
        db, "INSERT INTO trailDay VALUES(?, ?, ?, ?) ON CONFLICT(day) DO UPDATE SET "
            "minutes = minutes + excluded.minutes, entries = entries + excluded.entries");
    SqliteStatement goal(
        db, "INSERT INTO trailGoal VALUES(?, ?, ?) ON CONFLICT(goal) DO UPDATE SET "
            "minutes = minutes + excluded.minutes, entries = entries + excluded.entries");
    SqliteStatement emptyDay(db, "DELETE FROM trailDay WHERE day = ? AND entries <= 0");
    SqliteStatement emptyGoal(db, "DELETE FROM trailGoal WHERE goal = ? AND entries <= 0");
    if (!day.ok() || !goal.ok() || !emptyDay.ok() || !emptyGoal.ok())
        return sqliteFailure(db);
    for (const auto& [number, d] : byDay_) {
        if (d.entries == 0 && d.minutes == 0)
            continue;
        sqlite3_bind_int64(day.get(), 1, number);
        sqlite3_bind_double(day.get(), 2, days_.dayStart(number, d.sample));
        sqlite3_bind_int64(day.get(), 3, d.minutes);
        sqlite3_bind_int64(day.get(), 4, d.entries);
        if (!day.run())
            return sqliteFailure(db);
        if (d.entries < 0) {
            sqlite3_bind_int64(emptyDay.get(), 1, number);
            if (!emptyDay.run())
                return sqliteFailure(db);
        }
    }
    for (const auto& [sequence, g] : byGoal_) {
        if (g.entries == 0 && g.minutes == 0)
            continue;
        sqlite3_bind_int64(goal.get(), 1, sequence);
        sqlite3_bind_int64(goal.get(), 2, g.minutes);
        sqlite3_bind_int64(goal.get(), 3, g.entries);
        if (!goal.run())
            return sqliteFailure(db);
        if (g.entries < 0) {
            sqlite3_bind_int64(emptyGoal.get(), 1, sequence);
            if (!emptyGoal.run())
                return sqliteFailure(db);
        }
    }
    if (whole) {
        SqliteStatement named(db, "INSERT OR REPLACE INTO meta VALUES('trailSums', ?)");
        const QByteArray& name = zone();
        if (!named.ok() ||
            sqlite3_bind_text(named.get(), 1, name.constData(), int(name.size()),
                              SQLITE_TRANSIENT) != SQLITE_OK ||
            !named.run())
            return sqliteFailure(db);
    }
    return {};
}

} // namespace orvana
