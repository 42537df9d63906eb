"""Intelligent mode as a user meets it: the cursor is moved only while a program
of list.txt shows a visible, titled window. testwin.exe plays the listed
program; list.txt holds its full path as the open-file dialog would give it.
The tray icon tells the state: yellow while the user works beside a listed
program, green while the cursor is moved, red otherwise."""
import os
import shutil
import signal
import sys
import time

import winekit
from winekit import Session, wait_until

SETTINGS = r"HKCU\Software\Orvaneth\Tavrin2"
# Wine's process snapshot names only the file, so this entry matches through
# the process's full image path.
LISTED = "C:\\Tavrin2\\testwin.exe"
# The first icon of Wine's own tray window (plain X mode) lies inside this
# rectangle, which no other window covers.
TRAY_AREA = (2, 22, 22, 22)
STATE_COLOURS = {"red": (255, 0, 0), "yellow": (255, 255, 0), "green": (0, 255, 0)}
# Where the user leaves the mouse: clear of the tray and of testwin's window.
REST = (300, 300)


def prepare(s, exe_name, title):
    """Stores intelligent mode on, writes list.txt holding the listed program's
    path, and starts a copy of testwin.exe named exe_name with one visible
    window of the given title."""
    s.reg_add(SETTINGS, "Inteligens", "REG_DWORD", 1)
    with open(s.list_path(), "wb") as f:
        f.write(LISTED.encode("cp1250") + b"\r\n")
    shutil.copy(os.path.join(winekit.build_dir(), "tests", "tools", "testwin.exe"),
                os.path.join(s.app_dir, exe_name))
    proc = s.start("C:\\Tavrin2\\" + exe_name, ["--timeout", "150000", "visible", title])
    assert wait_until(lambda: s.visible_windows("^%s$" % title), 15), "%s showed no window" % exe_name
    return proc


def tray_colour(s):
    """The fill colour of the tray icon's glyph by name, or None when none shows."""
    pixels = [p for row in s.region(*TRAY_AREA) for p in row]
    for name, rgb in STATE_COLOURS.items():
        if pixels.count(rgb) >= 20:
            return name
    return None


def colours_while_user_moves(s, seconds, x, y):
    """The user moves the mouse about for a while, ending at (x, y); returns the
    tray colours seen meanwhile, in order."""
    seen = []
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        s.hand_move(x, y)
        colour = tray_colour(s)
        if not seen or seen[-1] != colour:
            seen.append(colour)
    s.hand_move(x, y)
    return seen


def start_tavrin(s):
    s.start()
    assert wait_until(lambda: tray_colour(s), 15), "no tray icon appeared"
    time.sleep(3)  # Wine places the pointer while it starts up
    assert s.running(), "tavrin2.exe ended by itself"


def test_listed_program_running_moves_after_ten_idle_seconds_and_stops_when_it_exits():
    with Session("intelligent_running") as s:
        listed = prepare(s, "testwin.exe", "Listed program")
        start_tavrin(s)

        seen = colours_while_user_moves(s, 2.0, *REST)
        touched = time.monotonic()
        assert "yellow" in seen, "the icon was not yellow while the user moved: %s" % seen
        assert "green" not in seen, "green while the user moved: %s" % seen
        s.screenshot("01-user-active-yellow")
        s.docs_shot("tray-yellow", TRAY_AREA[0] + 1, TRAY_AREA[1], 20, 20)

        # The wait keeps the user's state until the mover takes over.
        time.sleep(5)
        assert s.pointer() == REST, "moved during the wait"
        assert tray_colour(s) == "yellow", "icon %s during the wait" % tray_colour(s)

        moved = wait_until(lambda: s.pointer() != REST, timeout=15, interval=0.02)
        first_move_after = time.monotonic() - touched
        assert moved, "the cursor never moved with the listed program running"
        # Ten seconds after the sample pair that saw the last touch; the scans
        # running meanwhile must not restart the wait.
        assert 9.9 <= first_move_after <= 12.0, "first move after %.2f s" % first_move_after
        assert s.pointer() in [(310, 310), (320, 320)], "first step was %s" % (s.pointer(),)
        assert wait_until(lambda: tray_colour(s) == "green", 1.5), "icon %s while moving" % tray_colour(s)
        s.screenshot("02-moving-green")

        points = [p for _, p in s.pointer_track(1.5)]
        assert len(points) >= 5, "the mover stalled: %s" % points
        for a, b in zip(points, points[1:]):
            assert (b[0] - a[0], b[1] - a[1]) in [(10, 10), (20, 20)], "step %s -> %s" % (a, b)

        # The user takes the mouse again: the mover stops, the icon turns yellow.
        seen = colours_while_user_moves(s, 1.0, 500, 400)
        assert wait_until(lambda: tray_colour(s) == "yellow", 1.5), "icon %s after the user moved" % seen
        time.sleep(0.5)
        assert s.pointer() == (500, 400), "the mover went on after the user moved"
        s.screenshot("03-user-back-yellow")

        # Left alone, the cursor moves again; then the listed program ends.
        assert wait_until(lambda: s.pointer_moving(), timeout=15, interval=0.05), "never moved again"
        os.kill(listed.pid, signal.SIGTERM)
        assert s.wait_exit(listed, 5), "the listed program did not end"
        ended = time.monotonic()
        samples = s.pointer_track(3.5)
        last_step = samples[-1][0] - ended
        # One scan (within about a second) finds it gone, the next decision stops.
        assert last_step <= 2.0, "still moving %.2f s after the listed program ended" % last_step
        assert wait_until(lambda: tray_colour(s) == "red", 1), "icon %s after stopping" % tray_colour(s)
        s.screenshot("04-program-ended-stopped-red")
        print("moving stopped %.2f s after the listed program ended" % last_step)


def test_listed_program_not_running_never_moves_and_icon_stays_red():
    with Session("intelligent_not_running") as s:
        # Another program's titled window is on screen; only the listed one counts.
        prepare(s, "other.exe", "Unlisted program")
        start_tavrin(s)

        seen = colours_while_user_moves(s, 2.0, *REST)
        assert seen == ["red"], "the icon showed %s while the user moved" % seen
        touched = time.monotonic()
        colours = set()
        while time.monotonic() - touched < 13:
            colours.add(tray_colour(s))
            assert s.pointer() == REST, "the cursor moved %.1f s after the last touch" % (
                time.monotonic() - touched)
            time.sleep(0.3)
        assert colours == {"red"}, "the icon showed %s while idle" % colours
        s.screenshot("01-idle-thirteen-seconds-red")


if __name__ == "__main__":
    sys.exit(winekit.main([
        test_listed_program_running_moves_after_ten_idle_seconds_and_stops_when_it_exits,
        test_listed_program_not_running_never_moves_and_icon_stays_red,
    ]))
