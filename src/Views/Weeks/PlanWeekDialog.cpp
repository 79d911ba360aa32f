#include "Views/Weeks/PlanWeekDialog.h"

#include "Services/AppEnvironment.h"
#include "Views/Shared/ScreenParts.h"
#include "Views/Shared/TimestampFields.h"
#include "Views/Weeks/WeekDetailModel.h"
#include "Views/Weeks/WeekDetailView.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvana {

PlanWeekDialog::PlanWeekDialog(AppEnvironment& environment, Timestamp shownDate, QWidget* parent)
    : QDialog(parent), env_(environment), shownDate_(shownDate) {
    setWindowTitle(tr("Plan a Week"));
    date_ = new QDateEdit(dateOf(shownDate, env_.calendar()));
    date_->setCalendarPopup(true);
    date_->setAccessibleName(tr("Any day in that week"));
    auto* label = new QLabel(tr("&Any day in that week"));
    label->setBuddy(date_);
    auto* form = new QFormLayout;
    form->addRow(label, date_);

    auto* buttons = new QDialogButtonBox;
    cancel_ = buttons->addButton(QDialogButtonBox::Cancel);
    cancel_->setText(tr("Cancel"));
    cancel_->setAutoDefault(false); // Return plans, wherever the focus is
    plan_ = buttons->addButton(tr("Plan", "button: create the week"), QDialogButtonBox::AcceptRole);
    plan_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);
    layout->addWidget(buttons);
    setFocusProxy(date_);
}

Timestamp PlanWeekDialog::pickedDate() const {
    return onDay(date_->date(), shownDate_, env_.calendar());
}

PlannedWeekDialog::PlannedWeekDialog(AppEnvironment& environment, Week& week, QWidget* parent)
    : QDialog(parent) {
    detail_ = new WeekDetailView(environment, week);
    setWindowTitle(detail_->model()->title());
    auto* buttons = new QDialogButtonBox;
    done_ =
        buttons->addButton(tr("Done", "button: close the dialog"), QDialogButtonBox::AcceptRole);
    done_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    // Gone with its week (an undo, another window).
    connect(detail_->model(), &WeekDetailModel::weekRemoved, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(screenTitle(detail_->model()->title()));
    layout->addWidget(detail_, 1);
    layout->addWidget(buttons);
    setMinimumSize(480, 460);
    setFocusProxy(detail_);
}

} // namespace orvana
