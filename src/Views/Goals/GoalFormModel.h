#pragma once

#include "Core/Timestamp.h"
#include "Models/Enums.h"

#include <QObject>
#include <QString>
#include <optional>

namespace orvana {

class AppEnvironment;
class Goal;

// "New Goal" without widgets: title, description, an optional target date
// and a colour. It only ever creates; a goal is edited on its detail screen.
class GoalFormModel : public QObject {
    Q_OBJECT
public:
    explicit GoalFormModel(AppEnvironment& environment, QObject* parent = nullptr);

    static QString windowTitle();

    const QString& title() const { return title_; }
    void setTitle(const QString& title);
    const QString& goalDescription() const { return description_; }
    void setGoalDescription(const QString& text);
    bool hasTargetDate() const { return hasTargetDate_; }
    void setHasTargetDate(bool on);
    // Starts at the moment the form was made, not when the toggle goes on.
    Timestamp targetDate() const { return targetDate_; }
    void setTargetDate(Timestamp date);
    std::optional<GoalColorTag> colorTag() const { return colorTag_; }
    void setColorTag(std::optional<GoalColorTag> tag);

    // While the title, trimmed of white space and line breaks, is not empty.
    bool canSave() const;
    // Inserts the goal (active, sort order 0); the store's autosave keeps it.
    Goal* save();
    Goal* savedGoal() const { return saved_; }

signals:
    void changed();

private:
    AppEnvironment& env_;
    QString title_;
    QString description_;
    bool hasTargetDate_ = false;
    Timestamp targetDate_;
    std::optional<GoalColorTag> colorTag_;
    Goal* saved_ = nullptr;
};

} // namespace orvana
