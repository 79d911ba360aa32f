#include "Views/Tray/TrayIcon.h"

#include "Services/AppEnvironment.h"
#include "Sync/SyncController.h"
#include "Views/Shared/SymbolIcon.h"
#include "Views/Sync/SyncStatusText.h"
#include "Views/Tray/TraySummaryPopup.h"

#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QSystemTrayIcon>

namespace orvana {

namespace {

// A click on the icon while the popup is open first closes the popup (it is
// a click outside it); the icon's activation that follows must not open it
// again.
constexpr qint64 reopenGuardMs = 300;

} // namespace

TrayIcon::TrayIcon(AppEnvironment& environment, QObject* parent)
    : QObject(parent), env_(environment), tray_(new QSystemTrayIcon(this)),
      menu_(std::make_unique<QMenu>()) {
    tray_->setIcon(symbolIcon(QStringLiteral("target")));
    tray_->setToolTip(toolTipText(overdueCount_));

    menu_->setTitle(tr("Orvana"));
    menu_->addAction(tr("Open Orvana"), this, &TrayIcon::openRequested);
    menu_->addAction(tr("Quick Add…"), this, &TrayIcon::quickAddRequested);
    menu_->addAction(tr("Start Focus Session"), this, &TrayIcon::focusRequested);
    // The sync's state, so a long first sync can be left running here.
    SyncController& sync = SyncController::of(env_);
    QAction* syncSeparator = menu_->addSeparator();
    syncLine_ = menu_->addAction(QString());
    syncLine_->setEnabled(false);
    syncNow_ = menu_->addAction(tr("Sync Now"), &sync, &SyncController::syncNow);
    auto showSync = [this, &sync, syncSeparator] {
        const bool on = sync.signedIn();
        syncSeparator->setVisible(on);
        syncLine_->setVisible(on);
        syncNow_->setVisible(on);
        syncLine_->setText(syncStatusLine(sync, env_.now()));
        syncNow_->setEnabled(sync.phase() != SyncController::Phase::syncing);
    };
    connect(&sync, &SyncController::changed, this, showSync);
    connect(menu_.get(), &QMenu::aboutToShow, this, showSync);
    showSync();
    menu_->addSeparator();
    menu_->addAction(tr("Quit"), this, &TrayIcon::quitRequested);
    tray_->setContextMenu(menu_.get());

    connect(tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::MiddleClick)
                    togglePopup();
            });
}

TrayIcon::~TrayIcon() {
    // The popup goes first (its hiding reaches this object's event filter),
    // the menu before the icon that shows it.
    popup_.reset();
    tray_->setContextMenu(nullptr);
}

bool TrayIcon::isSystemTrayAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool TrayIcon::show() {
    // Shown even without a tray yet: Qt puts the icon there once a panel
    // offers one (an autostarted app may be up before the panel).
    tray_->show();
    return isSystemTrayAvailable();
}

void TrayIcon::hide() {
    tray_->hide();
}

bool TrayIcon::isVisible() const {
    return tray_->isVisible();
}

QString TrayIcon::toolTipText(qint64 overdueCount) {
    if (overdueCount <= 0)
        return tr("Orvana");
    return tr("Orvana — %n overdue tasks", nullptr, int(overdueCount));
}

void TrayIcon::setOverdueCount(qint64 count) {
    if (count == overdueCount_)
        return;
    overdueCount_ = count;
    tray_->setToolTip(toolTipText(count));
}

QString TrayIcon::toolTip() const {
    return tray_->toolTip();
}

TraySummaryPopup* TrayIcon::popup() {
    if (!popup_) {
        popup_ = std::make_unique<TraySummaryPopup>(env_);
        connect(popup_.get(), &TraySummaryPopup::openRequested, this, &TrayIcon::openRequested);
        popup_->installEventFilter(this);
    }
    return popup_.get();
}

bool TrayIcon::eventFilter(QObject* watched, QEvent* event) {
    if (watched == popup_.get() && event->type() == QEvent::Hide)
        sinceHidden_.start();
    return QObject::eventFilter(watched, event);
}

void TrayIcon::togglePopup() {
    if (popup_ && popup_->isVisible()) {
        popup_->hide();
        return;
    }
    if (sinceHidden_.isValid() && sinceHidden_.elapsed() < reopenGuardMs)
        return;
    showPopup();
}

void TrayIcon::showPopup() {
    // Icons shown over D-Bus often cannot say where they are.
    const QRect icon = tray_->geometry();
    popup()->popUp(icon.isEmpty() ? QRect(QCursor::pos(), QSize()) : icon);
}

} // namespace orvana
