"""The idle mover as a user meets it: nothing on screen at start, the cursor
starts sliding about ten seconds after the mouse was last touched, 10 pixels
per axis about every 100 ms, and a real move in both axes stops it while a
purely horizontal one does not."""
import sys
import time

import winekit
from winekit import Session, wait_until


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
        s.move(100, 100)
        started = time.monotonic()
        s.start()
        time.sleep(2)
        assert s.running(), "tavrin2.exe ended by itself"
        assert s.visible_windows("Tavrin2") == [], "a window is visible at start"
        s.screenshot("01-started-nothing-visible")

        moved = wait_until(lambda: s.pointer() != (100, 100), timeout=20, interval=0.02)
        first_move_after = time.monotonic() - started
        assert moved, "the cursor never moved"
        # Ten seconds of waiting, plus Wine's start-up and the first sampling.
        assert 9.5 <= first_move_after <= 14.5, "first move after %.1f s" % first_move_after
        assert s.pointer() in [(110, 110), (120, 120)], "first step was %s" % (s.pointer(),)

        samples = positions_for(s, 1.5)
        points = [p for _, p in samples]
        for a, b in zip(points, points[1:]):
            assert (b[0] - a[0], b[1] - a[1]) in [(10, 10), (20, 20)], "step %s -> %s" % (a, b)
        intervals = [t2 - t1 for (t1, _), (t2, _) in zip(samples, samples[1:])]
        mean = sum(intervals) / len(intervals)
        assert 0.07 <= mean <= 0.2, "mean step interval %.3f s" % mean
        s.screenshot("02-moving")

        # The user takes the mouse: both coordinates change.
        s.move(500, 300)
        time.sleep(0.6)
        assert s.pointer() == (500, 300), "the mover did not stop: %s" % (s.pointer(),)
        time.sleep(2)
        assert s.pointer() == (500, 300), "the mover started again within 2 s of a user move"


def test_purely_horizontal_user_moves_do_not_stop_the_mover():
    with Session("idle_mover_horizontal") as s:
        s.move(50, 50)
        s.start()
        assert wait_until(lambda: s.pointer() != (50, 50), timeout=20, interval=0.05), "never moved"
        for _ in range(8):
            s.xdotool("mousemove_relative", "--", 200, 0)
            time.sleep(0.13)
        before = s.pointer()
        time.sleep(1.0)
        after = s.pointer()
        assert after != before, "a horizontal-only move stopped the mover"
        dx, dy = after[0] - before[0], after[1] - before[1]
        assert dy != 0 and abs(dy) >= 50, "the mover is not moving diagonally any more: %s -> %s" % (before, after)


if __name__ == "__main__":
    sys.exit(winekit.main([
        test_starts_hidden_then_moves_after_ten_idle_seconds_and_stops_on_user_move,
        test_purely_horizontal_user_moves_do_not_stop_the_mover,
    ]))
