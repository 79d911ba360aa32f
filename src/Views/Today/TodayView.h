#pragma once

#include <QWidget>

class QAction;
class QLabel;
class QLineEdit;
class QToolButton;

namespace orvana {

class AppEnvironment;
class DayTask;
class GuidedEmptyState;
class RecordListView;
class TodayModel;
class TodayRowDelegate;
class UndoBanner;

// The Today screen: renders a TodayModel and forwards what the user does.
class TodayView : public QWidget {
    Q_OBJECT
public:
    explicit TodayView(AppEnvironment& environment, QWidget* parent = nullptr);

    TodayModel* model() const { return model_; }
    RecordListView* list() const { return list_; }
    QLineEdit* searchField() const { return search_; }
    QToolButton* addButton() const { return add_; }
    UndoBanner* undoBanner() const { return banner_; }
    GuidedEmptyState* emptyState() const { return empty_; }

    // The task form, window-modal over this screen.
    void presentTaskForm(DayTask* editing = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void render();
    void updateRowActions(int row);
    void activateRow(int row);
    std::vector<DayTask*> selectedDeletableTasks() const;

    AppEnvironment& env_;
    TodayModel* model_;
    RecordListView* list_ = nullptr;
    TodayRowDelegate* delegate_ = nullptr;
    QLineEdit* search_ = nullptr;
    QToolButton* add_ = nullptr;
    GuidedEmptyState* empty_ = nullptr;
    UndoBanner* banner_ = nullptr;
    QAction* toggle_ = nullptr;
    QAction* moveToToday_ = nullptr;
    QAction* focus_ = nullptr;
    QAction* start_ = nullptr;
    QAction* edit_ = nullptr;
    QAction* delete_ = nullptr;
    QAction* moveUp_ = nullptr;
    QAction* moveDown_ = nullptr;
};

} // namespace orvana
