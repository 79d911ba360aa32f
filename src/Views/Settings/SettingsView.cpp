#include "Views/Settings/SettingsView.h"

#include "Services/AppEnvironment.h"
#include "Services/LaunchAtLogin.h"
#include "Services/Preferences.h"
#include "Store/ModelContext.h"
#include "Store/UndoManager.h"
#include "Views/Settings/DataTransferModel.h"
#include "Views/Settings/SettingsModel.h"
#include "Views/Shared/BusyIndicator.h"
#include "Views/Shared/Stepping.h"
#include "Views/Shared/SymbolIcon.h"
#include "Views/Shared/TagColors.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace orvana {

namespace {

QLabel* footerLabel(const QString& text = {}) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setForegroundRole(QPalette::PlaceholderText);
    QFont small = label->font();
    small.setPointSizeF(small.pointSizeF() * 0.92);
    label->setFont(small);
    return label;
}

QLabel* noteLabel() {
    auto* label = new QLabel;
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// A section: its header as the box's title, the controls, the footer beneath.
QGroupBox* section(const QString& title, QLayout* content, QLabel* footer) {
    auto* box = new QGroupBox(title);
    auto* layout = new QVBoxLayout(box);
    layout->addLayout(content);
    if (footer)
        layout->addWidget(footer);
    return box;
}

QFormLayout* form() {
    auto* layout = new QFormLayout;
    layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    return layout;
}

// The locale's short time without seconds (some short formats carry them).
QString hourAndMinuteFormat() {
    QString format = QLocale().timeFormat(QLocale::ShortFormat);
    static const QRegularExpression seconds(QStringLiteral("[^hHmaAp]?s{1,2}"));
    format.remove(seconds);
    return format.trimmed();
}

QTimeEdit* timePicker(const QString& name) {
    auto* picker = new QTimeEdit;
    picker->setAccessibleName(name);
    picker->setDisplayFormat(hourAndMinuteFormat());
    picker->setWrapping(true);
    return picker;
}

// A text field bound to a text preference: written as typed, refreshed when
// the preference moves elsewhere.
QLineEdit* boundField(Preferences& prefs, const StringPreference& key, const QString& name) {
    auto* field = new QLineEdit(prefs.value(key));
    field->setAccessibleName(name);
    field->setClearButtonEnabled(true);
    QObject::connect(field, &QLineEdit::textEdited, field,
                     [&prefs, &key](const QString& text) { prefs.setValue(key, text); });
    return field;
}

QCheckBox* boundSwitch(Preferences& prefs, const BoolPreference& key, const QString& label) {
    auto* box = new QCheckBox(label);
    box->setChecked(prefs.value(key));
    QObject::connect(box, &QCheckBox::toggled, box,
                     [&prefs, &key](bool on) { prefs.setValue(key, on); });
    return box;
}

void showChecked(QCheckBox* box, bool checked) {
    if (box->isChecked() != checked) {
        const QSignalBlocker block(box);
        box->setChecked(checked);
    }
}

void showTime(QTimeEdit* picker, QTime time) {
    if (picker->time() != time) {
        const QSignalBlocker block(picker);
        picker->setTime(time);
    }
}

void showText(QLineEdit* field, const QString& text) {
    if (field->text() != text)
        field->setText(text);
}

void showNote(QLabel* label, const std::optional<QString>& text) {
    label->setText(text.value_or(QString()));
    label->setVisible(text.has_value());
}

// A text field whose label, beside it, is also its name.
QLineEdit* namedField(const QString& name) {
    auto* field = new QLineEdit;
    field->setAccessibleName(name);
    return field;
}

// A spinning arc and what it waits for, shown while that runs.
QWidget* busyNote(const QString& text) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* busy = new BusyIndicator;
    busy->setAccessibleName(text);
    layout->addWidget(busy);
    auto* label = new QLabel(text);
    label->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(label);
    row->setVisible(false);
    return row;
}

// Red, in a hue that stays readable in both palettes: a destructive button,
// or what went wrong.
void paintRed(QWidget* widget, QPalette::ColorRole role, const QPalette& window) {
    QPalette palette = widget->palette();
    palette.setColor(role, tagColor(QStringLiteral("red"), window));
    widget->setPalette(palette);
}

// Focus moves to `next` only from a widget about to go (or from nowhere).
bool focusLeaving(const QWidget* going) {
    const QWidget* focus = QApplication::focusWidget();
    return !focus || focus == going || going->isAncestorOf(focus);
}

} // namespace

SettingsView::SettingsView(AppEnvironment& environment, QWidget* parent)
    : SettingsView(
          environment,
          LaunchAtLogin(environment.paths().autostartFile, QCoreApplication::applicationFilePath()),
          parent) {}

SettingsView::SettingsView(AppEnvironment& environment, LaunchAtLogin launch, QWidget* parent)
    : QDialog(parent), env_(environment),
      model_(new SettingsModel(environment, std::move(launch), this)) {
    setObjectName(QStringLiteral("SettingsView"));
    setWindowTitle(tr("Settings"));
    resize(600, 720);
    Preferences& prefs = model_->preferences();
    using namespace PreferenceKeys;

    // 1. AI Review.
    keyIcon_ = new QLabel;
    keyStatus_ = noteLabel();
    auto* status = new QHBoxLayout;
    status->addWidget(keyIcon_);
    status->addWidget(keyStatus_, 1);
    apiKey_ = new QLineEdit;
    apiKey_->setEchoMode(QLineEdit::Password);
    apiKey_->setPlaceholderText(tr("OpenRouter API Key"));
    apiKey_->setAccessibleName(tr("OpenRouter API Key"));
    connect(apiKey_, &QLineEdit::textEdited, model_, &SettingsModel::setApiKeyField);
    saveKey_ = new QPushButton(tr("Save Key"));
    saveKey_->setAutoDefault(false);
    connect(saveKey_, &QPushButton::clicked, this, [this] { model_->saveKey(); });
    removeKey_ = new QPushButton(tr("Remove Key"));
    removeKey_->setAutoDefault(false);
    connect(removeKey_, &QPushButton::clicked, this, [this] {
        // The button goes once the key is gone; the keyboard stays in the section.
        apiKey_->setFocus(Qt::OtherFocusReason);
        model_->removeKey();
    });
    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(apiKey_, 1);
    keyRow->addWidget(saveKey_);
    keyRow->addWidget(removeKey_);
    keyConfirmation_ = noteLabel();
    modelID_ = boundField(prefs, aiModelID, tr("Model ID"));
    auto* ai = new QVBoxLayout;
    ai->addLayout(status);
    ai->addLayout(keyRow);
    ai->addWidget(keyConfirmation_);
    QFormLayout* modelRow = form();
    modelRow->addRow(tr("Model ID"), modelID_);
    ai->addLayout(modelRow);
    aiFooter_ = footerLabel();

    // 2. Hosted Proxy (Advanced).
    proxyURL_ = boundField(prefs, hostedProxyBaseURL, tr("Proxy URL"));
    QFormLayout* proxy = form();
    proxy->addRow(tr("Proxy URL"), proxyURL_);

    // 3. Data Export.
    export_ = new QPushButton(tr("Export Data…"));
    export_->setAutoDefault(false);
    connect(export_, &QPushButton::clicked, this, &SettingsView::exportData);
    import_ = new QPushButton(tr("Import Data…"));
    import_->setAutoDefault(false);
    connect(import_, &QPushButton::clicked, this, &SettingsView::importData);
    auto* dataButtons = new QHBoxLayout;
    dataButtons->addWidget(export_);
    dataButtons->addWidget(import_);
    dataButtons->addStretch(1);
    activity_ = noteLabel();
    progress_ = new QProgressBar;
    progress_->setAccessibleName(tr("Progress"));
    progress_->setTextVisible(false);
    cancelTransfer_ = new QPushButton(tr("Cancel"));
    cancelTransfer_->setAutoDefault(false);
    connect(cancelTransfer_, &QPushButton::clicked, model_->transfer(), &DataTransferModel::cancel);
    progressRow_ = new QWidget;
    auto* progressLayout = new QHBoxLayout(progressRow_);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    progressLayout->addWidget(activity_);
    progressLayout->addWidget(progress_, 1);
    progressLayout->addWidget(cancelTransfer_);
    dataMessage_ = noteLabel();
    auto* data = new QVBoxLayout;
    data->addLayout(dataButtons);
    data->addWidget(progressRow_);
    data->addWidget(dataMessage_);

    // Sync: the sign-in form, or the account with its state.
    server_ = namedField(tr("Server Address"));
    server_->setPlaceholderText(tr("https://dav.example.org"));
    server_->setInputMethodHints(Qt::ImhUrlCharactersOnly | Qt::ImhNoAutoUppercase);
    connect(server_, &QLineEdit::textEdited, model_, &SettingsModel::setServerField);
    user_ = namedField(tr("User Name"));
    user_->setInputMethodHints(Qt::ImhNoAutoUppercase);
    connect(user_, &QLineEdit::textEdited, model_, &SettingsModel::setUserField);
    password_ = namedField(tr("Password"));
    password_->setEchoMode(QLineEdit::Password);
    connect(password_, &QLineEdit::textEdited, model_, &SettingsModel::setPasswordField);
    // Return walks down the form and signs in from its last field.
    connect(server_, &QLineEdit::returnPressed, user_, [this] { user_->setFocus(); });
    connect(user_, &QLineEdit::returnPressed, password_, [this] { password_->setFocus(); });
    connect(password_, &QLineEdit::returnPressed, this, [this] { model_->signIn(); });
    allowInsecure_ = new QCheckBox(tr("Allow an unencrypted connection"));
    connect(allowInsecure_, &QCheckBox::toggled, model_, &SettingsModel::setAllowInsecure);
    signIn_ = new QPushButton(tr("Sign In"));
    signIn_->setAutoDefault(false);
    connect(signIn_, &QPushButton::clicked, this, [this] {
        // The button is off while signing in; the keyboard waits in the form.
        if (signIn_->hasFocus())
            password_->setFocus(Qt::OtherFocusReason);
        model_->signIn();
    });
    signingIn_ = busyNote(tr("Signing in…"));
    auto* signInRow = new QHBoxLayout;
    signInRow->addWidget(signIn_);
    signInRow->addWidget(signingIn_);
    signInRow->addStretch(1);
    signInError_ = noteLabel();
    signedOut_ = new QWidget;
    auto* signedOut = new QVBoxLayout(signedOut_);
    signedOut->setContentsMargins(0, 0, 0, 0);
    QFormLayout* fields = form();
    fields->addRow(tr("Server Address"), server_);
    fields->addRow(tr("User Name"), user_);
    fields->addRow(tr("Password"), password_);
    fields->addRow(QString(), allowInsecure_);
    signedOut->addLayout(fields);
    signedOut->addLayout(signInRow);
    signedOut->addWidget(signInError_);

    syncServer_ = noteLabel();
    syncUser_ = noteLabel();
    calendars_ = noteLabel();
    syncState_ = noteLabel();
    syncNow_ = new QPushButton(tr("Sync Now"));
    syncNow_->setAutoDefault(false);
    connect(syncNow_, &QPushButton::clicked, model_, &SettingsModel::syncNow);
    signOut_ = new QPushButton(tr("Sign Out"));
    signOut_->setAutoDefault(false);
    connect(signOut_, &QPushButton::clicked, model_, &SettingsModel::askToSignOut);
    signingOut_ = busyNote(tr("Signing out…"));
    auto* accountButtons = new QHBoxLayout;
    accountButtons->addWidget(syncNow_);
    accountButtons->addWidget(signOut_);
    accountButtons->addWidget(signingOut_);
    accountButtons->addStretch(1);
    signOutError_ = noteLabel();
    signedIn_ = new QWidget;
    auto* signedIn = new QVBoxLayout(signedIn_);
    signedIn->setContentsMargins(0, 0, 0, 0);
    QFormLayout* account = form();
    account->addRow(tr("Server"), syncServer_);
    account->addRow(tr("Signed in as"), syncUser_);
    account->addRow(tr("Calendars"), calendars_);
    account->addRow(tr("Status"), syncState_);
    signedIn->addLayout(account);
    signedIn->addLayout(accountButtons);
    signedIn->addWidget(signOutError_);
    auto* sync = new QVBoxLayout;
    sync->addWidget(signedOut_);
    sync->addWidget(signedIn_);
    syncFooter_ = footerLabel();
    // "2 min ago" moves on by itself.
    syncClock_ = new QTimer(this);
    syncClock_->setInterval(30'000);
    connect(syncClock_, &QTimer::timeout, this,
            [this] { syncState_->setText(model_->syncStateLine()); });
    syncClock_->start();

    // 4. Pomodoro Timer.
    auto* pomodoro = new QVBoxLayout;
    for (const SettingsModel::Stepper& s : SettingsModel::steppers()) {
        auto* box = new QSpinBox;
        box->setRange(s.minimum, s.maximum);
        box->setSingleStep(s.step);
        box->setPrefix(s.prefix);
        box->setSuffix(s.suffix);
        box->setAccessibleName(s.name);
        // Typed digits land once the field is left, not one digit at a time.
        box->setKeyboardTracking(false);
        const IntPreference* key = s.key;
        connect(box, &QSpinBox::valueChanged, this, [this, key, box, s](int value) {
            // A typed value lands on the step (7 minutes of work become 5).
            const int stepped = int(steppedValue(value, s.minimum, s.maximum, s.step));
            if (stepped != value) {
                const QSignalBlocker block(box);
                box->setValue(stepped);
            }
            model_->preferences().setValue(*key, stepped);
        });
        pomodoro->addWidget(box);
        steppers_.push_back(box);
    }

    // 5. Startup.
    launchAtLogin_ = new QCheckBox(tr("Launch at Login"));
    connect(launchAtLogin_, &QCheckBox::toggled, model_, &SettingsModel::setLaunchAtLogin);
    launchError_ = noteLabel();
    auto* startup = new QVBoxLayout;
    startup->addWidget(launchAtLogin_);
    startup->addWidget(launchError_);

    // 6. Shortcuts.
    auto* shortcut = new QLabel(SettingsModel::quickAddShortcutText());
    shortcut->setTextInteractionFlags(Qt::TextSelectableByMouse);
    shortcut->setAccessibleName(tr("Quick Add Task"));
    QFormLayout* shortcuts = form();
    shortcuts->addRow(tr("Quick Add Task"), shortcut);
    auto* hint = footerLabel(SettingsModel::quickAddCommandHint());

    // 7. Daily Nudge.
    dailyNudge_ = boundSwitch(prefs, dailyPlanningNudgeEnabled, tr("Daily Planning Nudge"));
    dailyTime_ = timePicker(tr("At", "at a time of day"));
    dailyTime_->setAccessibleDescription(tr("Daily Planning Nudge"));
    connect(dailyTime_, &QTimeEdit::timeChanged, model_, &SettingsModel::setDailyNudgeTime);
    dailyRow_ = new QWidget;
    auto* dailyForm = new QFormLayout(dailyRow_);
    dailyForm->setContentsMargins(0, 0, 0, 0);
    dailyForm->addRow(tr("At", "at a time of day"), dailyTime_);
    auto* daily = new QVBoxLayout;
    daily->addWidget(dailyNudge_);
    daily->addWidget(dailyRow_);

    // 8. Weekly Nudge.
    weeklyNudge_ = boundSwitch(prefs, weeklyRitualNudgeEnabled, tr("Weekly Ritual Nudge"));
    weeklyDay_ = new QComboBox;
    weeklyDay_->setAccessibleName(tr("On", "on a day of the week"));
    weeklyDay_->setAccessibleDescription(tr("Weekly Ritual Nudge"));
    for (int day = 1; day <= 7; ++day)
        weeklyDay_->addItem(SettingsModel::weekdayName(day), day);
    connect(weeklyDay_, &QComboBox::activated, this, [this](int index) {
        model_->preferences().setValue(PreferenceKeys::weeklyRitualNudgeWeekday,
                                       weeklyDay_->itemData(index).toInt());
    });
    weeklyTime_ = timePicker(tr("At", "at a time of day"));
    weeklyTime_->setAccessibleDescription(tr("Weekly Ritual Nudge"));
    connect(weeklyTime_, &QTimeEdit::timeChanged, model_, &SettingsModel::setWeeklyNudgeTime);
    weeklyRows_ = new QWidget;
    auto* weeklyForm = new QFormLayout(weeklyRows_);
    weeklyForm->setContentsMargins(0, 0, 0, 0);
    weeklyForm->addRow(tr("On", "on a day of the week"), weeklyDay_);
    weeklyForm->addRow(tr("At", "at a time of day"), weeklyTime_);
    auto* weekly = new QVBoxLayout;
    weekly->addWidget(weeklyNudge_);
    weekly->addWidget(weeklyRows_);

    // 9. Help.
    guidance_ = boundSwitch(prefs, showGuidanceTips, tr("Show Guidance Tips"));
    auto* help = new QVBoxLayout;
    help->addWidget(guidance_);

    auto* content = new QWidget;
    auto* sections = new QVBoxLayout(content);
    sections->addWidget(section(tr("AI Review"), ai, aiFooter_));
    sections->addWidget(section(
        tr("Hosted Proxy (Advanced)"), proxy,
        footerLabel(tr("Defaults to a local development server. Update this once the hosted "
                       "proxy is actually deployed."))));
    sections->addWidget(section(tr("Data Export"), data, footerLabel(model_->dataFooter())));
    syncSection_ = section(tr("Sync"), sync, syncFooter_);
    sections->addWidget(syncSection_);
    sections->addWidget(
        section(tr("Pomodoro Timer"), pomodoro,
                footerLabel(tr("Used when a focus session is started in Pomodoro mode. "
                               "Doesn't change the plain timer."))));
    // Said once, where launching is set. (Asking whether a tray exists here
    // could stall the window on a slow bus, so the sentence covers both.)
    startup->addWidget(footerLabel(tr("Where the desktop has a tray, closing the main window "
                                      "keeps Orvana running there; File → Quit (Ctrl+Q) ends "
                                      "it.")));
    sections->addWidget(section(
        tr("Startup"), startup,
        footerLabel(tr("Off by default. Turn this on to have Orvana start automatically when "
                       "you log in -- useful since the tray icon (streak, today's one thing) is "
                       "only there once the app is running."))));
    auto* shortcutsBox =
        section(tr("Shortcuts"), shortcuts,
                footerLabel(tr("Works from anywhere on your desktop, even when Orvana isn't the "
                               "frontmost app -- opens a small floating field, type a title, "
                               "press Return to add it to Today.")));
    shortcutsBox->layout()->addWidget(hint);
    sections->addWidget(shortcutsBox);
    sections->addWidget(section(
        tr("Daily Nudge"), daily,
        footerLabel(tr("Off by default. If turned on, one reminder fires at this time — only if "
                       "Today's One Thing hasn't been set yet. Never fires once you've already "
                       "planned your day."))));
    sections->addWidget(section(
        tr("Weekly Nudge"), weekly,
        footerLabel(tr("Off by default. If turned on, a reminder points you to the weekly ritual "
                       "on this day — skipped entirely if that week's ritual is already "
                       "done."))));
    sections->addWidget(section(
        tr("Help"), help,
        footerLabel(tr("Shows short explanations on empty screens and under sections "
                       "throughout the app -- what a button does, or what happens after you "
                       "tap it. Turn this off once you know your way around."))));
    sections->addStretch(1);

    auto* scroll = new QScrollArea;
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus); // Tab walks the controls; the page follows them
    auto* close = new QPushButton(tr("Close"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);

    // Right after an import, its undo is one key away here too; text fields
    // keep Ctrl+Z for their own typing.
    auto* undo = new QAction(tr("Undo"), this);
    undo->setShortcut(QKeySequence::Undo);
    connect(undo, &QAction::triggered, this, [this] {
        if (UndoManager* manager = env_.context().undoManager(); manager && manager->canUndo())
            manager->undo();
    });
    addAction(undo);

    connect(model_, &SettingsModel::changed, this, &SettingsView::render);
    wasSignedIn_ = model_->syncSignedIn();
    render();
}

void SettingsView::render() {
    Preferences& prefs = model_->preferences();
    using namespace PreferenceKeys;

    keyIcon_->setPixmap(symbolIcon(model_->keyStatusSymbol()).pixmap(16, 16));
    keyStatus_->setText(model_->keyStatusText());
    if (apiKey_->text() != model_->apiKeyField())
        apiKey_->setText(model_->apiKeyField());
    apiKey_->setEnabled(model_->canStoreKeys());
    saveKey_->setEnabled(model_->canSaveKey());
    removeKey_->setVisible(model_->showsRemoveKey());
    removeKey_->setEnabled(!model_->isStoringKey());
    paintRed(removeKey_, QPalette::ButtonText, palette());
    showNote(keyConfirmation_, model_->saveConfirmation());
    aiFooter_->setText(model_->aiFooter());
    if (!modelID_->hasFocus())
        showText(modelID_, prefs.value(aiModelID));
    if (!proxyURL_->hasFocus())
        showText(proxyURL_, prefs.value(hostedProxyBaseURL));

    DataTransferModel* transfer = model_->transfer();
    const bool busy = transfer->isBusy();
    // The buttons stay enabled while the work runs (a press then does
    // nothing): disabling them would hand the keyboard on down the window.
    if (!busy && cancelTransfer_->hasFocus() && startedBy_)
        startedBy_->setFocus(Qt::OtherFocusReason); // Cancel is about to go
    progressRow_->setVisible(busy);
    activity_->setText(transfer->activity());
    if (transfer->progress() < 0) {
        progress_->setRange(0, 0);
    } else {
        progress_->setRange(0, 1000);
        progress_->setValue(int(transfer->progress() * 1000));
    }
    showNote(dataMessage_, transfer->message());

    const std::vector<SettingsModel::Stepper> specs = SettingsModel::steppers();
    for (std::size_t i = 0; i < specs.size(); ++i) {
        const int value =
            int(std::clamp<qint64>(prefs.value(*specs[i].key), specs[i].minimum, specs[i].maximum));
        // Not while digits are being typed into it (they land on leaving).
        if (steppers_[i]->value() != value && !steppers_[i]->hasFocus()) {
            const QSignalBlocker block(steppers_[i]);
            steppers_[i]->setValue(value);
        }
    }

    renderSync();

    showChecked(launchAtLogin_, model_->launchAtLogin());
    showNote(launchError_, model_->launchAtLoginError());

    showChecked(dailyNudge_, prefs.value(dailyPlanningNudgeEnabled));
    dailyRow_->setVisible(prefs.value(dailyPlanningNudgeEnabled));
    showTime(dailyTime_, model_->dailyNudgeTime());

    showChecked(weeklyNudge_, prefs.value(weeklyRitualNudgeEnabled));
    weeklyRows_->setVisible(prefs.value(weeklyRitualNudgeEnabled));
    {
        const QSignalBlocker block(weeklyDay_);
        weeklyDay_->setCurrentIndex(
            weeklyDay_->findData(int(prefs.value(weeklyRitualNudgeWeekday))));
    }
    showTime(weeklyTime_, model_->weeklyNudgeTime());

    showChecked(guidance_, prefs.value(showGuidanceTips));

    if (model_->isConfirmingImport() && !confirming_)
        confirmImport();
}

void SettingsView::renderSync() {
    const bool signedIn = model_->syncSignedIn();
    showText(server_, model_->serverField());
    showText(user_, model_->userField());
    showText(password_, model_->passwordField());
    allowInsecure_->setVisible(model_->showsAllowInsecure());
    showChecked(allowInsecure_, model_->allowInsecure());
    signIn_->setEnabled(model_->canSignIn());
    signingIn_->setVisible(model_->isSigningIn());
    showNote(signInError_, model_->signInError());
    paintRed(signInError_, QPalette::WindowText, palette());

    syncServer_->setText(model_->syncServer());
    syncUser_->setText(model_->syncUser());
    calendars_->setText(model_->syncCalendars().join(u'\n'));
    syncState_->setText(model_->syncStateLine());
    // Off while it syncs: the keyboard waits on Sign Out, and comes back.
    const bool canSyncNow = model_->canSyncNow();
    if (!canSyncNow && syncNow_->hasFocus()) {
        signOut_->setFocus(Qt::OtherFocusReason);
        syncNowFocusParked_ = true;
    }
    syncNow_->setEnabled(canSyncNow);
    signingOut_->setVisible(model_->isSigningOut());
    showNote(signOutError_, model_->signOutError());
    paintRed(signOutError_, QPalette::WindowText, palette());
    paintRed(signOut_, QPalette::ButtonText, palette());

    // The half that goes hands the keyboard to the half that comes.
    if (signedIn != wasSignedIn_) {
        QWidget* going = signedIn ? signedOut_ : signedIn_;
        (signedIn ? signedIn_ : signedOut_)->setVisible(true);
        if (focusLeaving(going) && isVisible()) {
            if (signedIn) {
                syncNowFocusParked_ = !syncNow_->isEnabled();
                (syncNowFocusParked_ ? signOut_ : syncNow_)->setFocus(Qt::OtherFocusReason);
            } else {
                password_->setFocus(Qt::OtherFocusReason);
            }
        }
        wasSignedIn_ = signedIn;
    }
    signedOut_->setVisible(!signedIn);
    signedIn_->setVisible(signedIn);
    if (syncNowFocusParked_ && syncNow_->isEnabled()) {
        syncNowFocusParked_ = false;
        if (signOut_->hasFocus())
            syncNow_->setFocus(Qt::OtherFocusReason);
    }
    syncFooter_->setText(model_->syncFooter());

    if (model_->isConfirmingSignOut() && !confirmingSignOut_)
        confirmSignOut();
}

void SettingsView::confirmSignOut() {
    confirmingSignOut_ = true;
    auto* box = new QMessageBox(QMessageBox::Question, model_->signOutConfirmationTitle(),
                                model_->signOutConfirmationTitle(), QMessageBox::NoButton, this);
    box->setTextFormat(Qt::PlainText);
    box->setInformativeText(SettingsModel::signOutConfirmationMessage());
    QPushButton* signOut = box->addButton(tr("Sign Out"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box->addButton(tr("Cancel"), QMessageBox::RejectRole);
    // Return keeps the account.
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    connect(box, &QMessageBox::finished, this, [this, box, signOut] {
        confirmingSignOut_ = false;
        if (box->clickedButton() == signOut)
            model_->confirmSignOut();
        else
            model_->cancelSignOut();
    });
    box->open();
}

void SettingsView::exportData() {
    DataTransferModel* transfer = model_->transfer();
    if (transfer->isBusy())
        return;
    startedBy_ = export_;
    transfer->beginExport(); // the copy is taken while the user picks a place
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    auto* dialog = new QFileDialog(this, tr("Export Data"),
                                   QDir(folder).filePath(transfer->proposedExportFileName()),
                                   tr("JSON files (*.json)"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDefaultSuffix(QStringLiteral("json"));
    dialog->selectFile(transfer->proposedExportFileName());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, transfer, &DataTransferModel::exportTo);
    connect(dialog, &QDialog::rejected, transfer, &DataTransferModel::abandonExport);
    dialog->open();
}

void SettingsView::importData() {
    if (model_->transfer()->isBusy())
        return;
    auto* dialog =
        new QFileDialog(this, tr("Import Data"), QDir::homePath(), tr("JSON files (*.json)"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, model_, &SettingsModel::askToImport);
    dialog->open();
}

void SettingsView::confirmImport() {
    confirming_ = true;
    auto* box = new QMessageBox(QMessageBox::Warning, model_->importConfirmationTitle(),
                                model_->importConfirmationTitle(), QMessageBox::NoButton, this);
    box->setTextFormat(Qt::PlainText); // the file's name is shown as it is
    box->setInformativeText(SettingsModel::importConfirmationMessage());
    QPushButton* import = box->addButton(tr("Import"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box->addButton(tr("Cancel"), QMessageBox::RejectRole);
    // Return does not overwrite anything by accident.
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    connect(box, &QMessageBox::finished, this, [this, box, import] {
        confirming_ = false;
        if (box->clickedButton() == import)
            model_->confirmImport();
        else
            model_->cancelImport();
    });
    box->open();
}

void SettingsView::closeEvent(QCloseEvent* event) {
    if (!model_->transfer()->isBusy())
        return QDialog::closeEvent(event);
    event->ignore();
    hide();
}

void SettingsView::done(int result) {
    // Escape and Close alike: the work goes on with the window out of sight;
    // opened again, it shows the progress or how the work ended.
    if (model_->transfer()->isBusy())
        return hide();
    QDialog::done(result);
}

void SettingsView::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        render();
}

} // namespace orvana
