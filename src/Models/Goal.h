#pragma once

#include "Models/Enums.h"
#include "Models/Record.h"

#include <QString>
#include <optional>
#include <vector>

namespace orvana {

class WeekItem;
class DayTask;
class FocusSession;
class FocusBlockTemplate;
class TrailEntry;

// What the user works towards. Deleting a goal deletes its week items (and so
// their tasks and sessions) and its trail entries; tasks, focus sessions and
// focus blocks attached to it directly survive without a goal.
class Goal final : public Record {
public:
    explicit Goal(QString title, std::optional<QString> goalDescription = std::nullopt,
                  std::optional<Timestamp> targetDate = std::nullopt,
                  GoalStatus status = GoalStatus::active,
                  std::optional<QString> colorTag = std::nullopt, qint64 sortOrder = 0,
                  std::optional<Timestamp> createdAt = std::nullopt);

    const QString& title() const { return title_; }
    void setTitle(QString title) { setField(&Goal::title_, std::move(title)); }

    const std::optional<QString>& goalDescription() const { return goalDescription_; }
    void setGoalDescription(std::optional<QString> text) {
        setField(&Goal::goalDescription_, std::move(text));
    }

    Timestamp createdAt() const { return createdAt_; }
    void setCreatedAt(Timestamp t) {
        createdAtGiven();
        setField(&Goal::createdAt_, t);
    }

    const std::optional<Timestamp>& targetDate() const { return targetDate_; }
    void setTargetDate(std::optional<Timestamp> t) { setField(&Goal::targetDate_, t); }

    GoalStatus status() const { return status_; }
    void setStatus(GoalStatus status) { setField(&Goal::status_, status); }

    // The stored raw text; colorTagValue() is absent when it names no tag.
    const std::optional<QString>& colorTag() const { return colorTag_; }
    void setColorTag(std::optional<QString> raw) { setField(&Goal::colorTag_, std::move(raw)); }
    std::optional<GoalColorTag> colorTagValue() const;

    qint64 sortOrder() const { return sortOrder_; }
    void setSortOrder(qint64 order) { setField(&Goal::sortOrder_, order); }

    const std::vector<WeekItem*>& weekItems() const { return weekItems_; }
    const std::vector<DayTask*>& directDayTasks() const { return directDayTasks_; }
    const std::vector<FocusSession*>& directFocusSessions() const { return directFocusSessions_; }
    const std::vector<FocusBlockTemplate*>& focusBlockTemplates() const {
        return focusBlockTemplates_;
    }
    const std::vector<TrailEntry*>& trailEntries() const { return trailEntries_; }

protected:
    void stampCreatedAt(Timestamp now) override { createdAt_ = now; }
    void applyDeleteRules(ModelContext& context) override;
    void detachFromOwners() override {}
    void attachToOwners() override {}

private:
    friend class Record;
    explicit Goal(LoadTag tag) : Record(EntityType::goal, tag) {}
    friend class SqliteStore;
    friend class WeekItem;
    friend class DayTask;
    friend class FocusSession;
    friend class FocusBlockTemplate;
    friend class TrailEntry;

    QString title_;
    std::optional<QString> goalDescription_;
    Timestamp createdAt_;
    std::optional<Timestamp> targetDate_;
    GoalStatus status_;
    std::optional<QString> colorTag_;
    qint64 sortOrder_;
    std::vector<WeekItem*> weekItems_;
    std::vector<DayTask*> directDayTasks_;
    std::vector<FocusSession*> directFocusSessions_;
    std::vector<FocusBlockTemplate*> focusBlockTemplates_;
    std::vector<TrailEntry*> trailEntries_;
};

} // namespace orvana
