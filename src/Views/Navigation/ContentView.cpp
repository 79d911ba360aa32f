#include "Views/Navigation/ContentView.h"

#include "Services/BackupService.h"
#include "Store/ModelContext.h"
#include "Store/UndoManager.h"
#include "Views/AI/AIReviewWindow.h"
#include "Views/Focus/FocusTimerController.h"
#include "Views/Focus/FocusTimerView.h"
#include "Views/Navigation/SidebarSection.h"
#include "Views/Shared/SymbolIcon.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QShowEvent>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace orvana {

namespace {

QWidget* placeholderPage(SidebarSection section) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addStretch();
    auto* heading = new QLabel(title(section));
    QFont font = heading->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    heading->setFont(font);
    heading->setAlignment(Qt::AlignCenter);
    auto* note = new QLabel(QObject::tr("This section is on its way."));
    note->setAlignment(Qt::AlignCenter);
    note->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(heading);
    layout->addWidget(note);
    layout->addStretch();
    return page;
}

} // namespace

ContentView::ContentView(ModelContext& context, Preferences& preferences,
                         NotificationService& notifications, QWidget* parent)
    : QMainWindow(parent), context_(context), preferences_(preferences),
      notifications_(notifications) {
    setWindowTitle(QStringLiteral("Orvana"));
    setMinimumSize(640, 400);
    resize(960, 640);

    sidebar_ = new QListWidget;
    sidebar_->setAccessibleName(tr("Sections"));
    sidebar_->setIconSize(QSize(20, 20));
    sidebar_->setSpacing(2);
    detail_ = new QStackedWidget;
    for (SidebarSection section : allSidebarSections) {
        auto* item = new QListWidgetItem(symbolIcon(symbolName(section)), title(section));
        item->setData(Qt::UserRole, rawValue(section));
        sidebar_->addItem(item);
        detail_->addWidget(placeholderPage(section));
    }
    connect(sidebar_, &QListWidget::currentRowChanged, detail_, &QStackedWidget::setCurrentIndex);
    sidebar_->setCurrentRow(0);

    auto* splitter = new QSplitter;
    splitter->addWidget(sidebar_);
    splitter->addWidget(detail_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 760});
    setCentralWidget(splitter);

    QMenu* fileMenu = menuBar()->addMenu(tr("&File"));
    QAction* quit = fileMenu->addAction(tr("&Quit"), qApp, &QApplication::quit);
    quit->setShortcut(QKeySequence::Quit);

    QMenu* editMenu = menuBar()->addMenu(tr("&Edit"));
    undoAction_ = editMenu->addAction(tr("&Undo"));
    undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction_ = editMenu->addAction(tr("&Redo"));
    redoAction_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(undoAction_, &QAction::triggered, this, [this] {
        if (auto* manager = context_.undoManager())
            manager->undo();
    });
    connect(redoAction_, &QAction::triggered, this, [this] {
        if (auto* manager = context_.undoManager())
            manager->redo();
    });
    updateUndoActions();

    QMenu* focusMenu = menuBar()->addMenu(tr("F&ocus"));
    QAction* quickFocus = focusMenu->addAction(tr("&Quick Focus Timer…"));
    quickFocus->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    connect(quickFocus, &QAction::triggered, this, [this] { presentQuickFocusTimer(); });

    QMenu* toolsMenu = menuBar()->addMenu(tr("&Tools"));
    aiReviewAction_ =
        toolsMenu->addAction(symbolIcon(QStringLiteral("sparkles")), tr("&AI Review…"));
    aiReviewAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    aiReviewAction_->setEnabled(false);
    connect(aiReviewAction_, &QAction::triggered, this, &ContentView::presentAIReview);
}

void ContentView::setAIReviewEnvironment(AIReviewEnvironment environment) {
    aiReview_ = environment;
    aiReviewAction_->setEnabled(aiReview_.session && aiReview_.secrets && aiReview_.preferences);
}

void ContentView::presentAIReview() {
    if (!aiReviewAction_->isEnabled())
        return;
    auto* window = new AIReviewWindow(aiReview_, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

void ContentView::presentQuickFocusTimer(Goal* goal) {
    auto* controller =
        new FocusTimerController(context_, preferences_, notifications_, nullptr, goal);
    auto* timer = new FocusTimerView(controller, preferences_, this);
    timer->setAttribute(Qt::WA_DeleteOnClose);
    timer->setWindowModality(Qt::WindowModal);
    timer->show();
}

QString ContentView::defaultBackupDirectory() {
    return BackupService::backupsDirectory();
}

void ContentView::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Every time the window is shown again (not restored from minimised).
    if (!event->spontaneous() || !appeared_) {
        appeared_ = true;
        mainNavigationAppeared();
    }
}

void ContentView::mainNavigationAppeared() {
    UndoManager* manager = context_.ensureUndoManager();
    connect(manager, &UndoManager::stateChanged, this, &ContentView::updateUndoActions,
            Qt::UniqueConnection);
    updateUndoActions();
    // Repeated runs on one day only prune.
    BackupService::backupIfNeeded(context_, Calendar::current(), systemNow(), backupDirectory_);
}

void ContentView::updateUndoActions() {
    UndoManager* manager = context_.undoManager();
    undoAction_->setEnabled(manager && manager->canUndo());
    redoAction_->setEnabled(manager && manager->canRedo());
}

} // namespace orvana
