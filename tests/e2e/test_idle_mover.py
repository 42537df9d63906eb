"""The idle mover as a user meets it: nothing on screen at start, the cursor
starts sliding about ten seconds after the mouse was last touched, 10 pixels
per axis about every 100 ms, and a real move in both axes stops it while a
purely horizontal one does not."""
import sys
import time

import winekit
from winekit import Session, wait_until


def user_moves_to(s, x, y):
    """A short hand movement ending at (x, y): the program samples pairs of
    positions 100 ms apart every 200 ms, so one instant jump can fall between
    two pairs and go unseen, as no real hand movement does."""
    for i in range(4, -1, -1):
        s.move(x + 9 * i, y + 7 * i)
        time.sleep(0.08)


def positions_for(session, seconds):
    """(time, position) samples of the pointer whenever it changes."""
    samples = []
    last = None
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        p = session.pointer()
        if p != last:
            samples.append((time.monotonic(), p))
            last = p
        time.sleep(0.01)
    return samples


def test_starts_hidden_then_moves_after_ten_idle_seconds_and_stops_on_user_move():
    with Session("idle_mover") as s:
        s.start()
        time.sleep(3)  # Wine places the pointer while it starts up
        assert s.running(), "tavrin2.exe ended by itself"
        assert s.visible_windows("Tavrin2") == [], "a window is visible at start"
        s.screenshot("01-started-nothing-visible")

        # The user's last touch: from here the program waits ten seconds.
        user_moves_to(s, 100, 100)
        touched = time.monotonic()
        moved = wait_until(lambda: s.pointer() != (100, 100), timeout=20, interval=0.02)
        first_move_after = time.monotonic() - touched
        assert moved, "the cursor never moved"
        # Ten seconds after the sample pair that saw the touch (0.1 to 0.3 s).
        assert 9.9 <= first_move_after <= 11.5, "first move after %.2f s" % first_move_after
        assert s.pointer() in [(110, 110), (120, 120)], "first step was %s" % (s.pointer(),)

        samples = positions_for(s, 1.5)
        points = [p for _, p in samples]
        for a, b in zip(points, points[1:]):
            assert (b[0] - a[0], b[1] - a[1]) in [(10, 10), (20, 20)], "step %s -> %s" % (a, b)
        intervals = [t2 - t1 for (t1, _), (t2, _) in zip(samples, samples[1:])]
        mean = sum(intervals) / len(intervals)
        assert 0.07 <= mean <= 0.2, "mean step interval %.3f s" % mean
        s.screenshot("02-moving")

        # The user takes the mouse and moves it for a moment, both coordinates
        # changing.
        user_moves_to(s, 500, 300)
        time.sleep(0.5)
        stopped_at = s.pointer()
        time.sleep(2)
        assert s.pointer() == stopped_at, "the mover did not stop: %s then %s" % (stopped_at, s.pointer())


def moving(s):
    """True when the pointer takes two diagonal steps in a row."""
    a = s.pointer()
    time.sleep(0.25)
    b = s.pointer()
    time.sleep(0.25)
    c = s.pointer()
    return a != b != c and (b[0] - a[0]) * (b[1] - a[1]) != 0


def test_purely_horizontal_user_moves_do_not_stop_the_mover():
    with Session("idle_mover_horizontal") as s:
        s.start()
        time.sleep(3)
        user_moves_to(s, 50, 50)
        assert wait_until(lambda: moving(s), timeout=20, interval=0.05), "never started moving"
        for _ in range(8):
            s.xdotool("mousemove_relative", "--", 200, 0)
            time.sleep(0.13)
        assert moving(s), "a horizontal-only move stopped the mover"
        for _ in range(8):
            s.xdotool("mousemove_relative", "--", 0, 150)
            time.sleep(0.13)
        assert moving(s), "a vertical-only move stopped the mover"


if __name__ == "__main__":
    sys.exit(winekit.main([
        test_starts_hidden_then_moves_after_ten_idle_seconds_and_stops_on_user_move,
        test_purely_horizontal_user_moves_do_not_stop_the_mover,
    ]))
