#pragma once

#include "Core/Calendar.h"
#include "Core/Result.h"
#include "Models/Record.h"

#include <QString>
#include <optional>
#include <vector>

namespace orvana {

class WeekItem;

// One planning week. Weeks are identified by the calendar day of startDate;
// endDate is the first instant of the following week and no lookup reads it.
class Week final : public Record {
public:
    Week(Timestamp startDate, Timestamp endDate, std::optional<QString> intention = std::nullopt,
         std::optional<QString> reflection = std::nullopt,
         std::optional<Timestamp> createdAt = std::nullopt,
         std::optional<Timestamp> ritualCompletedAt = std::nullopt);

    Timestamp startDate() const { return startDate_; }
    void setStartDate(Timestamp t) { setField(&Week::startDate_, t); }

    Timestamp endDate() const { return endDate_; }
    void setEndDate(Timestamp t) { setField(&Week::endDate_, t); }

    const std::optional<QString>& intention() const { return intention_; }
    void setIntention(std::optional<QString> text) { setField(&Week::intention_, std::move(text)); }

    const std::optional<QString>& reflection() const { return reflection_; }
    void setReflection(std::optional<QString> text) {
        setField(&Week::reflection_, std::move(text));
    }

    Timestamp createdAt() const { return createdAt_; }
    void setCreatedAt(Timestamp t) {
        createdAtGiven();
        setField(&Week::createdAt_, t);
    }

    const std::optional<Timestamp>& ritualCompletedAt() const { return ritualCompletedAt_; }
    void setRitualCompletedAt(std::optional<Timestamp> t) {
        setField(&Week::ritualCompletedAt_, t);
    }

    const std::vector<WeekItem*>& items() const { return items_; }
    // The sortOrder of an item added now: the number of items, or one past
    // the largest sortOrder when that is more (after deletions the count
    // alone would sort the new item into the middle), so it always lands last.
    qint64 nextItemSortOrder() const;

    // The stored week whose startDate falls on the calendar day on which the
    // calendar week containing `date` starts. Absent when there is none.
    static Week* containing(Timestamp date, ModelContext& context, const Calendar& calendar);

    // The week with the latest startDate before `date`, if any.
    static Week* mostRecentPast(Timestamp date, ModelContext& context);

    // Boundaries of the calendar week containing `date`: [start of the day on
    // which the week starts, first instant of the next week).
    static std::optional<DateInterval> boundaries(Timestamp date, const Calendar& calendar);

    // The week containing `date`, created and inserted (with the context's
    // clock for createdAt) when no stored week starts on that day. Absent only
    // when the calendar cannot place the date in a week.
    static Week* findOrCreate(Timestamp date, ModelContext& context, const Calendar& calendar);

    // What the weeks screens look up: like findOrCreate (or containing, with
    // `creatingIfNeeded` false), but among stored weeks on the same start day
    // the one with the latest startDate wins, as the newest-first list shows.
    static Week* forDate(Timestamp date, ModelContext& context, const Calendar& calendar,
                         bool creatingIfNeeded);

protected:
    void stampCreatedAt(Timestamp now) override { createdAt_ = now; }
    void applyDeleteRules(ModelContext& context) override;
    void detachFromOwners() override {}
    void attachToOwners() override {}

private:
    friend class Record;
    explicit Week(LoadTag tag) : Record(EntityType::week, tag) {}
    friend class SqliteStore;
    friend class WeekItem;

    Timestamp startDate_;
    Timestamp endDate_;
    std::optional<QString> intention_;
    std::optional<QString> reflection_;
    Timestamp createdAt_;
    std::optional<Timestamp> ritualCompletedAt_;
    std::vector<WeekItem*> items_;
};

} // namespace orvana
