#pragma once

#include <QObject>

class QApplication;

namespace orvana {

// Wheeling over a form scrolls the page: a stepper, a date or time field, a
// choice or a slider takes the wheel only while it has the keyboard focus
// (the wheel then goes on to the scroll area beneath it), and the wheel no
// longer hands it that focus. Installed once, on the application, so every
// window and dialog behaves alike.
class WheelGuard : public QObject {
    Q_OBJECT
public:
    // The guard lives as long as `app`.
    static void install(QApplication& app);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};

} // namespace orvana
