#!/usr/bin/python3
"""A stand-in for a StatusNotifierItem tray (KDE Plasma, GNOME's AppIndicator extension, XFCE...)
on the session bus, for the end-to-end runs; its client commands also read and click the item
registered with another watcher (Debian's status-notifier-watcher).

  sni-host.py serve LOG     the watcher and a host: items register with it; each registration is
                            logged to LOG, a line each
  sni-host.py item          prints the registered item as a host reads it:
                            STATUS|TOOLTIP TITLE|ICON NAME|LIGHT, where LIGHT is the traffic light
                            its largest icon pixmap shows: green (running), red (paused) or none
  sni-host.py activate [X Y]
                            a click of the primary button on the item (Activate) at the screen
                            point X, Y (0, 0: none)
  sni-host.py context-menu  a click of the secondary button on the item (ContextMenu)
"""

import sys

import dbus
import dbus.service

WATCHER = "org.kde.StatusNotifierWatcher"
WATCHER_PATH = "/StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
ITEM_PATH = "/StatusNotifierItem"
PROPERTIES = "org.freedesktop.DBus.Properties"


class Watcher(dbus.service.Object):
    def __init__(self, bus, log):
        self.log = log
        self.items = []
        super().__init__(bus, WATCHER_PATH)

    def note(self, line):
        self.log.write(line + "\n")
        self.log.flush()

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # An item names its bus name, or an object path on the caller's connection.
        entry = sender + service if service.startswith("/") else service + ITEM_PATH
        if entry not in self.items:
            self.items.append(entry)
        self.note("registered " + entry)
        self.StatusNotifierItemRegistered(entry)

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, entry):
        pass

    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, in_signature="", out_signature="s",
                         path_keyword="object_path", connection_keyword="connection")
    def Introspect(self, object_path, connection):
        # Qt reads the properties through its introspection of the watcher.
        xml = super().Introspect(object_path, connection)
        properties = (
            '<property name="RegisteredStatusNotifierItems" type="as" access="read"/>'
            '<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>'
            '<property name="ProtocolVersion" type="i" access="read"/>')
        return xml.replace('<interface name="%s">' % WATCHER, '<interface name="%s">%s' % (WATCHER, properties))

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
            "IsStatusNotifierHostRegistered": dbus.Boolean(True),
            "ProtocolVersion": dbus.Int32(0),
        }


def serve(log_path):
    from dbus.mainloop.glib import DBusGMainLoop
    from gi.repository import GLib

    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    with open(log_path, "a", encoding="utf-8") as log:
        watcher = Watcher(bus, log)
        # The host first, then the watcher's name: an item that sees the watcher finds a host.
        dbus.service.BusName("org.kde.StatusNotifierHost-stand-in", bus)
        name = dbus.service.BusName(WATCHER, bus)
        watcher.note("watching")
        GLib.MainLoop().run()
        del name


def registered_item(bus):
    watcher = bus.get_object(WATCHER, WATCHER_PATH)
    items = watcher.Get(WATCHER, "RegisteredStatusNotifierItems", dbus_interface=PROPERTIES)
    if not items:
        raise SystemExit("no item registered")
    # A bus name and object path, or (as Debian's status-notifier-watcher keeps it) the name alone.
    entry = str(items[-1])
    split = entry.find("/")
    if split < 0:
        return bus.get_object(entry, ITEM_PATH)
    return bus.get_object(entry[:split], entry[split:])


def light(pixmaps):
    """The traffic light a pixmap (ARGB32, network byte order) shows: the lamp lit below is green,
    the one lit above red."""
    if not pixmaps:
        return "none"
    width, height, data = max(pixmaps, key=lambda p: p[0] * p[1])
    data = bytes(data)

    def rgb(x, y):
        i = (y * width + x) * 4
        return data[i + 1], data[i + 2], data[i + 3]

    red_top = rgb(width // 2, height * 6 // 32)[0]
    green_bottom = rgb(width // 2, height * 26 // 32)[1]
    if green_bottom > 200 and red_top < 200:
        return "green"
    if red_top > 200 and green_bottom < 200:
        return "red"
    return "none"


def main(argv):
    if len(argv) == 3 and argv[1] == "serve":
        serve(argv[2])
        return 0
    if len(argv) != 2 and not (len(argv) == 4 and argv[1] == "activate"):
        print(__doc__, file=sys.stderr)
        return 2
    bus = dbus.SessionBus()
    item = registered_item(bus)
    if argv[1] == "item":
        props = item.GetAll(ITEM, dbus_interface=PROPERTIES)
        tip = props.get("ToolTip", ("", [], "", ""))
        print("|".join([str(props.get("Status", "")), str(tip[2]), str(props.get("IconName", "")),
                        light(props.get("IconPixmap", []))]))
    elif argv[1] == "activate":
        x, y = (int(argv[2]), int(argv[3])) if len(argv) == 4 else (0, 0)
        item.Activate(dbus.Int32(x), dbus.Int32(y), dbus_interface=ITEM)
    elif argv[1] == "context-menu":
        item.ContextMenu(dbus.Int32(0), dbus.Int32(0), dbus_interface=ITEM)
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
