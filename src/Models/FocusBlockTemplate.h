#pragma once

#include "Models/Record.h"

#include <QString>
#include <vector>

namespace orvana {

class Calendar;
class DayTask;
class Goal;

// Focus time reserved on chosen weekdays (1 = Sunday ... 7 = Saturday) at a
// chosen time. Tasks made from a block refer to it only by sourceTemplateID.
class FocusBlockTemplate final : public Record {
public:
    FocusBlockTemplate(QString title, std::vector<qint64> weekdays, qint64 hour, qint64 minute,
                       qint64 durationMinutes, bool isActive = true,
                       std::optional<Timestamp> createdAt = std::nullopt);

    const QString& title() const { return title_; }
    void setTitle(QString title) { setField(&FocusBlockTemplate::title_, std::move(title)); }

    Timestamp createdAt() const { return createdAt_; }
    void setCreatedAt(Timestamp t) {
        createdAtGiven();
        setField(&FocusBlockTemplate::createdAt_, t);
    }

    bool isActive() const { return isActive_; }
    void setIsActive(bool value) { setField(&FocusBlockTemplate::isActive_, value); }

    const std::vector<qint64>& weekdays() const { return weekdays_; }
    void setWeekdays(std::vector<qint64> days) {
        setField(&FocusBlockTemplate::weekdays_, std::move(days));
    }

    qint64 hour() const { return hour_; }
    void setHour(qint64 hour) { setField(&FocusBlockTemplate::hour_, hour); }

    qint64 minute() const { return minute_; }
    void setMinute(qint64 minute) { setField(&FocusBlockTemplate::minute_, minute); }

    qint64 durationMinutes() const { return durationMinutes_; }
    void setDurationMinutes(qint64 minutes) {
        setField(&FocusBlockTemplate::durationMinutes_, minutes);
    }

    Goal* goal() const { return goal_; }
    void setGoal(Goal* goal);

    bool matches(qint64 weekday) const;

    // On a matching day, until (and including) the block's end minute; a
    // block whose end passes midnight stays relevant for the rest of the day.
    bool isStillRelevant(Timestamp instant, const Calendar& calendar) const;

    // Today's task for this block: the existing one of the day of `instant`,
    // else a new task with a prepared (not started) work session of the
    // block's length, both for the block's goal. Nothing is saved. The block
    // must be inserted.
    DayTask* materialize(Timestamp instant, const Calendar& calendar);

protected:
    void stampCreatedAt(Timestamp now) override { createdAt_ = now; }
    void applyDeleteRules(ModelContext&) override {}
    void detachFromOwners() override;
    void attachToOwners() override;

private:
    friend class Record;
    explicit FocusBlockTemplate(LoadTag tag) : Record(EntityType::focusBlockTemplate, tag) {}
    friend class SqliteStore;

    QString title_;
    Timestamp createdAt_;
    bool isActive_;
    std::vector<qint64> weekdays_;
    qint64 hour_;
    qint64 minute_;
    qint64 durationMinutes_;
    Goal* goal_ = nullptr;
};

} // namespace orvana
