#pragma once

#include "Services/LaunchAtLogin.h"
#include "Services/Preferences.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>
#include <qcoro/qcorotask.h>

namespace orvana {

class AppEnvironment;
class DataTransferModel;
class SyncController;

// The Settings window without widgets: the AI key, the preferences each
// control is bound to (written at once; the nudges re-plan themselves when
// theirs change), export and import, the sync account, launch at login and
// the texts of every section. Made anew each time the window opens.
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

    // Sync: the sign-in form while signed out, the account and its state
    // while signed in.
    bool syncSignedIn() const;
    QString serverField() const { return serverField_; }
    void setServerField(const QString& text);
    QString userField() const { return userField_; }
    void setUserField(const QString& text);
    // Kept when signing in fails (the mistake may be elsewhere), forgotten
    // once it is in the secret store.
    QString passwordField() const { return passwordField_; }
    void setPasswordField(const QString& text);
    // Offered only for plain http:// to a server that is not this machine;
    // a tick holds for the server it was given for, not for the next one typed.
    bool showsAllowInsecure() const;
    bool allowInsecure() const;
    void setAllowInsecure(bool allowed);
    bool isSigningIn() const { return signingIn_; }
    bool canSignIn() const { return !signingIn_ && !signingOut_; }
    // Finds or makes the calendars with what the fields hold; the error in
    // words otherwise, the fields as they were.
    QCoro::Task<> signIn();
    std::optional<QString> signInError() const { return signInError_; }
    QString syncServer() const;
    QString syncUser() const;
    // The calendars on the server, by the names every client shows.
    QStringList syncCalendars() const;
    // "Last synced 2 min ago", "Syncing… 120 of 4,152 sent", the error.
    QString syncStateLine() const;
    bool canSyncNow() const;
    void syncNow();
    // Signing out asks first.
    void askToSignOut();
    bool isConfirmingSignOut() const { return confirmingSignOut_; }
    QString signOutConfirmationTitle() const;
    static QString signOutConfirmationMessage();
    QCoro::Task<> confirmSignOut();
    void cancelSignOut();
    bool isSigningOut() const { return signingOut_; }
    std::optional<QString> signOutError() const { return signOutError_; }
    QString syncFooter() const;

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
    SyncController& sync_;
    LaunchAtLogin launch_;
    DataTransferModel* transfer_;
    QString apiKeyField_;
    bool hasStoredKey_ = false;
    bool storingKey_ = false;
    std::optional<QString> saveConfirmation_;
    std::optional<QString> pendingImport_;
    QString serverField_;
    QString userField_;
    QString passwordField_;
    std::optional<QString> insecureHost_; // where the tick was given
    bool signingIn_ = false;
    bool signingOut_ = false;
    bool confirmingSignOut_ = false;
    std::optional<QString> signInError_;
    std::optional<QString> signOutError_;
    bool launchAtLogin_ = false;
    std::optional<QString> launchAtLoginError_;
};

} // namespace orvana
