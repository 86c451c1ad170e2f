#!/usr/bin/python3
"""Drops files on an X window the way a file manager does (XDND).

Acts as a drag-and-drop source: owns XdndSelection, sends XdndEnter with the
single type text/uri-list, XdndPosition at a point of the target, waits for
XdndStatus, sends XdndDrop and waits for XdndFinished. Every SelectionRequest
for XdndSelection is answered at any time with the file:// URI list (some
targets read the data as soon as the drag enters, others only on the drop).

Usage: tools/xdnd_drop.py [--at X Y] [--timeout SECONDS] WINDOW FILE...

WINDOW is the X window id (decimal or 0x hex) of a window that carries
XdndAware; X Y is the drop point in root coordinates (default: the middle
of WINDOW). The files are Linux paths; they are made absolute.

Exit status: 0 dropped and finished, 1 usage or X error, 2 the target
refused the drop (XdndStatus without accept, or no XdndAware), 3 time out.
Needs python3-xlib (run with /usr/bin/python3).
"""
import argparse
import os
import select
import sys
import time
import urllib.parse

from Xlib import X, Xatom, display, error
from Xlib.protocol import event

XDND_VERSION = 5


class DropFailed(Exception):
    def __init__(self, status, message):
        super().__init__(message)
        self.status = status


def uri_list(paths):
    """text/uri-list data: one file:// URI per line, CR LF terminated."""
    lines = []
    for path in paths:
        absolute = os.path.abspath(path)
        lines.append("file://" + urllib.parse.quote(absolute, safe="/"))
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


class DragSource:
    def __init__(self, disp, target, paths, timeout):
        self.d = disp
        self.target = target
        self.data = uri_list(paths)
        self.deadline = time.monotonic() + timeout
        atom = lambda name: self.d.intern_atom(name)
        self.a = {name: atom(name) for name in (
            "XdndAware", "XdndEnter", "XdndPosition", "XdndStatus", "XdndLeave",
            "XdndDrop", "XdndFinished", "XdndSelection", "XdndActionCopy",
            "text/uri-list", "TARGETS", "KEP_XDND_TIME")}
        root = self.d.screen().root
        # An unmapped window of our own: it names the source in every message
        # and owns the selection.
        self.src = root.create_window(-10, -10, 1, 1, 0, X.CopyFromParent,
                                      event_mask=X.PropertyChangeMask)
        self.requests_answered = 0

    # -- plumbing ---------------------------------------------------------
    def server_time(self):
        """A real server timestamp, got from a property change on our window."""
        self.src.change_property(self.a["KEP_XDND_TIME"], Xatom.STRING, 8, b"t")
        self.d.flush()
        while True:
            ev = self.next_event()
            if ev.type == X.PropertyNotify and ev.window.id == self.src.id:
                return ev.time
            self.handle_other(ev)

    def next_event(self):
        while True:
            if self.d.pending_events():
                return self.d.next_event()
            left = self.deadline - time.monotonic()
            if left <= 0:
                raise DropFailed(3, "timed out waiting for the target")
            select.select([self.d], [], [], min(left, 0.1))

    def send(self, name, data):
        ev = event.ClientMessage(window=self.target, client_type=self.a[name],
                                 data=(32, (data + [0] * 5)[:5]))
        self.target.send_event(ev, event_mask=X.NoEventMask, propagate=False)
        self.d.flush()

    def answer_request(self, ev):
        prop = ev.property if ev.property != X.NONE else ev.target
        if ev.selection != self.a["XdndSelection"]:
            prop = X.NONE
        elif ev.target == self.a["text/uri-list"]:
            ev.requestor.change_property(prop, self.a["text/uri-list"], 8, self.data)
        elif ev.target == self.a["TARGETS"]:
            ev.requestor.change_property(prop, Xatom.ATOM, 32,
                                         [self.a["TARGETS"], self.a["text/uri-list"]])
        else:
            prop = X.NONE
        reply = event.SelectionNotify(time=ev.time, requestor=ev.requestor,
                                      selection=ev.selection, target=ev.target,
                                      property=prop)
        ev.requestor.send_event(reply, event_mask=X.NoEventMask, propagate=False)
        self.d.flush()
        self.requests_answered += 1

    def handle_other(self, ev):
        if ev.type == X.SelectionRequest:
            self.answer_request(ev)

    def wait_message(self, name):
        """Waits for the client message `name` from the target; returns its data."""
        while True:
            ev = self.next_event()
            if ev.type == X.ClientMessage and ev.client_type == self.a[name]:
                return ev.data[1]
            self.handle_other(ev)

    # -- the protocol ------------------------------------------------------
    def version(self):
        prop = self.target.get_full_property(self.a["XdndAware"], Xatom.ATOM)
        if prop is None or not prop.value:
            raise DropFailed(2, "the target window has no XdndAware property")
        return min(XDND_VERSION, int(prop.value[0]))

    def drop(self, x, y):
        version = self.version()
        stamp = self.server_time()
        self.src.set_selection_owner(self.a["XdndSelection"], stamp)
        self.d.flush()
        src = self.src.id
        self.send("XdndEnter", [src, version << 24, self.a["text/uri-list"]])
        self.send("XdndPosition", [src, 0, (x << 16) | (y & 0xFFFF), stamp,
                                   self.a["XdndActionCopy"]])
        status = self.wait_message("XdndStatus")
        if not status[1] & 1:
            self.send("XdndLeave", [src])
            raise DropFailed(2, "the target refused the drop at %d,%d" % (x, y))
        self.send("XdndDrop", [src, 0, stamp])
        finished = self.wait_message("XdndFinished")
        if version >= 5 and not finished[1] & 1:
            raise DropFailed(2, "the target finished without taking the drop")


def window_centre(disp, win):
    geometry = win.get_geometry()
    origin = win.translate_coords(disp.screen().root, 0, 0)
    # translate_coords maps root (0,0) into the window: its negation is the
    # window's position on the root.
    return (-origin.x + geometry.width // 2, -origin.y + geometry.height // 2)


def main(argv):
    parser = argparse.ArgumentParser(description="Drops files on an X window (XDND).")
    parser.add_argument("--at", nargs=2, type=int, metavar=("X", "Y"),
                        help="drop point in root coordinates (default: window middle)")
    parser.add_argument("--timeout", type=float, default=10.0)
    parser.add_argument("window", help="target X window id")
    parser.add_argument("files", nargs="+")
    args = parser.parse_args(argv)

    try:
        disp = display.Display()
    except Exception as exc:  # no DISPLAY, refused connection
        print("xdnd_drop: cannot open the display: %s" % exc, file=sys.stderr)
        return 1
    try:
        target = disp.create_resource_object("window", int(args.window, 0))
        x, y = args.at if args.at else window_centre(disp, target)
        source = DragSource(disp, target, args.files, args.timeout)
        source.drop(x, y)
        return 0
    except DropFailed as exc:
        print("xdnd_drop: %s" % exc, file=sys.stderr)
        return exc.status
    except error.XError as exc:
        print("xdnd_drop: X error: %s" % exc, file=sys.stderr)
        return 1
    finally:
        disp.close()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
