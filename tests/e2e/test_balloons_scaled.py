"""The settings window and a help balloon as a user sees them at 150 % display
scale (144 DPI): the window's client area, its caption help button and its
boxes at their scaled places, and a help balloon in the scaled font. Also takes
the README's picture of both."""
import sys
import time

import winekit
import xsource
from test_balloons import balloons, check_balloon_look
from test_settings import open_settings
from winekit import Session, wait_until

DPI = 144


def scaled(v):
    """A 96-DPI size at this scale, rounded as the program rounds."""
    return (v * DPI + 48) // 96


def red_glyph(s, window):
    """The middle of the red glyph in the lower half of the notification window
    (the caption above holds Wine's own icon), or None."""
    x, y, w, h = window
    top = y + h // 2
    rows = s.region(x, top, min(w, 60), h - h // 2)
    red = [(c, r) for r, row in enumerate(rows) for c, px in enumerate(row) if px[0] > 200 and max(px[1:]) < 60]
    if not red:
        return None
    return x + (min(p[0] for p in red) + max(p[0] for p in red)) // 2, top + (
        min(p[1] for p in red) + max(p[1] for p in red)) // 2


def tray_icon(s):
    """Where the program's icon shows in Wine's notification window; at 144 DPI
    its caption and cells are larger than at 96, so it is looked for."""
    windows = wait_until(lambda: s.visible_windows("Wine System Tray"), 15)
    assert windows, "no notification window"
    icon = wait_until(lambda: red_glyph(s, s.window_geometry(windows[0])), 15)
    assert icon, "no tray icon"
    return icon


def test_settings_window_and_help_balloon_at_150_percent():
    with Session("balloons-150", dpi=DPI) as s:
        s.start()
        geometry = open_settings(s, tray_icon(s), (scaled(30), scaled(10)))
        x, y, w, h = geometry
        # The undecorated frame is the same on the left, right and bottom: the
        # client area is the scaled 235 x 153 inside it.
        frame = (w - scaled(235)) // 2
        assert 0 < frame < 12, "window %dx%d holds no %d-wide client area" % (w, h, scaled(235))
        caption = h - scaled(153) - frame
        assert scaled(14) < caption < 60, "window %dx%d: caption %d tall" % (w, h, caption)
        origin = (x + frame, y + caption)
        box = (origin[0] + scaled(8 + 20), origin[1] + scaled(16 + 8))  # the autostart box
        s.move(*box)
        time.sleep(0.3)
        arrow = xsource.cursor_image(s.display)
        # The caption button at its scaled place: 60 px from the right, 9 down, 24 x 21.
        button = (x + w - scaled(40) + scaled(16) // 2, y + scaled(6) + scaled(14) // 2)
        for _ in range(3):
            s.move(*button)
            time.sleep(0.3)
            s.xdotool("click", 1)
            time.sleep(0.2)
            s.move(*box)
            if wait_until(lambda: xsource.cursor_image(s.display) != arrow, 2, 0.1):
                break
        else:
            raise AssertionError("the scaled caption button did not enter help mode")
        s.xdotool("click", 1)
        found = wait_until(lambda: balloons(s, scaled(60)), 3)
        assert found, "no help balloon of a scaled height"
        balloon = found[0]
        time.sleep(0.5)
        shot = s.screenshot("01-settings-and-help-balloon-150")
        check_balloon_look(shot, balloon, 3)  # bold heading and two lines
        s.docs_shot("settings-help-balloon-150", *winekit.bounding(geometry, balloon[2:]), scale=1)


if __name__ == "__main__":
    sys.exit(winekit.main([test_settings_window_and_help_balloon_at_150_percent]))
