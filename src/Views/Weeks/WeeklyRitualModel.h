#pragma once

#include "Store/TypingBursts.h"
#include "Views/Shared/RowListModel.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUuid>
#include <vector>

namespace orvana {

class AppEnvironment;
class Goal;
class Record;
class Week;
class WeekItem;

enum class RitualStep { retro, intention, planItems, finish };

// The weekly ritual without widgets: look back at the previous week, set the
// intention, add items per active goal, review and finish. Every edit lands
// on the records at once (the store's autosave keeps it); closing keeps it
// all, and only finish() stamps the week as done. A burst of typing in the
// reflection or the intention is one undo step.
class WeeklyRitualModel : public QObject {
    Q_OBJECT
public:
    // A null week (the calendar could not place today) gives an empty ritual.
    WeeklyRitualModel(AppEnvironment& environment, Week* week, QObject* parent = nullptr);

    // Null once the week has left the store; the ritual then goes away.
    Week* week() const { return week_; }
    // The week with the latest start before this one's, read anew each time.
    Week* previousWeek() const;

    // retro (only with a previous week), intention, planItems, finish.
    std::vector<RitualStep> steps() const;
    int stepIndex() const { return stepIndex_; }
    // The step at the index, clamped into the current list (a previous week
    // made or deleted meanwhile changes the list under the index).
    RitualStep step() const;
    static QString title(RitualStep step);
    QString title() const { return title(step()); }
    bool canGoBack() const { return stepIndex_ >= 1; }
    bool isFinishStep() const { return step() == RitualStep::finish; }
    void back();
    void next();
    // Stamps the week's ritual as done now and withdraws the pending weekly
    // ritual reminder; then finished() tells the view to go.
    void finish();

    // Retro: the previous week's items, goal-less first, then by goal title,
    // ties by sortOrder.
    std::vector<WeekItem*> retroItems() const;
    static std::vector<WeekItem*> itemsByGoal(const Week& week);
    // Shown empty when absent; an empty text is stored as absent.
    QString reflection() const;
    void setReflection(const QString& text);
    QString intention() const;
    void setIntention(const QString& text);

    // Plan: the active goals by sortOrder, each with its items by sortOrder
    // and its own new-item field.
    std::vector<Goal*> activeGoals() const;
    std::vector<WeekItem*> itemsForGoal(const Goal& goal) const;
    QString newItemTitle(const Goal& goal) const;
    void setNewItemTitle(const Goal& goal, const QString& text);
    bool canAddItem(const Goal& goal) const;
    // The trimmed title as a new item of the goal, last in the week; the
    // goal's field is cleared. Null when the title is blank.
    WeekItem* addItem(Goal& goal);

    // Finish: the intention when set and not empty, the week's items by
    // sortOrder, and the text the AI review reads.
    bool hasIntention() const;
    std::vector<WeekItem*> weekItemsBySortOrder() const;
    // The intention (when set and not empty), then every item's title in the
    // week's own item order, one per line.
    QString reviewText() const;

    // The rows of the three lists: the retro list (completion shown), a
    // goal's items on the plan step, the week's items on the finish step.
    enum Role { GoalTitleRole = Qt::UserRole + 1, CompleteRole, ShowsCompletionRole };
    RowListModel* retroList() const { return retroRows_; }
    RowListModel* planList(const Goal& goal);
    RowListModel* finishList() const { return finishRows_; }

    // The next keystroke starts a new undo step.
    void endTypingBurst();

signals:
    // Anything shown may have moved; a goal's own field text and its Add
    // button alone say so through newItemTitleChanged.
    void changed();
    void newItemTitleChanged(const QUuid& goal);
    void finished();
    void weekRemoved();

private:
    void update(unsigned types);
    void refreshRows(unsigned types);

    AppEnvironment& env_;
    Week* week_;
    int stepIndex_ = 0;
    QHash<QUuid, QString> newItemTitleByGoal_;
    RowListModel* retroRows_;
    RowListModel* finishRows_;
    QHash<QUuid, RowListModel*> planRows_;
    TypingBursts typing_;
};

} // namespace orvana
