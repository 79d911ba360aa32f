#!/usr/bin/python3
"""A stand-in desktop notification server for tests.

Owns org.freedesktop.Notifications on the session bus and appends every Notify
call as one JSON line (app_name, app_icon, summary, body, actions, hints,
expire_timeout, id, time) to the file named on the command line. Run it with
/usr/bin/python3 (python3-dbus and python3-gi); it exits with status 1 when
the name is already taken, so a test never talks to another server by mistake.

    /usr/bin/python3 fake-notification-server.py LOG_FILE
"""

import json
import sys
import time

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

NAME = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"
CLOSED_BY_CALL = 3


def plain(value):
    """D-Bus values as JSON-friendly Python values."""
    if isinstance(value, dbus.Boolean):
        return bool(value)
    if isinstance(value, (dbus.ByteArray, bytes)):
        return list(value)
    if isinstance(value, dict):
        return {str(k): plain(v) for k, v in value.items()}
    if isinstance(value, (list, tuple)):
        return [plain(v) for v in value]
    if isinstance(value, str):
        return str(value)
    if isinstance(value, int):
        return int(value)
    if isinstance(value, float):
        return float(value)
    return repr(value)


class Server(dbus.service.Object):
    def __init__(self, bus, log_path):
        super().__init__(bus, PATH)
        self.log_path = log_path
        self.last_id = 0

    @dbus.service.method(NAME, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app_name, replaces_id, app_icon, summary, body, actions, hints,
               expire_timeout):
        self.last_id += 1
        record = {
            "app_name": str(app_name),
            "replaces_id": int(replaces_id),
            "app_icon": str(app_icon),
            "summary": str(summary),
            "body": str(body),
            "actions": plain(actions),
            "hints": plain(hints),
            "expire_timeout": int(expire_timeout),
            "id": self.last_id,
            "time": time.time(),
        }
        # One write per line, so a reader never sees half a record.
        with open(self.log_path, "a", encoding="utf-8") as log:
            log.write(json.dumps(record, ensure_ascii=False) + "\n")
        return dbus.UInt32(self.last_id)

    @dbus.service.method(NAME, in_signature="", out_signature="as")
    def GetCapabilities(self):
        return ["body", "sound"]

    @dbus.service.method(NAME, in_signature="", out_signature="ssss")
    def GetServerInformation(self):
        return ("fake-notification-server", "Orvana tests", "1.0", "1.2")

    @dbus.service.method(NAME, in_signature="u", out_signature="")
    def CloseNotification(self, notification_id):
        self.NotificationClosed(notification_id, CLOSED_BY_CALL)

    @dbus.service.signal(NAME, signature="uu")
    def NotificationClosed(self, notification_id, reason):
        pass


def main():
    if len(sys.argv) != 2:
        print("usage: fake-notification-server.py LOG_FILE", file=sys.stderr)
        return 2
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    try:
        name = dbus.service.BusName(NAME, bus, do_not_queue=True)
    except dbus.exceptions.NameExistsException:
        print(f"fake-notification-server: {NAME} is already owned", file=sys.stderr)
        return 1
    server = Server(bus, sys.argv[1])
    GLib.MainLoop().run()
    del server, name
    return 0


if __name__ == "__main__":
    sys.exit(main())
