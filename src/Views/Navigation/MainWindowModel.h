#pragma once

#include "Views/Navigation/SidebarSection.h"

#include <QObject>
#include <QTimer>
#include <QUuid>
#include <memory>
#include <optional>

namespace orvana {

class AppEnvironment;
class DayTask;
class Goal;
template <typename T> class LiveQuery;

// The main window without widgets: the onboarding gate, the selected
// section, the start-up work each time the navigation appears (undo
// manager, daily backup, launcher badge) and the live overdue count, and
// outside requests to start a focus session.
class MainWindowModel : public QObject {
    Q_OBJECT
public:
    explicit MainWindowModel(AppEnvironment& environment, QObject* parent = nullptr);
    ~MainWindowModel() override;

    // While hasCompletedOnboarding is false; onboardingChanged follows it.
    bool showsOnboarding() const;

    std::optional<SidebarSection> selection() const { return selection_; }
    void setSelection(std::optional<SidebarSection> section);
    static QString sidebarTitle();
    static QString noSelectionTitle();
    static QString noSelectionSymbol();

    // Each time the main navigation appears (not while onboarding shows):
    // the undo manager, the badge, the nudges planned and kept current, and
    // today's backup marked as due.
    void navigationAppeared();
    // Starts a due backup: the window calls this once it has painted, so the
    // record copy the backup takes never delays the first picture.
    void runPendingBackup();
    bool isBackupPending() const { return backupPending_; }
    bool hasAppeared() const { return appeared_; }

    // Open tasks dated before today, kept current.
    qint64 overdueCount() const { return overdueCount_; }

    // "Couldn't save your changes: {error}" from the last failed save, until
    // one succeeds; empty while saves go through.
    const QString& saveProblem() const { return saveProblem_; }
    // Saves now (the banner's Try Again, and before quitting).
    bool saveNow();

    // Where the daily backup goes; empty turns it off.
    void setBackupDirectory(const QString& directory) { backupDirectory_ = directory; }

signals:
    void onboardingChanged(bool showsOnboarding);
    void selectionChanged();
    void overdueCountChanged(qint64 count);
    // The window presents the quick focus timer for this goal (or none).
    void quickFocusRequested(Goal* goal);
    // An outside request needs the window on screen (shown, raised).
    void windowWanted();
    void backupWritten(const QString& path);
    void saveProblemChanged(const QString& problem);

private:
    void watchOverdueTasks();
    void updateOverdueCount();
    void startFocusRequested(std::optional<QUuid> goalID);

    AppEnvironment& env_;
    std::optional<SidebarSection> selection_ = SidebarSection::today;
    std::unique_ptr<LiveQuery<DayTask>> overdue_;
    qint64 overdueCount_ = -1;
    double startOfToday_ = 0;
    bool appeared_ = false;
    bool backupPending_ = false;
    // A focus request that came while the sections could not take it.
    std::optional<std::optional<QUuid>> pendingFocus_;
    QString backupDirectory_;
    QString saveProblem_;
    QTimer dayCheck_;
};

} // namespace orvana
