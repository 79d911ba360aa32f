#pragma once

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QObject>

struct xcb_connection_t;

namespace orvana {

// The quick-add key, Ctrl+Alt+Space, grabbed on the X11 root window so it
// reaches the app whichever window has the focus; also with CapsLock and
// NumLock on, since X compares the lock modifiers too.
//
// Works only on the xcb platform (not offscreen, not Wayland). A grab
// another client already holds, or no X connection, leaves the app without
// the key and says nothing: the desktop's own shortcut bound to
// "orvana quick-add" is the other way in.
class X11HotKey : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit X11HotKey(QObject* parent = nullptr);
    ~X11HotKey() override;

    // Replaces any earlier grab. True when every variant was grabbed on
    // every screen; on a partial failure what was grabbed stays (the
    // variants that work still fire).
    bool registerHotKey();
    void unregister();
    bool isRegistered() const { return !grabs_.isEmpty(); }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    // Queued: runs after the key event has been handled.
    void activated();

private:
    struct Grab {
        quint32 root;
        quint16 modifiers;
    };

    xcb_connection_t* connection_ = nullptr;
    quint8 keycode_ = 0;
    QList<Grab> grabs_;
    bool filterInstalled_ = false;
    // Holding the keys repeats the press; one hold is one activation.
    bool held_ = false;
    quint32 lastReleaseTime_ = 0;
};

} // namespace orvana
