#!/usr/bin/python3
"""A desktop notification server for trying the program and for the desktop tests: it owns org.freedesktop.Notifications on
the session bus it is started on, writes every call it gets as one JSON line to LOG, and shows
nothing. The test plays the person who clicks a notification's button:

    dbus-send --session --dest=org.freedesktop.Notifications --type=method_call \\
        /org/freedesktop/Notifications org.natalis.TestNotifications.Invoke uint32:ID string:KEY

emits ActionInvoked(ID, KEY) and then NotificationClosed(ID, 2), as a server does when a person
clicks one of the buttons; org.natalis.TestNotifications.Dismiss uint32:ID emits only
NotificationClosed(ID, 2), as dunst does for a left click on the notification.

    notification_service.py LOG"""

import json
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

NAME = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"
CONTROL = "org.natalis.TestNotifications"
# NotificationClosed reasons
DISMISSED = 2
CLOSED_BY_CALL = 3


def image_summary(value):
    """The picture of an image-data hint as its size and its most frequent opaque colours, so the
    test can tell a real icon from an empty or blank one without the pixels in the log."""
    width, height, rowstride, has_alpha, _bits, channels, data = value
    data = bytes(data)
    counts = {}
    for y in range(int(height)):
        row = data[y * rowstride:(y + 1) * rowstride]
        for x in range(int(width)):
            pixel = row[x * channels:(x + 1) * channels]
            if len(pixel) < 3 or (has_alpha and channels == 4 and pixel[3] < 200):
                continue
            colour = "#%02x%02x%02x" % (pixel[0], pixel[1], pixel[2])
            counts[colour] = counts.get(colour, 0) + 1
    colours = sorted(counts, key=counts.get, reverse=True)[:8]
    return {"width": int(width), "height": int(height), "colours": colours}


def plain(value):
    if isinstance(value, (dbus.Boolean, bool)):
        return bool(value)
    if isinstance(value, (int, float)):
        return value
    if isinstance(value, (str, dbus.String, dbus.ObjectPath)):
        return str(value)
    return repr(type(value).__name__)


class Server(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, PATH)
        self.log = log
        self.last_id = 0

    def write(self, entry):
        with open(self.log, "a", encoding="utf-8") as out:
            out.write(json.dumps(entry, ensure_ascii=False) + "\n")

    @dbus.service.method(NAME, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app_name, replaces_id, app_icon, summary, body, actions, hints, timeout):
        if replaces_id:
            number = int(replaces_id)
        else:
            self.last_id += 1
            number = self.last_id
        shown_hints = {}
        for key, value in hints.items():
            shown_hints[str(key)] = (image_summary(value)
                                     if key in ("image-data", "image_data", "icon_data")
                                     else plain(value))
        self.write({"call": "Notify", "id": number, "app_name": str(app_name),
                    "replaces_id": int(replaces_id), "app_icon": str(app_icon),
                    "summary": str(summary), "body": str(body),
                    "actions": [str(a) for a in actions], "hints": shown_hints,
                    "expire_timeout": int(timeout)})
        return dbus.UInt32(number)

    @dbus.service.method(NAME, in_signature="u", out_signature="")
    def CloseNotification(self, number):
        self.write({"call": "CloseNotification", "id": int(number)})
        self.NotificationClosed(number, CLOSED_BY_CALL)

    @dbus.service.method(NAME, in_signature="", out_signature="as")
    def GetCapabilities(self):
        self.write({"call": "GetCapabilities"})
        return ["actions", "body"]

    @dbus.service.method(NAME, in_signature="", out_signature="ssss")
    def GetServerInformation(self):
        self.write({"call": "GetServerInformation"})
        return ("natalis-test-notifications", "natalis", "1", "1.2")

    @dbus.service.signal(NAME, signature="us")
    def ActionInvoked(self, number, key):
        pass

    @dbus.service.signal(NAME, signature="uu")
    def NotificationClosed(self, number, reason):
        pass

    @dbus.service.method(CONTROL, in_signature="us", out_signature="")
    def Invoke(self, number, key):
        self.write({"call": "Invoke", "id": int(number), "key": str(key)})
        self.ActionInvoked(number, key)
        self.NotificationClosed(number, DISMISSED)

    @dbus.service.method(CONTROL, in_signature="u", out_signature="")
    def Dismiss(self, number):
        self.write({"call": "Dismiss", "id": int(number)})
        self.NotificationClosed(number, DISMISSED)


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    server = Server(bus, sys.argv[1])
    # Taken only after the object is exported: a client that sees the name can call at once.
    name = dbus.service.BusName(NAME, bus, do_not_queue=True)
    server.write({"call": "ready", "name": name.get_name()})
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
