"""The program at display scales other than 100 %: each session sets its own
scale in its prefix before anything starts in it."""
import os
import runpy
import sys

import winekit
from winekit import Session, wait_until

SCREEN_W, SCREEN_H = 1024, 768
# The bottom of the screen right of the taskbar buttons: the notification area.
STRIP = (824, SCREEN_H - 60, SCREEN_W - 824, 60)
RED, GREEN = 0xFF0000, 0x00FF00


def designed(size, fill):
    """The image tools/make-icons.py draws at `size` as rows of (r, g, b, alpha)."""
    icons = runpy.run_path(os.path.join(winekit.SOURCE, "tools", "make-icons.py"), run_name="make_icons")
    _, _, shape = icons["read_description"](os.path.join(winekit.SOURCE, "src", "app", "icons", "mouse.txt"))
    return icons["drawn"](shape, size, fill)


def find_image(pixels, image):
    """Where in the rows of a screenshot every opaque pixel of `image` shows
    exactly (corners of partial alpha are blended by the shell and skipped), or None."""
    opaque = [(x, y, p[:3]) for y, row in enumerate(image) for x, p in enumerate(row) if p[3] == 255]
    size = len(image)
    for top in range(len(pixels) - size + 1):
        for left in range(len(pixels[0]) - size + 1):
            if all(pixels[top + y][left + x] == rgb for x, y, rgb in opaque):
                return left, top
    return None


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


def test_tray_shows_the_images_made_for_150_percent():
    """At 144 DPI the shell draws notification icons 24 pixels wide: the program
    must give it the 24-pixel images, red at start and green while it moves the
    cursor, not a 16-pixel image stretched (which would miss the designed
    2-pixel outline)."""
    with Session("dpi-tray-144", desktop=True, dpi=144, width=SCREEN_W, height=SCREEN_H) as s:
        s.keep_desktop(90)
        assert wait_until(lambda: s.pixel(600, SCREEN_H - 10) != s.pixel(500, 400), 15), "no taskbar"
        s.move(500, 400)
        s.start()
        red = designed(24, RED)
        found = wait_until(lambda: find_image(s.region(*STRIP), red), 15, interval=0.3)
        shot = s.screenshot("tray-144-red")
        assert found, "no 24-pixel red glyph in the notification area (see %s)" % shot
        # Ten idle seconds later the program moves the cursor and shows green.
        green = designed(24, GREEN)
        moving = wait_until(lambda: find_image(s.region(*STRIP), green), 20, interval=0.5)
        shot = s.screenshot("tray-144-green")
        assert moving == found, "no 24-pixel green glyph where the red one was (see %s)" % shot


if __name__ == "__main__":
    sys.exit(winekit.main([test_session_scale_reaches_programs, test_tray_shows_the_images_made_for_150_percent]))
