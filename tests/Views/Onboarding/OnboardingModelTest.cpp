#include "Views/Onboarding/OnboardingModel.h"

#include "support/TestEnvironment.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using namespace orvana;

bool completed(const test::TestEnvironment& t) {
    return t.preferences.value(PreferenceKeys::hasCompletedOnboarding);
}

// What the preference file holds.
QJsonObject storedPreferences(const test::TestEnvironment& t) {
    QFile file(t.preferences.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

TEST(OnboardingModel, NextRunsThroughThePagesOnlyForwardsAndTheLastOpensTheGoalForm) {
    test::TestEnvironment t;
    OnboardingModel model(t.env);
    QSignalSpy changed(&model, &OnboardingModel::changed);
    QSignalSpy formRequested(&model, &OnboardingModel::goalFormRequested);
    std::vector<OnboardingStep> steps{model.step()};
    for (int i = 0; i < 3; ++i) {
        model.secondButton();
        steps.push_back(model.step());
    }
    EXPECT_EQ(steps, (std::vector<OnboardingStep>{OnboardingStep::chain, OnboardingStep::ritual,
                                                  OnboardingStep::aiOptional,
                                                  OnboardingStep::createGoal}));
    EXPECT_EQ(changed.size(), 3);
    EXPECT_EQ(formRequested.size(), 0);
    EXPECT_FALSE(model.isPresentingGoalForm());

    model.secondButton();
    EXPECT_TRUE(model.isPresentingGoalForm());
    EXPECT_EQ(formRequested.size(), 1);
    model.secondButton(); // a second press while the form shows
    EXPECT_EQ(formRequested.size(), 1);
    EXPECT_EQ(model.step(), OnboardingStep::createGoal) << "no page after the last";
    EXPECT_FALSE(completed(t)) << "showing the form is not the end yet";

    EXPECT_TRUE(storedPreferences(t).isEmpty()) << "the page reached is not stored";
    EXPECT_EQ(OnboardingModel(t.env).step(), OnboardingStep::chain) << "a new one starts anew";

    model.goalFormDismissed();
    EXPECT_FALSE(model.isPresentingGoalForm());
    EXPECT_TRUE(model.isComplete());
}

TEST(OnboardingModel, EveryWayOutCompletesAndNothingButTheCompletionIsStored) {
    // Skip Intro on each of the first three pages, Skip on the last.
    for (int page = 0; page < 4; ++page) {
        test::TestEnvironment t;
        OnboardingModel model(t.env);
        for (int i = 0; i < page; ++i)
            model.secondButton();
        ASSERT_EQ(rawValue(model.step()), page);
        EXPECT_FALSE(completed(t));
        model.firstButton();
        EXPECT_TRUE(completed(t)) << "page " << page;
        EXPECT_FALSE(model.isPresentingGoalForm());
        EXPECT_EQ(storedPreferences(t), (QJsonObject{{"hasCompletedOnboarding", true}}))
            << "page " << page;
        EXPECT_EQ(t.context.count<Goal>(), 0u) << "skipping makes no goal";
    }
    // The goal form closing, saved or cancelled alike (the model hears only that it closed).
    test::TestEnvironment t;
    OnboardingModel model(t.env);
    for (int i = 0; i < 4; ++i)
        model.secondButton();
    ASSERT_TRUE(model.isPresentingGoalForm());
    model.goalFormDismissed();
    EXPECT_TRUE(completed(t));
    EXPECT_EQ(storedPreferences(t), (QJsonObject{{"hasCompletedOnboarding", true}}));
}

} // namespace
