#pragma once

#include <QMainWindow>

class QAction;
class QListWidget;
class QStackedWidget;

namespace orvana {

class Goal;
class ModelContext;
class NotificationService;
class Preferences;

// The main window: a sidebar of sections and the selected section's screen.
// When it is first shown it gives the store its undo manager, so changes made
// from then on can be undone from the Edit menu.
class ContentView : public QMainWindow {
    Q_OBJECT
public:
    ContentView(ModelContext& context, Preferences& preferences, NotificationService& notifications,
                QWidget* parent = nullptr);

    // The focus timer for no task and an optional goal (Focus menu, and
    // outside requests to start a session).
    void presentQuickFocusTimer(Goal* goal = nullptr);

    QAction* undoAction() const { return undoAction_; }
    QAction* redoAction() const { return redoAction_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void mainNavigationAppeared();
    void updateUndoActions();

    ModelContext& context_;
    Preferences& preferences_;
    NotificationService& notifications_;
    QListWidget* sidebar_ = nullptr;
    QStackedWidget* detail_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    bool appeared_ = false;
};

} // namespace orvana
