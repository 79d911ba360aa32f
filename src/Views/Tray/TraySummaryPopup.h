#pragma once

#include <QFrame>

class QAbstractButton;
class QLabel;
class QPushButton;

namespace orvana {

class AppEnvironment;
class TraySummaryModel;

// The small window the tray icon opens: "Today's One Thing" with its
// completion toggle (or "Nothing set for today" and its guidance), the focus
// streak, the next recurring block still relevant today and "Open Orvana".
//
// Each showing takes the day afresh. Keys: Tab between the toggle and the
// button, Space ticks the one thing, Return opens Orvana, Escape closes. It
// closes itself when it loses the pointer's click or the focus, as a menu
// does.
class TraySummaryPopup : public QFrame {
    Q_OBJECT
public:
    explicit TraySummaryPopup(AppEnvironment& environment, QWidget* parent = nullptr);
    ~TraySummaryPopup() override;

    TraySummaryModel* model() const { return model_; }

    // Shows the popup beside `anchor` (global): the tray icon's place, or an
    // empty rectangle at the pointer when the icon's place is unknown.
    void popUp(const QRect& anchor);

    // Where a popup of `size` goes for `anchor` on a screen whose free area
    // is `available`: under an icon in the upper half of the screen, above
    // one in the lower half, centred on it across; centred on a bare point;
    // always inside the free area.
    static QPoint placement(const QSize& size, const QRect& anchor, const QRect& available);

    // Parts, for tests.
    QAbstractButton* oneThingToggle() const { return toggle_; }
    QWidget* nothingSet() const { return nothingSet_; }
    QLabel* streakLabel() const { return streakLabel_; }
    QLabel* blockLabel() const { return blockLabel_; }
    QPushButton* openButton() const { return openButton_; }

signals:
    // "Open Orvana" was chosen; the popup has closed.
    void openRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    void render();
    void open();

    TraySummaryModel* model_;
    QAbstractButton* toggle_;
    QWidget* nothingSet_;
    QWidget* streakRow_;
    QLabel* streakLabel_;
    QWidget* blockRow_;
    QLabel* blockLabel_;
    QWidget* middleDivider_;
    QPushButton* openButton_;
    bool closesOnDeactivation_;
};

} // namespace orvana
