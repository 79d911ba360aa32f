#pragma once

#include <QDialog>
#include <QList>
#include <QUuid>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QVBoxLayout;

namespace orvana {

class AIReviewSectionView;
class AppEnvironment;
class Goal;
class GuidedEmptyState;
class RecordListView;
class Week;
class WeeklyRitualModel;

// The weekly ritual as a dialog over the Weeks screen: one page per step,
// "Close" on the left (Escape), "Back", then "Next" or, on the last step,
// "Finish" as the default button. Every edit is stored as typed, so closing
// keeps it; "Finish" marks the week's ritual as done and closes.
//
// Show it window-modal and let it delete itself:
//     auto* ritual = new WeeklyRitualView(env, this);
//     ritual->setAttribute(Qt::WA_DeleteOnClose);
//     ritual->open();
class WeeklyRitualView : public QDialog {
    Q_OBJECT
public:
    // The ritual of the week holding now, as the Weeks screen finds it (made
    // when not yet stored).
    explicit WeeklyRitualView(AppEnvironment& environment, QWidget* parent = nullptr);
    WeeklyRitualView(AppEnvironment& environment, Week& week, QWidget* parent = nullptr);

    WeeklyRitualModel* model() const { return model_; }
    QLabel* titleLabel() const { return title_; }
    QPushButton* closeButton() const { return close_; }
    QPushButton* backButton() const { return back_; }
    QPushButton* nextButton() const { return next_; }
    QPushButton* finishButton() const { return finish_; }

    QLabel* retroEmptyLabel() const { return retroEmpty_; }
    RecordListView* retroList() const { return retroList_; }
    QPlainTextEdit* reflectionField() const { return reflection_; }
    QPlainTextEdit* intentionField() const { return intention_; }
    GuidedEmptyState* noGoalsState() const { return noGoals_; }
    // The plan step's parts for an active goal; null for any other goal and,
    // with many goals, for one whose section was not yet needed: sections are
    // made as the page scrolls or the focus moves down to them.
    QGroupBox* goalSection(const Goal& goal) const;
    QLineEdit* addField(const Goal& goal) const;
    QPushButton* addButton(const Goal& goal) const;
    RecordListView* goalItemList(const Goal& goal) const;
    QLabel* intentionSummary() const { return intentionSummary_; }
    QLabel* finishEmptyLabel() const { return finishEmpty_; }
    RecordListView* finishList() const { return finishList_; }
    // Present only when the environment can reach a reviewer.
    AIReviewSectionView* reviewSection() const { return review_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    WeeklyRitualView(AppEnvironment& environment, Week* week, QWidget* parent);

    struct GoalSection {
        QUuid id;
        Goal* goal = nullptr;
        QGroupBox* box = nullptr;
        RecordListView* list = nullptr;
        QLineEdit* field = nullptr;
        QPushButton* add = nullptr;
    };

    QWidget* buildRetroPage();
    QWidget* buildIntentionPage();
    QWidget* buildPlanPage();
    QWidget* buildFinishPage();
    GoalSection makeGoalSection(Goal& goal);
    const GoalSection* sectionOf(const QUuid& goal) const;
    void render();
    void renderPlan();
    void renderSection(const GoalSection& section);
    void renderDraft(const QUuid& goal);
    void growSections(bool always);
    void focusStep();

    AppEnvironment& env_;
    WeeklyRitualModel* model_;
    QLabel* title_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QWidget* retroPage_ = nullptr;
    QWidget* intentionPage_ = nullptr;
    QWidget* planPage_ = nullptr;
    QWidget* finishPage_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* finish_ = nullptr;

    QLabel* retroEmpty_ = nullptr;
    RecordListView* retroList_ = nullptr;
    QPlainTextEdit* reflection_ = nullptr;
    QString shownReflection_;
    QPlainTextEdit* intention_ = nullptr;
    QString shownIntention_;
    GuidedEmptyState* noGoals_ = nullptr;
    QScrollArea* planScroll_ = nullptr;
    QVBoxLayout* goalSections_ = nullptr;
    std::vector<GoalSection> sections_;
    std::size_t sectionsWanted_ = 0;
    std::size_t activeGoalCount_ = 0;
    QLabel* intentionSummary_ = nullptr;
    QLabel* finishEmpty_ = nullptr;
    RecordListView* finishList_ = nullptr;
    AIReviewSectionView* review_ = nullptr;
    int shownStep_ = -1;
};

} // namespace orvana
