#!/usr/bin/env python3
"""Start-up time, idle CPU time, memory and stop latency of tavrin2.exe against
a minimal resident Win32 program (bench_baseline.exe: a hidden window, a 100 ms
timer doing nothing, a message loop), measured in the same run, in one Wine
session with its own Xvfb display and prefix. Run it by hand after building
the windows preset (targets tavrin2, bench_baseline, bench_probe); it is not a
test, and takes about 1 + starts x 0.1 + rounds x 1.6 minutes:
    python3 bench/run_bench.py [build/windows] [--starts 10] [--rounds 3] [--seconds 20]

Each program runs alone in the session while it is measured.
- Start-up, over --starts quick start/stop cycles: bench_probe.exe times from
  just before CreateProcess until (a) the program's first window exists (the
  baseline's only window; tavrin2's application window, the first it makes)
  and (b) "ready": the window that takes the stop request exists and has
  answered a sent message, so the program's thread is in its message loop.
  (b) is the comparable point: the baseline has its timer running; tavrin2 has
  built its settings window, registered its tray icon, run its create handler
  and started its timer list. Both include Wine's own process start.
  (WaitForInputIdle would be the usual measure, but under Wine it reports
  idle before the program's first window exists.)
- Stop latency, after every start-up cycle and idle window: bench_probe.exe
  posts the stop request to a hidden window of the program and times until
  the process has ended. The baseline gets WM_CLOSE; tavrin2's menu window
  gets the WM_COMMAND its tray menu posts when the user picks "Kilépés" (the
  third menu item the program creates: command 3). Both are one posted
  message handled by the program's own loop, so the figure is the programs'
  own shutdown work (tavrin2 destroys its window and components and removes
  its tray icon).
- Idle, over --rounds rounds: each program for one window of --seconds after
  3 s to settle. CPU time is the on-CPU time of all the program's threads
  (/proc/<pid>/task/*/schedstat, ns), cross-checked with utime+stime of
  /proc/<pid>/stat (10 ms ticks); beside it the CPU, in the same window, of
  the wineserver (which serves that program alone then), of the shell
  (explorer.exe, which draws the tray icons), of the X server, and of the
  whole session (every process of the prefix and the X server). tavrin2 runs
  in intelligent mode with an empty list: it samples the cursor every tick,
  scans for programs every second and shows its icon state at every decision,
  but never moves the cursor. Memory is VmRSS at the end of the window.
- Moving (tavrin2 in normal mode, nobody touching the mouse): once it moves
  the cursor, the same CPU figures over a window of the same length, against
  the baseline's idle figures.
Each figure is the median, with the range; the ratio is tavrin2 / baseline.
The machine's load average is printed: other work on the machine makes
start-up and stop times noisy.
"""
import argparse
import glob
import os
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(SOURCE, "tests", "e2e"))

WM_CLOSE, WM_COMMAND = 0x10, 0x111
KILEPES_COMMAND = 3
SETTINGS_KEY = r"HKCU\Software\Orvaneth\Tavrin2"
SETTLE_S = 3

PROGRAMS = {
    # name: (exe, class of its first window, class of the window that gets the stop request, message, wParam)
    "baseline": ("bench_baseline.exe", "TavrinBenchBaseline", "TavrinBenchBaseline", WM_CLOSE, 0),
    "tavrin2": ("tavrin2.exe", "Tavrin2Application", "Tavrin2MenuOwner", WM_COMMAND, KILEPES_COMMAND),
    "reference": ("bench_reference.exe", "TavrinBenchReference", "TavrinBenchReference", WM_CLOSE, 0),
}


# ---- /proc readings -----------------------------------------------------------
def cpu_ns(pid):
    """On-CPU time of all the process's live threads, in ns."""
    total = 0
    for path in glob.glob("/proc/%d/task/*/schedstat" % pid):
        try:
            with open(path) as f:
                total += int(f.read().split()[0])
        except OSError:
            pass
    return total


def stat_ms(pid):
    """utime + stime of the process, in ms (10 ms resolution)."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) * 1000 // os.sysconf("SC_CLK_TCK")


def rss_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def session_processes(prefix):
    """(pid, comm, argv0) of the processes running in the Wine prefix."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/environ" % entry, "rb") as f:
                if ("WINEPREFIX=" + prefix).encode() not in f.read().split(b"\0"):
                    continue
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                argv0 = f.read().split(b"\0")[0].decode("utf-8", "replace")
            with open("/proc/%s/comm" % entry) as f:
                comm = f.read().strip()
            found.append((int(entry), comm, argv0))
        except OSError:
            pass
    return found


def find_process(prefix, exe):
    for pid, _, argv0 in session_processes(prefix):
        if argv0.lower().endswith("\\" + exe.lower()):
            return pid
    return None


def start_ticks(pid):
    with open("/proc/%d/stat" % pid) as f:
        return int(f.read().rsplit(")", 1)[1].split()[19])


def find_wineserver(prefix):
    """The prefix's server: the oldest one, since a client checking for a server
    can show up briefly as a second wineserver process."""
    servers = []
    for pid, comm, argv0 in session_processes(prefix):
        if comm.startswith("wineserver") or os.path.basename(argv0).startswith("wineserver"):
            try:
                servers.append((start_ticks(pid), pid))
            except OSError:
                pass
    return min(servers)[1] if servers else None


def gone(pid):
    return not os.path.exists("/proc/%d" % pid)


# ---- the session --------------------------------------------------------------
class Bench:
    def __init__(self, session):
        self.s = session
        for exe in ("bench_baseline.exe", "bench_probe.exe", "bench_reference.exe"):
            shutil.copy(os.path.join(session_build_dir(), "bench", exe), session.app_dir)

    def probe(self, *args):
        """Runs bench_probe.exe; its output goes to a file, since the program it
        starts may keep the probe's standard handles."""
        out = os.path.join(self.s.prefix, "probe.out")
        with open(out, "w") as f:
            proc = subprocess.Popen(["wine", "C:\\Tavrin2\\bench_probe.exe"] + [str(a) for a in args],
                                    env=self.s.env, stdout=f, stderr=subprocess.DEVNULL,
                                    stdin=subprocess.DEVNULL, cwd=self.s.prefix)
            proc.wait(60)
        with open(out) as f:
            text = f.read().strip()
        values = dict(part.split("=", 1) for part in text.split() if "=" in part)
        if proc.returncode != 0 or "error" in values:
            raise RuntimeError("bench_probe %s: %s" % (" ".join(map(str, args)), text))
        return values

    def start(self, name):
        exe, first_class, answering_class = PROGRAMS[name][:3]
        values = self.probe("launch", "C:\\Tavrin2\\" + exe, first_class, answering_class)
        pid = None
        end = time.monotonic() + 5
        while pid is None and time.monotonic() < end:
            pid = find_process(self.s.prefix, exe)
            time.sleep(0.02)
        if pid is None:
            raise RuntimeError("%s started but its process was not found" % exe)
        return pid, float(values["window_ms"]), float(values["ready_ms"])

    def stop(self, name, pid):
        _, _, stop_class, message, wparam = PROGRAMS[name]
        values = self.probe("stop", stop_class, message, wparam)
        end = time.monotonic() + 10
        while not gone(pid) and time.monotonic() < end:
            time.sleep(0.02)
        if not gone(pid):
            raise RuntimeError("%s did not end after the stop request" % name)
        return float(values["stop_ms"])

    def cpu_window(self, pid, seconds):
        """CPU time (ms) over the window: of the program (schedstat, and
        utime+stime), of the wineserver, of the shell (explorer.exe, which draws
        the tray icon), of the X server, and of the whole session (every
        process of the prefix and the X server)."""
        prefix = self.s.prefix
        parts = {"process": pid, "wineserver": find_wineserver(prefix),
                 "shell": find_process(prefix, "explorer.exe"), "xserver": self.s.xvfb.pid}
        session = {p for p, _, _ in session_processes(prefix)} | {self.s.xvfb.pid}
        watched = session | set(parts.values())
        before = {p: cpu_ns(p) for p in watched}
        stat_before = stat_ms(pid)
        time.sleep(seconds)
        after = {p: cpu_ns(p) for p in watched}
        stat_after = stat_ms(pid)
        # A process that ended meanwhile reads 0 and counts nothing.
        delta = {p: max(0, after[p] - before[p]) / 1e6 if after[p] else 0.0 for p in watched}
        result = {name: delta[p] for name, p in parts.items()}
        result["stat"] = float(stat_after - stat_before)
        result["session"] = sum(delta[p] for p in session)
        return result

    def set_intelligent(self, on):
        # Written as 0, not deleted: with the key there and the value missing
        # tavrin2 starts with the registry error box open, as it should, and
        # the box's own loop would then be what was measured.
        self.s.reg_add(SETTINGS_KEY, "Inteligens", "REG_DWORD", 1 if on else 0)


def session_build_dir():
    return os.environ["TAVRIN_BUILD_DIR"]


# ---- report ---------------------------------------------------------------------
def summary(values):
    if not values:
        return "-"
    med = statistics.median(values)
    return "%.1f (%.1f-%.1f)" % (med, min(values), max(values))


def ratio(a, b):
    if not a or not b or statistics.median(b) == 0:
        return "-"
    return "%.2f" % (statistics.median(a) / statistics.median(b))


def run_soak(build, minutes):
    os.environ["TAVRIN_BUILD_DIR"] = build
    import soak
    import winekit
    load_before = os.getloadavg()
    with winekit.Session("soak") as s:
        code = soak.run(s, Bench(s), minutes, build, find_process, rss_kib)
    print("load average %.1f before, %.1f after" % (load_before[0], os.getloadavg()[0]))
    return code


SCENARIOS = {
    # name: (intelligent mode, windows of another process, the programs wait until they move the cursor)
    "watching": (True, 0, False),
    "intelligent, 50 windows": (True, 50, False),
    "moving": (False, 0, True),
}
MEASURED = ("tavrin2", "reference", "baseline")


def measure_scenario(s, bench, name, scenario, seconds):
    """One window of one program in one scenario: CPU figures and memory."""
    pid, window_ms, ready_ms = bench.start(name)
    if SCENARIOS[scenario][2] and name != "baseline":
        s.move(500, 400)
        start_pos = s.pointer()
        if not winekit_wait(lambda: s.pointer() != start_pos, 25, 0.2):
            raise RuntimeError("%s did not start moving the cursor within 25 s" % name)
        time.sleep(1)
    else:
        time.sleep(SETTLE_S)
    m = bench.cpu_window(pid, seconds)
    m.update(window=window_ms, ready=ready_ms, rss=rss_kib(pid) / 1024.0)
    m["stop"] = bench.stop(name, pid)
    return m


def winekit_wait(predicate, timeout, interval):
    import winekit
    return winekit.wait_until(predicate, timeout, interval)


def other_windows(s, count):
    """testwin.exe with `count` visible titled windows (a program not on the list)."""
    if count == 0:
        return None
    shutil.copy(os.path.join(session_build_dir(), "tests", "tools", "testwin.exe"), s.app_dir)
    proc = s.start("C:\\Tavrin2\\testwin.exe", ["--timeout", "3600000", "many", str(count), "Other window"])
    import winekit
    if not winekit.wait_until(lambda: len(s.visible_windows("^Other window")) >= count, 20):
        raise RuntimeError("testwin.exe did not open its windows")
    return proc


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("build", nargs="?", default=os.path.join(SOURCE, "build", "windows"))
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--seconds", type=float, default=20.0)
    parser.add_argument("--starts", type=int, default=10)
    parser.add_argument("--soak", type=float, nargs="?", const=30.0, metavar="MINUTES",
                        help="run only the soak (see bench/soak.py), 30 minutes unless given")
    parser.add_argument("--calls", type=float, nargs="?", const=10.0, metavar="SECONDS",
                        help="run only the call counts under Wine's relay trace (see bench/calls.py)")
    parser.add_argument("--latency", type=int, metavar="TRIALS",
                        help="run only the stop latency trials (see bench/latency.py)")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    # A Wine environment of its own: the test runner's fixture ends the
    # displays and removes the prefixes of its own environment when it stops.
    os.environ.setdefault("TAVRIN_WINE_ROOT", os.path.join(build, "bench-wine"))
    if args.soak is not None:
        return run_soak(build, args.soak)
    for path in ("src/app/tavrin2.exe", "bench/bench_baseline.exe", "bench/bench_probe.exe",
                 "bench/bench_reference.exe", "tests/tools/testwin.exe"):
        if not os.path.exists(os.path.join(build, path)):
            sys.exit("missing %s: build the windows preset in %s" % (path, build))
    os.environ["TAVRIN_BUILD_DIR"] = build
    import winekit
    if args.calls is not None:
        import calls
        return calls.run(winekit, Bench, args.calls, SCENARIOS, SETTINGS_KEY, other_windows)
    if args.latency is not None:
        import latency
        return latency.run(winekit, Bench, args.latency)

    load_before = os.getloadavg()
    results = {(sc, name): [] for sc in SCENARIOS for name in MEASURED}
    starts = {name: [] for name in MEASURED}
    with winekit.Session("bench") as s:
        bench = Bench(s)
        bench.set_intelligent(True)
        # Warm-up, not counted: the first start in a prefix also starts Wine's
        # desktop and services and reads the DLLs from disk.
        for name in MEASURED:
            pid, _, _ = bench.start(name)
            time.sleep(1)
            if name == "tavrin2" and s.visible_windows("Tavrin2"):
                sys.exit("tavrin2 showed a window at start (an error box?): the run would not be idle")
            bench.stop(name, pid)

        for r in range(args.starts):
            for name in (list(MEASURED) if r % 2 == 0 else list(reversed(MEASURED))):
                pid, window_ms, ready_ms = bench.start(name)
                time.sleep(1)
                starts[name].append({"window": window_ms, "ready": ready_ms, "stop": bench.stop(name, pid)})
        if args.starts:
            for name in MEASURED:
                print("%-9s start-up %s ms; ready %s ms; stop %s ms"
                      % (name, " ".join("%.0f" % m["window"] for m in starts[name]),
                         " ".join("%.0f" % m["ready"] for m in starts[name]),
                         " ".join("%.0f" % m["stop"] for m in starts[name])), flush=True)

        for scenario, (intelligent, windows, _) in SCENARIOS.items():
            bench.set_intelligent(intelligent)
            others = other_windows(s, windows)
            for r in range(args.rounds):
                order = list(MEASURED) if r % 2 == 0 else list(reversed(MEASURED))
                for name in order:
                    m = measure_scenario(s, bench, name, scenario, args.seconds)
                    results[(scenario, name)].append(m)
                    print("%-24s round %d %-9s CPU %.1f ms (session %.1f ms), %.1f MiB"
                          % (scenario, r + 1, name, m["process"], m["session"], m["rss"]), flush=True)
            if others:
                others.kill()
                winekit.wait_until(lambda: not s.visible_windows("^Other window"), 10)
    load_after = os.getloadavg()

    def col(runs, key):
        return [m[key] for m in runs]

    window = "%g s" % args.seconds
    print()
    print("tavrin2 against the reference and the baseline: %d rounds, %s windows; load average %.1f before, "
          "%.1f after" % (args.rounds, window, load_before[0], load_after[0]))
    print("%-44s %-22s %-22s %-22s %s" % ("measure: median (range)", "baseline", "reference", "tavrin2",
                                         "tavrin2/reference"))
    rows = []
    if args.starts:
        for label, key in (("start-up to first window (ms)", "window"), ("start-up to ready (ms)", "ready"),
                           ("stop latency (ms)", "stop")):
            rows.append((label, key, {n: starts[n] + results[("watching", n)] for n in MEASURED}))
    for scenario in SCENARIOS:
        runs = {n: results[(scenario, n)] for n in MEASURED}
        rows.append(("%s: program CPU per %s (ms)" % (scenario, window), "process", runs))
        rows.append(("%s: wineserver CPU (ms)" % scenario, "wineserver", runs))
        rows.append(("%s: shell CPU (ms)" % scenario, "shell", runs))
        rows.append(("%s: X server CPU (ms)" % scenario, "xserver", runs))
        rows.append(("%s: whole session CPU (ms)" % scenario, "session", runs))
    rows.append(("memory VmRSS, watching (MiB)", "rss", {n: results[("watching", n)] for n in MEASURED}))
    for label, key, runs in rows:
        print("%-44s %-22s %-22s %-22s %s" % (label, summary(col(runs["baseline"], key)),
                                             summary(col(runs["reference"], key)),
                                             summary(col(runs["tavrin2"], key)),
                                             ratio(col(runs["tavrin2"], key), col(runs["reference"], key))))
    per_core = args.seconds * 10.0  # ms of CPU per 1 % of one core over the window
    for scenario in SCENARIOS:
        print("%s, share of one core: %s" % (scenario, ", ".join(
            "%s %.2f %%" % (n, statistics.median(col(results[(scenario, n)], "process")) / per_core)
            for n in MEASURED)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
