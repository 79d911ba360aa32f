#include "Views/Sync/SyncGuardDialog.h"

#include "Sync/SyncController.h"

#include <QLocale>
#include <QPushButton>

namespace orvana {

SyncGuardDialog* SyncGuardDialog::ask(QWidget* parent, SyncController& sync) {
    if (!sync.question())
        return nullptr;
    QWidget* owner = parent ? parent->window() : nullptr;
    if (owner) {
        if (auto* open =
                owner->findChild<SyncGuardDialog*>(QString(), Qt::FindDirectChildrenOnly)) {
            open->raise();
            open->activateWindow();
            return open;
        }
    }
    auto* dialog = new SyncGuardDialog(owner, sync);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

void SyncGuardDialog::askWhenNeeded(QWidget* window, SyncController& sync) {
    connect(&sync, &SyncController::questionAsked, window, [window, &sync] { ask(window, sync); });
}

SyncGuardDialog::SyncGuardDialog(QWidget* parent, SyncController& sync) : QMessageBox(parent) {
    const SyncController::Question q = *sync.question();
    setIcon(QMessageBox::Warning);
    setWindowTitle(tr("Sync"));
    setAccessibleName(tr("Sync needs your answer"));
    if (q.accountLost) {
        setText(tr("The server no longer holds this account's data."));
        setInformativeText(tr("It was restored or reset, or holds another account's data. "
                              "Nothing was changed on this device. Send everything on this "
                              "device to the server again?"));
        keep_ = addButton(tr("Send Everything Again"), QMessageBox::AcceptRole);
        addButton(tr("Not Now"), QMessageBox::RejectRole);
        setDefaultButton(qobject_cast<QPushButton*>(keep_));
    } else {
        setText(tr("Another device deleted %n records that are on this device.", nullptr,
                   int(q.records)));
        setInformativeText(
            tr("They are in %1. Nothing was changed yet. Delete them here too, or keep them "
               "and put them back on the server?")
                .arg(QLocale().createSeparatedList(q.collections)));
        delete_ = addButton(tr("Delete Them"), QMessageBox::DestructiveRole);
        keep_ = addButton(tr("Keep Them Here"), QMessageBox::AcceptRole);
        // Return keeps: deleting takes a deliberate choice.
        setDefaultButton(qobject_cast<QPushButton*>(keep_));
        if (auto* button = qobject_cast<QPushButton*>(delete_))
            button->setAutoDefault(false);
    }
    for (QAbstractButton* button : buttons())
        button->setAccessibleName(button->text());
    // Answered meanwhile (a sync with --allow-deletions, say): nothing to ask.
    connect(&sync, &SyncController::changed, this, [this, &sync] {
        if (!sync.question())
            close();
    });
    connect(this, &QMessageBox::buttonClicked, &sync, [this, &sync](QAbstractButton* button) {
        if (button == delete_)
            sync.answer(true);
        else if (button == keep_)
            sync.answer(false);
    });
}

} // namespace orvana
