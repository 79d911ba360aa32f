#include "Platform/ApplicationBus.h"

#include "AppIntents/GetTodaysOneThingIntent.h"
#include "AppIntents/GoalEntityQuery.h"
#include "AppIntents/StartFocusSessionIntent.h"
#include "Core/Uuid.h"
#include "Services/AppEnvironment.h"

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>

namespace orvana {

QDBusArgument& operator<<(QDBusArgument& argument, const BusGoal& goal) {
    argument.beginStructure();
    argument << goal.id << goal.title;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, BusGoal& goal) {
    argument.beginStructure();
    argument >> goal.id >> goal.title;
    argument.endStructure();
    return argument;
}

namespace {

void registerTypes() {
    static const bool done = [] {
        qDBusRegisterMetaType<BusGoal>();
        qDBusRegisterMetaType<BusGoalList>();
        return true;
    }();
    (void)done;
}

BusGoalList busGoals(const std::vector<GoalEntity>& goals) {
    BusGoalList list;
    for (const GoalEntity& goal : goals)
        list.push_back({uuidText(goal.id), goal.title});
    return list;
}

// org.freedesktop.Application, beside the intents on the same object.
// The focus is granted to the token's holder: on Wayland the toolkit reads it
// from the environment when the window next asks to be activated.
void takeActivationToken(const QVariantMap& platformData) {
    const QString token = platformData.value(QStringLiteral("activation-token")).toString();
    if (!token.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
}

class ApplicationAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    explicit ApplicationAdaptor(ApplicationBus* bus) : QDBusAbstractAdaptor(bus), bus_(bus) {}

public slots:
    void Activate(const QVariantMap& platformData) {
        takeActivationToken(platformData);
        emit bus_->activateRequested();
    }
    void Open(const QStringList&, const QVariantMap& platformData) {
        takeActivationToken(platformData);
        emit bus_->activateRequested();
    }
    void ActivateAction(const QString& name, const QVariantList& parameter,
                        const QVariantMap& platformData) {
        takeActivationToken(platformData);
        emit bus_->actionRequested(name, parameter.value(0));
    }

private:
    ApplicationBus* bus_;
};

// The owner took the name but has not put its objects up yet. Anything else
// (it went away, it did not answer) is an answer: retrying could start a
// second app or repeat what the first one may have done.
bool startingUp(const QDBusMessage& reply) {
    return reply.type() == QDBusMessage::ErrorMessage &&
           reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownObject");
}

QString ownerOf(QDBusConnection bus) {
    return bus.interface()
               ? bus.interface()->serviceOwner(QLatin1String(ApplicationBus::serviceName)).value()
               : QString();
}

} // namespace

ApplicationBus::Claim ApplicationBus::claimName(QDBusConnection bus) {
    if (!bus.isConnected() || !bus.interface())
        return Claim::noBus;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(QLatin1String(serviceName),
                                         QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid())
        return Claim::noBus;
    return reply.value() == QDBusConnectionInterface::ServiceRegistered ? Claim::owned
                                                                        : Claim::taken;
}

QVariantMap ApplicationBus::platformData() {
    QVariantMap data;
    if (const QString id = qEnvironmentVariable("DESKTOP_STARTUP_ID"); !id.isEmpty())
        data.insert(QStringLiteral("desktop-startup-id"), id);
    if (const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN"); !token.isEmpty())
        data.insert(QStringLiteral("activation-token"), token);
    return data;
}

bool ApplicationBus::isRunning(QDBusConnection bus) {
    return bus.isConnected() && bus.interface() &&
           bus.interface()->isServiceRegistered(QLatin1String(serviceName)).value();
}

QDBusMessage ApplicationBus::callRunning(QDBusConnection bus, const QString& interface,
                                         const QString& method, const QVariantList& arguments,
                                         int timeoutMs) {
    registerTypes();
    const QDeadlineTimer deadline(timeoutMs);
    const QString owner = ownerOf(bus);
    for (;;) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QLatin1String(serviceName), QLatin1String(objectPath), interface, method);
        call.setArguments(arguments);
        // Asks the app that runs; never has the bus start one behind our back.
        call.setAutoStartService(false);
        const int left = int(std::max<qint64>(deadline.remainingTime(), 1));
        const QDBusMessage reply = bus.call(call, QDBus::Block, left);
        if (!startingUp(reply) || deadline.hasExpired() || ownerOf(bus) != owner)
            return reply;
        QThread::msleep(50);
    }
}

ApplicationBus::ApplicationBus(AppEnvironment& environment, QObject* parent)
    : QObject(parent), env_(environment) {
    registerTypes();
    new ApplicationAdaptor(this);
}

bool ApplicationBus::publish(QDBusConnection bus) {
    return bus.registerObject(QLatin1String(objectPath), this,
                              QDBusConnection::ExportAllSlots | QDBusConnection::ExportAdaptors);
}

QString ApplicationBus::GetTodaysOneThing(QString& dialog) {
    const auto answer =
        GetTodaysOneThingIntent::perform(env_.context(), env_.calendar(), env_.now());
    dialog = answer.dialog;
    return answer.value;
}

QString ApplicationBus::StartFocusSession(const QString& goalID) {
    std::optional<QUuid> id;
    if (!goalID.trimmed().isEmpty()) {
        const QUuid parsed = QUuid::fromString(goalID.trimmed());
        if (parsed.isNull()) {
            sendErrorReply(QDBusError::InvalidArgs, tr("'%1' is not a goal id.").arg(goalID));
            return {};
        }
        id = parsed;
    }
    return StartFocusSessionIntent::perform(env_, id);
}

BusGoalList ApplicationBus::SuggestedGoals() {
    return busGoals(GoalEntityQuery::suggestedEntities(env_.context()));
}

BusGoalList ApplicationBus::GoalsByIds(const QStringList& ids) {
    QList<QUuid> uuids;
    for (const QString& id : ids) {
        const QUuid parsed = QUuid::fromString(id.trimmed());
        if (!parsed.isNull())
            uuids.push_back(parsed); // an id that is no id names no goal
    }
    return busGoals(GoalEntityQuery::entities(env_.context(), uuids));
}

QString ApplicationBus::Import(const QString& path) {
    if (!calledFromDBus())
        return {};
    if (!QFileInfo(path).isAbsolute()) {
        // Relative to the caller's folder, which is not this process's.
        sendErrorReply(QDBusError::InvalidArgs,
                       tr("Import needs an absolute path, not '%1'.").arg(path));
        return {};
    }
    // Answered when the merge is done; the caller waits for it.
    setDelayedReply(true);
    emit importRequested(path, message());
    return {};
}

int ApplicationBus::Sync(bool allowDeletions, QString&, QString&) {
    if (!calledFromDBus())
        return 1;
    // Answered when the cycle is done, which may take minutes.
    setDelayedReply(true);
    emit syncRequested(allowDeletions, message());
    return 0;
}

} // namespace orvana

#include "ApplicationBus.moc"
