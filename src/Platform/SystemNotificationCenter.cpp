#include "Platform/SystemNotificationCenter.h"

#include "Core/AppPaths.h"

#include "Platform/DBusNames.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>
#include <QVariantMap>
#include <qcoro/qcorodbuspendingcall.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace orvana {

namespace {

const QString kNotificationsService = QStringLiteral("org.freedesktop.Notifications");

constexpr double kMaxLatenessSeconds = 24 * 3600.0;
// How early a removal still counts a request as due: only the rounding
// between the scheduler's clock reading and ours.
constexpr double kDueTolerance = 0.01;
// Far beyond any reminder the app makes, and small enough that the deadline's
// milliseconds cannot overflow.
constexpr double kMaxDelaySeconds = 100 * 366 * 24 * 3600.0;
// Monotonic timers stand still while the machine sleeps; waking up at least
// once a minute lets the wall clock catch a request that fell due meanwhile.
// (It also keeps the interval far inside QTimer's int milliseconds.)
constexpr qint64 kMaxTimerStepMs = 60'000;

qint64 millisecondsUntil(Timestamp fireAt, Timestamp now) {
    const double seconds = std::clamp(fireAt - now, 0.0, kMaxDelaySeconds);
    return static_cast<qint64>(std::ceil(seconds * 1000.0));
}

QDeadlineTimer deadlineIn(qint64 milliseconds) {
    return QDeadlineTimer(milliseconds, Qt::PreciseTimer);
}

QString fireAtText(Timestamp fireAt) {
    return toDateTime(fireAt).toString(Qt::ISODateWithMs);
}

std::optional<Timestamp> fireAtFromText(const QString& text) {
    const QDateTime dateTime = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!dateTime.isValid())
        return std::nullopt;
    return fromDateTime(dateTime);
}

} // namespace

SystemNotificationCenter::SystemNotificationCenter(QString statePath, Clock clock,
                                                   QDBusConnection bus, QObject* parent)
    : QObject(parent), statePath_(std::move(statePath)), clock_(std::move(clock)),
      bus_(std::move(bus)) {
    timer_.setSingleShot(true);
    // The default coarse timer may be 5 % late: 75 s on a 25-minute segment.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &SystemNotificationCenter::fireDueRequests);
    load();
}

SystemNotificationCenter::~SystemNotificationCenter() = default;

QString SystemNotificationCenter::defaultStatePath() {
    return AppPaths::standard().pendingNotifications;
}

void SystemNotificationCenter::start() {
    if (started_)
        return;
    started_ = true;
    const Timestamp now = clock_();
    std::vector<std::pair<Timestamp, QString>> due;
    for (auto& [identifier, request] : pending_) {
        if (request.fireAt <= now)
            due.emplace_back(request.fireAt, identifier);
        else
            request.deadline = deadlineIn(millisecondsUntil(request.fireAt, now));
    }
    showOrDrop(std::move(due), now);
}

QCoro::Task<NotificationAuthorization> SystemNotificationCenter::authorizationStatus() {
    // Takes a copy of the bus: the centre may be destroyed while it answers.
    // (A named list: GCC 12 cannot take a braced list inside co_await.)
    const QStringList names{kNotificationsService};
    const bool available = co_await isAnyBusNameAvailable(bus_, names);
    co_return available ? NotificationAuthorization::authorized : NotificationAuthorization::denied;
}

QCoro::Task<bool> SystemNotificationCenter::requestAuthorization() {
    co_return co_await authorizationStatus() == NotificationAuthorization::authorized;
}

QCoro::Task<> SystemNotificationCenter::add(QString identifier, QString title, QString body,
                                            double delaySeconds) {
    if (!(delaySeconds > 0) || delaySeconds > kMaxDelaySeconds) {
        qWarning("SystemNotificationCenter: ignoring request %s with delay %g s",
                 qPrintable(identifier), delaySeconds);
        co_return;
    }
    const Timestamp now = clock_();
    pending_.insert_or_assign(std::move(identifier),
                              Request{std::move(title), std::move(body), now + delaySeconds,
                                      deadlineIn(millisecondsUntil(now + delaySeconds, now))});
    save();
    arm();
    co_return;
}

void SystemNotificationCenter::removePendingNotificationRequests(const QStringList& identifiers) {
    bool removed = false;
    const Timestamp now = clock_();
    for (const QString& identifier : identifiers) {
        const auto found = pending_.find(identifier);
        if (found == pending_.end())
            continue;
        // A system scheduler would already have shown a request that is due;
        // our timer may simply not have run yet (the focus timer's tick ends
        // a segment in the same second). Show it rather than lose it.
        const Request& request = found->second;
        if (started_ && (request.deadline.hasExpired() || request.fireAt <= now + kDueTolerance) &&
            now - request.fireAt < kMaxLatenessSeconds)
            deliver(request.title, request.body);
        pending_.erase(found);
        removed = true;
    }
    if (!removed)
        return;
    save();
    arm();
}

QStringList SystemNotificationCenter::pendingIdentifiers() const {
    std::vector<std::pair<Timestamp, QString>> byTime;
    for (const auto& [identifier, request] : pending_)
        byTime.emplace_back(request.fireAt, identifier);
    std::sort(byTime.begin(), byTime.end());
    QStringList identifiers;
    for (const auto& entry : byTime)
        identifiers << entry.second;
    return identifiers;
}

// A damaged file or entry is dropped rather than reported: losing a reminder
// is better than refusing to start, and the next change rewrites the file.
void SystemNotificationCenter::load() {
    QFile file(statePath_);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    const Timestamp now = clock_();
    for (const QJsonValue& value : document.array()) {
        const QJsonObject entry = value.toObject();
        const QString identifier = entry.value(QLatin1String("identifier")).toString();
        const auto fireAt = fireAtFromText(entry.value(QLatin1String("fireAt")).toString());
        if (identifier.isEmpty() || !fireAt)
            continue;
        pending_.insert_or_assign(identifier,
                                  Request{entry.value(QLatin1String("title")).toString(),
                                          entry.value(QLatin1String("body")).toString(), *fireAt,
                                          deadlineIn(millisecondsUntil(*fireAt, now))});
    }
}

bool SystemNotificationCenter::save() const {
    QJsonArray entries;
    for (const QString& identifier : pendingIdentifiers()) {
        const Request& request = pending_.at(identifier);
        entries.append(QJsonObject{{QLatin1String("identifier"), identifier},
                                   {QLatin1String("title"), request.title},
                                   {QLatin1String("body"), request.body},
                                   {QLatin1String("fireAt"), fireAtText(request.fireAt)}});
    }
    const QByteArray json = QJsonDocument(entries).toJson(QJsonDocument::Indented);
    QSaveFile file(statePath_);
    if (!QDir().mkpath(QFileInfo(statePath_).absolutePath()) || !file.open(QIODevice::WriteOnly) ||
        file.write(json) != json.size() || !file.commit()) {
        // The requests stay pending in memory; only a restart would lose them.
        qWarning("SystemNotificationCenter: cannot write %s", qPrintable(statePath_));
        return false;
    }
    return true;
}

void SystemNotificationCenter::fireDueRequests() {
    const Timestamp now = clock_();
    std::vector<std::pair<Timestamp, QString>> due;
    for (const auto& [identifier, request] : pending_) {
        if (request.deadline.hasExpired() || request.fireAt <= now)
            due.emplace_back(request.fireAt, identifier);
    }
    showOrDrop(std::move(due), now);
}

void SystemNotificationCenter::showOrDrop(std::vector<std::pair<Timestamp, QString>> due,
                                          Timestamp now) {
    std::sort(due.begin(), due.end());
    for (const auto& [fireAt, identifier] : due) {
        const auto found = pending_.find(identifier);
        // Missed while the app was closed or the machine slept: shown if
        // less than a day late, dropped otherwise.
        if (now - fireAt < kMaxLatenessSeconds)
            deliver(found->second.title, found->second.body);
        pending_.erase(found);
    }
    if (!due.empty())
        save();
    arm();
}

void SystemNotificationCenter::arm() {
    if (!started_ || pending_.empty()) {
        timer_.stop();
        return;
    }
    const Timestamp now = clock_();
    qint64 wait = kMaxTimerStepMs;
    for (const auto& [identifier, request] : pending_) {
        wait = std::min(
            {wait, request.deadline.remainingTime(), millisecondsUntil(request.fireAt, now)});
    }
    timer_.start(static_cast<int>(std::max<qint64>(wait, 0)));
}

void SystemNotificationCenter::deliver(const QString& title, const QString& body) {
    QDBusMessage notify = QDBusMessage::createMethodCall(
        kNotificationsService, QStringLiteral("/org/freedesktop/Notifications"),
        kNotificationsService, QStringLiteral("Notify"));
    const QVariantMap hints{
        {QStringLiteral("sound-name"), QStringLiteral("message-new-instant")},
        {QStringLiteral("desktop-entry"), QStringLiteral("app.orvana.Orvana")},
    };
    notify << QStringLiteral("Orvana") << 0u << QStringLiteral("app.orvana.Orvana") << title << body
           << QStringList() << hints << -1;
    // Owned by the centre, so an unanswered call does not outlive it.
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [](QDBusPendingCallWatcher* call) {
        if (call->isError())
            qWarning("SystemNotificationCenter: notification not shown: %s",
                     qPrintable(call->error().message()));
        call->deleteLater();
    });
}

} // namespace orvana
