"""The settings window's caption help button and its drop target, used as a
person would: a real click on the question-mark button, the help cursor over
the check boxes, and files dragged onto the window from the X desktop."""
import os
import sys
import tempfile
import time

import winekit
import xsource
from test_settings import SETTINGS, client_origin, open_settings, settings_window
from winekit import Session, wait_until


def settings_window_id(s):
    found = [w for w in s.visible_windows("^Tavrin2$") if s.window_geometry(w)[2] > 100]
    assert found, "no settings window"
    return found[0]


def caption_button(geometry):
    """A screen point on the help button: 40 px left of the outer right edge, 6 px down, 16 x 14."""
    x, y, w, _ = geometry
    return x + w - 40 + 8, y + 6 + 7


def cursor_over(s, point):
    s.move(*point)
    time.sleep(0.4)
    return xsource.cursor_image(s.display)


def test_help_button_shows_the_help_cursor_and_never_moves_the_window():
    with Session("caption_button") as s:
        s.start()
        geometry = open_settings(s)
        window = settings_window_id(s)
        origin = client_origin(geometry)
        box1 = (origin[0] + 8 + 20, origin[1] + 57 + 8)   # CheckBox1
        box2 = (origin[0] + 8 + 20, origin[1] + 16 + 8)   # CheckBox2
        arrow = cursor_over(s, box1)

        # Pressing on the button and dragging does not drag the window, and
        # releasing off the button clicks nothing.
        bx, by = caption_button(geometry)
        s.move(bx, by)
        time.sleep(0.3)
        s.xdotool("mousedown", 1)
        time.sleep(0.3)
        s.screenshot("01-button-pressed")
        for step in range(1, 6):
            s.move(bx - 12 * step, by + 10 * step)
            time.sleep(0.08)
        s.xdotool("mouseup", 1)
        time.sleep(0.4)
        assert s.window_geometry(window) == geometry, "pressing on the help button moved the window"
        assert cursor_over(s, box1) == arrow, "a press dragged off the button entered help mode"

        # A click on it: both boxes show the help cursor.
        s.move(bx, by)
        time.sleep(0.3)
        s.xdotool("click", 1)
        time.sleep(0.5)
        assert s.window_geometry(window) == geometry
        help1 = cursor_over(s, box1)
        help2 = cursor_over(s, box2)
        s.screenshot("02-help-mode")
        assert help1 != arrow and help2 == help1, "the boxes do not show the help cursor"

        # A help click on CheckBox1 changes no setting and ends help mode.
        before = s.reg_query(SETTINGS, "Inteligens")
        s.xdotool("click", 1)
        time.sleep(0.5)
        assert s.reg_query(SETTINGS, "Inteligens") == before
        assert cursor_over(s, box1) == arrow and cursor_over(s, box2) == arrow


def test_files_dragged_from_the_desktop_show_in_the_caption():
    with Session("drop") as s:
        s.start()
        geometry = open_settings(s)
        window = settings_window_id(s)
        folder = tempfile.mkdtemp(prefix="drop-", dir=s.prefix)
        plain = os.path.join(folder, "plain.txt")
        spaced_dir = os.path.join(folder, "two words")
        os.makedirs(spaced_dir)
        spaced = os.path.join(spaced_dir, "file.txt")
        for p in (plain, spaced):
            open(p, "w").close()

        def dos(p):
            return "Z:" + p.replace("/", "\\")

        def caption():
            out = s.xdotool("getwindowname", window)
            return out.encode("latin-1", "replace").decode("utf-8", "replace")

        x, y, w, h = geometry
        centre = (x + w // 2, y + h // 2)
        s.move(*centre)
        time.sleep(0.3)
        assert xsource.drag_files(s.display, [plain], *centre), "the window did not finish the drop"
        assert wait_until(lambda: caption() == dos(plain), 3), caption()

        # Two at once, one of them in a folder with a space: that one is quoted.
        assert xsource.drag_files(s.display, [plain, spaced], *centre)
        expected = '%s,"%s"' % (dos(plain), dos(spaced))
        assert wait_until(lambda: caption() == expected, 3), caption()
        s.screenshot("03-after-drop")
        # The drop added nothing to the program list.
        assert s.read_list() == b""


if __name__ == "__main__":
    sys.exit(winekit.main([test_help_button_shows_the_help_cursor_and_never_moves_the_window,
                           test_files_dragged_from_the_desktop_show_in_the_caption]))
