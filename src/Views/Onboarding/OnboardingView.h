#pragma once

#include <QWidget>

class QPushButton;

namespace orvana {

// What the window shows until onboarding is complete. For now the welcome
// page alone, whose "Skip Intro" completes onboarding.
class OnboardingView : public QWidget {
    Q_OBJECT
public:
    explicit OnboardingView(QWidget* parent = nullptr);
    QPushButton* skipButton() const { return skip_; }

signals:
    void skipRequested();

private:
    QPushButton* skip_ = nullptr;
};

} // namespace orvana
