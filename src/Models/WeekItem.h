#pragma once

#include "Models/Record.h"

#include <QString>
#include <optional>
#include <vector>

namespace orvana {

class Calendar;
class DayTask;
class Goal;
class Week;

// Something planned for a goal in a week. Deleting it deletes the day tasks
// made from it.
class WeekItem final : public Record {
public:
    explicit WeekItem(QString title, std::optional<QString> notes = std::nullopt,
                      bool isComplete = false, qint64 sortOrder = 0,
                      std::optional<Timestamp> createdAt = std::nullopt);

    const QString& title() const { return title_; }
    void setTitle(QString title) { setField(&WeekItem::title_, std::move(title)); }

    const std::optional<QString>& notes() const { return notes_; }
    void setNotes(std::optional<QString> notes) { setField(&WeekItem::notes_, std::move(notes)); }

    bool isComplete() const { return isComplete_; }
    // Also sets every day task of the item to the same state.
    void setComplete(bool value);
    // Sets only this item's flag.
    void setOnlyCompleteFlag(bool value) { setField(&WeekItem::isComplete_, value); }

    qint64 sortOrder() const { return sortOrder_; }
    void setSortOrder(qint64 order) { setField(&WeekItem::sortOrder_, order); }

    Timestamp createdAt() const { return createdAt_; }
    void setCreatedAt(Timestamp t) {
        createdAtGiven();
        setField(&WeekItem::createdAt_, t);
    }

    Week* week() const { return week_; }
    void setWeek(Week* week);

    Goal* goal() const { return goal_; }
    void setGoal(Goal* goal);

    const std::vector<DayTask*>& dayTasks() const { return dayTasks_; }

    // The item's task for the calendar day of `date`: the first existing one
    // on that day, else a new task dated at the start of that day, linked to
    // the item and its goal and inserted into the item's context. Nothing is
    // saved. The item must be inserted.
    DayTask* materializeDayTask(Timestamp date, const Calendar& calendar);

protected:
    void stampCreatedAt(Timestamp now) override { createdAt_ = now; }
    void applyDeleteRules(ModelContext& context) override;
    void detachFromOwners() override;
    void attachToOwners() override;

private:
    friend class Record;
    explicit WeekItem(LoadTag tag) : Record(EntityType::weekItem, tag) {}
    friend class SqliteStore;
    friend class DayTask;

    QString title_;
    std::optional<QString> notes_;
    bool isComplete_;
    qint64 sortOrder_;
    Timestamp createdAt_;
    Week* week_ = nullptr;
    Goal* goal_ = nullptr;
    std::vector<DayTask*> dayTasks_;
};

} // namespace orvana
