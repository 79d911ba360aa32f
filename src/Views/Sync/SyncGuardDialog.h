#pragma once

#include <QMessageBox>

namespace orvana {

class SyncController;

// The deletion guard's question: a pull would delete many records another
// device deleted (how many, from which calendars), or the server lost this
// account's data. "Delete Them" deletes them here; "Keep Them Here" keeps
// them and sends them to the server again. Return keeps; Escape closes it
// unanswered, and the next sync asks again. One at a time.
class SyncGuardDialog : public QMessageBox {
    Q_OBJECT
public:
    // Shows the question the controller holds, over `parent`; the one
    // already open when there is one.
    static SyncGuardDialog* ask(QWidget* parent, SyncController& sync);
    // From now on every question the controller holds is asked over
    // `window`, whoever started the sync.
    static void askWhenNeeded(QWidget* window, SyncController& sync);

    QAbstractButton* deleteButton() const { return delete_; }
    QAbstractButton* keepButton() const { return keep_; }

private:
    SyncGuardDialog(QWidget* parent, SyncController& sync);

    QAbstractButton* delete_ = nullptr;
    QAbstractButton* keep_ = nullptr;
};

} // namespace orvana
