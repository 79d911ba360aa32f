#include "Platform/PortalGlobalShortcuts.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QRandomGenerator>

namespace orvana::portal {

// One entry of BindShortcuts' a(sa{sv}).
struct Shortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const Shortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, Shortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

} // namespace orvana::portal

Q_DECLARE_METATYPE(orvana::portal::Shortcut)

namespace orvana {

namespace {

const QString desktopPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");

// Tokens become the last element of object paths: letters, digits, '_'.
QString newToken() {
    return QStringLiteral("orvana_%1").arg(QRandomGenerator::global()->generate());
}

// The portal names request and session objects after the caller's unique
// name, ":1.42" written as "1_42".
QString senderPart(const QDBusConnection& bus) {
    QString name = bus.baseService();
    if (name.startsWith(QLatin1Char(':')))
        name.remove(0, 1);
    return name.replace(QLatin1Char('.'), QLatin1Char('_'));
}

} // namespace

PortalGlobalShortcuts::PortalGlobalShortcuts(QDBusConnection bus, QString service, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), service_(std::move(service)) {
    qDBusRegisterMetaType<portal::Shortcut>();
    qDBusRegisterMetaType<QList<portal::Shortcut>>();
}

PortalGlobalShortcuts::~PortalGlobalShortcuts() {
    if (sessionPath_.isEmpty())
        return;
    // The portal also closes it when the process ends.
    bus_.send(QDBusMessage::createMethodCall(service_, sessionPath_,
                                             QStringLiteral("org.freedesktop.portal.Session"),
                                             QStringLiteral("Close")));
}

void PortalGlobalShortcuts::start() {
    if (started_ || !bus_.isConnected())
        return;
    started_ = true;
    // The portal exports only the interfaces some backend of the desktop
    // implements; asking for the interface's version tells.
    QDBusMessage get = QDBusMessage::createMethodCall(
        service_, desktopPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << shortcutsInterface << QStringLiteral("version");
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                if (!call->isError())
                    createSession();
            });
}

void PortalGlobalShortcuts::createSession() {
    request(QStringLiteral("CreateSession"),
            {QVariantMap{{QStringLiteral("session_handle_token"), newToken()}}},
            SLOT(sessionCreated(uint, QVariantMap)));
}

void PortalGlobalShortcuts::sessionCreated(uint response, const QVariantMap& results) {
    forgetAnsweredRequest(SLOT(sessionCreated(uint, QVariantMap)));
    if (response != 0 || !sessionPath_.isEmpty())
        return;
    // A string in the portal's documentation, an object path in some versions.
    const QVariant handle = results.value(QStringLiteral("session_handle"));
    sessionPath_ = handle.canConvert<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path()
                                                        : handle.toString();
    if (sessionPath_.isEmpty())
        return;
    bus_.connect(service_, desktopPath, shortcutsInterface, QStringLiteral("Activated"), this,
                 SLOT(portalActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    bindShortcuts();
}

void PortalGlobalShortcuts::bindShortcuts() {
    const QList<portal::Shortcut> shortcuts{
        {QLatin1String(shortcutID),
         {{QStringLiteral("description"), tr("Quick Add to Today")},
          // The trigger syntax of the XDG shortcuts specification.
          {QStringLiteral("preferred_trigger"), QStringLiteral("CTRL+ALT+space")}}}};
    request(QStringLiteral("BindShortcuts"),
            {QVariant::fromValue(QDBusObjectPath(sessionPath_)), QVariant::fromValue(shortcuts),
             QString(), QVariantMap{}},
            SLOT(shortcutsBound(uint, QVariantMap)));
}

void PortalGlobalShortcuts::shortcutsBound(uint response, const QVariantMap&) {
    forgetAnsweredRequest(SLOT(shortcutsBound(uint, QVariantMap)));
    if (response != 0 || bound_)
        return;
    bound_ = true;
    emit boundChanged();
}

void PortalGlobalShortcuts::portalActivated(const QDBusObjectPath& session, const QString& id,
                                            qulonglong, const QVariantMap&) {
    if (bound_ && session.path() == sessionPath_ && id == QLatin1String(shortcutID))
        emit activated();
}

void PortalGlobalShortcuts::request(const QString& method, QList<QVariant> arguments,
                                    const char* responseSlot) {
    const QString token = newToken();
    QVariantMap options = arguments.takeLast().toMap();
    options.insert(QStringLiteral("handle_token"), token);
    arguments.append(options);
    const QString expected =
        desktopPath + QStringLiteral("/request/") + senderPart(bus_) + QLatin1Char('/') + token;
    watchResponse(expected, responseSlot, true);

    QDBusMessage call =
        QDBusMessage::createMethodCall(service_, desktopPath, shortcutsInterface, method);
    call.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, expected, responseSlot](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<QDBusObjectPath> reply = *call;
                if (reply.isError()) {
                    watchResponse(expected, responseSlot, false);
                    return;
                }
                // Portals older than the token scheme answer on a path of
                // their own choosing.
                const QString actual = reply.value().path();
                if (actual != expected) {
                    watchResponse(expected, responseSlot, false);
                    watchResponse(actual, responseSlot, true);
                }
            });
}

void PortalGlobalShortcuts::watchResponse(const QString& requestPath, const char* responseSlot,
                                          bool watch) {
    if (watch)
        bus_.connect(service_, requestPath, requestInterface, QStringLiteral("Response"), this,
                     responseSlot);
    else
        bus_.disconnect(service_, requestPath, requestInterface, QStringLiteral("Response"), this,
                        responseSlot);
}

void PortalGlobalShortcuts::forgetAnsweredRequest(const char* responseSlot) {
    if (calledFromDBus())
        watchResponse(message().path(), responseSlot, false);
}

} // namespace orvana
