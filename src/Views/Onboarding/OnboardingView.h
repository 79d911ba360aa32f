#pragma once

#include <QWidget>
#include <vector>

class QLabel;
class QPushButton;

namespace orvana {

class AppEnvironment;
class OnboardingModel;
class PageDots;
class SymbolIconLabel;

// The intro the window shows until onboarding is complete: one page at a
// time (pictogram, title, text, a dot per page, the two buttons). Return
// anywhere on it presses the second button ("Next", then "Create Your First
// Goal", which opens the goal form over the window).
class OnboardingView : public QWidget {
    Q_OBJECT
public:
    explicit OnboardingView(AppEnvironment& environment, QWidget* parent = nullptr);

    OnboardingModel* model() const { return model_; }
    QLabel* titleLabel() const { return title_; }
    QLabel* textLabel() const { return text_; }
    PageDots* pageIndicator() const { return dots_; }
    // "Skip Intro" / "Skip".
    QPushButton* firstButton() const { return first_; }
    // "Next" / "Create Your First Goal", the default button.
    QPushButton* secondButton() const { return second_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void render();
    void presentGoalForm();

    AppEnvironment& env_;
    OnboardingModel* model_;
    std::vector<SymbolIconLabel*> icons_; // one per page, the current one shown
    QLabel* title_ = nullptr;
    QLabel* text_ = nullptr;
    PageDots* dots_ = nullptr;
    QPushButton* first_ = nullptr;
    QPushButton* second_ = nullptr;
};

} // namespace orvana
