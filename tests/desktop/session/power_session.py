#!/usr/bin/env python3
"""The power, sleep and wake classes against stand-in system services.

Runs inside dbus-run-session. The program's system bus is pointed at this
session bus (DBUS_SYSTEM_BUS_ADDRESS), where this script stands in for the
power service (org.freedesktop.UPower: OnBattery and the display device's
Percentage) and for the login manager (org.freedesktop.login1: Inhibit
recorded, its descriptor's read end kept to see when the program closes it,
and the PrepareForSleep signal). power_probe runs each step.

Usage: power_session.py PROBE. Exit 0 when every check passes, 1 otherwise.
"""
import fcntl
import os
import select
import subprocess
import sys
import time

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

UPOWER = "org.freedesktop.UPower"
DEVICE = "org.freedesktop.UPower.Device"
LOGIN = "org.freedesktop.login1"
MANAGER = "org.freedesktop.login1.Manager"
PROPERTIES = "org.freedesktop.DBus.Properties"

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)
    return condition


def pump():
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(condition, seconds):
    """Runs the bus's events until condition() holds or the time is up."""
    end = time.monotonic() + seconds
    while True:
        pump()
        if condition():
            return True
        if time.monotonic() > end:
            return False
        time.sleep(0.02)


class PropertyObject(dbus.service.Object):
    """An object whose properties are a dict of one interface."""

    def __init__(self, bus, path, interface, values):
        super().__init__(bus, path)
        self.interface = interface
        self.values = values

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if interface != self.interface or name not in self.values:
            raise dbus.exceptions.DBusException("no such property",
                                                name="org.freedesktop.DBus.Error.UnknownProperty")
        return self.values[str(name)]

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self.values if interface == self.interface else {}


class Login(dbus.service.Object):
    """The login manager: records Inhibit calls, keeps each pipe's read end."""

    def __init__(self, bus):
        super().__init__(bus, "/org/freedesktop/login1")
        self.calls = []
        self.read_ends = []

    @dbus.service.method(MANAGER, in_signature="ssss", out_signature="h")
    def Inhibit(self, what, who, why, mode):
        self.calls.append((str(what), str(who), str(why), str(mode)))
        read_end, write_end = os.pipe()
        self.read_ends.append(read_end)
        handle = dbus.types.UnixFd(write_end)  # a copy travels with the reply
        os.close(write_end)
        return handle

    @dbus.service.signal(MANAGER, signature="b")
    def PrepareForSleep(self, start):
        pass


def closed_by_program(read_end):
    """True once no write end of the pipe is open any more."""
    poller = select.poll()
    poller.register(read_end, select.POLLIN | select.POLLHUP)
    return any(events & select.POLLHUP for _, events in poller.poll(0))


class Probe:
    """power_probe run with the system bus at this session bus."""

    def __init__(self, program, *args):
        env = dict(os.environ)
        env["DBUS_SYSTEM_BUS_ADDRESS"] = os.environ["DBUS_SESSION_BUS_ADDRESS"]
        self.child = subprocess.Popen([program] + [str(a) for a in args], env=env,
                                      stdout=subprocess.PIPE)
        flags = fcntl.fcntl(self.child.stdout, fcntl.F_GETFL)
        fcntl.fcntl(self.child.stdout, fcntl.F_SETFL, flags | os.O_NONBLOCK)
        self.text = ""

    def lines(self):
        try:
            chunk = self.child.stdout.read()
        except (BlockingIOError, ValueError):
            chunk = None
        if chunk:
            self.text += chunk.decode()
        return self.text.splitlines()

    def said(self, line, seconds=10):
        return wait_for(lambda: line in self.lines(), seconds)

    def finish(self, seconds=10):
        ended = wait_for(lambda: self.child.poll() is not None, seconds)
        if not ended:
            self.child.kill()
        self.child.wait()
        self.lines()
        return ended


def main():
    probe = os.path.abspath(sys.argv[1])
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()

    def power():
        step = Probe(probe, "power")
        step.finish()
        return step.lines()

    # 1. No power service on the bus: mains power.
    check(power() == ["onBattery=0 percentage=none"], "no power service reads as mains power")

    manager = PropertyObject(bus, "/org/freedesktop/UPower", UPOWER,
                             {"OnBattery": dbus.Boolean(True)})
    display = PropertyObject(bus, "/org/freedesktop/UPower/devices/DisplayDevice", DEVICE,
                             {"Percentage": dbus.Double(23.6)})
    upower_name = dbus.service.BusName(UPOWER, bus)

    # 2. On battery: the display device's charge comes with it.
    seen = power()
    check(seen == ["onBattery=1 percentage=23"], "on battery at 23 %% (has %s)" % seen)
    # 3. On mains power the charge does not matter.
    manager.values["OnBattery"] = dbus.Boolean(False)
    seen = power()
    check(seen == ["onBattery=0 percentage=none"], "on mains power (has %s)" % seen)
    # 4. A service without the display device's charge: on battery, level unknown.
    manager.values["OnBattery"] = dbus.Boolean(True)
    del display.values["Percentage"]
    seen = power()
    check(seen == ["onBattery=1 percentage=none"], "on battery, no charge level (has %s)" % seen)
    del upower_name

    # 5. No login manager: nothing is held, the run goes on.
    step = Probe(probe, "inhibit", 0, 0)
    step.finish()
    check(step.lines()[:1] == ["held=0"], "without a login manager nothing is held")

    # 6. The inhibitor: the call's arguments, the descriptor kept until the
    # release and closed then, while the program still runs.
    login = Login(bus)
    login_name = dbus.service.BusName(LOGIN, bus)
    step = Probe(probe, "inhibit", 1500, 3000)
    check(step.said("held=1"), "the sleep inhibitor is held")
    check(login.calls == [("sleep", "Varnoket", "Sauvegarde en cours", "block")],
          "Inhibit(sleep, Varnoket, Sauvegarde en cours, block) (has %s)" % login.calls)
    check(login.read_ends and not closed_by_program(login.read_ends[0]),
          "the descriptor stays open while held")
    check(step.said("released holding=0"), "the probe releases")
    check(wait_for(lambda: closed_by_program(login.read_ends[0]), 2)
          and step.child.poll() is None,
          "the descriptor is closed at the release, before the program ends")
    check(step.finish() and step.child.returncode == 0, "the inhibit step ends")

    # 7. Waking: going to sleep is no wake; PrepareForSleep(false) is.
    step = Probe(probe, "wake", 10000)
    check(step.said("listening=1"), "the wake signal is listened to")
    time.sleep(0.3)  # the program's match rule is in place once it says so
    login.PrepareForSleep(True)
    check(not step.said("woke", 1), "going to sleep is not a wake")
    login.PrepareForSleep(False)
    check(step.said("woke"), "PrepareForSleep(false) is a wake")
    check(step.finish() and step.child.returncode == 0, "the wake step ends")
    del login_name

    for fd in login.read_ends:
        os.close(fd)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
