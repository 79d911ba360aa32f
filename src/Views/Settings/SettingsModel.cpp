#include "Views/Settings/SettingsModel.h"

#include "Core/Calendar.h"
#include "Services/AppEnvironment.h"
#include "Services/KeychainService.h"
#include "Services/SecretBackend.h"
#include "Sync/CalDavClient.h"
#include "Sync/SyncController.h"
#include "Sync/SyncSetup.h"
#include "Views/Settings/DataTransferModel.h"
#include "Views/Sync/SyncStatusText.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QUrl>

namespace orvana {

namespace {

// A path under the home folder as the user would type it.
QString homeRelative(const QString& path) {
    const QString home = QDir::homePath();
    if (!home.isEmpty() && path.startsWith(home + u'/'))
        return u'~' + path.mid(home.size());
    return path;
}

std::optional<QString> trimmedKey(const QString& text) {
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() ? std::nullopt : std::optional<QString>(trimmed);
}

} // namespace

SettingsModel::SettingsModel(AppEnvironment& environment, LaunchAtLogin launch, QObject* parent)
    : QObject(parent), env_(environment), sync_(SyncController::of(environment)),
      launch_(std::move(launch)), transfer_(new DataTransferModel(environment, this)),
      launchAtLogin_(launch_.isEnabled()) {
    connect(&env_.preferences(), &Preferences::valueChanged, this, &SettingsModel::changed);
    connect(&sync_, &SyncController::changed, this, &SettingsModel::changed);
    connect(transfer_, &DataTransferModel::changed, this, &SettingsModel::changed);
    if (SecretBackend* secrets = env_.secrets()) {
        // A key stored or removed elsewhere (another window, the review) shows here.
        connect(secrets, &SecretBackend::changed, this, [this](const QString& service) {
            if (service == QLatin1String(KeychainService::service) && !storingKey_)
                loadKeyState();
        });
        loadKeyState();
        if (!secrets->isSettled())
            settleSecrets();
    }
}

SettingsModel::~SettingsModel() = default;

Preferences& SettingsModel::preferences() const {
    return env_.preferences();
}

QCoro::Task<> SettingsModel::loadKeyState() {
    QPointer<SettingsModel> self(this);
    const bool stored = co_await KeychainService::shared(*env_.secrets()).hasValue();
    if (!self || stored == hasStoredKey_)
        co_return;
    hasStoredKey_ = stored;
    emit changed();
}

QCoro::Task<> SettingsModel::settleSecrets() {
    QPointer<SettingsModel> self(this);
    co_await env_.secrets()->settle();
    if (self)
        emit changed(); // the footer can say where the key goes
}

bool SettingsModel::canStoreKeys() const {
    return env_.secrets() != nullptr;
}

QString SettingsModel::keyStatusText() const {
    return hasStoredKey_ ? tr("Using your own API key -- unlimited AI review.")
                         : tr("Using Orvana's free hosted AI review (limited per week).");
}

QString SettingsModel::keyStatusSymbol() const {
    return hasStoredKey_ ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("circle");
}

void SettingsModel::setApiKeyField(const QString& text) {
    if (text == apiKeyField_)
        return;
    apiKeyField_ = text;
    emit changed();
}

bool SettingsModel::canSaveKey() const {
    // Not off while a key is being stored: a disabled button would drop the
    // keyboard focus; saveKey() ignores a second press meanwhile.
    return canStoreKeys() && trimmedKey(apiKeyField_).has_value();
}

QCoro::Task<> SettingsModel::saveKey() {
    const std::optional<QString> key = trimmedKey(apiKeyField_);
    if (!key || !canSaveKey() || storingKey_)
        co_return;
    QPointer<SettingsModel> self(this);
    storingKey_ = true;
    emit changed();
    const Result<void> saved = co_await KeychainService::shared(*env_.secrets()).save(*key);
    if (!self)
        co_return;
    storingKey_ = false;
    if (saved.ok()) {
        hasStoredKey_ = true;
        apiKeyField_.clear();
        saveConfirmation_ = tr("Saved");
    } else {
        // The field keeps the key, so nothing typed is lost.
        saveConfirmation_ = tr("Couldn't save the key: %1").arg(saved.error().message);
    }
    emit changed();
}

QCoro::Task<> SettingsModel::removeKey() {
    if (!showsRemoveKey() || storingKey_)
        co_return;
    QPointer<SettingsModel> self(this);
    storingKey_ = true;
    emit changed();
    const Result<void> removed = co_await KeychainService::shared(*env_.secrets()).remove();
    if (!self)
        co_return;
    storingKey_ = false;
    if (removed.ok()) {
        hasStoredKey_ = false;
        saveConfirmation_ = tr("Removed");
    } else {
        saveConfirmation_ = tr("Couldn't remove the key: %1").arg(removed.error().message);
    }
    emit changed();
}

QString SettingsModel::aiFooter() const {
    // Nothing rather than a guess while it is not yet known where keys go
    // (the app settles that at start, so this lasts a moment at most).
    if (env_.secrets() && !env_.secrets()->isSettled())
        return QString();
    const std::optional<QString> file =
        env_.secrets() ? env_.secrets()->fallbackFilePath() : std::nullopt;
    const QString where =
        file ? tr("it's stored in %1 (readable only by you, as no system keyring was found)")
                   .arg(homeRelative(*file))
             : tr("it's stored in your system keyring");
    return tr("Without a key, AI review uses Orvana's free hosted proxy (rate-limited per week). "
              "Add your own OpenRouter-compatible key for unlimited use -- %1 and used only to "
              "call your chosen provider directly from this app. AI review is entirely optional "
              "either way.")
        .arg(where);
}

QString SettingsModel::dataFooter() const {
    return tr("Export saves everything to a JSON file you control. Import merges one back in -- a "
              "record with a matching ID is overwritten with the imported version; anything else "
              "is added alongside what's already here. A backup like this is also written "
              "automatically once a day to %1, kept for 14 days.")
        .arg(homeRelative(env_.paths().backupsDirectory));
}

void SettingsModel::askToImport(const QString& path) {
    if (path.isEmpty() || transfer_->isBusy())
        return;
    pendingImport_ = path;
    emit changed();
}

QString SettingsModel::importConfirmationTitle() const {
    const QString name = pendingImport_ ? QFileInfo(*pendingImport_).fileName() : QString();
    return tr("Import %1?").arg(name.isEmpty() ? tr("this file") : name);
}

QString SettingsModel::importConfirmationMessage() {
    return tr("Anything in here that matches something you already have will be overwritten "
              "with the imported version. This can be undone with Ctrl+Z right after.");
}

void SettingsModel::confirmImport() {
    if (!pendingImport_)
        return;
    const QString path = *std::exchange(pendingImport_, std::nullopt);
    transfer_->importFrom(path);
    emit changed();
}

void SettingsModel::cancelImport() {
    if (!pendingImport_)
        return;
    pendingImport_.reset();
    emit changed();
}

bool SettingsModel::syncSignedIn() const {
    return sync_.signedIn();
}

void SettingsModel::setServerField(const QString& text) {
    if (text == serverField_)
        return;
    serverField_ = text;
    emit changed();
}

void SettingsModel::setUserField(const QString& text) {
    if (text == userField_)
        return;
    userField_ = text;
    emit changed();
}

void SettingsModel::setPasswordField(const QString& text) {
    if (text == passwordField_)
        return;
    passwordField_ = text;
    emit changed();
}

bool SettingsModel::showsAllowInsecure() const {
    const QUrl url = syncServerAddress(serverField_);
    return url.scheme() == QLatin1String("http") && !CalDavClient::transportAllowed(url, false);
}

bool SettingsModel::allowInsecure() const {
    return showsAllowInsecure() && insecureHost_ == syncServerAddress(serverField_).host();
}

void SettingsModel::setAllowInsecure(bool allowed) {
    if (allowed == allowInsecure())
        return;
    if (allowed && showsAllowInsecure())
        insecureHost_ = syncServerAddress(serverField_).host();
    else
        insecureHost_.reset();
    emit changed();
}

QCoro::Task<> SettingsModel::signIn() {
    if (!canSignIn() || syncSignedIn())
        co_return;
    QPointer<SettingsModel> self(this);
    signingIn_ = true;
    signInError_.reset();
    signOutError_.reset();
    emit changed();
    const bool insecure = allowInsecure();
    const Result<void> done =
        co_await sync_.signIn(serverField_, userField_, passwordField_, insecure);
    if (!self)
        co_return;
    signingIn_ = false;
    if (done.ok())
        passwordField_.clear();
    else
        signInError_ = done.error().message;
    emit changed();
}

QString SettingsModel::syncServer() const {
    return sync_.account() ? sync_.account()->server : QString();
}

QString SettingsModel::syncUser() const {
    return sync_.account() ? sync_.account()->user : QString();
}

QStringList SettingsModel::syncCalendars() const {
    QStringList names;
    if (!sync_.account())
        return names;
    const auto& paths = sync_.account()->collections;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (!paths[i].isEmpty())
            names << QString::fromUtf8(specOf(SyncCollection(i)).displayName);
    }
    return names;
}

QString SettingsModel::syncStateLine() const {
    return syncStatusLine(sync_, env_.now());
}

bool SettingsModel::canSyncNow() const {
    return syncSignedIn() && !signingOut_ && sync_.phase() != SyncController::Phase::syncing;
}

void SettingsModel::syncNow() {
    if (canSyncNow())
        sync_.syncNow();
}

void SettingsModel::askToSignOut() {
    if (!syncSignedIn() || signingOut_ || confirmingSignOut_)
        return;
    confirmingSignOut_ = true;
    emit changed();
}

QString SettingsModel::signOutConfirmationTitle() const {
    return tr("Sign out of %1?").arg(syncServer());
}

QString SettingsModel::signOutConfirmationMessage() {
    return tr("Everything on this device stays here, and so does everything on the server. This "
              "device stops syncing and forgets the account and its password.");
}

QCoro::Task<> SettingsModel::confirmSignOut() {
    if (!confirmingSignOut_)
        co_return;
    QPointer<SettingsModel> self(this);
    confirmingSignOut_ = false;
    signingOut_ = true;
    signOutError_.reset();
    // Signing in again is a few keys away: the address and the name stay.
    serverField_ = syncServer();
    userField_ = syncUser();
    emit changed();
    const Result<void> done = co_await sync_.signOut();
    if (!self)
        co_return;
    signingOut_ = false;
    if (!done.ok())
        signOutError_ = tr("Couldn't sign out: %1").arg(done.error().message);
    emit changed();
}

void SettingsModel::cancelSignOut() {
    if (!confirmingSignOut_)
        return;
    confirmingSignOut_ = false;
    emit changed();
}

QString SettingsModel::syncFooter() const {
    const std::optional<QString> file = env_.secrets() && env_.secrets()->isSettled()
                                            ? env_.secrets()->fallbackFilePath()
                                            : std::nullopt;
    const QString where =
        file ? tr("The password is kept in %1, readable only by you.").arg(homeRelative(*file))
             : tr("The password is kept in your system keyring.");
    return tr("Keeps your goals, plans, tasks and focus time the same on every device signed in "
              "to the same CalDAV server (Nextcloud, Radicale, Fastmail or any other); a phone's "
              "own task and calendar apps show the tasks and focus blocks too. %1")
        .arg(where);
}

std::vector<SettingsModel::Stepper> SettingsModel::steppers() {
    using namespace PreferenceKeys;
    return {
        {&pomodoroWorkMinutes, 5, 90, 5, tr("Work: ", "the work part of a pomodoro"), tr(" min"),
         tr("Work", "the work part of a pomodoro")},
        {&pomodoroShortBreakMinutes, 1, 30, 1, tr("Short break: "), tr(" min"), tr("Short break")},
        {&pomodoroLongBreakMinutes, 5, 60, 5, tr("Long break: "), tr(" min"), tr("Long break")},
        {&pomodoroCyclesBeforeLongBreak, 2, 8, 1, tr("Cycles before long break: "), QString(),
         tr("Cycles before long break")},
    };
}

QString SettingsModel::stepperLabel(const Stepper& stepper, qint64 value) {
    return stepper.prefix + QLocale().toString(value) + stepper.suffix;
}

void SettingsModel::setLaunchAtLogin(bool enabled) {
    if (enabled == launchAtLogin_ && !launchAtLoginError_)
        return;
    const Result<void> updated = launch_.setEnabled(enabled);
    if (updated.ok()) {
        launchAtLoginError_.reset();
        launchAtLogin_ = enabled;
    } else {
        launchAtLoginError_ =
            tr("Couldn't update Launch at Login: %1").arg(updated.error().message);
        // Back in step with what is really there, without trying again: a second
        // attempt would only clear the message it has just set.
        launchAtLogin_ = launch_.isEnabled();
    }
    emit changed();
}

QString SettingsModel::quickAddShortcutText() {
    return tr("Ctrl+Alt+Space");
}

QString SettingsModel::quickAddCommandHint() {
    return tr("Where the desktop does not let apps claim this key (on Wayland, for one), bind "
              "the command \u201corvana quick-add\u201d to a key in your desktop's keyboard "
              "settings: it opens the same field.");
}

namespace {

QTime storedTime(const Preferences& prefs, const IntPreference& hour, const IntPreference& minute) {
    // A hand-written value the clock cannot show falls back to the default.
    QTime time(int(prefs.value(hour)), int(prefs.value(minute)));
    return time.isValid() ? time : QTime(int(hour.defaultValue), int(minute.defaultValue));
}

void storeTime(Preferences& prefs, const IntPreference& hour, const IntPreference& minute,
               QTime time) {
    if (!time.isValid())
        return;
    prefs.setValue(hour, time.hour());
    prefs.setValue(minute, time.minute());
}

} // namespace

QTime SettingsModel::dailyNudgeTime() const {
    return storedTime(env_.preferences(), PreferenceKeys::dailyPlanningNudgeHour,
                      PreferenceKeys::dailyPlanningNudgeMinute);
}

void SettingsModel::setDailyNudgeTime(QTime time) {
    storeTime(env_.preferences(), PreferenceKeys::dailyPlanningNudgeHour,
              PreferenceKeys::dailyPlanningNudgeMinute, time);
}

QTime SettingsModel::weeklyNudgeTime() const {
    return storedTime(env_.preferences(), PreferenceKeys::weeklyRitualNudgeHour,
                      PreferenceKeys::weeklyRitualNudgeMinute);
}

void SettingsModel::setWeeklyNudgeTime(QTime time) {
    storeTime(env_.preferences(), PreferenceKeys::weeklyRitualNudgeHour,
              PreferenceKeys::weeklyRitualNudgeMinute, time);
}

QString SettingsModel::weekdayName(int weekday) {
    return Calendar::weekdayName(weekday);
}

} // namespace orvana
