#include "Views/Today/DayTaskFormView.h"

#include "Models/Goal.h"
#include "Services/AppEnvironment.h"
#include "Views/Shared/ScreenParts.h"
#include "Views/Shared/StatusColors.h"
#include "Views/Shared/TimestampFields.h"
#include "Views/Today/DayTaskFormModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvana {

DayTaskFormView::DayTaskFormView(DayTaskFormModel* model, AppEnvironment& environment,
                                 QWidget* parent)
    : QDialog(parent), model_(model), env_(environment) {
    model_->setParent(this);
    setWindowTitle(model_->windowTitle());
    const Calendar& calendar = env_.calendar();

    title_ = new QLineEdit(model_->title());
    title_->setAccessibleName(tr("Title"));
    title_->setPlaceholderText(tr("Title"));
    connect(title_, &QLineEdit::textChanged, model_, &DayTaskFormModel::setTitle);

    date_ = new QDateEdit(dateOf(model_->date(), calendar));
    date_->setCalendarPopup(true);
    date_->setAccessibleName(tr("Date"));
    connect(date_, &QDateEdit::dateChanged, this,
            [this, calendar](QDate day) { model_->setDate(startOf(day, calendar)); });

    goal_ = orvana::goalPicker([this](Goal* g) { model_->setGoal(g); });

    oneThing_ = new QCheckBox(tr("Make this today's &one thing"));
    oneThing_->setChecked(model_->isTodaysOneThing());
    connect(oneThing_, &QCheckBox::toggled, model_, &DayTaskFormModel::setTodaysOneThing);

    reminder_ = new QCheckBox(tr("Set a &reminder"));
    reminder_->setChecked(model_->hasReminder());
    connect(reminder_, &QCheckBox::toggled, model_, &DayTaskFormModel::setHasReminder);

    reminderTime_ = new QDateTimeEdit(wallClockOf(model_->reminderTime(), calendar));
    reminderTime_->setCalendarPopup(true);
    // The locale's short date and time; the C locale's has seconds.
    const QLocale locale;
    reminderTime_->setDisplayFormat(locale.language() == QLocale::C
                                        ? QStringLiteral("yyyy-MM-dd HH:mm")
                                        : locale.dateTimeFormat(QLocale::ShortFormat));
    reminderTime_->setAccessibleName(tr("Remind me at"));
    connect(reminderTime_, &QDateTimeEdit::dateTimeChanged, this,
            [this, calendar](const QDateTime& wallClock) {
                model_->setReminderTime(instantOf(wallClock, calendar));
            });

    error_ = new QLabel;
    error_->setWordWrap(true);
    error_->setTextFormat(Qt::PlainText);
    QPalette red = error_->palette();
    red.setColor(QPalette::WindowText, cautionColor(palette()));
    error_->setPalette(red);

    auto* form = new QFormLayout;
    // Alt+letter reaches each field.
    form->addRow(tr("&Title"), title_);
    form->addRow(tr("&Date"), date_);
    form->addRow(tr("&Goal"), goal_);
    form->addRow(QString(), oneThing_);
    form->addRow(QString(), reminder_);
    reminderLabel_ = new QLabel(tr("Remind &me at"));
    reminderLabel_->setBuddy(reminderTime_);
    form->addRow(reminderLabel_, reminderTime_);

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QDialogButtonBox::Cancel);
    save_ = buttons->addButton(tr("Save"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &DayTaskFormView::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DayTaskFormView::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(error_);
    layout->addStretch(1);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    // Once the button is inside the dialog, so the dialog keeps it as its
    // default while the focus moves around.
    save_->setDefault(true);

    connect(model_, &DayTaskFormModel::changed, this, &DayTaskFormView::render);
    render();
    title_->setFocus();
}

void DayTaskFormView::render() {
    showGoals(goal_, model_->goals(), model_->goal());
    oneThing_->setVisible(model_->showsOneThingToggle());
    reminderLabel_->setVisible(model_->hasReminder());
    reminderTime_->setVisible(model_->hasReminder());
    error_->setVisible(model_->errorMessage().has_value());
    error_->setText(model_->errorMessage().value_or(QString()));
    save_->setEnabled(model_->canSave());
}

void DayTaskFormView::accept() {
    if (model_->save())
        QDialog::accept();
}

} // namespace orvana
