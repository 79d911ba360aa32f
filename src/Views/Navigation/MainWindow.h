#pragma once

#include <QMainWindow>
#include <QPointer>

class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QStackedWidget;

namespace orvana {

class AppEnvironment;
class Goal;
class MainWindowModel;
class NavigationStack;
class OnboardingView;
class SettingsView;
class SyncStatusFooter;

// The main window: the onboarding pages until onboarding is complete, then a
// sidebar of the five sections beside the selected section's screen, each
// inside its own navigation stack. Ctrl+1 ... Ctrl+5 select the sections.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(AppEnvironment& environment, QWidget* parent = nullptr);
    ~MainWindow() override;

    MainWindowModel* model() const { return model_; }
    QListWidget* sidebar() const { return sidebar_; }
    // The selected section's stack; null while nothing is selected.
    NavigationStack* currentSection() const { return section_; }
    OnboardingView* onboarding() const { return onboarding_; }

    QAction* undoAction() const { return undoAction_; }
    QAction* redoAction() const { return redoAction_; }

    // The focus timer for no task and an optional goal.
    void presentQuickFocusTimer(Goal* goal = nullptr);
    void presentAIReview();
    // Shown (also from the tray or minimised), raised and activated: a
    // second start, a launcher or an intent asks for the window.
    void comeForward();
    // File → Quit and the tray's Quit: saves first; when that fails, asks
    // whether to try again, save a copy elsewhere, or quit and lose them.
    void requestQuit();
    // A sync page in place of a section's screen, the sidebar's selection
    // cleared (a section's shortcut or a click goes back).
    enum class SyncPage { conflicts, deletedElsewhere };
    void presentSyncPage(SyncPage page);
    SyncStatusFooter* syncFooter() const { return syncFooter_; }

    // The one Settings window, made anew when it was closed (Ctrl+,).
    void presentSettings();
    SettingsView* settings() const;
    QAction* settingsAction() const { return settingsAction_; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void navigationAppeared();
    void showNavigationOrOnboarding();
    void showSelection();
    void replaceSection(NavigationStack* stack);
    void updateUndoActions();
    void showSaveProblem(const QString& problem);
    bool saveCopy();

    AppEnvironment& env_;
    MainWindowModel* model_;
    QStackedWidget* pages_ = nullptr;
    OnboardingView* onboarding_ = nullptr;
    QWidget* navigation_ = nullptr;
    QListWidget* sidebar_ = nullptr;
    QStackedWidget* detail_ = nullptr;
    QWidget* noSelection_ = nullptr;
    NavigationStack* section_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QAction* aiReviewAction_ = nullptr;
    QAction* settingsAction_ = nullptr;
    QAction* conflictsAction_ = nullptr;
    QAction* deletedAction_ = nullptr;
    SyncStatusFooter* syncFooter_ = nullptr;
    QFrame* saveStrip_ = nullptr;
    QLabel* saveProblem_ = nullptr;
    QPointer<SettingsView> settings_;
    bool shownBefore_ = false;
};

} // namespace orvana
