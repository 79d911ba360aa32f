#include "Views/Navigation/MainWindowModel.h"

#include "Services/AppEnvironment.h"
#include "Services/BackupService.h"
#include "Services/EngagementNudgeService.h"
#include "Services/LauncherBadge.h"
#include "Services/Preferences.h"
#include "Store/LiveQuery.h"
#include "Store/ModelContext.h"
#include "Store/UndoManager.h"

#include <limits>

namespace orvana {

MainWindowModel::MainWindowModel(AppEnvironment& environment, QObject* parent)
    : QObject(parent), env_(environment), backupDirectory_(environment.paths().backupsDirectory) {
    connect(&env_.preferences(), &Preferences::valueChanged, this, [this](const QString& key) {
        if (key == QLatin1String(PreferenceKeys::hasCompletedOnboarding.name))
            emit onboardingChanged(showsOnboarding());
    });
    connect(&env_, &AppEnvironment::startFocusSessionRequested, this,
            &MainWindowModel::startFocusRequested);
    // A save that fails is never silent; the store retries by itself.
    ModelContext& context = env_.context();
    connect(&context, &ModelContext::saveFailed, this, [this](const Error& error) {
        const QString problem = tr("Couldn't save your changes: %1").arg(error.message);
        if (problem != saveProblem_) {
            saveProblem_ = problem;
            emit saveProblemChanged(saveProblem_);
        }
    });
    connect(&context, &ModelContext::saved, this, [this] {
        if (!saveProblem_.isEmpty()) {
            saveProblem_.clear();
            emit saveProblemChanged(saveProblem_);
        }
    });
    // The overdue count's "today" moves on at midnight and after a suspend.
    dayCheck_.setInterval(60 * 1000);
    auto checkDay = [this] {
        if (overdue_ && env_.calendar().startOfDay(env_.now()) != startOfToday_)
            watchOverdueTasks();
    };
    connect(&dayCheck_, &QTimer::timeout, this, checkDay);
    connect(&env_, &AppEnvironment::calendarChanged, this, checkDay);
}

MainWindowModel::~MainWindowModel() = default;

bool MainWindowModel::showsOnboarding() const {
    return !env_.preferences().value(PreferenceKeys::hasCompletedOnboarding);
}

void MainWindowModel::setSelection(std::optional<SidebarSection> section) {
    if (section == selection_)
        return;
    selection_ = section;
    emit selectionChanged();
}

QString MainWindowModel::sidebarTitle() {
    return QStringLiteral("Orvana");
}
QString MainWindowModel::noSelectionTitle() {
    return tr("Select a Section");
}
QString MainWindowModel::noSelectionSymbol() {
    return QStringLiteral("sidebar.left");
}

void MainWindowModel::navigationAppeared() {
    if (showsOnboarding())
        return;
    appeared_ = true;
    if (pendingFocus_) {
        const std::optional<QUuid> goalID = *std::exchange(pendingFocus_, std::nullopt);
        QTimer::singleShot(0, this, [this, goalID] { startFocusRequested(goalID); });
    }
    ModelContext& ctx = env_.context();
    ctx.ensureUndoManager();
    backupPending_ = true;
    env_.nudges().keepCurrent();
    if (!overdue_)
        watchOverdueTasks();
    else if (env_.badge())
        env_.badge()->setCount(overdueCount_);
    dayCheck_.start();
}

bool MainWindowModel::saveNow() {
    return env_.context().save().ok();
}

void MainWindowModel::runPendingBackup() {
    if (!backupPending_)
        return;
    backupPending_ = false;
    // Today's file from the store as it is now; written off the UI thread.
    // Saved first, so the worker can read the file itself instead of a copy
    // of every record being made here (a failure is the autosave's to show).
    if (backupDirectory_.isEmpty())
        return;
    if (env_.context().hasChanges())
        (void)env_.context().save();
    BackupService::backupIfNeededInBackground(
        env_.context(), env_.calendar(), env_.now(), backupDirectory_, this,
        [this](const QString& path) { emit backupWritten(path); });
}

void MainWindowModel::watchOverdueTasks() {
    startOfToday_ = env_.calendar().startOfDay(env_.now());
    auto overdue = FetchDescriptor<DayTask>::where([](const DayTask& t) {
                       return !t.isComplete();
                   }).onDates(-std::numeric_limits<double>::infinity(), startOfToday_);
    if (!overdue_) {
        overdue_ = std::make_unique<LiveQuery<DayTask>>(env_.context(), std::move(overdue),
                                                        entityBit(EntityType::dayTask));
        connect(overdue_.get(), &LiveQueryBase::resultsChanged, this,
                &MainWindowModel::updateOverdueCount);
    } else {
        overdue_->setDescriptor(std::move(overdue));
    }
    updateOverdueCount();
}

void MainWindowModel::updateOverdueCount() {
    const auto count = qint64(overdue_->results().size());
    if (count == overdueCount_)
        return;
    overdueCount_ = count;
    if (env_.badge())
        env_.badge()->setCount(count);
    emit overdueCountChanged(count);
}

void MainWindowModel::startFocusRequested(std::optional<QUuid> goalID) {
    // Not dropped while the intro shows or the window is away (in the tray):
    // the window comes forward and the timer opens once the sections do.
    emit windowWanted();
    if (showsOnboarding() || !appeared_) {
        pendingFocus_ = goalID;
        return;
    }
    Goal* goal = goalID ? env_.context().findByID<Goal>(*goalID) : nullptr;
    emit quickFocusRequested(goal);
}

} // namespace orvana
