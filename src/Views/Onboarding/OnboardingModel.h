#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <optional>

namespace orvana {

class AppEnvironment;

// The intro's pages, in order.
enum class OnboardingStep { chain = 0, ritual = 1, aiOptional = 2, createGoal = 3 };

inline constexpr std::array<OnboardingStep, 4> allOnboardingSteps{
    OnboardingStep::chain, OnboardingStep::ritual, OnboardingStep::aiOptional,
    OnboardingStep::createGoal};

// No step for any integer outside 0 ... 3.
std::optional<OnboardingStep> onboardingStepFromRaw(int raw);
inline int rawValue(OnboardingStep step) {
    return int(step);
}

// The intro without widgets: four pages shown one after the other with no
// way back; the last one leads into the goal form. Leaving it by any way
// (a skip button, or the goal form closing for whatever reason) writes
// hasCompletedOnboarding and nothing else; the main window follows the
// preference. The page reached is not kept: every model starts on the first.
class OnboardingModel : public QObject {
    Q_OBJECT
public:
    explicit OnboardingModel(AppEnvironment& environment, QObject* parent = nullptr);

    OnboardingStep step() const { return step_; }
    bool isLastStep() const { return step_ == OnboardingStep::createGoal; }
    bool isPresentingGoalForm() const { return presentingGoalForm_; }
    bool isComplete() const;

    // The page shown.
    QString title() const;
    QString text() const;
    // The pictogram (see symbolIcon).
    QString symbolName() const { return symbolName(step_); }
    static QString symbolName(OnboardingStep step);
    QString firstButtonText() const;
    QString secondButtonText() const;
    // The row of dots, as read aloud: "Page 2 of 4".
    QString pageDescription() const;
    static QString pageIndicatorName();

    // "Skip Intro" / "Skip": completes at once.
    void firstButton();
    // "Next", or on the last page "Create Your First Goal": asks for the goal
    // form (goalFormRequested) once; a second press while it shows does nothing.
    void secondButton();
    // The goal form has closed: saved, cancelled or closed, it completes.
    void goalFormDismissed();

signals:
    void changed();
    void goalFormRequested();

private:
    void complete();

    AppEnvironment& env_;
    OnboardingStep step_ = OnboardingStep::chain;
    bool presentingGoalForm_ = false;
};

} // namespace orvana
