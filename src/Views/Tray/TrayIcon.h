#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace orvana {

class AppEnvironment;
class TraySummaryPopup;

// The app's icon in the desktop's tray (a StatusNotifierItem or an XEmbed
// icon, whichever the desktop offers): the "target" symbol, a tool tip with
// the overdue count, the summary popup on activation and a menu of the app's
// ways in. Without a tray nothing shows, but the popup can still be opened
// (showPopup) and the menu's actions still work.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(AppEnvironment& environment, QObject* parent = nullptr);
    ~TrayIcon() override;

    // Whether the desktop offers a tray at the moment.
    static bool isSystemTrayAvailable();

    // Shows the icon, now or once a tray appears; true when one is there now.
    bool show();
    void hide();
    bool isVisible() const;

    // The overdue tasks, for the tool tip.
    void setOverdueCount(qint64 count);
    QString toolTip() const;
    // "Orvana", then the overdue count when there is one.
    static QString toolTipText(qint64 overdueCount);

    // Opens the summary beside the icon, or centred at the pointer when the
    // icon's place is unknown; closes it when it is open.
    void togglePopup();
    void showPopup();
    // Made on first use, so starting the app reads nothing for it.
    TraySummaryPopup* popup();
    bool hasPopup() const { return popup_ != nullptr; }

    QMenu* contextMenu() const { return menu_.get(); }
    // The sync's state line, shown while signed in.
    QAction* syncStatusAction() const { return syncLine_; }
    QSystemTrayIcon* systemTrayIcon() const { return tray_; }

signals:
    void openRequested();
    void quickAddRequested();
    void focusRequested();
    void quitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppEnvironment& env_;
    QSystemTrayIcon* tray_;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<TraySummaryPopup> popup_;
    QElapsedTimer sinceHidden_;
    qint64 overdueCount_ = 0;
    QAction* syncLine_ = nullptr;
    QAction* syncNow_ = nullptr;
};

} // namespace orvana
