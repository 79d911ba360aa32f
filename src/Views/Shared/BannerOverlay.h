#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>

class QGraphicsOpacityEffect;
class QLabel;
class QParallelAnimationGroup;
class QPropertyAnimation;

namespace orvana {

// The shared part of the undo and acknowledgment banners: a card laid over
// the bottom edge of a host screen, visible while a message is present.
//
// The overlay is a child of the host but not part of its layout; it follows
// the host's size, centred at the bottom, and stays above the host's other
// children. A message slides in from the bottom edge with a fade (200 ms,
// ease-in-out) and slides out the same way when cleared. Each message waits
// for the full timeout from the moment it is shown; a newer message restarts
// the wait, so the wait of an older message never clears a newer one. When a
// wait ends, the message is cleared. Escape, while the keyboard focus is in
// the banner, clears it too.
//
// message() is empty from the moment the message is cleared, even while the
// card is still sliding out. Main thread only.
// A toast's size hint widened so that `message` fits on one line when there
// is room: a wrapping label alone hints at a narrow block and would wrap
// short messages.
QSize oneLineSizeHint(QSize hint, const QLabel* message);

class BannerOverlay : public QWidget {
    Q_OBJECT
public:
    // The message shown, or empty.
    const QString& message() const { return message_; }

    // Removes the message at once (the card slides out). No-op when empty.
    void clear();

    // How long a message stays, in milliseconds; 0: until it is cleared or
    // replaced (the screen times it). A change applies to messages shown
    // afterwards.
    int timeoutInterval() const { return timeoutInterval_; }
    void setTimeoutInterval(int milliseconds) { timeoutInterval_ = milliseconds; }

signals:
    // The message changed; empty when it was cleared.
    void messageChanged(const QString& message);

protected:
    BannerOverlay(QWidget* host, int defaultTimeoutMs);

    // The visible element; called once by the subclass's constructor.
    void setContent(QWidget* content);

    // Shows `message` in place of any current one and starts its full wait. The
    // subclass puts the text into its content first. An empty message clears.
    void present(const QString& message);

    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int shadowExtent() const;
    QRect restingGeometry() const;
    QPoint belowHost(const QRect& resting) const;
    void followHost();
    void slide(bool in);

    QString message_;
    int timeoutInterval_;
    QTimer timeout_;
    QGraphicsOpacityEffect* opacity_ = nullptr;
    QParallelAnimationGroup* animation_ = nullptr;
    QPropertyAnimation* position_ = nullptr;
    QPropertyAnimation* fade_ = nullptr;
};

} // namespace orvana
