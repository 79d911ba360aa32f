#pragma once

#include "Core/Timestamp.h"
#include "Models/Enums.h"
#include "Store/TypingBursts.h"
#include "Views/Goals/GoalLabels.h"

#include <QObject>
#include <QTimer>
#include <optional>

namespace orvana {

class AppEnvironment;
class Goal;
class Record;

// A goal's detail screen without widgets. Every field is edited in place and
// stored as typed (the store's autosave keeps it); a burst of typing in the
// title or the description is one undo step. The header's texts, the target
// date rules and the text the AI review reads.
class GoalDetailModel : public QObject {
    Q_OBJECT
public:
    GoalDetailModel(AppEnvironment& environment, Goal& goal, QObject* parent = nullptr);

    // Null once the goal has left the store (deleted elsewhere, its creation
    // undone); the screen then goes away.
    Goal* goal() const { return goal_; }

    QString title() const;
    void setTitle(const QString& title);
    // Shown empty when absent; an empty text is stored as absent.
    QString goalDescription() const;
    void setGoalDescription(const QString& text);
    GoalStatus status() const;
    void setStatus(GoalStatus status);
    // An unknown stored tag reads as none, and stays stored until a pick.
    std::optional<GoalColorTag> colorTag() const;
    QString rawColorTag() const;
    void setColorTag(std::optional<GoalColorTag> tag);

    bool hasTargetDate() const;
    // On: now, unless a date is already set. Off: the date is cleared.
    void setHasTargetDate(bool on);
    Timestamp targetDate() const;
    void setTargetDate(Timestamp date);

    // The header: the status pill (empty while active), "{n} min logged"
    // (empty below one minute), the target badge.
    QString statusPillText() const;
    qint64 totalMinutes() const;
    QString minutesLoggedText() const;
    std::optional<TargetBadge> targetBadge() const;

    // The title, then a line feed and the description when there is one.
    QString reviewText() const;

    // The next keystroke starts a new undo step (focus left the field, the
    // typing paused).
    void endTypingBurst();

signals:
    void changed();
    void goalRemoved();

private:
    AppEnvironment& env_;
    Goal* goal_;
    TypingBursts typing_;
    QTimer dayCheck_;
    Timestamp startOfToday_ = 0;
};

} // namespace orvana
