#pragma once

#include <QStringList>
#include <QWidget>
#include <vector>

class QAction;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace orvana {

class AppEnvironment;
class BadgeLabel;
class GuidedFooterText;
class RecordListView;
class Week;
class WeekDetailModel;
class WeekItem;
class WeekItemRowDelegate;

// A week's detail page (on the Weeks stack, or in the dialog after planning
// a week): the ritual and summary pills, the intention, the items with their
// row actions (Space completes, Ctrl+T adds to Today, Alt+Up/Alt+Down and a
// drag reorder, Delete deletes), the add row and the guidance footer. On the
// stack it leaves by itself when the week leaves the store.
class WeekDetailView : public QWidget {
    Q_OBJECT
public:
    WeekDetailView(AppEnvironment& environment, Week& week, QWidget* parent = nullptr);

    WeekDetailModel* model() const { return model_; }
    BadgeLabel* ritualPill() const { return ritualPill_; }
    BadgeLabel* summaryPill() const { return summaryPill_; }
    QPlainTextEdit* intentionField() const { return intention_; }
    RecordListView* items() const { return items_; }
    QLineEdit* newItemField() const { return newItem_; }
    QComboBox* goalPicker() const { return goal_; }
    QPushButton* addButton() const { return add_; }
    GuidedFooterText* footer() const { return footer_; }
    QAction* toggleAction() const { return toggle_; }
    QAction* addToTodayAction() const { return addToToday_; }
    QAction* moveUpAction() const { return moveUp_; }
    QAction* moveDownAction() const { return moveDown_; }
    QAction* deleteAction() const { return delete_; }

signals:
    void titleChanged(const QString& title);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void render();
    void renderGoals();
    void updateRowActions(int row);
    std::vector<WeekItem*> selectedItems() const;

    AppEnvironment& env_;
    WeekDetailModel* model_;
    BadgeLabel* ritualPill_ = nullptr;
    BadgeLabel* summaryPill_ = nullptr;
    QPlainTextEdit* intention_ = nullptr;
    RecordListView* items_ = nullptr;
    WeekItemRowDelegate* delegate_ = nullptr;
    QLineEdit* newItem_ = nullptr;
    QComboBox* goal_ = nullptr;
    QPushButton* add_ = nullptr;
    GuidedFooterText* footer_ = nullptr;
    QAction* toggle_ = nullptr;
    QAction* addToToday_ = nullptr;
    QAction* moveUp_ = nullptr;
    QAction* moveDown_ = nullptr;
    QAction* delete_ = nullptr;
    QString shownIntention_;
    QString shownTitle_;
    std::vector<const void*> shownGoals_;
    QStringList shownGoalTitles_;
};

} // namespace orvana
