#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace orvana {

class AppEnvironment;
class SyncController;

// The sync's state at the foot of the sidebar, hidden while signed out: the
// status line, a bar while records are sent, "Retry" after a failure, and
// buttons to the conflicts and the records deleted on another device while
// there are any.
class SyncStatusFooter : public QWidget {
    Q_OBJECT
public:
    explicit SyncStatusFooter(AppEnvironment& environment, QWidget* parent = nullptr);

    QLabel* statusLabel() const { return status_; }
    QPushButton* retryButton() const { return retry_; }
    QPushButton* conflictsButton() const { return conflicts_; }
    QPushButton* deletedButton() const { return deleted_; }

    // "1 conflict", "3 conflicts"; "2 deleted on another device".
    static QString conflictsText(qint64 count);
    static QString deletedText(qint64 count);

signals:
    void conflictsWanted();
    void deletedWanted();

protected:
    void changeEvent(QEvent* event) override;

private:
    void render();

    AppEnvironment& env_;
    SyncController& sync_;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* retry_ = nullptr;
    QPushButton* conflicts_ = nullptr;
    QPushButton* deleted_ = nullptr;
    QTimer tick_; // "2 min ago" moves on
};

} // namespace orvana
