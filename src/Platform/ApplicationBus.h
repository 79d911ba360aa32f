#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariant>

namespace orvana {

class AppEnvironment;

// A goal as the intents hand it over the bus: (id, title).
struct BusGoal {
    QString id;
    QString title;
};
using BusGoalList = QList<BusGoal>;
QDBusArgument& operator<<(QDBusArgument& argument, const BusGoal& goal);
const QDBusArgument& operator>>(const QDBusArgument& argument, BusGoal& goal);

// The running app on the session bus: it owns the name app.orvana.Orvana, so
// one instance exists per session, and at /app/orvana/Orvana it answers
// org.freedesktop.Application (Activate, Open, ActivateAction: the desktop
// file's actions) and app.orvana.Orvana.Intents (today's one thing, start a
// focus session, the goals, an import or a sync handed over by the command
// line).
//
// Start-up claims the name first, before the store is opened, so that of two
// starts at once only one goes on to open it; the objects follow once the
// app can answer. A second start asks the first to come forward and leaves.
class ApplicationBus : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "app.orvana.Orvana.Intents")
public:
    static constexpr const char* serviceName = "app.orvana.Orvana";
    static constexpr const char* objectPath = "/app/orvana/Orvana";
    static constexpr const char* intentsInterface = "app.orvana.Orvana.Intents";
    static constexpr const char* applicationInterface = "org.freedesktop.Application";

    enum class Claim { owned, taken, noBus };
    // Asks the bus for the name (not queued, not to be taken away).
    static Claim claimName(QDBusConnection bus);
    // Calls the running instance. While it is still starting (the name is
    // owned but its objects are not there yet) the call is tried again until
    // `timeoutMs` has passed. An error reply when it never answered.
    static QDBusMessage callRunning(QDBusConnection bus, const QString& interface,
                                    const QString& method, const QVariantList& arguments,
                                    int timeoutMs = 10'000);
    static bool isRunning(QDBusConnection bus);
    // What a start hands on with Activate and ActivateAction: the launcher's
    // startup id and the Wayland activation token from this process's
    // environment, so the running app may take the focus in their name.
    static QVariantMap platformData();

    explicit ApplicationBus(AppEnvironment& environment, QObject* parent = nullptr);
    // Puts the objects on the bus; false when that failed.
    bool publish(QDBusConnection bus);

signals:
    // The window should come forward (a second start, the launcher).
    void activateRequested();
    // A desktop action: "quick-add", "start-focus" (parameter: a goal id or none).
    void actionRequested(const QString& name, const QVariant& parameter);
    // `reply` is sent with the outcome's one line once the import is done.
    void importRequested(const QString& path, const QDBusMessage& reply);
    // `reply` is sent with (exit status, line, counts as JSON) once the
    // cycle is done.
    void syncRequested(bool allowDeletions, const QDBusMessage& reply);

public slots:
    // app.orvana.Orvana.Intents
    QString GetTodaysOneThing(QString& dialog);
    QString StartFocusSession(const QString& goalID);
    orvana::BusGoalList SuggestedGoals();
    orvana::BusGoalList GoalsByIds(const QStringList& ids);
    QString Import(const QString& path);
    // One sync cycle, answered as `orvana sync` ends: 0 synced, 1 failed, 3
    // stopped by the deletion guard; the line it prints; the counts as a
    // JSON object (empty unless synced).
    int Sync(bool allowDeletions, QString& line, QString& json);

private:
    AppEnvironment& env_;
};

} // namespace orvana

Q_DECLARE_METATYPE(orvana::BusGoal)
