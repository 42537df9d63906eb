"""The program at display scales other than 100 %: each session sets its own
scale in its prefix before anything starts in it."""
import sys

import winekit
from winekit import Session, wait_until


def tray_window_size(dpi):
    """(width, height) of Wine's notification window holding one icon in a session
    at this scale; Wine sizes it from the scaled metrics."""
    with Session("dpi-session-%d" % dpi, dpi=dpi) as s:
        s.keep_desktop(20)
        windows = wait_until(lambda: s.visible_windows("Wine System Tray"), 15)
        assert windows, "no notification window at %d dpi" % dpi
        return s.window_geometry(windows[0])[2:]


def test_session_scale_reaches_programs():
    w96, h96 = tray_window_size(96)
    w144, h144 = tray_window_size(144)
    assert w144 > w96 and h144 > h96, "the same notification window at 96 (%dx%d) and 144 dpi (%dx%d)" % (
        w96, h96, w144, h144)


if __name__ == "__main__":
    sys.exit(winekit.main([test_session_scale_reaches_programs]))
