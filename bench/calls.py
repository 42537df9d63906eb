"""The platform calls tavrin2.exe and the reference make, counted under Wine's
relay trace limited to the calls that matter (RelayInclude), per second, in
each scenario, printed side by side. Run through run_bench.py:
    python3 bench/run_bench.py build/windows --calls [SECONDS]

Only calls made by the executable itself are counted (their return address
lies in its image); the counting window is the last SECONDS of each program's
run, after it has settled (or started moving the cursor).
"""
import os
import re
import subprocess
import time

# (row label, relay name, argument text that must appear, or None)
KEY_CALLS = [
    ("priority class steps", "KERNEL32.SetPriorityClass", None),
    ("thread priority steps", "KERNEL32.SetThreadPriority", None),
    ("cursor samples", "user32.GetCursorPos", None),
    ("cursor moves", "user32.SetCursorPos", None),
    ("input moves", "user32.SendInput", None),
    ("tray modifies and adds", "shell32.Shell_NotifyIconA", None),
    ("taskbar lookups", "user32.FindWindowA", '"Shell_TrayWnd"'),
    ("window walks", "user32.EnumWindows", None),
    ("window walks (first window)", "user32.FindWindowA", "(00000000,00000000"),
    ("next-window steps", "user32.GetWindow", None),
    ("title reads", "user32.GetWindowTextA", None),
    ("visibility reads", "user32.IsWindowVisible", None),
    ("window owner lookups", "user32.GetWindowThreadProcessId", None),
    ("process snapshots", "KERNEL32.CreateToolhelp32Snapshot", None),
    ("snapshot entries read", "KERNEL32.Process32Next", None),
    ("process opens", "KERNEL32.OpenProcess", None),
    ("image path reads", "KERNEL32.QueryFullProcessImageNameA", None),
    ("handles closed", "KERNEL32.CloseHandle", None),
    ("timer starts", "user32.SetTimer", None),
    ("timer kills", "user32.KillTimer", None),
    ("queue peeks", "user32.PeekMessageA", None),
    ("message waits", "user32.GetMessageA", None),
    ("dispatches", "user32.DispatchMessageA", None),
]
INCLUDE = sorted({name.replace("KERNEL32.", "kernel32.") for _, name, _ in KEY_CALLS})
LINE = re.compile(r"^(\d+\.\d+):[0-9a-f]+:Call ([\w.]+)\((.*)\) ret=([0-9a-f]+)$")
PROGRAMS = ("tavrin2", "reference")


def count_calls(log, image_base, seconds):
    """Per-second counts of the key calls in the last `seconds` of the trace."""
    calls = []
    with open(log, errors="replace") as f:
        for line in f:
            m = LINE.match(line.rstrip("\n"))
            if m and int(m.group(4), 16) >> 28 == image_base >> 28:
                calls.append((float(m.group(1)), m.group(2), m.group(3)))
    if not calls:
        return None
    end = calls[-1][0] - 0.5
    start = end - seconds
    counts = {}
    for label, name, needle in KEY_CALLS:
        n = sum(1 for t, call, args in calls
                if start <= t < end and call.lower() == name.lower() and (needle is None or needle in args))
        counts[label] = n / seconds
    return counts


def trace(s, bench, name, exe, seconds, moving):
    log = os.path.join(s.prefix, "relay-%s.log" % name)
    env = dict(s.env, WINEDEBUG="+timestamp,+relay")
    s.move(500, 400)
    with open(log, "w") as f:
        proc = subprocess.Popen(["wine", "C:\\Tavrin2\\" + exe], env=env, stdout=f, stderr=f,
                                stdin=subprocess.DEVNULL, cwd=s.prefix)
        pid = None
        end = time.monotonic() + 15
        while pid is None and time.monotonic() < end:
            pid = bench_find(s, exe)
            time.sleep(0.1)
        if moving:
            start_pos = s.pointer()
            end = time.monotonic() + 30
            while s.pointer() == start_pos and time.monotonic() < end:
                time.sleep(0.2)
            time.sleep(1)
        else:
            time.sleep(4)
        time.sleep(seconds + 1)
        # Ends every program of the session: what was counted is in the log.
        s.wineserver_kill()
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()
    if pid is None:
        raise RuntimeError("%s did not start under the relay trace" % exe)
    return count_calls(log, 0x140000000, seconds)


def bench_find(s, exe):
    import run_bench
    return run_bench.find_process(s.prefix, exe)


def run(winekit, Bench, seconds, scenarios, settings_key, other_windows):
    exes = {"tavrin2": "tavrin2.exe", "reference": "bench_reference.exe"}
    table = {}
    with winekit.Session("calls") as s:
        bench = Bench(s)
        s.reg_add(r"HKCU\Software\Wine\Debug", "RelayInclude", "REG_SZ", ";".join(INCLUDE))
        for scenario, (intelligent, windows, moving) in scenarios.items():
            bench.set_intelligent(intelligent)
            for name in PROGRAMS:
                other_windows(s, windows)
                table[(scenario, name)] = trace(s, bench, name, exes[name], seconds, moving)
    print()
    print("calls per second made by each program itself, under Wine's relay trace (last %g s of each run)"
          % seconds)
    for scenario in scenarios:
        print()
        print("%-30s %12s %12s" % (scenario, "reference", "tavrin2"))
        t, r = table[(scenario, "tavrin2")], table[(scenario, "reference")]
        if not t or not r:
            print("  (no trace)")
            continue
        for label, _, _ in KEY_CALLS:
            if t[label] or r[label]:
                print("%-30s %12.1f %12.1f" % (label, r[label], t[label]))
    return 0
