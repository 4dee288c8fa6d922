#!/usr/bin/env python3
"""The program on a desktop session of its own, over a real D-Bus.

Runs inside dbus-run-session. It starts a virtual X screen, stands in for a
StatusNotifierItem host (the watcher, whose introspection declares its
properties, as Qt reads them that way) and for the desktop's notification
service, then starts a build of the program whose message boxes answer
themselves, over a store where today's run must fail. It checks that the
tray item registers, that its exported menu holds the tray menu's entries,
that the failed run is notified with its text, and that activating
"Quitter" through the exported menu ends the program.

Usage: tray_session.py PROGRAM. Exit 0 when every check passes, 1 otherwise.
"""
import datetime
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
NOTIFICATIONS = "org.freedesktop.Notifications"
MENU = "com.canonical.dbusmenu"
PROPERTIES = "org.freedesktop.DBus.Properties"

WATCHER_XML = """<!DOCTYPE node PUBLIC "-//freedesktop//DTD D-BUS Object Introspection 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd">
<node>
  <interface name="org.freedesktop.DBus.Introspectable">
    <method name="Introspect"><arg name="xml" type="s" direction="out"/></method>
  </interface>
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get">
      <arg name="interface" type="s" direction="in"/>
      <arg name="name" type="s" direction="in"/>
      <arg name="value" type="v" direction="out"/>
    </method>
    <method name="GetAll">
      <arg name="interface" type="s" direction="in"/>
      <arg name="values" type="a{sv}" direction="out"/>
    </method>
  </interface>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>
"""

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)
    return condition


def wait_for(condition, seconds):
    """Runs the bus's events until condition() holds or the time is up."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.pending():
            context.iteration(False)
        if condition():
            return True
        if time.monotonic() > end:
            return False
        time.sleep(0.05)


class Watcher(dbus.service.Object):
    """A StatusNotifierItem host's watcher that says a host is there."""

    def __init__(self, bus):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.items = []

    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, in_signature="", out_signature="s")
    def Introspect(self):
        return WATCHER_XML

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # An item names its bus service, or only its object path.
        self.items.append(str(service) if not service.startswith("/") else str(sender))
        self.StatusNotifierItemRegistered(service)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    def _properties(self):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
            "IsStatusNotifierHostRegistered": dbus.Boolean(True),
            "ProtocolVersion": dbus.Int32(0),
        }

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self._properties()[str(name)]

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self._properties() if interface == WATCHER else {}


class Notifications(dbus.service.Object):
    """The desktop's notification service: keeps every notification."""

    def __init__(self, bus):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.received = []

    @dbus.service.method(NOTIFICATIONS, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        self.received.append((str(app), str(summary), str(body)))
        print("notification: %s | %s" % (summary, body.replace("\n", " / ")), flush=True)
        return dbus.UInt32(len(self.received))

    @dbus.service.method(NOTIFICATIONS, in_signature="", out_signature="as")
    def GetCapabilities(self):
        return ["body"]

    @dbus.service.method(NOTIFICATIONS, in_signature="", out_signature="ssss")
    def GetServerInformation(self):
        return ("stand-in", "test", "1", "1.2")

    @dbus.service.method(NOTIFICATIONS, in_signature="u")
    def CloseNotification(self, notification_id):
        pass


def start_screen():
    """A virtual X screen on a free display; returns (process, ':N')."""
    xvfb = shutil.which("Xvfb")
    if xvfb is None:
        print("Xvfb is missing: run scripts/install-deps.sh", flush=True)
        sys.exit(1)
    read_end, write_end = os.pipe()
    process = subprocess.Popen(
        [xvfb, "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0", "1024x768x24"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read_end, 16)
        if not chunk:
            break
        number += chunk
    os.close(read_end)
    return process, ":" + number.decode().strip()


def prepare_failing_program(program, work, display):
    """A copy of PROGRAM in WORK, configured so that its run is due at once
    (00:00) and must fail: a file stands where today's folder goes. Returns
    (the copy's path, the environment to start it with, on DISPLAY)."""
    station = socket.gethostname().split(".")[0]
    today = datetime.date.today()
    yesterday = today - datetime.timedelta(days=1)
    store = os.path.join(work, "store")
    docs = os.path.join(work, "docs")
    prog = os.path.join(work, "prog")
    for folder in (os.path.join(store, station), docs, prog):
        os.makedirs(folder)
    with open(os.path.join(docs, "a.txt"), "w") as f:
        f.write("alpha")
    with open(os.path.join(store, station, today.strftime("%d%m%Y")), "w") as f:
        f.write("in the way")
    with open(os.path.join(store, "VARNOKET.STORE"), "wb") as f:
        f.write(b"[STORE]\r\nID=0123456789abcdef0123456789abcdef\r\n"
                b"CREATED=2026-01-01 00:00:00\r\n")
    with open(os.path.join(prog, "VARNOKET.INI"), "wb") as f:
        f.write(("[PARAMS]\r\nRACINE=%s\r\nHEURE=0\r\nMINUTE=0\r\nMAXSAVE=30\r\n" % store)
                .encode())
    with open(os.path.join(store, station, station + ".ini"), "wb") as f:
        f.write(("[PARAMS]\r\nLASTBACKUP=%s\r\n[DIRECTORIES]\r\nD1=%s\r\n"
                 % (yesterday.strftime("%d/%m/%Y"), docs)).encode())
    installed = os.path.join(prog, "varnoket")
    shutil.copy(program, installed)

    env = dict(os.environ)
    for name in ("QT_QPA_PLATFORMTHEME", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP"):
        env.pop(name, None)
    env.update({
        "DISPLAY": display,
        "QT_QPA_PLATFORM": "xcb",
        "HOME": os.path.join(work, "home"),
        "XDG_CONFIG_HOME": os.path.join(work, "home", ".config"),
        "XDG_CONFIG_DIRS": os.path.join(work, "xdg"),
        # The instance marker's folder: a copy the developer runs does not
        # stand in the way.
        "XDG_RUNTIME_DIR": work,
    })
    return installed, env


def menu_entries(layout):
    """{label without its mnemonic mark: id} of a GetLayout answer's children."""
    entries = {}
    for child in layout[2]:
        item_id, properties = int(child[0]), child[1]
        label = str(properties.get("label", "")).replace("_", "")
        if label:
            entries[label] = item_id
    return entries


def main():
    program = os.path.abspath(sys.argv[1])
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    watcher = Watcher(bus)
    notifications = Notifications(bus)
    names = [dbus.service.BusName(WATCHER, bus), dbus.service.BusName(NOTIFICATIONS, bus)]

    screen, display = start_screen()
    work = tempfile.mkdtemp(prefix="varnoket-session-")
    child = None
    try:
        today = datetime.date.today()
        yesterday = today - datetime.timedelta(days=1)
        installed, env = prepare_failing_program(program, work, display)
        output = open(os.path.join(work, "program.log"), "w+")
        child = subprocess.Popen([installed], env=env, stdout=output, stderr=subprocess.STDOUT)

        # 1. The item registers with the watcher.
        if not check(wait_for(lambda: watcher.items or child.poll() is not None, 30)
                     and watcher.items, "the tray item registers with the watcher"):
            return 1
        item = bus.get_object(watcher.items[0], "/StatusNotifierItem")
        item_properties = dbus.Interface(item, PROPERTIES)
        menu_path = item_properties.Get(ITEM, "Menu")

        # 2. Its exported menu holds the tray menu's entries.
        menu = dbus.Interface(bus.get_object(watcher.items[0], menu_path), MENU)
        entries = {}

        def menu_filled():
            try:
                layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"))[1]
            except dbus.DBusException as error:
                print("no menu yet: %s" % error.get_dbus_message(), flush=True)
                return False
            entries.update(menu_entries(layout))
            return all(e in entries for e in ("Sauvegarder maintenant", "Configurer", "Agrandir",
                                              "Aide", "Quitter"))

        check(wait_for(menu_filled, 10),
              "the exported menu holds Sauvegarder maintenant, Configurer, Agrandir, Aide, "
              "Quitter (has %s)"
              % sorted(entries))

        # 3. The failed run is notified at once, with its text.
        expected = "La sauvegarde du %s a échoué." % today.strftime("%d/%m/%Y")
        failed = lambda: [n for n in notifications.received
                          if n[1] == "Échec de la sauvegarde" and n[2].startswith(expected)]
        check(wait_for(failed, 30) and failed()[0][0] == "Varnoket",
              "the failed run is notified: " + expected)
        tooltip = item_properties.Get(ITEM, "ToolTip")
        last = "Dernière sauvegarde réussie : %s (il y a 1 jour)" % yesterday.strftime("%d/%m/%Y")
        check(last in (str(tooltip[2]), str(tooltip[3])),
              "the tooltip shows the last success (has %r)" % (tuple(str(t) for t in tooltip[2:]),))

        # 4. "Quitter" chosen in the exported menu ends the program.
        if "Quitter" in entries:
            menu.Event(dbus.Int32(entries["Quitter"]), "clicked",
                       dbus.Int32(0, variant_level=1), dbus.UInt32(0))
            ended = wait_for(lambda: child.poll() is not None, 30)
            check(ended and child.returncode == 0, "Quitter ends the program with code 0")
            output.seek(0)
            check("de vouloir quitter Varnoket" in output.read(),
                  "the program asked before quitting")
        if failures:
            output.seek(0)
            print("--- program output ---\n" + output.read(), flush=True)
        return 1 if failures else 0
    finally:
        if child is not None and child.poll() is None:
            child.kill()
            child.wait()
        screen.terminate()
        screen.wait()
        shutil.rmtree(work, ignore_errors=True)
        del names


if __name__ == "__main__":
    sys.exit(main())
