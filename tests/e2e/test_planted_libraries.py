"""A program unpacked into a Downloads folder shares it with whatever else was
downloaded there. Libraries named like system ones (winmm, dwmapi) planted
beside tavrin2.exe, with Wine told to prefer such a native copy as Windows
would, are never loaded: not at start, not by the settings window, the open
dialog or a help balloon. A probe loading the same names carelessly shows
that the plant itself works."""
import os
import sys
import time

import winekit
from test_balloons import BOX1, help_click
from test_program_list import ADD_BUTTON, new_window
from test_settings import SETTINGS, click_client, client_origin, open_settings
from winekit import Session, wait_until

PLANTED = ("winmm.dll", "dwmapi.dll")


def plant(s):
    folder = os.path.join(winekit.build_dir(), "tests", "e2e", "planted")
    for name in PLANTED + ("planted_probe.exe",):
        with open(os.path.join(folder, name), "rb") as src, open(os.path.join(s.app_dir, name), "wb") as dst:
            dst.write(src.read())
    # Windows' search order for these names: a copy in the program's folder first.
    s.env["WINEDLLOVERRIDES"] += ";" + ",".join(n[:-4] for n in PLANTED) + "=n,b"


def markers(s):
    """The planted libraries' markers, named as the loader named the file."""
    return sorted(f.lower() for f in os.listdir(s.app_dir) if f.lower().endswith(".loaded"))


def test_no_planted_library_is_loaded_through_a_users_first_session():
    with Session("planted_libraries") as s:
        plant(s)
        # Intelligent mode on: "Hozzáad", which opens the open dialog, is enabled.
        s.reg_add(SETTINGS, "Inteligens", "REG_DWORD", 1)
        s.start()
        assert wait_until(lambda: os.path.exists(s.list_path()), timeout=10), "the program did not start"
        time.sleep(1.0)
        steps = [("start", markers(s))]

        geometry = open_settings(s)
        steps.append(("settings window", markers(s)))

        origin = client_origin(geometry)
        before = s.visible_windows()
        click_client(s, origin, *ADD_BUTTON)
        dialog = new_window(s, before)
        assert dialog, "the open dialog did not appear"
        time.sleep(1.0)
        s.screenshot("01-open-dialog")
        steps.append(("open dialog", markers(s)))
        s.xdotool("windowfocus", dialog)
        s.xdotool("key", "Escape")
        assert wait_until(lambda: dialog not in s.visible_windows(), timeout=5), "the dialog stayed open"
        help_click(s, geometry, BOX1)
        time.sleep(0.5)
        s.screenshot("02-help-balloon")
        steps.append(("help balloon", markers(s)))

        assert s.running(), "tavrin2.exe ended"

        loaded = [(step, found) for step, found in steps if found]
        assert not loaded, "planted libraries loaded: %s" % loaded

        # The same names loaded by name alone from that folder do leave markers.
        probe = s.wine("C:\\Tavrin2\\planted_probe.exe", *PLANTED, check=False)
        assert probe.returncode == 0, "the probe could not load the planted libraries"
        assert markers(s) == sorted(n + ".loaded" for n in PLANTED), markers(s)


if __name__ == "__main__":
    sys.exit(winekit.main([test_no_planted_library_is_loaded_through_a_users_first_session]))
