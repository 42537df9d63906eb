"""Help balloons and control hints as a user meets them: a help click on each
check box explains it in a balloon pointing at the box, resting the pointer on
a control shows its hint as a small balloon, and a balloon stays on the screen
wherever the settings window is moved."""
import sys
import time

import winekit
from test_caption_drop import caption_button
from test_settings import client_origin, open_settings
from winekit import Session, image_region, wait_until

SCREEN = (1024, 768)
BOX1 = (8 + 20, 57 + 8)  # CheckBox1, client coordinates
BOX2 = (8 + 20, 16 + 8)  # CheckBox2


def balloons(s, min_height):
    """The program's unnamed popup windows of at least that height: help balloons
    are taller than control hints."""
    return [w for w in s.program_windows() if w[1] is None and w[4] > 40 and w[5] >= min_height]


def help_click(s, geometry, box):
    """The caption's help button, then the box; gives the help balloon's window."""
    s.move(*caption_button(geometry))
    time.sleep(0.3)
    s.xdotool("click", 1)
    time.sleep(0.4)
    o = client_origin(geometry)
    s.move(o[0] + box[0], o[1] + box[1])
    time.sleep(0.2)
    s.xdotool("click", 1)
    found = wait_until(lambda: balloons(s, 60), 3)
    assert found, "no help balloon"
    return found[0]


def text_bands(path, window):
    """Runs of rows holding dark (text) pixels in the left part of a balloon's body."""
    _, _, x, y, w, h = window
    rows = image_region(path, x + 8, y, min(w - 40, 200), h)
    bands, inside = 0, False
    for row in rows:
        marks = sum(1 for px in row if sum(px) < 250)
        # Inside the body only (the stem's rows show what lies behind), and
        # the frame's edges are whole dark lines.
        dark = min(row[0]) > 220 and 0 < marks < len(row) * 0.8
        if dark and not inside:
            bands += 1
        inside = dark
    return bands


def check_balloon_look(path, window, lines):
    _, _, x, y, w, h = window
    body = image_region(path, x + 6, y + h // 2, 1, 1)[0][0]
    frame = image_region(path, x + 1, y + h // 2, 1, 1)[0][0]
    assert min(body) > 220, "body not in the light tooltip colour: %s" % (body,)
    assert max(frame) < 60, "no dark frame: %s" % (frame,)
    assert text_bands(path, window) == lines, "expected %d text rows, got %d" % (lines, text_bands(path, window))


def close_balloon(s, balloon, box_y):
    """A click on the balloon's close button, at the top right of its body (below
    the stem when the stem is on top)."""
    _, _, x, y, w, h = balloon
    stem_on_top = y >= box_y
    s.move(x + w - 15, y + (16 if stem_on_top else 0) + 13)
    time.sleep(0.3)
    s.xdotool("click", 1)
    assert wait_until(lambda: not balloons(s, 60), 2), "the close button did not close the balloon"


def drag_window(s, geometry, left, top):
    """Drags the settings window by its caption so its top-left lands at (left, top)."""
    x, y, w, h = geometry
    grab = (x + 60, y + 10)
    s.move(*grab)
    time.sleep(0.3)
    s.xdotool("mousedown", 1)
    time.sleep(0.2)
    for i in range(1, 11):
        s.move(grab[0] + (left - x) * i // 10, grab[1] + (top - y) * i // 10)
        time.sleep(0.05)
    s.xdotool("mouseup", 1)
    time.sleep(0.5)
    return s.window_geometry(settings_id(s))


def settings_id(s):
    return [w[0] for w in s.program_windows() if w[1] == "Tavrin2" and w[4] > 100][0]


def on_screen(window):
    _, _, x, y, w, h = window
    return x >= 0 and y >= 0 and x + w <= SCREEN[0] and y + h <= SCREEN[1]


def test_help_balloons_and_a_control_hint():
    with Session("balloons") as s:
        s.start()
        geometry = open_settings(s)
        balloon = help_click(s, geometry, BOX1)
        time.sleep(0.5)
        shot = s.screenshot("01-help-balloon-checkbox1")
        check_balloon_look(shot, balloon, 3)  # bold heading and two lines
        balloon = help_click(s, geometry, BOX2)
        time.sleep(0.5)
        shot = s.screenshot("02-help-balloon-checkbox2")
        check_balloon_look(shot, balloon, 3)
        assert len(balloons(s, 60)) == 1, "the second help click left the first balloon"

        # The help balloon hides by itself 10 s after it was shown.
        shown = time.monotonic()
        assert wait_until(lambda: not balloons(s, 60), 13), "the help balloon stayed"
        assert 8.5 < time.monotonic() - shown < 11.5

        # A control hint: off the window for a while, then rest on CheckBox2.
        s.move(900, 700)
        time.sleep(1.0)
        o = client_origin(geometry)
        s.hand_move(o[0] + BOX2[0] + 40, o[1] + BOX2[1])
        rested = time.monotonic()
        hint = wait_until(lambda: balloons(s, 20), 3)
        appeared = time.monotonic() - rested
        assert hint, "no control hint"
        assert 0.3 < appeared < 1.5, appeared
        time.sleep(0.3)
        shot = s.screenshot("03-control-hint")
        check_balloon_look(shot, hint[0], 1)
        _, _, x, y, w, h = hint[0]
        assert h < 60, "a control hint as tall as a help balloon"
        gone = wait_until(lambda: not balloons(s, 20), 5)
        assert gone, "the control hint stayed"
        assert 1.8 < time.monotonic() - rested - appeared < 4.0


def test_balloons_near_each_corner_stay_on_screen():
    with Session("balloon_corners") as s:
        s.start()
        geometry = open_settings(s)
        w, h = geometry[2], geometry[3]
        corners = {"top-left": (0, 0), "top-right": (SCREEN[0] - w, 0),
                   "bottom-left": (0, SCREEN[1] - h), "bottom-right": (SCREEN[0] - w, SCREEN[1] - h)}
        for name, (left, top) in corners.items():
            geometry = drag_window(s, geometry, left, top)
            assert (geometry[0], geometry[1]) == (left, top), "window not dragged to the %s: %s" % (name, geometry)
            for label, box in (("checkbox1", BOX1), ("checkbox2", BOX2)):
                balloon = help_click(s, geometry, box)
                time.sleep(0.4)
                s.screenshot("corner-%s-%s" % (name, label))
                assert on_screen(balloon), "%s, %s: balloon off the screen at %s" % (name, label, balloon[2:])
                # A balloon may cover the other box or the caption: closed first.
                close_balloon(s, balloon, client_origin(geometry)[1] + box[1])


if __name__ == "__main__":
    sys.exit(winekit.main([test_help_balloons_and_a_control_hint, test_balloons_near_each_corner_stay_on_screen]))
