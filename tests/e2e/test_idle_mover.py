"""The idle mover as a user meets it: nothing on screen at start, the cursor
starts sliding about ten seconds after the mouse was last touched, 10 pixels
per axis about every 100 ms, and a real move in both axes stops it while a
purely horizontal one does not."""
import sys
import time

import winekit
from winekit import Session, wait_until


def test_starts_hidden_then_moves_after_ten_idle_seconds_and_stops_on_user_move():
    with Session("idle_mover") as s:
        s.start()
        time.sleep(3)  # Wine places the pointer while it starts up
        assert s.running(), "tavrin2.exe ended by itself"
        assert s.visible_windows("Tavrin2") == [], "a window is visible at start"
        s.screenshot("01-started-nothing-visible")

        # The user's last touch: from here the program waits ten seconds.
        s.hand_move(100, 100)
        touched = time.monotonic()
        moved = wait_until(lambda: s.pointer() != (100, 100), timeout=20, interval=0.02)
        first_move_after = time.monotonic() - touched
        assert moved, "the cursor never moved"
        # Ten seconds after the sample pair that saw the touch (0.1 to 0.3 s).
        assert 9.9 <= first_move_after <= 11.5, "first move after %.2f s" % first_move_after
        assert s.pointer() in [(110, 110), (120, 120)], "first step was %s" % (s.pointer(),)

        samples = s.pointer_track(1.5)
        points = [p for _, p in samples]
        for a, b in zip(points, points[1:]):
            assert (b[0] - a[0], b[1] - a[1]) in [(10, 10), (20, 20)], "step %s -> %s" % (a, b)
        intervals = [t2 - t1 for (t1, _), (t2, _) in zip(samples, samples[1:])]
        mean = sum(intervals) / len(intervals)
        assert 0.07 <= mean <= 0.2, "mean step interval %.3f s" % mean
        s.screenshot("02-moving")

        # The user takes the mouse and moves it for a moment, both coordinates
        # changing.
        s.hand_move(500, 300)
        time.sleep(0.5)
        stopped_at = s.pointer()
        time.sleep(2)
        assert s.pointer() == stopped_at, "the mover did not stop: %s then %s" % (stopped_at, s.pointer())


def test_purely_horizontal_user_moves_do_not_stop_the_mover():
    with Session("idle_mover_horizontal") as s:
        s.start()
        time.sleep(3)
        s.hand_move(50, 50)
        assert wait_until(lambda: s.pointer_moving(), timeout=20, interval=0.05), "never started moving"
        for _ in range(8):
            s.xdotool("mousemove_relative", "--", 200, 0)
            time.sleep(0.13)
        assert s.pointer_moving(), "a horizontal-only move stopped the mover"
        for _ in range(8):
            s.xdotool("mousemove_relative", "--", 0, 150)
            time.sleep(0.13)
        assert s.pointer_moving(), "a vertical-only move stopped the mover"


if __name__ == "__main__":
    sys.exit(winekit.main([
        test_starts_hidden_then_moves_after_ten_idle_seconds_and_stops_on_user_move,
        test_purely_horizontal_user_moves_do_not_stop_the_mover,
    ]))
