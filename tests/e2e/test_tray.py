"""The notification-area icon and its menu as a user meets them, in a Wine
desktop with a taskbar: a red mouse glyph and nothing else at start, green
while the program moves the cursor, red again when the user moves; a right
click opens the two-command menu at the cursor; "Beállítások..." shows the
settings window with a taskbar button, its close box hides both; "Kilépés"
ends the program and takes the icon away. Resting on the icon shows no tip,
and left, double and middle clicks do nothing.

A helper with an icon of its own keeps the desktop and its taskbar up, so the
icon's removal is seen in a live notification area."""
import os
import sys
import time

import winekit
from winekit import Session, image_region, wait_until

RED, GREEN = (255, 0, 0), (0, 255, 0)
BLACK = (0, 0, 0)
SCREEN_W, SCREEN_H = 1024, 768
# The taskbar strip at the bottom of the Wine desktop, and the part of it where
# notification icons sit (the first icon at about x 1006).
TASKBAR_Y, TASKBAR_H = 748, 20
TRAY_LEFT = 900
# Empty desktop where the pointer rests between actions.
PARK = (500, 400)


def load_glyph():
    """The 16 x 16 glyph as drawn in the program's icons: rows of '.', 'K', 'F'."""
    path = os.path.join(winekit.SOURCE, "src", "app", "icons", "mouse.txt")
    with open(path) as f:
        lines = [line.rstrip("\n") for line in f]
    start = lines.index("pixels") + 1
    rows = lines[start:start + 16]
    assert len(rows) == 16 and all(len(r) == 16 for r in rows), "unreadable glyph in %s" % path
    return rows


GLYPH = load_glyph()


def glyph_at(pixels, left, top):
    """The fill colour when the glyph is drawn exactly (every outline pixel black,
    every fill pixel one colour, the transparent ones one other colour), else None."""
    fill = background = None
    for r, row in enumerate(GLYPH):
        for c, kind in enumerate(row):
            p = pixels[top + r][left + c]
            if kind == "K":
                if p != BLACK:
                    return None
            elif kind == "F":
                if fill is None:
                    fill = p
                if p != fill:
                    return None
            else:
                if background is None:
                    background = p
                if p != background:
                    return None
    return fill if fill != background and background != BLACK else None


def tray_icons(pixels):
    """{(x, y): fill} of every exactly drawn glyph in a taskbar strip's tray part;
    pixels are the rows of the strip from x = TRAY_LEFT."""
    found = {}
    for top in range(0, len(pixels) - 15):
        for left in range(0, len(pixels[0]) - 15):
            # Cheap rejection first: the glyph's top outline starts at column 6.
            if pixels[top][left + 6] != BLACK:
                continue
            fill = glyph_at(pixels, left, top)
            if fill is not None:
                found[(TRAY_LEFT + left, TASKBAR_Y + top)] = fill
    return found


def icons_on_screen(s):
    return tray_icons(s.region(TRAY_LEFT, TASKBAR_Y, SCREEN_W - TRAY_LEFT, TASKBAR_H))


def icons_in(path):
    return tray_icons(image_region(path, TRAY_LEFT, TASKBAR_Y, SCREEN_W - TRAY_LEFT, TASKBAR_H))


def the_icon(found):
    """The fill of our single glyph, or None when there is none."""
    assert len(found) <= 1, "more than one glyph in the notification area: %s" % found
    return next(iter(found.values()), None)


def taskbar_button_pixels(row):
    """How many pixels of the taskbar row between the Start button and the
    notification area differ from the taskbar itself: 0 while no program has a
    taskbar button."""
    background = max(set(row), key=row.count)
    x = 8
    while x < len(row) and row[x] != background:  # the Start button
        x += 1
    return sum(1 for p in row[x:TRAY_LEFT] if p != background)


def taskbar_buttons_on_screen(s):
    return taskbar_button_pixels(s.region(0, TASKBAR_Y + 9, SCREEN_W, 1)[0])


def taskbar_buttons_in(path):
    return taskbar_button_pixels(image_region(path, 0, TASKBAR_Y + 9, SCREEN_W, 1)[0])


def start_program(s):
    """Starts tavrin2.exe (first the desktop keeper, once); returns where its icon
    is and when the program was started."""
    if len(s.procs) == 0:
        s.keep_desktop()
        # The taskbar is up once its strip differs from the empty desktop.
        assert wait_until(lambda: s.pixel(600, TASKBAR_Y + 9) != s.pixel(*PARK), 15), \
            "the desktop with its taskbar did not come up"
    # Parked only now: the new desktop puts the pointer in its middle.
    s.move(*PARK)
    assert icons_on_screen(s) == {} and taskbar_buttons_on_screen(s) == 0, "the desktop is not empty"
    started = time.monotonic()
    s.start()
    found = wait_until(lambda: icons_on_screen(s), 15, interval=0.2)
    assert found, "no glyph appeared in the notification area"
    return next(iter(found)), started


def menu_window(s):
    """(id, x, y, width, height) of the shown popup menu, or None."""
    for wid, title, x, y, w, h in s.program_windows():
        if title is None and w > 1 and h > 1:
            return wid, x, y, w, h
    return None


def settings_window(s):
    for wid, title, x, y, w, h in s.program_windows():
        if title == "Tavrin2" and w > 1 and h > 1:
            return wid, x, y, w, h
    return None


def taskbar_window(s):
    """The program's shown window that has no owner, the one a taskbar makes a
    button for: (id, title), or None."""
    for wid, title, *_ in s.program_windows():
        if title is not None and not s.window_property(wid, "WM_TRANSIENT_FOR"):
            return wid, title
    return None


def icon_fill(icon):
    """The fill colour when a window icon (width, height, ARGB rows) is the glyph
    drawn exactly, with its transparent pixels transparent; else None."""
    if icon is None or icon[:2] != (16, 16):
        return None
    fills = set()
    for glyph_row, row in zip(GLYPH, icon[2]):
        for kind, argb in zip(glyph_row, row):
            alpha, rgb = argb >> 24, ((argb >> 16) & 255, (argb >> 8) & 255, argb & 255)
            if kind == ".":
                if alpha != 0:
                    return None
            elif alpha != 255 or (kind == "K") != (rgb == BLACK):
                return None
            elif kind == "F":
                fills.add(rgb)
    return fills.pop() if len(fills) == 1 else None


def open_menu(s, icon):
    """Right-clicks the icon (its centre); returns (cursor, menu geometry)."""
    at = (icon[0] + 8, icon[1] + 8)
    s.move(*at)
    time.sleep(0.2)
    s.xdotool("click", 3)
    menu = wait_until(lambda: menu_window(s), 5)
    assert menu, "no menu after a right click on the icon"
    return at, menu


def explorer_popups(s):
    """The desktop program's shown windows other than the desktop and its
    taskbar: a tooltip over the notification area is one."""
    return [w for w in s.program_windows("explorer.exe") if w[4] < SCREEN_W]


def rest_on(s, at, seconds):
    """Moves the pointer onto a point, nudges it there and leaves it resting."""
    s.move(*at)
    time.sleep(0.2)
    s.move(at[0] + 1, at[1] + 1)
    time.sleep(seconds)


def menu_rows(path, menu):
    """The menu's rows from top to bottom, each 'text', 'line' or 'blank', run
    together into bands: [(kind, first row, last row), ...] in window rows."""
    _, x, y, w, h = menu
    pixels = image_region(path, x, y, w, h)
    inner = [row[3:w - 3] for row in pixels[2:h - 2]]
    background = max(set(inner[0]), key=inner[0].count)
    kinds = []
    for row in inner:
        marks = [i for i, p in enumerate(row) if p != background]
        dark = [i for i in marks if sum(row[i]) < 3 * 100]
        if len(marks) >= 0.8 * len(row) and not dark:
            kinds.append("line")  # a grey rule across the whole menu
        elif dark:
            kinds.append("text")
        else:
            kinds.append("blank")
    bands = []
    for i, kind in enumerate(kinds):
        if kind == "blank":
            continue
        # A line of text runs on over a blank row or two (between the letters
        # and the access key's underline).
        if bands and bands[-1][0] == kind and (kind == "text" and i + 2 - bands[-1][2] <= 3
                                               or i + 2 - bands[-1][2] == 1):
            bands[-1][2] = i + 2
        else:
            bands.append([kind, i + 2, i + 2])
    return [tuple(b) for b in bands]


def choose(s, menu, band):
    """Clicks the middle of a text band of the menu."""
    _, x, y, w, _ = menu
    click_while_menu_open(s, menu, (x + w // 2, y + (band[1] + band[2]) // 2))


def click_while_menu_open(s, menu, at):
    """Clicks at a point while the menu is open, as a hand would: the pointer
    rests there a moment first, and a click the menu did not get (it stays open)
    is repeated. A click is lost when it arrives while one of the engine's timer
    handlers runs, since they dispatch pending messages themselves and so take
    it away from the menu's own loop."""
    s.move(*at)
    for attempt in range(3):
        time.sleep(0.2)
        s.xdotool("click", 1)
        if wait_until(lambda: menu_window(s) != menu, 1.5):
            return
        print("note: the menu did not get click %d" % (attempt + 1), flush=True)
    raise AssertionError("the menu stayed open after clicks on it")


def press_in_menu(s, menu, key):
    """Presses a key that closes the menu. Keys reach the menu only once its X
    window has the focus; like a click, a press can be lost to a timer handler
    that dispatches pending messages, so it is pressed again while the same menu
    stays open."""
    for attempt in range(3):
        s.xdotool("windowfocus", "--sync", menu[0])
        s.xdotool("key", key)
        if wait_until(lambda: menu_window(s) != menu, 1.5):
            return
        print("note: the menu did not get %s, press %d" % (key, attempt + 1), flush=True)
    raise AssertionError("the menu stayed open after %s" % key)


def test_starts_red_without_windows_turns_green_while_idle_and_red_again_on_a_user_move():
    with Session("tray_states", desktop=True) as s:
        icon, started = start_program(s)
        shot = s.screenshot("01-started")
        s.docs_shot("tray-red", icon[0] - 2, icon[1] - 2, 20, 20)
        assert the_icon(icons_in(shot)) == RED, "the first glyph is not the red one: %s" % icons_in(shot)
        assert icon[0] >= TRAY_LEFT and icon[1] >= TASKBAR_Y
        assert s.program_windows() == [], "a window is shown at start: %s" % s.program_windows()
        assert taskbar_buttons_in(shot) == 0, "a taskbar button is shown at start"

        # Untouched: red until the mover starts, about ten seconds after start.
        colours = []
        while time.monotonic() - started < 25:
            colour = the_icon(icons_on_screen(s))
            if s.pointer() != PARK:
                break  # the colour may be the moving one already
            colours.append(colour)
        first_move = time.monotonic() - started
        assert s.pointer() != PARK, "the cursor never moved"
        assert 9.5 <= first_move <= 16, "the cursor first moved %.1f s after start" % first_move
        assert set(colours) == {RED}, "the icon left red before the cursor moved: %s" % set(colours)

        assert wait_until(lambda: the_icon(icons_on_screen(s)) == GREEN, 2), "the icon did not turn green"
        before = s.pointer()
        shot = s.screenshot("02-green-while-moving")
        s.docs_shot("tray-green", icon[0] - 2, icon[1] - 2, 20, 20)
        assert the_icon(icons_in(shot)) == GREEN
        assert wait_until(lambda: s.pointer() != before, 1), "the cursor is not moving while green"

        # The user takes the mouse and moves it for a moment, in both axes (a single
        # jump can fall between two samples and be undone by the mover's next step).
        for i in range(8):
            s.move(300 + 7 * i, 250 + 5 * i)
            time.sleep(0.08)
        assert wait_until(lambda: the_icon(icons_on_screen(s)) == RED, 2), "the icon did not turn red again"
        # The hand goes on moving; nothing moves the cursor any more.
        s.move(320, 270)
        time.sleep(1.5)
        shot = s.screenshot("03-red-after-user-move")
        assert the_icon(icons_in(shot)) == RED
        assert s.pointer() == (320, 270), "the mover did not stop: %s" % (s.pointer(),)
        assert s.program_windows() == [] and taskbar_buttons_in(shot) == 0


def test_hovering_and_left_double_and_middle_clicks_on_the_icon_do_nothing():
    with Session("tray_other_input", desktop=True) as s:
        icon, _ = start_program(s)
        # The keeper's icon, added first, sits to the right of ours and has a tip:
        # resting on it shows that a tooltip would be seen.
        rest_on(s, (icon[0] + 16 + 8, icon[1] + 8), 2.5)
        assert explorer_popups(s), "no tooltip over the keeper's icon: a tooltip could not be seen"
        s.move(*PARK)
        assert wait_until(lambda: not explorer_popups(s), 3)
        rest_on(s, (icon[0] + 8, icon[1] + 8), 2.5)
        s.screenshot("01-hovering")
        assert not explorer_popups(s), "a tooltip over the icon: %s" % explorer_popups(s)

        for clicks in (["click", 1], ["click", "--repeat", 2, "--delay", 80, 1], ["click", 2]):
            s.move(icon[0] + 8, icon[1] + 8)
            time.sleep(0.2)
            s.xdotool(*clicks)
            time.sleep(1)
            assert s.program_windows() == [], "%s on the icon showed %s" % (clicks, s.program_windows())
        shot = s.screenshot("02-after-clicks")
        assert s.running() and taskbar_buttons_in(shot) == 0
        assert icons_in(shot) == {icon: RED}


def test_right_click_opens_the_two_command_menu_at_the_cursor_and_escape_closes_it_with_no_effect():
    with Session("tray_menu", desktop=True) as s:
        icon, _ = start_program(s)
        cursor, menu = open_menu(s, icon)
        shot = s.screenshot("01-menu")
        _, x, y, w, h = menu
        s.docs_shot("tray-menu", x - 8, y - 8, SCREEN_W - x + 8, SCREEN_H - y + 8, scale=1)
        # Its top-left corner at the cursor, moved only as far as it takes to keep
        # the menu on the screen and off the taskbar (the icon is in the corner).
        assert x == min(cursor[0], SCREEN_W - w), "menu at x %d for the cursor at %s, width %d" % (x, cursor, w)
        assert y in (min(cursor[1], SCREEN_H - h), min(cursor[1], TASKBAR_Y - h)), \
            "menu at y %d for the cursor at %s, height %d" % (y, cursor, h)
        assert x <= cursor[0] <= x + w, "the menu is not at the cursor"
        bands = menu_rows(shot, menu)
        assert [b[0] for b in bands] == ["text", "line", "text"], "menu rows: %s" % bands
        assert 60 <= w <= 200 and 35 <= h <= 70, "unexpected menu size %dx%d" % (w, h)
        for kind, first, last in bands:
            if kind == "text":
                assert 8 <= last - first + 1 <= 20, "a command line %d px high" % (last - first + 1)
            else:
                assert last - first + 1 <= 2, "separator %d px high" % (last - first + 1)

        press_in_menu(s, menu, "Escape")
        assert menu_window(s) is None, "Escape did not close the menu"
        time.sleep(1)
        shot = s.screenshot("02-after-escape")
        assert s.running(), "the program ended on Escape"
        assert s.program_windows() == [], "a window appeared after Escape: %s" % s.program_windows()
        assert taskbar_buttons_in(shot) == 0
        assert icons_in(shot) == {icon: RED}, "the icon changed after Escape: %s" % icons_in(shot)

        # A click elsewhere closes it too, and again nothing happens.
        _, menu = open_menu(s, icon)
        click_while_menu_open(s, menu, PARK)
        assert menu_window(s) is None, "a click elsewhere did not close the menu"
        time.sleep(1)
        assert s.running() and s.program_windows() == []


def test_settings_opens_by_click_and_by_key_with_a_taskbar_button_and_its_close_box_hides_both():
    with Session("tray_settings", desktop=True) as s:
        icon, _ = start_program(s)
        _, menu = open_menu(s, icon)
        bands = menu_rows(s.screenshot("01-menu"), menu)
        choose(s, menu, bands[0])
        window = wait_until(lambda: settings_window(s), 5)
        assert window, "\"Beállítások...\" did not show the settings window"
        assert wait_until(lambda: taskbar_buttons_on_screen(s) > 0, 5), "no taskbar button with the window"
        shot = s.screenshot("02-settings-by-click")
        _, x, y, w, h = window
        s.docs_shot("settings", x, y, w, h, scale=1)
        assert abs(x - (SCREEN_W - w) // 2) <= 1 and abs(y - (SCREEN_H - h) // 2) <= 1, \
            "the window is not centred on first show: %s" % (window,)
        assert icons_in(shot) == {icon: RED}, "the icon changed with the window shown"
        # The button's window: titled with the program's name, with the green glyph.
        button = taskbar_window(s)
        assert button and button[1] == "Tavrin2", "the taskbar button's window: %s" % (button,)
        # Its small icon; the large one is the main icon's larger design.
        assert icon_fill(s.window_icon(button[0], 16)) == GREEN, "the taskbar button's icon is not the green glyph"

        # The close box, drawn at the right end of the caption.
        s.xdotool("mousemove", x + w - 14, y + 12, "click", 1)
        assert wait_until(lambda: settings_window(s) is None, 3), "the close box did not hide the window"
        assert wait_until(lambda: taskbar_buttons_on_screen(s) == 0, 5), "the taskbar button stayed"
        shot = s.screenshot("03-closed")
        assert taskbar_window(s) is None, "a window for a taskbar button is still shown"
        assert s.running(), "closing the window ended the program"
        assert icons_in(shot) == {icon: RED}, "the icon did not stay: %s" % icons_in(shot)

        # The access key B chooses the same command; the window comes back where it was.
        _, menu = open_menu(s, icon)
        press_in_menu(s, menu, "b")
        again = wait_until(lambda: settings_window(s), 5)
        assert again, "the key B did not show the settings window"
        assert again[1:] == window[1:], "the window moved: %s, was %s" % (again, window)
        assert wait_until(lambda: taskbar_buttons_on_screen(s) > 0, 5), "no taskbar button the second time"
        s.screenshot("04-settings-by-key")


def test_kilepes_ends_the_program_and_removes_the_icon_also_while_the_window_is_open():
    with Session("tray_exit", desktop=True) as s:
        icon, _ = start_program(s)
        _, menu = open_menu(s, icon)
        bands = menu_rows(s.screenshot("01-menu"), menu)
        choose(s, menu, bands[-1])
        assert s.wait_exit(timeout=8), "\"Kilépés\" did not end the program"
        assert s.app.returncode == 0, "exit code %s" % s.app.returncode
        assert wait_until(lambda: icons_on_screen(s) == {}, 5), "the icon stayed after the program ended"
        s.screenshot("02-ended")

        # Again with the settings window open, this time by the access key K.
        icon, _ = start_program(s)
        _, menu = open_menu(s, icon)
        choose(s, menu, menu_rows(s.screenshot("03-menu"), menu)[0])
        assert wait_until(lambda: settings_window(s), 5), "the settings window did not open"
        _, menu = open_menu(s, icon)
        s.screenshot("04-menu-over-settings")
        press_in_menu(s, menu, "k")
        assert s.wait_exit(timeout=8), "\"Kilépés\" did not end the program while the window was open"
        assert wait_until(lambda: icons_on_screen(s) == {} and settings_window(s) is None
                          and taskbar_buttons_on_screen(s) == 0, 5), "the icon, window or taskbar button stayed"
        s.screenshot("05-ended-with-window-open")


def test_icon_comes_back_when_the_shell_announces_a_new_taskbar_and_its_menu_works():
    with Session("tray_taskbar_created", desktop=True) as s:
        icon, _ = start_program(s)
        # The notification area loses the icon, as when the shell restarts.
        s.poke("untray", "Tavrin2TrayNotify", 1)
        assert wait_until(lambda: icons_on_screen(s) == {}, 5), "the icon could not be removed from outside"
        time.sleep(1.5)
        assert icons_on_screen(s) == {}, "the icon came back before the shell asked"
        s.screenshot("01-removed")

        s.poke("broadcast", "TaskbarCreated")
        found = wait_until(lambda: icons_on_screen(s), 5, interval=0.2)
        assert found, "the icon did not come back after TaskbarCreated"
        back = next(iter(found))
        assert s.running()
        s.screenshot("02-back")

        _, menu = open_menu(s, back)
        choose(s, menu, menu_rows(s.screenshot("03-menu"), menu)[0])
        assert wait_until(lambda: settings_window(s), 5), "the menu of the icon that came back does not work"
        s.screenshot("04-settings")
        assert s.error_boxes(300) == [], "an error was shown"


if __name__ == "__main__":
    sys.exit(winekit.main([
        test_starts_red_without_windows_turns_green_while_idle_and_red_again_on_a_user_move,
        test_hovering_and_left_double_and_middle_clicks_on_the_icon_do_nothing,
        test_right_click_opens_the_two_command_menu_at_the_cursor_and_escape_closes_it_with_no_effect,
        test_settings_opens_by_click_and_by_key_with_a_taskbar_button_and_its_close_box_hides_both,
        test_kilepes_ends_the_program_and_removes_the_icon_also_while_the_window_is_open,
        test_icon_comes_back_when_the_shell_announces_a_new_taskbar_and_its_menu_works,
    ]))
