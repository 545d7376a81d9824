#!/usr/bin/python3
"""Recording stand-ins of the desktop's session-bus services, for the end-to-end
tests: org.freedesktop.ScreenSaver (Inhibit/UnInhibit), the desktop portal's Inhibit,
org.freedesktop.Notifications (Notify) and org.kde.StatusNotifierWatcher (a tray host
that takes the program's icon). Each call is appended to the log file as one JSON line; the services answer
as the real ones do. Run with the distribution's Python (python3-dbus, python3-gi).

    fake_desktop.py LOG [screensaver] [portal] [notifications] [watcher]
"""
import json
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

LOG = open(sys.argv[1], "a", buffering=1, encoding="utf-8")


def record(**entry):
    LOG.write(json.dumps(entry, ensure_ascii=False) + "\n")


def plain(value):
    """D-Bus values as JSON ones."""
    if isinstance(value, (dbus.Dictionary, dict)):
        return {str(k): plain(v) for k, v in value.items()}
    if isinstance(value, dbus.Struct):
        return [plain(v) for v in value]
    if isinstance(value, dbus.Array) and value.signature == "y":
        return f"<{len(value)} bytes>"
    if isinstance(value, (dbus.Array, list, tuple)):
        return [plain(v) for v in value]
    if isinstance(value, dbus.Boolean):
        return bool(value)
    if isinstance(value, (dbus.Byte, dbus.Int16, dbus.Int32, dbus.Int64, dbus.UInt16, dbus.UInt32, dbus.UInt64)):
        return int(value)
    if isinstance(value, dbus.Double):
        return float(value)
    return str(value)


class ScreenSaver(dbus.service.Object):
    IFACE = "org.freedesktop.ScreenSaver"

    def __init__(self, bus):
        super().__init__(bus, "/org/freedesktop/ScreenSaver")
        self.bus = bus
        self.cookies = {}
        self.next = 100
        # A client that leaves the bus gives its holds up, as the real services do.
        bus.add_signal_receiver(self.owner_changed, "NameOwnerChanged", "org.freedesktop.DBus")

    @dbus.service.method(IFACE, in_signature="ss", out_signature="u", sender_keyword="sender")
    def Inhibit(self, app, reason, sender=None):
        self.next += 1
        self.cookies[self.next] = sender
        record(call="Inhibit", app=str(app), reason=str(reason), cookie=self.next, sender=str(sender),
               held=len(self.cookies))
        return self.next

    @dbus.service.method(IFACE, in_signature="u", sender_keyword="sender")
    def UnInhibit(self, cookie, sender=None):
        known = self.cookies.pop(int(cookie), None) == sender
        record(call="UnInhibit", cookie=int(cookie), known=known, sender=str(sender), held=len(self.cookies))

    def owner_changed(self, name, old, new):
        if new or not old:
            return
        dropped = [c for c, s in self.cookies.items() if s == old]
        for c in dropped:
            del self.cookies[c]
        if dropped:
            record(call="ClientGone", sender=str(old), dropped=dropped, held=len(self.cookies))


class Portal(dbus.service.Object):
    IFACE = "org.freedesktop.portal.Inhibit"

    def __init__(self, bus):
        super().__init__(bus, "/org/freedesktop/portal/desktop")
        self.bus = bus
        self.next = 0

    @dbus.service.method(IFACE, in_signature="sua{sv}", out_signature="o", sender_keyword="sender")
    def Inhibit(self, window, flags, options, sender=None):
        self.next += 1
        handle = f"/org/freedesktop/portal/desktop/request/{self.next}"
        Request(self.bus, handle)
        record(call="PortalInhibit", window=str(window), flags=int(flags), options=plain(options), handle=handle)
        return dbus.ObjectPath(handle)


class Request(dbus.service.Object):
    IFACE = "org.freedesktop.portal.Request"

    def __init__(self, bus, path):
        super().__init__(bus, path)
        self.path = path

    @dbus.service.method(IFACE)
    def Close(self):
        record(call="PortalClose", handle=self.path)
        self.remove_from_connection()


class Notifications(dbus.service.Object):
    IFACE = "org.freedesktop.Notifications"

    def __init__(self, bus):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.next = 0

    @dbus.service.method(IFACE, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        if replaces:
            ident = int(replaces)
        else:
            self.next += 1
            ident = self.next
        record(call="Notify", app=str(app), replaces=int(replaces), icon=str(icon), summary=str(summary),
               body=str(body), hints=plain(hints), timeout=int(timeout), id=ident)
        return ident

    @dbus.service.method(IFACE, out_signature="as")
    def GetCapabilities(self):
        return ["body", "body-markup", "icon-static"]

    @dbus.service.method(IFACE, out_signature="ssss")
    def GetServerInformation(self):
        return ["fake", "tavlin-tests", "1.0", "1.2"]

    @dbus.service.method(IFACE, in_signature="u")
    def CloseNotification(self, ident):
        record(call="CloseNotification", id=int(ident))


class Watcher(dbus.service.Object):
    IFACE = "org.kde.StatusNotifierWatcher"

    def __init__(self, bus):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.items = []

    @dbus.service.method(IFACE, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # An item names its bus name, or only its object path (then the sender's name counts).
        item = service if not service.startswith("/") else f"{sender}{service}"
        self.items.append(item)
        record(call="RegisterStatusNotifierItem", service=str(service), sender=str(sender))
        self.StatusNotifierItemRegistered(item)

    @dbus.service.method(IFACE, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(IFACE, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    # Qt reads the properties through an introspected interface: they must be listed.
    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, in_signature="", out_signature="s",
                         path_keyword="object_path", connection_keyword="connection")
    def Introspect(self, object_path, connection):
        xml = super().Introspect(object_path, connection)
        tag = f'<interface name="{self.IFACE}">'
        return xml.replace(tag, tag + '<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>'
                           '<property name="ProtocolVersion" type="i" access="read"/>'
                           '<property name="RegisteredStatusNotifierItems" type="as" access="read"/>')

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, prop):
        return self.GetAll(interface)[prop]

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"IsStatusNotifierHostRegistered": True, "ProtocolVersion": dbus.Int32(0),
                "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s")}


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    keep = []
    wanted = set(sys.argv[2:])
    if "screensaver" in wanted:
        keep += [dbus.service.BusName("org.freedesktop.ScreenSaver", bus), ScreenSaver(bus)]
    if "portal" in wanted:
        keep += [dbus.service.BusName("org.freedesktop.portal.Desktop", bus), Portal(bus)]
    if "notifications" in wanted:
        keep += [dbus.service.BusName("org.freedesktop.Notifications", bus), Notifications(bus)]
    if "watcher" in wanted:
        keep += [dbus.service.BusName("org.kde.StatusNotifierWatcher", bus), Watcher(bus)]
    record(call="ready")
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
