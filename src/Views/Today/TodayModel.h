#pragma once

#include "Core/Timestamp.h"
#include "Views/Shared/RowListModel.h"
#include "Views/Shared/UndoBannerModel.h"

#include <QHash>
#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

namespace orvana {

class AppEnvironment;
class DayTask;
class FocusBlockTemplate;
class Goal;
template <typename T> class LiveQuery;

// Today's list without widgets: overdue tasks, Today's One Thing, the
// recurring blocks still to start today and the rest of today's tasks, as one
// flat list of rows with section headers and guidance footers; search,
// completion, Move to Today, delete with undo, reorder, and the starts of
// focus sessions (announced through focusRequested, which the view turns into
// the focus timer).
//
// The day's boundaries follow the clock: at local midnight, and when a check
// finds the day has changed (after a suspend), the lists move to the new day.
class TodayModel : public QObject {
    Q_OBJECT
public:
    enum RowKind { headerRow, footerRow, overdueRow, oneThingRow, blockRow, taskRow };
    enum Role {
        KindRole = Qt::UserRole + 1,
        GoalTitleRole,  // text, empty without a goal
        ColorTagRole,   // the goal's raw colour tag, empty without one
        DateTextRole,   // overdue rows: the task's day
        ButtonTextRole, // "Move to Today", "Start"
        CompleteRole,   // bool
    };

    explicit TodayModel(AppEnvironment& environment, QObject* parent = nullptr);
    ~TodayModel() override;

    RowListModel* list() const { return list_; }
    UndoBannerModel* undoBanner() const { return undoBanner_; }

    static QString title();
    static QString searchPrompt();
    static QString addButtonText();
    // Guidance empty state: shown while today has no tasks and nothing is
    // overdue, whatever the search.
    bool showsEmptyState() const { return showsEmptyState_; }
    static QString emptyTitle();
    static QString emptySymbol();
    static QString emptyDescription();

    const QString& searchText() const { return searchText_; }
    void setSearchText(const QString& text);

    // The derived lists, as shown.
    DayTask* oneThingTask() const { return oneThing_; }
    const std::vector<DayTask*>& otherTasks() const { return otherTasks_; }
    const std::vector<DayTask*>& filteredOverdueTasks() const { return overdue_; }
    const std::vector<FocusBlockTemplate*>& unmaterializedTemplatesToday() const {
        return templates_;
    }
    Timestamp startOfToday() const { return startOfToday_; }

    // Row helpers for the view.
    DayTask* taskAt(int row) const;
    FocusBlockTemplate* templateAt(int row) const;
    bool isTaskRow(int row) const { return taskAt(row) != nullptr; }
    // Rows of section 4 only: those that delete and reorder.
    bool isDeletableRow(int row) const;

    // --- actions -----------------------------------------------------
    void toggleComplete(DayTask& task);
    void moveToToday(DayTask& task);
    void startFocus(DayTask& task) { emit focusRequested(&task); }
    void startBlock(FocusBlockTemplate& block);
    // Deletes the tasks in turn; the undo banner names the last one.
    void deleteTasks(const std::vector<DayTask*>& tasks);
    // Alt+Up / Alt+Down on a row of section 4; false at the section's edge
    // and while a search is on.
    bool moveTaskRow(int row, int delta);

    // Re-reads the clock: moves to a new day if one has begun.
    void checkDay();

    static QString deletedMessage(const QString& title);

signals:
    void focusRequested(DayTask* task);
    // After every refresh of the rows (the empty state may have changed).
    void changed();

private:
    void setDay();
    void rebuild();
    void renumberShownTasks();
    bool canMoveRows(int source, int count, int destination) const;
    int taskSectionBegin() const;
    int taskSectionEnd() const;

    // The values of a task's row (the list's derived rows).
    QVariant taskRowData(const ListRow& row, int role) const;
    // A date as overdue rows show it.
    QString dayText(Timestamp date) const;

    AppEnvironment& env_;
    RowListModel* list_;
    UndoBannerModel* undoBanner_;
    std::unique_ptr<LiveQuery<DayTask>> tasks_;
    std::unique_ptr<LiveQuery<DayTask>> overdueTasks_;
    std::unique_ptr<LiveQuery<FocusBlockTemplate>> activeTemplates_;
    Timestamp startOfToday_ = 0;
    Timestamp startOfTomorrow_ = 0;
    QString searchText_;
    DayTask* oneThing_ = nullptr;
    std::vector<DayTask*> otherTasks_;
    std::vector<DayTask*> overdue_;
    std::vector<FocusBlockTemplate*> templates_;
    bool showsEmptyState_ = false;
    QHash<const DayTask*, QString> taskKeys_; // rows' keys, made once per task
    mutable QHash<Timestamp, QString> dayTexts_;
    QTimer midnight_;
    QTimer dayCheck_;
};

} // namespace orvana
