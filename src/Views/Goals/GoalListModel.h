#pragma once

#include "Views/Shared/RowListModel.h"
#include "Views/Shared/UndoBannerModel.h"

#include <QHash>
#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

namespace orvana {

class AppEnvironment;
class Goal;
template <typename T> class LiveQuery;

// The "Goals" list without widgets: every goal by sort order (no grouping by
// status), search, the row's badges (status, minutes, target date), and
// delete with undo.
class GoalListModel : public QObject {
    Q_OBJECT
public:
    enum Role {
        ColorTagRole = Qt::UserRole + 1, // the raw colour tag, empty without one
        StatusTextRole,                  // empty while active
        MinutesTextRole,                 // "45 min", empty below one minute
        BadgeTextRole,                   // the target badge, empty without a date
        BadgeToneRole,                   // int(TargetBadge::Tone)
    };

    explicit GoalListModel(AppEnvironment& environment, QObject* parent = nullptr);
    ~GoalListModel() override;

    RowListModel* list() const { return list_; }
    UndoBannerModel* undoBanner() const { return undoBanner_; }

    static QString title();
    static QString searchPrompt();
    static QString addButtonText();
    // Only when there are no goals at all, not when a search matches none.
    bool showsEmptyState() const { return showsEmptyState_; }
    static QString emptyTitle();
    static QString emptySymbol();
    static QString emptyDescription();

    const QString& searchText() const { return searchText_; }
    void setSearchText(const QString& text);

    // The goals as shown (under the search).
    const std::vector<Goal*>& filteredGoals() const { return filtered_; }
    Goal* goalAt(int row) const;
    int rowOf(const Goal* goal) const;

    // Focus minutes logged on the goal, kept until its trail changes.
    qint64 totalMinutes(const Goal& goal) const;

    // Deletes the goals in turn (with their week items, tasks and trail);
    // the undo banner names the last one.
    void deleteGoals(const std::vector<Goal*>& goals);
    static QString deletedMessage(const QString& title);

    // Re-reads the clock: the target badges count days from today.
    void checkDay();

signals:
    void changed();

private:
    void rebuild();

    AppEnvironment& env_;
    RowListModel* list_;
    UndoBannerModel* undoBanner_;
    std::unique_ptr<LiveQuery<Goal>> goals_;
    QString searchText_;
    std::vector<Goal*> filtered_;
    bool showsEmptyState_ = false;
    mutable QHash<const Goal*, qint64> minutes_;
    double startOfToday_ = 0;
    QTimer dayCheck_;
};

} // namespace orvana
