#include "Views/Goals/GoalFormView.h"

#include "Services/AppEnvironment.h"
#include "Views/Goals/GoalColorTagPicker.h"
#include "Views/Goals/GoalFormModel.h"
#include "Views/Shared/TimestampFields.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace orvana {

GoalFormView::GoalFormView(GoalFormModel* model, AppEnvironment& environment, QWidget* parent)
    : QDialog(parent), model_(model), env_(environment) {
    model_->setParent(this);
    setWindowTitle(GoalFormModel::windowTitle());

    title_ = new QLineEdit(model_->title());
    title_->setAccessibleName(tr("Title"));
    title_->setPlaceholderText(tr("Title"));
    title_->installEventFilter(this);
    connect(title_, &QLineEdit::textChanged, model_, &GoalFormModel::setTitle);

    description_ = new QPlainTextEdit(model_->goalDescription());
    description_->setAccessibleName(tr("Description"));
    description_->setPlaceholderText(tr("Description"));
    description_->setTabChangesFocus(true);
    description_->setFixedHeight(description_->fontMetrics().lineSpacing() * 4 + 12);
    connect(description_, &QPlainTextEdit::textChanged, this,
            [this] { model_->setGoalDescription(description_->toPlainText()); });

    hasTarget_ = new QCheckBox(tr("Set a &target date"));
    hasTarget_->setChecked(model_->hasTargetDate());
    connect(hasTarget_, &QCheckBox::toggled, model_, &GoalFormModel::setHasTargetDate);

    target_ = new QDateEdit(dateOf(model_->targetDate(), env_.calendar()));
    target_->setCalendarPopup(true);
    target_->setAccessibleName(tr("Target date"));
    connect(target_, &QDateEdit::dateChanged, this, [this](QDate day) {
        model_->setTargetDate(onDay(day, model_->targetDate(), env_.calendar()));
    });

    color_ = new GoalColorTagPicker;
    color_->setSelection(model_->colorTag());
    connect(color_, &GoalColorTagPicker::picked, model_, &GoalFormModel::setColorTag);

    auto* form = new QFormLayout;
    form->addRow(tr("T&itle"), title_);
    form->addRow(tr("&Description"), description_);
    form->addRow(QString(), hasTarget_);
    targetLabel_ = new QLabel(tr("Tar&get date"));
    targetLabel_->setBuddy(target_);
    form->addRow(targetLabel_, target_);
    auto* colorLabel = new QLabel(tr("&Color"));
    colorLabel->setBuddy(color_);
    form->addRow(colorLabel, color_);

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QDialogButtonBox::Cancel);
    save_ = buttons->addButton(tr("Save"), QDialogButtonBox::AcceptRole);
    save_->setToolTip(tr("Save (Ctrl+Return)"));
    connect(buttons, &QDialogButtonBox::accepted, this, &GoalFormView::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &GoalFormView::reject);
    auto* saveKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this);
    connect(saveKey, &QShortcut::activated, this, &GoalFormView::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);
    layout->addWidget(buttons);
    setMinimumWidth(460);
    save_->setDefault(true);

    connect(model_, &GoalFormModel::changed, this, &GoalFormView::render);
    render();
    title_->setFocus();
}

void GoalFormView::render() {
    targetLabel_->setVisible(model_->hasTargetDate());
    target_->setVisible(model_->hasTargetDate());
    save_->setEnabled(model_->canSave());
}

void GoalFormView::accept() {
    if (model_->save())
        QDialog::accept();
}

bool GoalFormView::eventFilter(QObject* watched, QEvent* event) {
    // Return in the title neither saves nor moves on.
    if (watched == title_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            !(key->modifiers() & Qt::ControlModifier))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace orvana
