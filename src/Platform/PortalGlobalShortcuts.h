#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QVariantMap>

namespace orvana {

// The quick-add key through the desktop portal's GlobalShortcuts interface,
// for desktops where no X11 grab reaches the other apps (KDE Plasma on
// Wayland, for one). The portal's session binds the shortcut "quick-add",
// asking for Ctrl+Alt+Space; the desktop may ask the user to confirm or
// choose another key, and it reports each press.
//
// Everything is asynchronous and nothing is reported: where the portal or
// its GlobalShortcuts interface is missing, or the user declines, the key
// simply never fires.
class PortalGlobalShortcuts : public QObject, protected QDBusContext {
    Q_OBJECT
public:
    static constexpr const char* portalService = "org.freedesktop.portal.Desktop";
    static constexpr const char* shortcutID = "quick-add";

    // `service`: the portal's bus name (a test's stand-in).
    explicit PortalGlobalShortcuts(QDBusConnection bus = QDBusConnection::sessionBus(),
                                   QString service = QLatin1String(portalService),
                                   QObject* parent = nullptr);
    ~PortalGlobalShortcuts() override;

    // Starts once: looks for the interface, opens a session, binds.
    void start();
    bool isBound() const { return bound_; }

signals:
    void activated();
    // The portal accepted the binding.
    void boundChanged();

private slots:
    void sessionCreated(uint response, const QVariantMap& results);
    void shortcutsBound(uint response, const QVariantMap& results);
    void portalActivated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                         const QVariantMap& options);

private:
    void createSession();
    void bindShortcuts();
    // Calls `method` of GlobalShortcuts with a fresh request token in the
    // options (the last argument) and routes the request's Response to
    // `responseSlot`, subscribed before the call so no answer is missed.
    void request(const QString& method, QList<QVariant> arguments, const char* responseSlot);
    void watchResponse(const QString& requestPath, const char* responseSlot, bool watch);
    // In a response slot: the request is answered, its match rule can go.
    void forgetAnsweredRequest(const char* responseSlot);

    QDBusConnection bus_;
    QString service_;
    QString sessionPath_;
    bool started_ = false;
    bool bound_ = false;
};

} // namespace orvana
