#!/usr/bin/python3
"""Drops a file onto the X window under a screen point, as a file manager
does: the pointer moves there through XTest, as the mouse would, and the
drop goes by the X drag-and-drop protocol (XDND), whose messages Wine turns
into the WM_DROPFILES of a window that accepts files.
   xdnd_drop.py FILE X Y       (the display is $DISPLAY)
Exit status 0 when the target took the drop, 1 when it refused or did not
answer, 2 on a usage error."""
import os
import sys
import time
import urllib.parse

from Xlib import X, Xatom, display
from Xlib.ext import xtest
from Xlib.protocol import event

XDND_VERSION = 5


def atom(d, name):
    return d.intern_atom(name)


def xdnd_aware_window_at(d, x, y):
    """The deepest window under the point that takes part in XDND: the one
    with XdndAware, searched from the root down."""
    aware = atom(d, "XdndAware")
    window = d.screen().root
    found = None
    while True:
        if window.get_full_property(aware, X.AnyPropertyType) is not None:
            found = window
        reply = window.translate_coords(d.screen().root, x, y)
        child = reply.child
        if not child or child == X.NONE:
            return found
        window = child


def send(d, target, source, kind, data):
    message = event.ClientMessage(window=target, client_type=atom(d, kind), data=(32, data))
    target.send_event(message, event_mask=0, propagate=False)
    d.flush()


def move_pointer(d, x, y):
    """Where the pointer is now, then steps to (x, y): real motion events."""
    root = d.screen().root
    here = root.query_pointer()
    steps = 10
    for i in range(1, steps + 1):
        px = here.root_x + (x - here.root_x) * i // steps
        py = here.root_y + (y - here.root_y) * i // steps
        xtest.fake_input(d, X.MotionNotify, x=px, y=py)
        d.sync()
        time.sleep(0.02)


def main():
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    path, x, y = os.path.abspath(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
    uri = ("file://" + urllib.parse.quote(path) + "\r\n").encode()
    d = display.Display()
    root = d.screen().root
    source = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
    selection = atom(d, "XdndSelection")
    uri_list = atom(d, "text/uri-list")
    source.set_selection_owner(selection, X.CurrentTime)
    move_pointer(d, x, y)
    target = xdnd_aware_window_at(d, x, y)
    if target is None:
        print("xdnd_drop: no XDND window under the point", file=sys.stderr)
        return 1
    send(d, target, source, "XdndEnter", [source.id, XDND_VERSION << 24, uri_list, 0, 0])
    send(d, target, source, "XdndPosition", [source.id, 0, (x << 16) | y, X.CurrentTime, atom(d, "XdndActionCopy")])
    accepted = None
    dropped = False
    deadline = time.time() + 10
    while time.time() < deadline:
        if not d.pending_events():
            time.sleep(0.01)
            continue
        e = d.next_event()
        if e.type == X.ClientMessage and e.client_type == atom(d, "XdndStatus"):
            accepted = bool(e.data[1][1] & 1)
            if not accepted:
                send(d, target, source, "XdndLeave", [source.id, 0, 0, 0, 0])
                print("xdnd_drop: the target refused the drop", file=sys.stderr)
                return 1
            if not dropped:
                send(d, target, source, "XdndDrop", [source.id, 0, X.CurrentTime, 0, 0])
                dropped = True
        elif e.type == X.SelectionRequest:
            # The target asks for the dropped data: the file as a URI.
            e.requestor.change_property(e.property, e.target, 8, uri)
            notify = event.SelectionNotify(time=e.time, requestor=e.requestor, selection=e.selection,
                                           target=e.target, property=e.property)
            e.requestor.send_event(notify)
            d.flush()
        elif e.type == X.ClientMessage and e.client_type == atom(d, "XdndFinished"):
            return 0
    print("xdnd_drop: the target did not finish the drop", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
