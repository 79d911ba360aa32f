#include "Views/Onboarding/OnboardingModel.h"

#include "Services/AppEnvironment.h"
#include "Services/Preferences.h"

namespace orvana {

std::optional<OnboardingStep> onboardingStepFromRaw(int raw) {
    if (raw < 0 || raw >= int(allOnboardingSteps.size()))
        return std::nullopt;
    return allOnboardingSteps[std::size_t(raw)];
}

OnboardingModel::OnboardingModel(AppEnvironment& environment, QObject* parent)
    : QObject(parent), env_(environment) {}

bool OnboardingModel::isComplete() const {
    return env_.preferences().value(PreferenceKeys::hasCompletedOnboarding);
}

QString OnboardingModel::title() const {
    switch (step_) {
    case OnboardingStep::chain:
        return tr("Goals, Broken Down");
    case OnboardingStep::ritual:
        return tr("A Weekly Ritual");
    case OnboardingStep::aiOptional:
        return tr("AI Is Optional");
    case OnboardingStep::createGoal:
        return tr("Let's Start");
    }
    return {};
}

QString OnboardingModel::text() const {
    switch (step_) {
    case OnboardingStep::chain:
        return tr("Orvana starts from your goals, not a blank inbox. Each goal breaks down into "
                  "weeks, and each week breaks down into today's tasks.");
    case OnboardingStep::ritual:
        return tr("Every week, a short guided ritual helps you set an intention and pick what "
                  "actually moves each goal forward -- instead of a blank form.");
    case OnboardingStep::aiOptional:
        return tr("You can optionally add your own AI provider key in Settings to get a quick "
                  "critique on your goals and weekly plans. Everything else works fully "
                  "without it.");
    case OnboardingStep::createGoal:
        return tr("Add your first goal to get going.");
    }
    return {};
}

QString OnboardingModel::symbolName(OnboardingStep step) {
    switch (step) {
    case OnboardingStep::chain:
        return QStringLiteral("target");
    case OnboardingStep::ritual:
        return QStringLiteral("calendar");
    case OnboardingStep::aiOptional:
        return QStringLiteral("sparkles");
    case OnboardingStep::createGoal:
        return QStringLiteral("flag");
    }
    return {};
}

QString OnboardingModel::firstButtonText() const {
    return isLastStep() ? tr("Skip") : tr("Skip Intro");
}

QString OnboardingModel::secondButtonText() const {
    return isLastStep() ? tr("Create Your First Goal") : tr("Next");
}

QString OnboardingModel::pageDescription() const {
    return tr("Page %1 of %2").arg(rawValue(step_) + 1).arg(allOnboardingSteps.size());
}

QString OnboardingModel::pageIndicatorName() {
    return tr("Page");
}

void OnboardingModel::firstButton() {
    complete();
}

void OnboardingModel::secondButton() {
    if (!isLastStep()) {
        step_ = *onboardingStepFromRaw(rawValue(step_) + 1);
        emit changed();
        return;
    }
    if (presentingGoalForm_)
        return;
    presentingGoalForm_ = true;
    emit changed();
    emit goalFormRequested();
}

void OnboardingModel::goalFormDismissed() {
    if (presentingGoalForm_) {
        presentingGoalForm_ = false;
        emit changed();
    }
    complete();
}

void OnboardingModel::complete() {
    env_.preferences().setValue(PreferenceKeys::hasCompletedOnboarding, true);
}

} // namespace orvana
