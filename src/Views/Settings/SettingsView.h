#pragma once

#include <QDialog>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTimeEdit;
class QTimer;

namespace orvana {

class AppEnvironment;
class LaunchAtLogin;
class SettingsModel;

// The Settings window (Ctrl+,): ten sections, each control bound live to its
// preference. Not modal; the main window keeps one at a time and makes it
// anew each time it opens. Export and import run in the background with a
// progress line and Cancel; Ctrl+Z right after an import undoes it here too.
class SettingsView : public QDialog {
    Q_OBJECT
public:
    SettingsView(AppEnvironment& environment, LaunchAtLogin launch, QWidget* parent = nullptr);
    // The user's own autostart entry, starting this program.
    explicit SettingsView(AppEnvironment& environment, QWidget* parent = nullptr);

    SettingsModel* model() const { return model_; }

    QLabel* keyStatus() const { return keyStatus_; }
    QLineEdit* apiKeyField() const { return apiKey_; }
    QPushButton* saveKeyButton() const { return saveKey_; }
    QPushButton* removeKeyButton() const { return removeKey_; }
    QLabel* keyConfirmation() const { return keyConfirmation_; }
    QLineEdit* modelIDField() const { return modelID_; }
    QLineEdit* proxyURLField() const { return proxyURL_; }
    QPushButton* exportButton() const { return export_; }
    QPushButton* importButton() const { return import_; }
    QLabel* dataMessage() const { return dataMessage_; }
    QProgressBar* progressBar() const { return progress_; }
    QPushButton* cancelTransferButton() const { return cancelTransfer_; }
    QGroupBox* syncSection() const { return syncSection_; }
    QLineEdit* serverField() const { return server_; }
    QLineEdit* userField() const { return user_; }
    QLineEdit* passwordField() const { return password_; }
    QCheckBox* allowInsecureSwitch() const { return allowInsecure_; }
    QPushButton* signInButton() const { return signIn_; }
    QLabel* signInError() const { return signInError_; }
    QLabel* syncState() const { return syncState_; }
    QLabel* syncCalendars() const { return calendars_; }
    QPushButton* syncNowButton() const { return syncNow_; }
    QPushButton* signOutButton() const { return signOut_; }
    const std::vector<QSpinBox*>& steppers() const { return steppers_; }
    QCheckBox* launchAtLoginSwitch() const { return launchAtLogin_; }
    QLabel* launchAtLoginError() const { return launchError_; }
    QCheckBox* dailyNudgeSwitch() const { return dailyNudge_; }
    QTimeEdit* dailyNudgeTime() const { return dailyTime_; }
    QCheckBox* weeklyNudgeSwitch() const { return weeklyNudge_; }
    QComboBox* weeklyNudgeWeekday() const { return weeklyDay_; }
    QTimeEdit* weeklyNudgeTime() const { return weeklyTime_; }
    QCheckBox* guidanceSwitch() const { return guidance_; }

    // "Export Data…" and "Import Data…": the file dialog, then the work.
    void exportData();
    void importData();

protected:
    void changeEvent(QEvent* event) override;
    // Closed (or Escape) while an export or import runs: only hidden, so the
    // work is not lost; opened again, it shows its progress or outcome.
    void closeEvent(QCloseEvent* event) override;

public slots:
    void done(int result) override;

protected:
private:
    void render();
    void renderSync();
    void confirmImport();
    void confirmSignOut();

    AppEnvironment& env_;
    SettingsModel* model_;
    QLabel* keyIcon_ = nullptr;
    QLabel* keyStatus_ = nullptr;
    QLineEdit* apiKey_ = nullptr;
    QPushButton* saveKey_ = nullptr;
    QPushButton* removeKey_ = nullptr;
    QLabel* keyConfirmation_ = nullptr;
    QLabel* aiFooter_ = nullptr;
    QLineEdit* modelID_ = nullptr;
    QLineEdit* proxyURL_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* import_ = nullptr;
    QLabel* dataMessage_ = nullptr;
    QLabel* activity_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancelTransfer_ = nullptr;
    QWidget* progressRow_ = nullptr;
    QGroupBox* syncSection_ = nullptr;
    QWidget* signedOut_ = nullptr;
    QLineEdit* server_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
    QCheckBox* allowInsecure_ = nullptr;
    QPushButton* signIn_ = nullptr;
    QWidget* signingIn_ = nullptr;
    QLabel* signInError_ = nullptr;
    QWidget* signedIn_ = nullptr;
    QLabel* syncServer_ = nullptr;
    QLabel* syncUser_ = nullptr;
    QLabel* calendars_ = nullptr;
    QLabel* syncState_ = nullptr;
    QPushButton* syncNow_ = nullptr;
    QPushButton* signOut_ = nullptr;
    QWidget* signingOut_ = nullptr;
    QLabel* signOutError_ = nullptr;
    QLabel* syncFooter_ = nullptr;
    QTimer* syncClock_ = nullptr;
    bool wasSignedIn_ = false;
    bool syncNowFocusParked_ = false;
    bool confirmingSignOut_ = false;
    std::vector<QSpinBox*> steppers_;
    QCheckBox* launchAtLogin_ = nullptr;
    QLabel* launchError_ = nullptr;
    QCheckBox* dailyNudge_ = nullptr;
    QWidget* dailyRow_ = nullptr;
    QTimeEdit* dailyTime_ = nullptr;
    QCheckBox* weeklyNudge_ = nullptr;
    QWidget* weeklyRows_ = nullptr;
    QComboBox* weeklyDay_ = nullptr;
    QTimeEdit* weeklyTime_ = nullptr;
    QCheckBox* guidance_ = nullptr;
    QPushButton* startedBy_ = nullptr;
    bool confirming_ = false;
};

} // namespace orvana
