#include "Platform/X11HotKey.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMetaObject>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

namespace orvana {

namespace {

constexpr xcb_keysym_t spaceKeysym = 0x0020;                               // XK_space
constexpr quint16 hotKeyModifiers = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1; // Ctrl+Alt
// CapsLock and NumLock (Mod2 on every usual layout) are part of the state
// X matches against, so each combination needs its own grab.
constexpr quint16 lockMasks[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                 XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
// The modifiers that make a different shortcut (Shift, Alt, Ctrl, Super
// and the rest); the lock modifiers are not among them.
constexpr quint16 significantModifiers = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL |
                                         XCB_MOD_MASK_1 | XCB_MOD_MASK_3 | XCB_MOD_MASK_4 |
                                         XCB_MOD_MASK_5;

xcb_connection_t* x11Connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return app ? app->connection() : nullptr;
}

quint8 spaceKeycode(xcb_connection_t* connection) {
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(connection);
    if (!symbols)
        return 0;
    quint8 code = 0;
    if (xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, spaceKeysym)) {
        code = codes[0] == XCB_NO_SYMBOL ? 0 : codes[0];
        std::free(codes);
    }
    xcb_key_symbols_free(symbols);
    return code;
}

} // namespace

X11HotKey::X11HotKey(QObject* parent) : QObject(parent) {}

X11HotKey::~X11HotKey() {
    unregister();
}

bool X11HotKey::registerHotKey() {
    unregister();
    connection_ = x11Connection();
    if (!connection_ || xcb_connection_has_error(connection_))
        return false;
    keycode_ = spaceKeycode(connection_);
    if (keycode_ == 0)
        return false;

    bool all = true;
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    for (auto it = xcb_setup_roots_iterator(setup); it.rem; xcb_screen_next(&it)) {
        const xcb_window_t root = it.data->root;
        for (const quint16 lock : lockMasks) {
            const quint16 modifiers = hotKeyModifiers | lock;
            // Events go to the root even while one of the app's own windows
            // has the focus, so they never reach a widget as a key press.
            const xcb_void_cookie_t cookie =
                xcb_grab_key_checked(connection_, /*owner_events*/ 0, root, modifiers, keycode_,
                                     XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
            if (xcb_generic_error_t* error = xcb_request_check(connection_, cookie)) {
                std::free(error); // BadAccess: another client holds this combination
                all = false;
                continue;
            }
            grabs_.append({root, modifiers});
        }
    }
    if (!grabs_.isEmpty() && !filterInstalled_) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        filterInstalled_ = true;
    }
    return all && !grabs_.isEmpty();
}

void X11HotKey::unregister() {
    // Only on the connection Qt still has open; once that is gone the
    // server has dropped the grabs with it.
    if (connection_ && connection_ == x11Connection() && !grabs_.isEmpty() &&
        !xcb_connection_has_error(connection_)) {
        for (const Grab& grab : std::as_const(grabs_))
            xcb_ungrab_key(connection_, keycode_, grab.root, grab.modifiers);
        xcb_flush(connection_);
    }
    grabs_.clear();
    if (filterInstalled_) {
        if (auto* app = QCoreApplication::instance())
            app->removeNativeEventFilter(this);
        filterInstalled_ = false;
    }
    held_ = false;
}

bool X11HotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (grabs_.isEmpty() || eventType != "xcb_generic_event_t")
        return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    const quint8 type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    // Press and release share one layout.
    auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
    if (key->detail != keycode_)
        return false;
    bool onGrabbedRoot = false;
    for (const Grab& grab : std::as_const(grabs_))
        onGrabbedRoot = onGrabbedRoot || grab.root == key->event;
    if (!onGrabbedRoot)
        return false;

    if (type == XCB_KEY_RELEASE) {
        held_ = false;
        lastReleaseTime_ = key->time;
    } else if ((key->state & significantModifiers) == hotKeyModifiers) {
        // Auto-repeat comes as further presses without a release, or as a
        // release and a press with the same time stamp.
        const bool repeat = held_ || (lastReleaseTime_ != 0 && key->time == lastReleaseTime_);
        held_ = true;
        if (!repeat)
            QMetaObject::invokeMethod(this, &X11HotKey::activated, Qt::QueuedConnection);
    }
    // Left to Qt as well: it takes the event's time as the user's last
    // action, which lets the panel's activation through focus-stealing
    // prevention. The event is on the root, so no widget gets it.
    return false;
}

} // namespace orvana
