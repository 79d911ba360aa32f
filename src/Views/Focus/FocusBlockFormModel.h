#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <set>
#include <vector>

namespace orvana {

class AppEnvironment;
class FocusBlockTemplate;
class Goal;
template <typename T> class LiveQuery;

// The recurring block form without widgets: "New Recurring Block" creates an
// active block, "Edit Recurring Block" changes one (title, weekdays, time,
// length, goal) as one undo step and keeps its identity, creation time and
// paused state. Save is possible while the trimmed title is not empty and at
// least one weekday is chosen.
class FocusBlockFormModel : public QObject {
    Q_OBJECT
public:
    static constexpr int durationStep = 5;

    // `editing` null: a new block.
    explicit FocusBlockFormModel(AppEnvironment& environment, FocusBlockTemplate* editing = nullptr,
                                 QObject* parent = nullptr);
    ~FocusBlockFormModel() override;

    bool isEditing() const { return editing_ != nullptr; }
    FocusBlockTemplate* editedBlock() const { return editing_; }
    QString windowTitle() const;
    static QString repeatsOnFooter();

    const QString& title() const { return title_; }
    void setTitle(const QString& title);

    // Weekday numbers 1 = Sunday ... 7 = Saturday; others are ignored.
    const std::set<qint64>& weekdays() const { return weekdays_; }
    bool isWeekdaySelected(qint64 weekday) const { return weekdays_.contains(weekday); }
    void setWeekdaySelected(qint64 weekday, bool selected);

    int hour() const { return hour_; }
    int minute() const { return minute_; }
    // A time that is no time of day falls back to 09:00.
    void setTime(int hour, int minute);

    qint64 durationMinutes() const { return durationMinutes_; }
    // Lands on the stepper's step within its range.
    void setDurationMinutes(qint64 minutes);
    // The stepper's range: 5...120, widened to hold an edited block's own
    // length (an import may carry any), so opening the form changes nothing.
    qint64 minimumDuration() const { return minimumDuration_; }
    qint64 maximumDuration() const { return maximumDuration_; }

    // The goal picker: "None", then every goal by sortOrder, as the goals
    // are now (added, renamed or deleted while the form is open).
    const std::vector<Goal*>& goals() const;
    Goal* goal() const { return goal_; }
    void setGoal(Goal* goal);

    bool canSave() const;
    // Creates or changes the block; true when the form may close.
    bool save();

signals:
    void changed();

private:
    AppEnvironment& env_;
    FocusBlockTemplate* editing_;
    QString title_;
    std::set<qint64> weekdays_{2, 3, 4, 5, 6};
    int hour_ = 9;
    int minute_ = 0;
    qint64 durationMinutes_ = 25;
    qint64 minimumDuration_ = 5;
    qint64 maximumDuration_ = 120;
    std::unique_ptr<LiveQuery<Goal>> goals_;
    Goal* goal_ = nullptr;
};

} // namespace orvana
