"""The program list as a user keeps it: "Hozzáad" opens the open-file dialog,
a typed path and Enter put the program into the list and into list.txt beside
the executable; a few typed letters complete to the entry and "Töröl" removes
it again."""
import os
import sys
import time

import winekit
from winekit import Session, wait_until
from test_settings import SETTINGS, click_client, client_origin, open_settings

PROGRAM = "C:\\Tavrin2\\Jatek.exe"

# Client positions of the settings window's controls (their centres).
ADD_BUTTON = (8 + 37, 113 + 12)        # Button1 "Hozzáad"
DELETE_BUTTON = (144 + 37, 113 + 12)   # Button2 "Töröl"
COMBO_EDIT = (8 + 60, 81 + 10)         # ComboBox1's edit field
COMBO_ARROW = (225 - 8, 81 + 10)       # its drop-down button
EMPTY_SPOT = (190, 65)                 # inside GroupBox2, right of CheckBox1


def new_window(s, before, timeout=8):
    """The first visible window that was not among `before`."""
    found = wait_until(lambda: [w for w in s.visible_windows() if w not in before], timeout)
    return found[0] if found else None


def show_settings(s):
    """Opens the settings window from the tray; returns its X window and client origin."""
    geometry = open_settings(s)
    window = next(w for w in s.visible_windows("^Tavrin2$") if s.window_geometry(w) == geometry)
    return window, client_origin(geometry)


def drop_down_window(s, origin, before):
    """ComboBox1's dropped list: a new window just under the edit field (a hint
    window may appear at the same time elsewhere)."""
    def under_the_edit(w):
        x, y, _, _ = s.window_geometry(w)
        return abs(x - (origin[0] + 8)) <= 4 and abs(y - (origin[1] + 81 + 21)) <= 6
    found = wait_until(lambda: [w for w in s.visible_windows() if w not in before and under_the_edit(w)], 3)
    return found[0] if found else None


def text_pixels_in_drop_down(s, origin, label):
    """Drops ComboBox1's list down and counts the dark pixels inside its frame."""
    before = s.visible_windows()
    click_client(s, origin, *COMBO_ARROW)
    drop = drop_down_window(s, origin, before)
    assert drop, "the list did not drop down"
    time.sleep(0.3)
    s.screenshot(label)
    x, y, w, h = s.window_geometry(drop)
    dark = 0
    if w > 4 and h > 4:
        dark = sum(1 for row in s.region(x + 2, y + 2, w - 4, h - 4) for px in row if sum(px) < 250)
    click_client(s, origin, *EMPTY_SPOT)  # a click outside closes the list
    assert wait_until(lambda: drop not in s.visible_windows(), timeout=3), "the list did not close"
    return dark


def test_add_through_the_dialog_and_delete_by_its_first_letters():
    with Session("program_list") as s:
        with open(os.path.join(s.app_dir, "Jatek.exe"), "wb") as f:
            f.write(b"MZ")
        # Intelligent mode on: the buttons are enabled and, with no listed
        # program running, the mover leaves the pointer to this test.
        s.reg_add(SETTINGS, "Inteligens", "REG_DWORD", 1)
        s.start()
        assert wait_until(lambda: os.path.exists(s.list_path()), timeout=10), "list.txt was not made at start"
        assert s.read_list() == b""
        assert not os.path.exists(os.path.join(s.prefix, "list.txt")), "list.txt went to the working folder"

        settings, origin = show_settings(s)
        assert text_pixels_in_drop_down(s, origin, "01-empty-list") == 0, "the list is not empty at start"

        # "Hozzáad": the dialog opens; type the path into its name field, Enter.
        before = s.visible_windows()
        click_client(s, origin, *ADD_BUTTON)
        dialog = new_window(s, before)
        assert dialog, "the open dialog did not appear"
        s.screenshot("02-dialog-open")
        s.xdotool("windowfocus", dialog)
        time.sleep(0.5)
        s.xdotool("type", "--delay", "60", PROGRAM)
        time.sleep(0.3)
        s.screenshot("03-path-typed")
        s.xdotool("key", "Return")
        assert wait_until(lambda: s.read_list() != b"", timeout=5), "nothing was written to list.txt"
        assert s.read_list().lower() == (PROGRAM + "\r\n").lower().encode("cp1250"), s.read_list()
        assert wait_until(lambda: dialog not in s.visible_windows(), timeout=5), "the dialog stayed open"

        assert text_pixels_in_drop_down(s, origin, "04-entry-in-the-list") > 40, "the entry is not in the list"

        # The first letters, in lower case: the edit completes them to the entry.
        click_client(s, origin, *COMBO_EDIT)
        s.xdotool("windowfocus", settings)
        time.sleep(0.3)
        s.xdotool("key", "End", "shift+Home")
        s.xdotool("type", "--delay", "80", "c:\\ta")
        time.sleep(0.3)
        s.screenshot("05-completed")
        click_client(s, origin, *DELETE_BUTTON)
        assert wait_until(lambda: s.read_list() == b"", timeout=5), "Töröl left list.txt as %r" % s.read_list()
        s.screenshot("06-deleted")
        assert text_pixels_in_drop_down(s, origin, "07-empty-again") == 0, "the entry is still in the list"
        assert s.running(), "tavrin2.exe ended"


if __name__ == "__main__":
    sys.exit(winekit.main([test_add_through_the_dialog_and_delete_by_its_first_letters]))
