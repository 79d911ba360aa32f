#include "Views/Shared/WheelGuard.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QSlider>

namespace orvana {

namespace {

// The controls whose value a wheel turn changes (QAbstractSpinBox covers the
// date and time fields too).
QWidget* valueControl(QObject* object) {
    if (qobject_cast<QAbstractSpinBox*>(object) || qobject_cast<QComboBox*>(object) ||
        qobject_cast<QSlider*>(object))
        return static_cast<QWidget*>(object);
    return nullptr;
}

} // namespace

void WheelGuard::install(QApplication& app) {
    app.installEventFilter(new WheelGuard(&app));
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Polish:
        // Spin boxes and combo boxes ask for the focus on a wheel turn; a
        // click or Tab still gives it.
        if (QWidget* control = valueControl(watched);
            control && control->focusPolicy() == Qt::WheelFocus)
            control->setFocusPolicy(Qt::StrongFocus);
        break;
    case QEvent::Wheel:
        if (QWidget* control = valueControl(watched); control && !control->hasFocus()) {
            event->ignore(); // on to the parents: the scroll area scrolls
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace orvana
