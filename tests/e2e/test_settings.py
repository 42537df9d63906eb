"""Settings a user changes in the shown window survive a restart, and the two
check boxes write the registry: the intelligent-mode switch and the autostart
entry in the per-user Run key."""
import os
import sys
import time

import winekit
from winekit import Session, wait_until

SETTINGS = r"HKCU\Software\Orvaneth\Tavrin2"
RUN = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"

# The first icon of Wine's own tray window (plain X mode).
TRAY_ICON = (13, 32)


def tray_icon_shown(s):
    r, g, b = s.pixel(*TRAY_ICON)
    return r > 200 and b < 60  # the red (or yellow) glyph, not the empty tray


def open_settings(s, icon=None, menu_line=(30, 10)):
    """Right-click the tray icon (at `icon`, or where it shows at 96 DPI), choose
    "Beállítások..." (`menu_line` from the icon); returns the window's geometry."""
    if icon is None:
        assert wait_until(lambda: tray_icon_shown(s), timeout=10), "no tray icon"
        icon = TRAY_ICON
    for _ in range(3):
        s.move(*icon)
        time.sleep(0.3)
        s.xdotool("click", 3)
        time.sleep(0.8)
        # The first menu line sits just below the cursor.
        s.xdotool("mousemove", icon[0] + menu_line[0], icon[1] + menu_line[1], "click", 1)
        geometry = wait_until(lambda: settings_window(s), timeout=3)
        if geometry:
            return geometry
        s.xdotool("key", "Escape")
    s.screenshot("settings-window-missing")
    raise AssertionError("the settings window did not appear")


def settings_window(s):
    """Geometry of the settings window; the application's own zero-sized window
    (which carries the taskbar button) has the same title, so take the larger."""
    found = [s.window_geometry(w) for w in s.visible_windows("^Tavrin2$")]
    found = [g for g in found if g[2] > 100 and g[3] > 100]
    return found[0] if found else None


def client_origin(geometry):
    """Screen position of the window's client area (the caption is Wine's own, undecorated)."""
    x, y, w, h = geometry
    return x + (w - 235) // 2, y + h - 153 - (w - 235) // 2


def click_client(s, origin, cx, cy):
    s.xdotool("mousemove", origin[0] + cx, origin[1] + cy, "click", 1)
    time.sleep(0.4)


def test_switch_survives_restart_and_boxes_write_the_registry():
    with Session("settings") as s:
        s.start()
        assert wait_until(lambda: s.reg_query(SETTINGS, "Inteligens"), timeout=10), "no settings key on first start"
        assert s.reg_query(SETTINGS, "Inteligens") == ("REG_DWORD", "0x0")
        assert s.reg_query(RUN, "Tavrin2") is None

        origin = client_origin(open_settings(s))
        s.screenshot("01-settings-shown")
        click_client(s, origin, 8 + 20, 57 + 8)      # CheckBox1 "Inteligens egér-vezérlő"
        assert wait_until(lambda: s.reg_query(SETTINGS, "Inteligens") == ("REG_DWORD", "0x1"), 3)
        click_client(s, origin, 8 + 20, 16 + 8)      # CheckBox2 "Automaikus indítás ..."
        entry = wait_until(lambda: s.reg_query(RUN, "Tavrin2"), 3)
        assert entry and entry[0] == "REG_SZ" and entry[1].lower() == s.exe_windows_path.lower(), entry
        s.screenshot("02-both-checked")
        click_client(s, origin, 8 + 20, 16 + 8)      # unchecking removes the entry
        assert wait_until(lambda: s.reg_query(RUN, "Tavrin2") is None, 3), "autostart entry not removed"

        # Restart in the same prefix: the switch comes back checked.
        s.wineserver_kill()
        s.start()
        time.sleep(2)
        assert s.reg_query(SETTINGS, "Inteligens") == ("REG_DWORD", "0x1")
        open_settings(s)
        s.screenshot("03-after-restart")
        # The checked box shows a tick: its pixels hold dark marks inside the box.
        ox, oy = client_origin(settings_window(s))
        box = s.region(ox + 8 + 2, oy + 57 + 3, 9, 9)
        dark = sum(1 for row in box for px in row if sum(px) < 200)
        assert dark >= 5, "CheckBox1 is not shown checked after the restart"


def test_start_up_errors_are_shown_one_by_one_and_the_other_loads_still_run():
    with Session("settings_start_errors") as s:
        # A folder named list.txt: the list file cannot be made. The stored
        # settings load all the same: the autostart entry of another copy is
        # rewritten with this one's path.
        os.makedirs(s.list_path())
        s.reg_add(SETTINGS, "Inteligens", "REG_DWORD", 1)
        s.reg_add(RUN, "Tavrin2", "REG_SZ", r"C:\Regi\tavrin2.exe")
        s.start()
        boxes = s.error_boxes(first_ms=15000)
        assert boxes == ["File access denied."], boxes
        assert wait_until(lambda: s.reg_query(RUN, "Tavrin2") == ("REG_SZ", s.exe_windows_path), 5), \
            "the settings were not loaded: %s" % (s.reg_query(RUN, "Tavrin2"),)
        assert s.reg_query(SETTINGS, "Inteligens") == ("REG_DWORD", "0x1")
        assert s.running() and os.path.isdir(s.list_path())
        s.wineserver_kill()

        # Both the list file and the switch fail: two boxes, in step order.
        s.reg_add(SETTINGS, "Inteligens", "REG_SZ", "be")
        s.start()
        boxes = s.error_boxes(first_ms=15000)
        assert boxes == ["File access denied.", "Invalid data type for 'Inteligens'"], boxes
        assert s.running()
        assert s.reg_query(SETTINGS, "Inteligens") == ("REG_SZ", "be"), "the stored value changed"


if __name__ == "__main__":
    sys.exit(winekit.main([test_switch_survives_restart_and_boxes_write_the_registry,
                           test_start_up_errors_are_shown_one_by_one_and_the_other_loads_still_run]))
