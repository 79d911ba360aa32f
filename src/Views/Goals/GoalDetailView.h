#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace orvana {

class AIReviewSectionView;
class AppEnvironment;
class BadgeLabel;
class Goal;
class GoalColorTagPicker;
class GoalDetailModel;
class GoalTrailSection;
class SymbolIconLabel;

// A goal's detail page on the Goals stack: the header (colour dot, status,
// minutes logged, target badge), the goal's fields edited in place, its
// target date, its trail and the AI review of its title and description.
// It leaves the stack by itself when the goal leaves the store.
class GoalDetailView : public QWidget {
    Q_OBJECT
public:
    GoalDetailView(AppEnvironment& environment, Goal& goal, QWidget* parent = nullptr);

    GoalDetailModel* model() const { return model_; }
    QLineEdit* titleField() const { return title_; }
    QPlainTextEdit* descriptionField() const { return description_; }
    QComboBox* statusPicker() const { return status_; }
    GoalColorTagPicker* colorPicker() const { return color_; }
    QCheckBox* targetDateToggle() const { return hasTarget_; }
    QDateEdit* targetDateField() const { return target_; }
    GoalTrailSection* trail() const { return trail_; }
    AIReviewSectionView* review() const { return review_; }
    BadgeLabel* statusPill() const { return statusPill_; }
    QLabel* minutesLabel() const { return minutes_; }
    BadgeLabel* targetBadge() const { return targetBadge_; }

signals:
    void titleChanged(const QString& title);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void render();
    void renderTint();

    AppEnvironment& env_;
    GoalDetailModel* model_;
    QWidget* dot_ = nullptr;
    BadgeLabel* statusPill_ = nullptr;
    SymbolIconLabel* flame_ = nullptr;
    QLabel* minutes_ = nullptr;
    BadgeLabel* targetBadge_ = nullptr;
    QLineEdit* title_ = nullptr;
    QPlainTextEdit* description_ = nullptr;
    QComboBox* status_ = nullptr;
    GoalColorTagPicker* color_ = nullptr;
    QCheckBox* hasTarget_ = nullptr;
    QLabel* targetLabel_ = nullptr;
    QDateEdit* target_ = nullptr;
    GoalTrailSection* trail_ = nullptr;
    AIReviewSectionView* review_ = nullptr;
    QString shownTitle_;
    QString shownDescription_;
};

} // namespace orvana
