#include "Views/QuickAdd/QuickAddModel.h"

#include "Services/AppEnvironment.h"
#include "Store/ModelContext.h"
#include "Views/Today/DayTaskFormModel.h"

namespace orvana {

QuickAddModel::QuickAddModel(AppEnvironment& environment, QObject* parent)
    : QObject(parent), env_(environment) {}

QuickAddModel::~QuickAddModel() = default;

QString QuickAddModel::heading() {
    return tr("Quick Add to Today");
}

QString QuickAddModel::placeholder() {
    return tr("What needs doing?");
}

void QuickAddModel::setTitle(const QString& title) {
    title_ = title;
}

void QuickAddModel::save() {
    if (done_)
        return;
    // The task form's new-task path creates exactly the plain task wanted
    // here; its day is read now, so a panel left open over midnight adds to
    // the new day.
    DayTaskFormModel form(env_);
    form.setTitle(title_);
    form.setDate(env_.now());
    if (form.save()) {
        created_ = form.savedTask();
        // A failure leaves the task pending for the automatic save.
        (void)env_.context().save();
    }
    dismiss();
}

void QuickAddModel::dismiss() {
    if (done_)
        return;
    done_ = true;
    emit dismissed();
}

} // namespace orvana
