#pragma once

#include "Views/AI/AIReviewSectionModel.h"

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
// Each time it is shown it makes sure the store has an undo manager (so
// changes from then on can be undone from the Edit menu) and runs the daily
// backup.
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

    // What AI review needs; until it is given, Tools → AI Review… is off.
    void setAIReviewEnvironment(AIReviewEnvironment environment);
    void presentAIReview();

    // Where the daily backup goes when the window appears; empty turns it off.
    void setBackupDirectory(const QString& directory) { backupDirectory_ = directory; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    static QString defaultBackupDirectory();
    void mainNavigationAppeared();
    void updateUndoActions();

    ModelContext& context_;
    Preferences& preferences_;
    NotificationService& notifications_;
    QListWidget* sidebar_ = nullptr;
    QStackedWidget* detail_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QAction* aiReviewAction_ = nullptr;
    AIReviewEnvironment aiReview_;
    bool appeared_ = false;
    QString backupDirectory_ = defaultBackupDirectory();
};

} // namespace orvana
