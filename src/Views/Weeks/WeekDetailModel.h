#pragma once

#include "Store/TypingBursts.h"
#include "Views/Shared/RowListModel.h"

#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

namespace orvana {

class AppEnvironment;
class Goal;
class Week;
class WeekItem;
template <typename T> class LiveQuery;

// A week's detail without widgets: the two pills, the intention edited in
// place (a burst of typing is one undo step), the items in their order with
// completion, "Add to Today", delete and reorder, and the add row.
class WeekDetailModel : public QObject {
    Q_OBJECT
public:
    enum Role {
        GoalTitleRole = Qt::UserRole + 1, // empty without a goal
        CompleteRole,                     // bool
        OnTodayRole,                      // bool: "On Today" instead of "Add to Today"
    };

    WeekDetailModel(AppEnvironment& environment, Week& week, QObject* parent = nullptr);
    ~WeekDetailModel() override;

    // Null once the week has left the store; the screen then goes away.
    Week* week() const { return week_; }
    RowListModel* list() const { return list_; }

    QString title() const; // the week's dates
    bool ritualDone() const;
    QString ritualPillText() const;
    QString itemsSummary() const;
    bool allItemsDone() const;

    // Shown empty when absent; an empty text is stored as absent.
    QString intention() const;
    void setIntention(const QString& text);
    // The next keystroke starts a new undo step (focus left the field, the
    // typing paused).
    void endTypingBurst();
    static QString intentionPrompt();

    // The items by sortOrder; ties keep the week's own order.
    std::vector<WeekItem*> sortedItems() const;
    WeekItem* itemAt(int row) const;
    bool isPlannedForToday(const WeekItem& item) const;

    // Completing withdraws the pending reminders of the item's tasks;
    // reopening brings none back. A deleted item is left alone, here and in
    // addToToday.
    void toggleComplete(WeekItem& item);
    // The item's task for today, made when there is none.
    void addToToday(WeekItem& item);
    // Deletes the items and their tasks (reminders withdrawn); no banner.
    void deleteItems(const std::vector<WeekItem*>& items);
    // Alt+Up / Alt+Down: one place up (-1) or down (+1), renumbered.
    bool moveItemRow(int row, int delta);

    // The add row.
    const std::vector<Goal*>& goals() const;
    const QString& newItemTitle() const { return newItemTitle_; }
    void setNewItemTitle(const QString& text);
    Goal* newItemGoal() const { return newItemGoal_; }
    void setNewItemGoal(Goal* goal);
    bool canAddItem() const;
    // Adds the item (last) and clears the add row. Returns it, or null.
    WeekItem* addItem();
    static QString addItemPrompt();

    static QString footerText();

signals:
    void changed();
    void weekRemoved();

private:
    void rebuild();
    void renumber();

    AppEnvironment& env_;
    Week* week_;
    RowListModel* list_;
    std::unique_ptr<LiveQuery<Goal>> goals_;
    QString newItemTitle_;
    Goal* newItemGoal_ = nullptr;
    TypingBursts typing_;
    QTimer dayCheck_;
    double startOfToday_ = 0;
};

} // namespace orvana
