#include "Views/Navigation/MainWindow.h"

#include "Services/AppEnvironment.h"
#include "Services/DataExportService.h"
#include "Services/ExportFile.h"
#include "Store/ModelContext.h"
#include "Store/UndoManager.h"
#include "Sync/SyncController.h"
#include "Views/AI/AIReviewWindow.h"
#include "Views/Focus/FocusTimerView.h"
#include "Views/Navigation/MainWindowModel.h"
#include "Views/Navigation/NavigationStack.h"
#include "Views/Navigation/SectionScreenFactory.h"
#include "Views/Onboarding/OnboardingView.h"
#include "Views/Settings/SettingsView.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/StatusColors.h"
#include "Views/Shared/SymbolIcon.h"
#include "Views/Sync/DeletedElsewhereModel.h"
#include "Views/Sync/DeletedElsewhereView.h"
#include "Views/Sync/SyncConflictsModel.h"
#include "Views/Sync/SyncConflictsView.h"
#include "Views/Sync/SyncStatusFooter.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace orvana {

MainWindow::MainWindow(AppEnvironment& environment, QWidget* parent)
    : QMainWindow(parent), env_(environment), model_(new MainWindowModel(environment, this)) {
    setWindowTitle(QStringLiteral("Orvana"));
    setMinimumSize(640, 400);
    resize(960, 640);

    // Onboarding ends by writing the preference; onboardingChanged follows it.
    onboarding_ = new OnboardingView(env_);

    auto* sidebarPane = new QWidget;
    auto* sidebarTitle = new QLabel(MainWindowModel::sidebarTitle());
    QFont font = sidebarTitle->font();
    font.setBold(true);
    sidebarTitle->setFont(font);
    sidebar_ = new QListWidget;
    sidebar_->setAccessibleName(tr("Sections"));
    sidebar_->setIconSize(QSize(20, 20));
    sidebar_->setSpacing(2);
    for (SidebarSection section : allSidebarSections) {
        auto* item = new QListWidgetItem(symbolIcon(symbolName(section)), title(section));
        item->setData(Qt::UserRole, rawValue(section));
        sidebar_->addItem(item);
    }
    auto* sidebarLayout = new QVBoxLayout(sidebarPane);
    sidebarLayout->setContentsMargins(6, 8, 0, 6);
    sidebarLayout->addWidget(sidebarTitle);
    sidebarLayout->addWidget(sidebar_, 1);
    syncFooter_ = new SyncStatusFooter(env_);
    sidebarLayout->addWidget(syncFooter_);
    connect(syncFooter_, &SyncStatusFooter::conflictsWanted, this,
            [this] { presentSyncPage(SyncPage::conflicts); });
    connect(syncFooter_, &SyncStatusFooter::deletedWanted, this,
            [this] { presentSyncPage(SyncPage::deletedElsewhere); });

    detail_ = new QStackedWidget;
    noSelection_ =
        new GuidedEmptyState(MainWindowModel::noSelectionTitle(),
                             MainWindowModel::noSelectionSymbol(), QString(), env_.preferences());
    detail_->addWidget(noSelection_);

    auto* splitter = new QSplitter;
    splitter->addWidget(sidebarPane);
    splitter->addWidget(detail_);
    splitter->setStretchFactor(1, 1);
    splitter->setCollapsible(0, false);
    splitter->setSizes({190, 770});
    navigation_ = splitter;

    pages_ = new QStackedWidget;
    pages_->addWidget(onboarding_);
    pages_->addWidget(navigation_);

    // A save that failed stays in sight until one goes through.
    saveProblem_ = new QLabel;
    saveProblem_->setTextFormat(Qt::PlainText);
    saveProblem_->setWordWrap(true);
    saveProblem_->setAccessibleName(tr("Save problem"));
    auto* retry = new QPushButton(tr("Try Again"));
    connect(retry, &QPushButton::clicked, model_, &MainWindowModel::saveNow);
    saveStrip_ = new QFrame;
    saveStrip_->setObjectName(QStringLiteral("SaveProblem"));
    saveStrip_->setFrameShape(QFrame::StyledPanel);
    saveStrip_->setAutoFillBackground(true);
    auto* strip = new QHBoxLayout(saveStrip_);
    auto* warning = new QLabel;
    warning->setPixmap(symbolIcon(QStringLiteral("exclamationmark.triangle.fill")).pixmap(16, 16));
    strip->addWidget(warning);
    strip->addWidget(saveProblem_, 1);
    strip->addWidget(retry);
    saveStrip_->hide();
    connect(model_, &MainWindowModel::saveProblemChanged, this, &MainWindow::showSaveProblem);

    auto* central = new QWidget;
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(saveStrip_);
    column->addWidget(pages_, 1);
    setCentralWidget(central);

    connect(sidebar_, &QListWidget::itemSelectionChanged, this, [this] {
        const auto selected = sidebar_->selectedItems();
        model_->setSelection(
            selected.isEmpty()
                ? std::nullopt
                : std::optional(
                      allSidebarSections[std::size_t(sidebar_->row(selected.constFirst()))]));
    });
    connect(model_, &MainWindowModel::selectionChanged, this, &MainWindow::showSelection);
    connect(model_, &MainWindowModel::onboardingChanged, this,
            &MainWindow::showNavigationOrOnboarding);
    connect(model_, &MainWindowModel::quickFocusRequested, this,
            &MainWindow::presentQuickFocusTimer);
    connect(model_, &MainWindowModel::windowWanted, this, &MainWindow::comeForward);

    buildMenus();
    showSelection();
    showNavigationOrOnboarding();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus() {
    QMenu* fileMenu = menuBar()->addMenu(tr("&File"));
    QAction* quit = fileMenu->addAction(tr("&Quit"), this, &MainWindow::requestQuit);
    quit->setShortcut(QKeySequence::Quit);

    QMenu* editMenu = menuBar()->addMenu(tr("&Edit"));
    undoAction_ = editMenu->addAction(tr("&Undo"));
    undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction_ = editMenu->addAction(tr("&Redo"));
    redoAction_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(undoAction_, &QAction::triggered, this, [this] {
        if (auto* manager = env_.context().undoManager())
            manager->undo();
    });
    connect(redoAction_, &QAction::triggered, this, [this] {
        if (auto* manager = env_.context().undoManager())
            manager->redo();
    });
    updateUndoActions();

    QMenu* viewMenu = menuBar()->addMenu(tr("&View"));
    for (std::size_t i = 0; i < allSidebarSections.size(); ++i) {
        QAction* go = viewMenu->addAction(title(allSidebarSections[i]));
        go->setShortcut(QKeySequence(Qt::CTRL | (Qt::Key_1 + int(i))));
        connect(go, &QAction::triggered, this, [this, i] {
            if (pages_->currentWidget() != navigation_)
                return;
            sidebar_->setCurrentRow(int(i));
            if (section_)
                section_->currentPage()->setFocus(Qt::ShortcutFocusReason);
        });
    }

    viewMenu->addSeparator();
    conflictsAction_ = viewMenu->addAction(SyncConflictsModel::title());
    connect(conflictsAction_, &QAction::triggered, this,
            [this] { presentSyncPage(SyncPage::conflicts); });
    deletedAction_ = viewMenu->addAction(DeletedElsewhereModel::title());
    connect(deletedAction_, &QAction::triggered, this,
            [this] { presentSyncPage(SyncPage::deletedElsewhere); });
    // The sync pages are there while an account is.
    SyncController& sync = SyncController::of(env_);
    auto followAccount = [this, &sync] {
        conflictsAction_->setEnabled(sync.signedIn());
        deletedAction_->setEnabled(sync.signedIn());
    };
    connect(&sync, &SyncController::changed, this, followAccount);
    followAccount();

    QMenu* focusMenu = menuBar()->addMenu(tr("F&ocus"));
    QAction* quickFocus = focusMenu->addAction(tr("&Quick Focus Timer…"));
    quickFocus->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    connect(quickFocus, &QAction::triggered, this, [this] { presentQuickFocusTimer(); });

    QMenu* toolsMenu = menuBar()->addMenu(tr("&Tools"));
    aiReviewAction_ =
        toolsMenu->addAction(symbolIcon(QStringLiteral("sparkles")), tr("&AI Review…"));
    aiReviewAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    aiReviewAction_->setEnabled(env_.http() && env_.secrets());
    connect(aiReviewAction_, &QAction::triggered, this, &MainWindow::presentAIReview);
    toolsMenu->addSeparator();
    settingsAction_ = toolsMenu->addAction(tr("&Settings…"));
    settingsAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    settingsAction_->setShortcutContext(Qt::ApplicationShortcut);
    connect(settingsAction_, &QAction::triggered, this, &MainWindow::presentSettings);
}

void MainWindow::showSaveProblem(const QString& problem) {
    saveProblem_->setText(problem);
    saveStrip_->setVisible(!problem.isEmpty());
    if (!problem.isEmpty()) {
        QPalette palette = saveStrip_->palette();
        const QColor caution = cautionColor(palette);
        palette.setColor(QPalette::Window,
                         QColor(caution.red(), caution.green(), caution.blue(), 48));
        saveStrip_->setPalette(palette);
        QAccessibleEvent alert(saveProblem_, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}

void MainWindow::requestQuit() {
    ModelContext& context = env_.context();
    if (!context.hasChanges() || model_->saveNow()) {
        QCoreApplication::quit();
        return;
    }
    // Never lost without a word: try again, keep a copy elsewhere, or let go.
    QMessageBox box(QMessageBox::Warning, tr("Quit Orvana"),
                    tr("Your latest changes couldn't be saved."), QMessageBox::NoButton, this);
    box.setInformativeText(model_->saveProblem() + u'\n' +
                           tr("Quitting now loses them unless you save a copy first."));
    QPushButton* retry = box.addButton(tr("Try Again"), QMessageBox::AcceptRole);
    QPushButton* copy = box.addButton(tr("Save a Copy…"), QMessageBox::ActionRole);
    QPushButton* lose = box.addButton(tr("Quit Without Saving"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(retry);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == retry) {
        QTimer::singleShot(0, this, &MainWindow::requestQuit);
    } else if (box.clickedButton() == copy) {
        if (saveCopy())
            QCoreApplication::quit();
    } else if (box.clickedButton() == lose) {
        QCoreApplication::quit();
    }
}

bool MainWindow::saveCopy() {
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Save a Copy"),
        QDir::home().filePath(
            QStringLiteral("Orvana-Unsaved-%1.json")
                .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmm")))),
        tr("JSON files (*.json)"));
    if (path.isEmpty())
        return false;
    const Result<QByteArray> json = DataExportService::exportJSON(env_.context(), env_.now());
    ExportFile file(path);
    if (json.ok() && file.open(QIODevice::WriteOnly) &&
        file.write(json.value()) == json.value().size() && file.commit())
        return true;
    QMessageBox::warning(this, tr("Save a Copy"),
                         tr("The copy couldn't be written: %1")
                             .arg(json.ok() ? file.errorString() : json.error().message));
    return false;
}

void MainWindow::comeForward() {
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

SettingsView* MainWindow::settings() const {
    return settings_;
}

void MainWindow::presentSettings() {
    if (!settings_) {
        settings_ = new SettingsView(env_, this);
        settings_->setAttribute(Qt::WA_DeleteOnClose);
    }
    settings_->show();
    settings_->raise();
    settings_->activateWindow();
}

void MainWindow::presentAIReview() {
    if (!aiReviewAction_->isEnabled())
        return;
    auto* window = new AIReviewWindow({env_.http(), env_.secrets(), &env_.preferences()}, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

void MainWindow::presentQuickFocusTimer(Goal* goal) {
    presentFocusTimer(env_, this, nullptr, goal);
}

void MainWindow::showNavigationOrOnboarding() {
    if (model_->showsOnboarding()) {
        pages_->setCurrentWidget(onboarding_);
        onboarding_->setFocus();
        return;
    }
    const bool wasShown = pages_->currentWidget() == navigation_;
    pages_->setCurrentWidget(navigation_);
    if (!wasShown && isVisible())
        navigationAppeared();
}

void MainWindow::showSelection() {
    const auto selection = model_->selection();
    // The sidebar follows the model (a test or a shortcut may select).
    {
        const QSignalBlocker block(sidebar_);
        if (selection)
            sidebar_->setCurrentRow(int(*selection));
        else
            sidebar_->clearSelection();
    }
    // A section's screen starts afresh every time it is selected.
    replaceSection(selection ? makeSectionScreen(*selection, env_) : nullptr);
}

void MainWindow::replaceSection(NavigationStack* stack) {
    if (section_) {
        detail_->removeWidget(section_);
        section_->deleteLater();
    }
    section_ = stack;
    if (!section_) {
        detail_->setCurrentWidget(noSelection_);
        return;
    }
    detail_->addWidget(section_);
    detail_->setCurrentWidget(section_);
}

void MainWindow::presentSyncPage(SyncPage page) {
    if (pages_->currentWidget() != navigation_)
        return;
    model_->setSelection(std::nullopt);
    SyncController& sync = SyncController::of(env_);
    QWidget* screen = nullptr;
    if (page == SyncPage::conflicts) {
        auto* view = new SyncConflictsView(env_);
        // Settled here: the footer's counts follow at once.
        connect(view->model(), &SyncConflictsModel::settled, &sync, &SyncController::refreshCounts);
        connect(&sync, &SyncController::cycleFinished, view->model(), &SyncConflictsModel::refresh);
        screen = view;
    } else {
        auto* view = new DeletedElsewhereView(env_);
        connect(view->model(), &DeletedElsewhereModel::restored, &sync,
                &SyncController::refreshCounts);
        connect(&sync, &SyncController::cycleFinished, view->model(),
                &DeletedElsewhereModel::refresh);
        screen = view;
    }
    replaceSection(new NavigationStack(screen));
    screen->setFocus(Qt::OtherFocusReason);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Every time the window is shown again (not restored from minimised).
    if (event->spontaneous())
        return;
    // Shown again from the tray: a new main view, which starts on Today
    // with its screen afresh.
    if (shownBefore_ && !model_->showsOnboarding()) {
        if (model_->selection() == SidebarSection::today)
            showSelection();
        else
            model_->setSelection(SidebarSection::today);
    }
    shownBefore_ = true;
    if (!model_->showsOnboarding())
        navigationAppeared();
}

void MainWindow::navigationAppeared() {
    model_->navigationAppeared();
    connect(env_.context().ensureUndoManager(), &UndoManager::stateChanged, this,
            &MainWindow::updateUndoActions, Qt::UniqueConnection);
    updateUndoActions();
    // The keyboard starts in the section, not in the sidebar Qt would pick
    // (also once the intro's button has let go of the focus).
    QTimer::singleShot(0, this, [this] {
        if (section_ && !section_->isAncestorOf(QApplication::focusWidget()))
            section_->currentPage()->setFocus(Qt::OtherFocusReason);
    });
    // The backup waits for the first picture of the window.
    QWindow* window = windowHandle();
    if (window && window->isExposed())
        QTimer::singleShot(0, model_, &MainWindowModel::runPendingBackup);
    else if (window)
        window->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose &&
        windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        // After this turn's painting.
        QTimer::singleShot(0, model_, &MainWindowModel::runPendingBackup);
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::updateUndoActions() {
    UndoManager* manager = env_.context().undoManager();
    undoAction_->setEnabled(manager && manager->canUndo());
    redoAction_->setEnabled(manager && manager->canRedo());
}

} // namespace orvana
