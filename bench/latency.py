"""Stop latency: how long after a user starts moving the mouse the mover makes
its last move, for tavrin2.exe and the reference, each in a session of its own
(run side by side, so both meet the same machine load). Run through
run_bench.py:
    python3 bench/run_bench.py build/windows --latency 50

A trial waits until the program moves the cursor, waits a random part of the
200 ms sampling rhythm, then moves the pointer as a hand does (xdotool, both
axes, a move every 80 ms), alternately a short flick (4 moves, 0.24 s) and a
movement of 0.56 s (8 moves). The pointer is polled throughout; a change to a
position the hand did not set is the mover's. Latency: from the hand's first
move to the mover's last move. A trial in which the mover is still moving 3 s
after the hand stopped saw nothing of the movement ("unseen").
"""
import random
import statistics
import threading
import time

SETTINGS_KEY = r"HKCU\Software\Orvaneth\Tavrin2"
STEP_S = 0.08
KINDS = (("flick 0.24 s", 4), ("movement 0.56 s", 8))
QUIET_S = 3.0


class Tracker(threading.Thread):
    """Polls the pointer and records (time, position) at every change."""

    def __init__(self, session):
        super().__init__(daemon=True)
        self.s = session
        self.samples = []
        self.running = True

    def run(self):
        last = None
        while self.running:
            p = self.s.pointer()
            if p != last:
                self.samples.append((time.monotonic(), p))
                last = p
            time.sleep(0.005)


def one_trial(s, steps):
    """(latency s or None when unseen, hand duration)."""
    tracker = Tracker(s)
    tracker.start()
    time.sleep(random.uniform(0.0, 0.2))
    x0, y0 = s.pointer()
    # Away from the mover's diagonal and from the screen's edges.
    x0 = 300 + (x0 + 150) % 400
    y0 = 250 + (y0 + 100) % 250
    hand = set()
    started = time.monotonic()
    for i in range(steps):
        pos = (x0 + 9 * i, y0 + 7 * i)
        hand.add(pos)
        s.move(*pos)
        time.sleep(STEP_S)
    ended = time.monotonic()
    while time.monotonic() - ended < QUIET_S + 0.5:
        mover = [t for t, p in tracker.samples if t >= started and p not in hand]
        if mover and time.monotonic() - mover[-1] > 1.5:
            break
        time.sleep(0.1)
    tracker.running = False
    tracker.join()
    mover = [t for t, p in tracker.samples if p not in hand]
    if not mover or time.monotonic() - mover[-1] < 1.0:
        return None, ended - started  # still moving: the movement went unseen
    return mover[-1] - started, ended - started


def run_program(winekit, Bench, name, trials, results):
    with winekit.Session("latency-" + name) as s:
        bench = Bench(s)
        s.reg_add(SETTINGS_KEY, "Inteligens", "REG_DWORD", 0)
        bench.start(name)
        for trial in range(trials):
            kind, steps = KINDS[trial % len(KINDS)]
            s.move(500, 400)
            start = s.pointer()
            if not winekit.wait_until(lambda: s.pointer() != start and s.pointer_moving(), 30, 0.3):
                results.append((kind, "no start", None))
                continue
            latency, duration = one_trial(s, steps)
            results.append((kind, duration, latency))
            print("%-9s trial %2d %-16s %s" % (name, trial + 1, kind,
                                                "unseen" if latency is None else "%.0f ms" % (latency * 1000)),
                  flush=True)


def percentile(values, q):
    values = sorted(values)
    return values[min(len(values) - 1, int(round(q * (len(values) - 1))))]


def run(winekit, Bench, trials):
    import os
    results = {"tavrin2": [], "reference": []}
    load_before = os.getloadavg()
    threads = [threading.Thread(target=run_program, args=(winekit, Bench, name, trials, results[name]))
               for name in results]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    print()
    print("stop latency from the hand's first move to the mover's last move, %d trials each; load average "
          "%.1f before, %.1f after" % (trials, load_before[0], os.getloadavg()[0]))
    print("%-10s %-16s %6s %8s %8s %8s %8s" % ("program", "movement", "trials", "median", "95th", "worst",
                                              "unseen"))
    for name, rows in results.items():
        for kind, _ in KINDS + (("all", 0),):
            picked = [r for r in rows if (kind == "all" or r[0] == kind) and r[1] != "no start"]
            seen = [r[2] * 1000 for r in picked if r[2] is not None]
            unseen = sum(1 for r in picked if r[2] is None)
            if not seen:
                print("%-10s %-16s %6d %8s %8s %8s %8d" % (name, kind, len(picked), "-", "-", "-", unseen))
                continue
            print("%-10s %-16s %6d %6.0f ms %5.0f ms %5.0f ms %8d" % (
                name, kind, len(picked), statistics.median(seen), percentile(seen, 0.95), max(seen), unseen))
    return 0
