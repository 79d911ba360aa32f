#include "Views/Settings/SettingsModel.h"

#include "Core/Calendar.h"
#include "Services/AppEnvironment.h"
#include "Services/KeychainService.h"
#include "Services/SecretBackend.h"
#include "Views/Settings/DataTransferModel.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

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
    : QObject(parent), env_(environment), launch_(std::move(launch)),
      transfer_(new DataTransferModel(environment, this)), launchAtLogin_(launch_.isEnabled()) {
    connect(&env_.preferences(), &Preferences::valueChanged, this, &SettingsModel::changed);
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

std::vector<SettingsModel::Stepper> SettingsModel::steppers() {
    using namespace PreferenceKeys;
    return {
        {&pomodoroWorkMinutes, 5, 90, 5, tr("Work: "), tr(" min"), tr("Work")},
        {&pomodoroShortBreakMinutes, 1, 30, 1, tr("Short break: "), tr(" min"), tr("Short break")},
        {&pomodoroLongBreakMinutes, 5, 60, 5, tr("Long break: "), tr(" min"), tr("Long break")},
        {&pomodoroCyclesBeforeLongBreak, 2, 8, 1, tr("Cycles before long break: "), QString(),
         tr("Cycles before long break")},
    };
}

QString SettingsModel::stepperLabel(const Stepper& stepper, qint64 value) {
    return stepper.prefix + QString::number(value) + stepper.suffix;
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
