"""What a user's desktop does outside Wine, spoken over the X protocol: a file
manager dragging files onto a window (the drag-and-drop protocol), and the
shape of the pointer a window shows."""
import sys
import time

try:
    from Xlib import X, display
    from Xlib.protocol import event
except ImportError:  # an interpreter beside the system one: use the system's package
    sys.path.append("/usr/lib/python3/dist-packages")
    from Xlib import X, display
    from Xlib.protocol import event

XDND_VERSION = 5


def cursor_image(display_name):
    """The pixels of the pointer shown now, as a hashable tuple."""
    d = display.Display(display_name)
    try:
        d.xfixes_query_version()
        img = d.xfixes_get_cursor_image(d.screen().root)
        return (img.width, img.height, img.xhot, img.yhot, tuple(img.cursor_image))
    finally:
        d.close()


def _window_under(d, x, y):
    """The top-level window under a root point that accepts drops, and its chain."""
    root = d.screen().root
    aware = d.intern_atom("XdndAware")
    child = root.translate_coords(root, x, y).child
    w = child
    while w:
        prop = w.get_full_property(aware, X.AnyPropertyType)
        if prop is not None:
            return w
        reply = w.query_tree()
        children = [c for c in reply.children if c.get_attributes().map_state == X.IsViewable]
        w = None
        for c in reversed(children):
            g = c.get_geometry()
            pos = c.translate_coords(root, 0, 0)
            cx, cy = -pos.x, -pos.y
            if cx <= x < cx + g.width and cy <= y < cy + g.height:
                w = c
                break
    return None


def drag_files(display_name, paths, x, y, timeout=5.0):
    """Drops `paths` on the window at root point (x, y) as a file manager
    would. Returns True when the target said it finished the drop."""
    d = display.Display(display_name)
    try:
        atom = d.intern_atom
        root = d.screen().root
        source = root.create_window(-10, -10, 1, 1, 0, X.CopyFromParent)
        target = _window_under(d, x, y)
        if target is None:
            raise AssertionError("no drop target under (%d, %d)" % (x, y))
        uri_list = atom("text/uri-list")
        selection = atom("XdndSelection")
        source.set_selection_owner(selection, X.CurrentTime)
        data = "".join("file://%s\r\n" % p.replace(" ", "%20") for p in paths).encode()

        def send(name, words):
            words = (list(words) + [0] * 5)[:5]
            ev = event.ClientMessage(window=target, client_type=atom(name), data=(32, words))
            target.send_event(ev, event_mask=0)
            d.flush()

        send("XdndEnter", [source.id, XDND_VERSION << 24, uri_list])
        send("XdndPosition", [source.id, 0, (x << 16) | y, X.CurrentTime, atom("XdndActionCopy")])
        dropped = finished = False
        deadline = time.time() + timeout
        while time.time() < deadline and not finished:
            if not d.pending_events():
                time.sleep(0.02)
                continue
            ev = d.next_event()
            if ev.type == X.ClientMessage and ev.client_type == atom("XdndStatus") and not dropped:
                dropped = True
                send("XdndDrop", [source.id, 0, X.CurrentTime])
            elif ev.type == X.ClientMessage and ev.client_type == atom("XdndFinished"):
                finished = True
            elif ev.type == X.SelectionRequest:
                requestor = ev.requestor
                prop = ev.property or ev.target
                if ev.target == uri_list:
                    requestor.change_property(prop, uri_list, 8, data)
                else:
                    prop = X.NONE
                reply = event.SelectionNotify(time=ev.time, requestor=requestor, selection=ev.selection,
                                              target=ev.target, property=prop)
                requestor.send_event(reply, event_mask=0)
                d.flush()
        source.destroy()
        d.flush()
        return finished
    finally:
        d.close()
