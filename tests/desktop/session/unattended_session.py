#!/usr/bin/env python3
"""The program with its real message boxes and nobody at the screen.

Runs inside dbus-run-session, on a virtual X screen, with the stand-in tray
host and notification service of tray_session.py. The build under test shows
real Qt boxes (nothing answers them) and ticks every second; its run is due
at once and fails. It checks that the failure is notified, that no modal box
holds the scheduler (the next ticks fail again, each logged, while no
"Erreur" box is on screen), and that a second start of the same user brings
the running copy's main window forward and ends with code 0.

Usage: unattended_session.py PROGRAM. Exit 0 when every check passes, 1
otherwise.
"""
import ctypes
import os
import shutil
import subprocess
import sys
import tempfile

import dbus
import dbus.mainloop.glib
import dbus.service

from tray_session import (NOTIFICATIONS, WATCHER, Notifications, Watcher, check, failures,
                          prepare_failing_program, start_screen, wait_for)

FAILED_LINE = "varnoket: La sauvegarde programmée a échoué : "


class WindowAttributes(ctypes.Structure):
    """Xlib's XWindowAttributes."""
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
                ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong), ("c_class", ctypes.c_int),
                ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


IS_VIEWABLE = 2


def visible_titles(display):
    """The titles of the screen's viewable top-level windows, read with
    Xlib itself (which Qt's own X11 support brings), as a window manager or a
    person would see them."""
    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 4
    x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_void_p]
    x.XGetWindowProperty.argtypes = ([ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong,
                                      ctypes.c_long, ctypes.c_long, ctypes.c_int, ctypes.c_ulong]
                                     + [ctypes.c_void_p] * 5)
    x.XFree.argtypes = [ctypes.c_void_p]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    dpy = x.XOpenDisplay(display.encode())
    if not dpy:
        return []
    titles = []
    try:
        name = x.XInternAtom(dpy, b"_NET_WM_NAME", 0)
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not x.XQueryTree(dpy, x.XDefaultRootWindow(dpy), ctypes.byref(root),
                            ctypes.byref(parent), ctypes.byref(children), ctypes.byref(count)):
            return []
        for i in range(count.value):
            window = children[i]
            attributes = WindowAttributes()
            if (not x.XGetWindowAttributes(dpy, window, ctypes.byref(attributes))
                    or attributes.map_state != IS_VIEWABLE):
                continue
            kind, size, items, left = (ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(),
                                       ctypes.c_ulong())
            value = ctypes.POINTER(ctypes.c_ubyte)()
            if x.XGetWindowProperty(dpy, window, name, 0, 1024, 0, 0, ctypes.byref(kind),
                                    ctypes.byref(size), ctypes.byref(items), ctypes.byref(left),
                                    ctypes.byref(value)) == 0 and value:
                titles.append(bytes(value[:items.value]).decode("utf-8", "replace"))
                x.XFree(value)
        if children:
            x.XFree(children)
    finally:
        x.XCloseDisplay(dpy)
    return titles


def visible_windows(display, prefix, exact=False):
    """The viewable windows' titles that are PREFIX, or start with it."""
    return [t for t in visible_titles(display) if t == prefix or (not exact and t.startswith(prefix))]


def main():
    program = os.path.abspath(sys.argv[1])
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    watcher = Watcher(bus)
    notifications = Notifications(bus)
    names = [dbus.service.BusName(WATCHER, bus), dbus.service.BusName(NOTIFICATIONS, bus)]

    screen, display = start_screen()
    work = tempfile.mkdtemp(prefix="varnoket-unattended-")
    child = None
    try:
        installed, env = prepare_failing_program(program, work, display)
        log_path = os.path.join(work, "program.log")
        output = open(log_path, "w+")
        child = subprocess.Popen([installed], env=env, stdout=output, stderr=subprocess.STDOUT)

        def log():
            with open(log_path, encoding="utf-8", errors="replace") as f:
                return f.read()

        # 1. The failure is notified without anyone answering anything.
        failed = lambda: [n for n in notifications.received if n[1] == "Échec de la sauvegarde"]
        check(wait_for(lambda: failed() or child.poll() is not None, 60) and failed(),
              "the failed scheduled run is notified")

        # 2. The timer goes on: later ticks run (and fail) again, each logged,
        # and no modal box is up.
        check(wait_for(lambda: log().count(FAILED_LINE) >= 3 or child.poll() is not None, 60)
              and log().count(FAILED_LINE) >= 3,
              "later ticks run again (%d failures logged)" % log().count(FAILED_LINE))
        check(not visible_windows(display, "Erreur", exact=True),
              "no message box waits for an answer (windows: %s)" % visible_titles(display))
        check(child.poll() is None, "the program runs on")

        # 3. A second start brings the main window forward and ends.
        main_title = "Varnoket version"
        check(wait_for(lambda: not visible_windows(display, main_title), 30),
              "the main window went into the tray after the start-up checks")
        second = subprocess.run([installed], env=env, capture_output=True, text=True, timeout=60)
        check(second.returncode == 0, "the second start ends with code 0 (got %d: %s)"
              % (second.returncode, second.stderr.strip()))
        check(wait_for(lambda: visible_windows(display, main_title), 10),
              "the running copy's main window is on screen")
        check(child.poll() is None, "the first copy still runs")

        if failures:
            print("--- program output ---\n" + log(), flush=True)
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
