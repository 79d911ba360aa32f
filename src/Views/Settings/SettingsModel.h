#pragma once

#include "Services/LaunchAtLogin.h"
#include "Services/Preferences.h"

#include <QObject>
#include <QString>
#include <QTime>
#include <optional>
#include <qcoro/qcorotask.h>

namespace orvana {

class AppEnvironment;
class DataTransferModel;

// The Settings window without widgets: the AI key, the preferences each
// control is bound to (written at once; the nudges re-plan themselves when
// theirs change), export and import, launch at login and the texts of every
// section. Made anew each time the window opens.
class SettingsModel : public QObject {
    Q_OBJECT
public:
    // `launch`: where the autostart entry goes and what it starts.
    SettingsModel(AppEnvironment& environment, LaunchAtLogin launch, QObject* parent = nullptr);
    ~SettingsModel() override;

    Preferences& preferences() const;

    // AI review.
    bool canStoreKeys() const; // a secret store exists
    bool hasStoredKey() const { return hasStoredKey_; }
    QString keyStatusText() const;
    QString keyStatusSymbol() const;
    QString apiKeyField() const { return apiKeyField_; }
    void setApiKeyField(const QString& text);
    bool canSaveKey() const;
    bool showsRemoveKey() const { return hasStoredKey_ && canStoreKeys(); }
    bool isStoringKey() const { return storingKey_; }
    // The trimmed field as the key; the field is cleared only once stored.
    QCoro::Task<> saveKey();
    QCoro::Task<> removeKey();
    // "Saved", "Removed", or what went wrong; absent until one of them ran.
    std::optional<QString> saveConfirmation() const { return saveConfirmation_; }
    // Empty until it is known whether keys go to a keyring or to a file.
    QString aiFooter() const;

    // Data.
    DataTransferModel* transfer() const { return transfer_; }
    QString dataFooter() const;
    // The confirmation before an import merges anything.
    void askToImport(const QString& path);
    bool isConfirmingImport() const { return pendingImport_.has_value(); }
    QString importConfirmationTitle() const;
    static QString importConfirmationMessage();
    void confirmImport();
    void cancelImport();

    // Pomodoro steppers, within their ranges and steps.
    struct Stepper {
        const IntPreference* key;
        int minimum;
        int maximum;
        int step;
        QString prefix; // "Work: " … the value … suffix " min"
        QString suffix;
        QString name; // read aloud
    };
    static std::vector<Stepper> steppers();
    static QString stepperLabel(const Stepper& stepper, qint64 value);

    // Launch at login.
    bool launchAtLogin() const { return launchAtLogin_; }
    void setLaunchAtLogin(bool enabled);
    std::optional<QString> launchAtLoginError() const { return launchAtLoginError_; }

    // Shortcuts.
    static QString quickAddShortcutText();
    static QString quickAddCommandHint();

    // Nudge times: today at the stored hour and minute; a picked time stores both.
    QTime dailyNudgeTime() const;
    void setDailyNudgeTime(QTime time);
    QTime weeklyNudgeTime() const;
    void setWeeklyNudgeTime(QTime time);
    // 1 … 7, Sunday first, named in the user's language.
    static QString weekdayName(int weekday);

signals:
    void changed();

private:
    QCoro::Task<> settleSecrets();
    QCoro::Task<> loadKeyState();

    AppEnvironment& env_;
    LaunchAtLogin launch_;
    DataTransferModel* transfer_;
    QString apiKeyField_;
    bool hasStoredKey_ = false;
    bool storingKey_ = false;
    std::optional<QString> saveConfirmation_;
    std::optional<QString> pendingImport_;
    bool launchAtLogin_ = false;
    std::optional<QString> launchAtLoginError_;
};

} // namespace orvana
