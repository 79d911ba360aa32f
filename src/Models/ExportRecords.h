#pragma once

#include "Core/Timestamp.h"

#include <QString>
#include <QUuid>
#include <optional>
#include <vector>

namespace orvana {

// The records as plain values, field for field as the export document holds
// them: what the store reads row by row, what a snapshot of the loaded
// records holds, and what decoding a document gives. Relationships are the
// related record's id; enumerations stay raw text (the merge interprets them).

struct GoalExport {
    QUuid id;
    QString title;
    std::optional<QString> goalDescription;
    Timestamp createdAt = 0;
    std::optional<Timestamp> targetDate;
    QString status;
    std::optional<QString> colorTag;
    qint64 sortOrder = 0;
    friend bool operator==(const GoalExport&, const GoalExport&) = default;
};

struct WeekExport {
    QUuid id;
    Timestamp startDate = 0;
    Timestamp endDate = 0;
    std::optional<QString> intention;
    std::optional<QString> reflection;
    Timestamp createdAt = 0;
    std::optional<Timestamp> ritualCompletedAt;
    friend bool operator==(const WeekExport&, const WeekExport&) = default;
};

struct WeekItemExport {
    QUuid id;
    QString title;
    std::optional<QString> notes;
    bool isComplete = false;
    qint64 sortOrder = 0;
    Timestamp createdAt = 0;
    std::optional<QUuid> weekID;
    std::optional<QUuid> goalID;
    friend bool operator==(const WeekItemExport&, const WeekItemExport&) = default;
};

struct DayTaskExport {
    QUuid id;
    QString title;
    std::optional<QString> notes;
    Timestamp date = 0;
    bool isComplete = false;
    bool isTodaysOneThing = false;
    qint64 sortOrder = 0;
    Timestamp createdAt = 0;
    std::optional<QUuid> sourceTemplateID;
    std::optional<QUuid> weekItemID;
    std::optional<QUuid> goalID;
    std::optional<Timestamp> reminderAt;
    friend bool operator==(const DayTaskExport&, const DayTaskExport&) = default;
};

struct FocusSessionExport {
    QUuid id;
    Timestamp createdAt = 0;
    double plannedDuration = 0;
    double accumulatedActiveDuration = 0;
    std::optional<Timestamp> endedAt;
    bool isCompleted = false;
    std::optional<QUuid> dayTaskID;
    std::optional<QUuid> goalID;
    QString kind;
    std::optional<qint64> pomodoroCycleNumber;
    friend bool operator==(const FocusSessionExport&, const FocusSessionExport&) = default;
};

struct FocusBlockTemplateExport {
    QUuid id;
    QString title;
    Timestamp createdAt = 0;
    bool isActive = true;
    std::vector<qint64> weekdays;
    qint64 hour = 0;
    qint64 minute = 0;
    qint64 durationMinutes = 0;
    std::optional<QUuid> goalID;
    friend bool operator==(const FocusBlockTemplateExport&,
                           const FocusBlockTemplateExport&) = default;
};

struct TrailEntryExport {
    QUuid id;
    Timestamp date = 0;
    qint64 minutes = 0;
    Timestamp createdAt = 0;
    std::optional<QUuid> goalID;
    friend bool operator==(const TrailEntryExport&, const TrailEntryExport&) = default;
};

struct OrvanaExport {
    qint64 schemaVersion = 1;
    Timestamp exportedAt = 0;
    std::vector<GoalExport> goals;
    std::vector<WeekExport> weeks;
    std::vector<WeekItemExport> weekItems;
    std::vector<DayTaskExport> dayTasks;
    std::vector<FocusSessionExport> focusSessions;
    std::vector<FocusBlockTemplateExport> focusBlockTemplates;
    std::vector<TrailEntryExport> trailEntries;
    friend bool operator==(const OrvanaExport&, const OrvanaExport&) = default;
};

} // namespace orvana
