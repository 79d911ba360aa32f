#pragma once

#include "Core/Result.h"
#include "Models/Record.h"

#include <QString>
#include <optional>
#include <vector>

namespace orvana {

class Calendar;
class FocusSession;
class Goal;
class WeekItem;

// A task on one calendar day. `date` is compared by calendar day everywhere;
// creators store the start of the day but readers must not rely on it.
class DayTask final : public Record {
public:
    DayTask(QString title, Timestamp date, std::optional<QString> notes = std::nullopt,
            bool isComplete = false, bool isTodaysOneThing = false, qint64 sortOrder = 0,
            std::optional<Timestamp> createdAt = std::nullopt,
            std::optional<QUuid> sourceTemplateID = std::nullopt,
            std::optional<Timestamp> reminderAt = std::nullopt);

    const QString& title() const { return title_; }
    void setTitle(QString title) { setField(&DayTask::title_, std::move(title)); }

    const std::optional<QString>& notes() const { return notes_; }
    void setNotes(std::optional<QString> notes) { setField(&DayTask::notes_, std::move(notes)); }

    Timestamp date() const { return date_; }
    void setDate(Timestamp date) { setField(&DayTask::date_, date); }

    bool isComplete() const { return isComplete_; }
    // Also sets the week item's completion (only that field) when there is one.
    void setComplete(bool value);
    // Sets only this task's flag (for loading and import).
    void setOnlyCompleteFlag(bool value) { setField(&DayTask::isComplete_, value); }

    bool isTodaysOneThing() const { return isTodaysOneThing_; }
    void setIsTodaysOneThing(bool value) { setField(&DayTask::isTodaysOneThing_, value); }

    qint64 sortOrder() const { return sortOrder_; }
    void setSortOrder(qint64 order) { setField(&DayTask::sortOrder_, order); }

    Timestamp createdAt() const { return createdAt_; }
    void setCreatedAt(Timestamp t) {
        createdAtGiven();
        setField(&DayTask::createdAt_, t);
    }

    const std::optional<QUuid>& sourceTemplateID() const { return sourceTemplateID_; }
    void setSourceTemplateID(std::optional<QUuid> id) { setField(&DayTask::sourceTemplateID_, id); }

    const std::optional<Timestamp>& reminderAt() const { return reminderAt_; }
    void setReminderAt(std::optional<Timestamp> t) { setField(&DayTask::reminderAt_, t); }

    WeekItem* weekItem() const { return weekItem_; }
    void setWeekItem(WeekItem* item);

    Goal* goal() const { return goal_; }
    void setGoal(Goal* goal);

    const std::vector<FocusSession*>& focusSessions() const { return focusSessions_; }

    // Makes `task` the one thing of its own calendar day: every other flagged
    // task of that day loses the flag; other days keep theirs. Nothing is
    // saved. The task must be inserted.
    static void setAsTodaysOneThing(DayTask& task, const Calendar& calendar);

protected:
    void stampCreatedAt(Timestamp now) override { createdAt_ = now; }
    void applyDeleteRules(ModelContext& context) override;
    void detachFromOwners() override;
    void attachToOwners() override;

private:
    friend class Record;
    explicit DayTask(LoadTag tag) : Record(EntityType::dayTask, tag) {}
    void fieldDidChange(Timestamp DayTask::*member, Timestamp old);
    void fieldDidChange(bool DayTask::*member, bool old);
    void fieldDidChange(std::optional<Timestamp> DayTask::*member,
                        const std::optional<Timestamp>& old);
    friend class SqliteStore;
    friend class FocusSession;

    QString title_;
    std::optional<QString> notes_;
    Timestamp date_;
    qint64 sortOrder_;
    Timestamp createdAt_;
    std::optional<QUuid> sourceTemplateID_;
    bool isComplete_; // here they fill the id's padding
    bool isTodaysOneThing_;
    std::optional<Timestamp> reminderAt_;
    WeekItem* weekItem_ = nullptr;
    Goal* goal_ = nullptr;
    std::vector<FocusSession*> focusSessions_;
};

} // namespace orvana
