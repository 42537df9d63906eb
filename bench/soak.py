"""The soak: the real tavrin2.exe (a build with TAVRIN_COUNT_HANDLES, as the
windows preset makes it) for a long run under Wine, cycling through what a
user's weeks hold, while every minute its working set, its private bytes and
its own counts of live objects are sampled. Run through run_bench.py:
    python3 bench/run_bench.py build/windows --soak 30

One cycle, about a minute and a half:
- watching in normal mode until the mover starts, moving, the user's stop;
- the tray menu opened and closed;
- the settings window shown: intelligent mode switched on, the listed program
  (testwin.exe) deleted and added again through the open dialog, a button's
  hint, the help button and a help click on a check box with its balloon,
  files dropped onto the window, the window hidden;
- the listed program's titled window appearing, watching until the mover
  starts, the user's stop, the program leaving;
- normal mode switched on from the window, watching until the mover starts,
  the user's stop, and intelligent mode back on from the window.
A step that fails (a click the program did not get under load) is noted and
the cycle goes on; the counts are what is judged.

The report shows the first, fifth-minute and last sample of each measure and
fails (exit 1) when a count grew by more than SLACK objects from the first
sample to the last, or the working set or the private bytes moved by more
than 1 MiB (highest less lowest sample) from minute 5 to the end.

Private bytes are the pages this process wrote that no other process holds
(Private_Dirty): the heap, stacks, relocated and written image pages. Clean
pages are shown too, but not judged: a clean page of a shared library counts
as private only while no other Wine process (the reg.exe and probe of the
steps, the listed program, Wine's own services) happens to map it, so their
sum moves by megabytes with whatever else runs at the moment of the sample,
while nothing in the process changed.
"""
import os
import shutil
import tempfile
import time

SLACK = 3
MEMORY_SLACK_KIB = 1024
JUDGED_MEMORY = ("working_set_kib", "private_dirty_kib")
SETTINGS = r"HKCU\Software\Orvaneth\Tavrin2"
TRAY_ICON = (13, 32)  # the first icon of Wine's own tray window (no desktop)
PARK = (500, 400)
LISTED = "C:\\Tavrin2\\testwin.exe"
LISTED_TITLE = "Soak listed program"

# Client positions of the settings window's controls (their centres).
CHECKBOX1 = (8 + 20, 57 + 8)
ADD_BUTTON = (8 + 37, 113 + 12)
DELETE_BUTTON = (144 + 37, 113 + 12)
COMBO_EDIT = (8 + 60, 81 + 10)


def private_kib(pid):
    """Private memory of the process (KiB) as (clean, dirty): what no other
    process maps at this moment; (-1, -1) when it cannot be read."""
    found = {}
    try:
        with open("/proc/%d/smaps_rollup" % pid) as f:
            for line in f:
                if line.startswith(("Private_Clean:", "Private_Dirty:")):
                    found[line.split(":")[0]] = int(line.split()[1])
    except OSError:
        return -1, -1
    return found.get("Private_Clean", -1), found.get("Private_Dirty", -1)


class Soak:
    def __init__(self, session, bench, find_process, rss_kib, wait_until, xsource, settings_helpers):
        self.s = session
        self.bench = bench
        self.find_process = find_process
        self.rss_kib = rss_kib
        self.wait_until = wait_until
        self.xsource = xsource
        self.client_origin = settings_helpers
        self.notes = {}
        self.samples = []
        self.listed = None
        self.started = time.monotonic()
        self.drop_dir = tempfile.mkdtemp(prefix="soak-drop-", dir=session.prefix)
        self.drop_file = os.path.join(self.drop_dir, "dropped.txt")
        open(self.drop_file, "w").close()

    # ---- sampling ------------------------------------------------------------
    def sample(self):
        pid = self.find_process(self.s.prefix, "tavrin2.exe")
        if pid is None:
            raise RuntimeError("tavrin2.exe is no longer running")
        counts = self.bench.probe("counts", "Tavrin2Application")
        clean, dirty = private_kib(pid)
        row = {"minute": (time.monotonic() - self.started) / 60.0, "working_set_kib": self.rss_kib(pid),
               "private_dirty_kib": dirty, "private_clean_kib": clean}
        row.update({k: int(v) for k, v in counts.items()})
        self.samples.append(row)
        print("minute %5.1f: working set %d KiB, private %d KiB (+ %d KiB clean), %s" % (
            row["minute"], row["working_set_kib"], dirty, clean,
            " ".join("%s=%s" % (k, v) for k, v in counts.items())), flush=True)

    def note(self, what):
        self.notes[what] = self.notes.get(what, 0) + 1
        if self.notes[what] == 1:
            self.s.screenshot("soak-" + what.replace(" ", "-"))
        print("note: %s" % what, flush=True)

    # ---- steps -----------------------------------------------------------------
    def pointer_moving(self):
        return self.s.pointer_moving()

    def watch_move_stop(self, what):
        self.s.move(*PARK)
        if not self.wait_until(self.pointer_moving, 30, 0.5):
            self.note("%s: the mover did not start" % what)
            return
        time.sleep(2)
        self.s.hand_move(PARK[0] - 100, PARK[1] - 80)
        time.sleep(1)
        if self.pointer_moving():
            self.note("%s: the mover did not stop" % what)

    def menu_shown(self):
        return any(title is None and w > 1 and h > 1 for _, title, _, _, w, h in self.s.program_windows())

    def close_menu(self):
        # A click on the empty desktop closes a menu without choosing; a key
        # would reach it only once its window had the focus.
        if self.menu_shown():
            self.s.xdotool("mousemove", PARK[0], PARK[1], "click", 1)
            self.wait_until(lambda: not self.menu_shown(), 3)

    def open_menu(self):
        self.s.move(*TRAY_ICON)
        time.sleep(0.3)
        self.s.xdotool("click", 3)
        return self.wait_until(self.menu_shown, 3)

    def tray_menu(self):
        if not self.open_menu():
            self.note("tray menu did not open")
        time.sleep(0.5)
        self.close_menu()

    def settings(self):
        """Shows the settings window from the tray menu; returns (geometry,
        client origin) or None."""
        for _ in range(3):
            if self.open_menu():
                time.sleep(0.3)
                # "Beállítások...", the first line, just below the cursor.
                self.s.xdotool("mousemove", TRAY_ICON[0] + 30, TRAY_ICON[1] + 10, "click", 1)
                geometry = self.wait_until(self.settings_geometry, 3)
                if geometry:
                    return geometry, self.client_origin(geometry)
            self.close_menu()
        self.note("settings window did not show")
        return None

    def settings_window_id(self):
        """The settings window: the program's one titled window of its size (a
        drop puts the dropped names into its caption, so not found by title)."""
        for wid, title, _, _, w, h in self.s.program_windows():
            if title is not None and 200 < w < 300 and 150 < h < 250:
                return wid
        return None

    def settings_geometry(self):
        window = self.settings_window_id()
        return self.s.window_geometry(window) if window else None

    def click(self, origin, point):
        self.s.xdotool("mousemove", origin[0] + point[0], origin[1] + point[1], "click", 1)
        time.sleep(0.4)

    def hide_settings(self, geometry):
        x, y, w, _ = geometry
        self.s.xdotool("mousemove", x + w - 14, y + 12, "click", 1)
        if not self.wait_until(lambda: self.settings_window_id() is None, 3):
            self.note("settings window did not hide")

    def set_intelligent(self, origin, on):
        want = ("REG_DWORD", "0x1" if on else "0x0")
        if self.s.reg_query(SETTINGS, "Inteligens") != want:
            self.click(origin, CHECKBOX1)
            if not self.wait_until(lambda: self.s.reg_query(SETTINGS, "Inteligens") == want, 3):
                self.note("intelligent mode did not switch")

    def add_listed(self, origin):
        before = self.s.visible_windows()
        self.click(origin, ADD_BUTTON)
        found = self.wait_until(lambda: [w for w in self.s.visible_windows() if w not in before], 8)
        if not found:
            self.note("open dialog did not appear")
            return
        self.s.xdotool("windowfocus", found[0])
        time.sleep(0.5)
        self.s.xdotool("type", "--delay", "40", LISTED)
        time.sleep(0.2)
        self.s.xdotool("key", "Return")
        if not self.wait_until(lambda: self.s.read_list() != b"", 5):
            self.note("list entry was not added")
            self.s.xdotool("key", "Escape")
        self.wait_until(lambda: found[0] not in self.s.visible_windows(), 5)

    def delete_listed(self, origin, window):
        self.click(origin, COMBO_EDIT)
        self.s.xdotool("windowfocus", window)
        time.sleep(0.3)
        self.s.xdotool("key", "End", "shift+Home")
        self.s.xdotool("type", "--delay", "60", LISTED.lower())
        time.sleep(0.3)
        self.click(origin, DELETE_BUTTON)
        if not self.wait_until(lambda: self.s.read_list() == b"", 5):
            self.note("list entry was not deleted")

    def help_and_drop(self, geometry, origin):
        x, y, w, h = geometry
        # A control's hint: the pointer rests on a button past the hint pause.
        self.s.move(origin[0] + ADD_BUTTON[0], origin[1] + ADD_BUTTON[1])
        time.sleep(0.2)
        self.s.move(origin[0] + ADD_BUTTON[0] + 1, origin[1] + ADD_BUTTON[1] + 1)
        time.sleep(1.5)
        # The caption's help button, then a help click on a check box: its
        # balloon explains the box; a click elsewhere in the window ends it.
        self.s.xdotool("mousemove", x + w - 40 + 8, y + 6 + 7, "click", 1)
        time.sleep(0.4)
        self.click(origin, CHECKBOX1)
        time.sleep(1.5)
        centre = (x + w // 2, y + h // 2)
        self.s.move(*centre)
        time.sleep(0.3)
        if not self.xsource.drag_files(self.s.display, [self.drop_file], *centre):
            self.note("drop was not finished")


    def listed_appears(self):
        self.listed = self.s.start(LISTED, ["--timeout", "120000", "visible", LISTED_TITLE])
        if not self.wait_until(lambda: self.s.visible_windows(LISTED_TITLE), 10):
            self.note("listed program window did not appear")

    def listed_leaves(self):
        if self.listed and self.listed.poll() is None:
            self.listed.terminate()
            try:
                self.listed.wait(10)
            except Exception:
                self.listed.kill()
        for w in self.s.visible_windows(LISTED_TITLE):
            self.s.xdotool("windowkill", w)
        self.listed = None

    def cycle(self):
        """One cycle of steps, each a callable, so sampling can come between them.
        The window and menu steps run in intelligent mode with the listed program
        absent, where the mover never moves the pointer away from the clicks."""

        def edit_list():
            shown = self.settings()
            if shown:
                geometry, origin = shown
                self.set_intelligent(origin, True)
                window = self.settings_window_id()
                if window:
                    self.delete_listed(origin, window)
                self.add_listed(origin)
                self.help_and_drop(geometry, origin)
                self.hide_settings(geometry)

        def listed_round():
            self.listed_appears()
            self.watch_move_stop("intelligent")
            self.listed_leaves()
            time.sleep(2)

        def normal_round():
            shown = self.settings()
            if shown:
                geometry, origin = shown
                self.set_intelligent(origin, False)
                self.hide_settings(geometry)
            self.watch_move_stop("normal")
            # Right after the user's stop, well within the ten idle seconds.
            shown = self.settings()
            if shown:
                geometry, origin = shown
                self.set_intelligent(origin, True)
                self.hide_settings(geometry)

        return [self.tray_menu, edit_list, listed_round, normal_round]

    def run(self, minutes):
        end = self.started + minutes * 60.0
        next_sample = self.started
        self.sample()
        next_sample += 60
        while time.monotonic() < end:
            for step in self.cycle():
                if time.monotonic() >= end:
                    break
                step()
                if time.monotonic() >= next_sample:
                    self.sample()
                    next_sample += 60
        self.listed_leaves()
        self.sample()

    def report(self):
        first, last = self.samples[0], self.samples[-1]
        at5 = next((r for r in self.samples if r["minute"] >= 5.0), first)
        keys = [k for k in first if k != "minute"]
        print()
        print("soak: %.1f minutes, %d samples; steps that failed: %s" % (
            last["minute"], len(self.samples), ", ".join("%s x%d" % kv for kv in self.notes.items()) or "none"))
        settled = [r for r in self.samples if r["minute"] >= 5.0] or [first]
        print("%-18s %10s %10s %10s %8s %8s %8s" % ("measure", "first", "minute 5", "last", "growth", "low 5+",
                                                     "high 5+"))
        failures = []
        for k in keys:
            grow = last[k] - first[k]
            low, high = min(r[k] for r in settled), max(r[k] for r in settled)
            print("%-18s %10d %10d %10d %+8d %8d %8d" % (k, first[k], at5[k], last[k], grow, low, high))
            if k in JUDGED_MEMORY:
                if high - low > MEMORY_SLACK_KIB or low < 0:
                    failures.append("%s moved %d KiB from minute 5" % (k, high - low))
            elif k == "private_clean_kib":
                continue  # moves with what other processes map; shown for the record
            elif grow > SLACK:
                failures.append("%s grew by %d" % (k, grow))
        if failures:
            print("SOAK FAILED: " + "; ".join(failures))
            return 1
        print("soak flat: no count grew by more than %d, working set and private bytes within %d KiB from minute 5"
              % (SLACK, MEMORY_SLACK_KIB))
        return 0


def run(session, bench, minutes, build, find_process, rss_kib):
    """Runs the soak in a session; returns the exit code."""
    import winekit
    import xsource
    from test_settings import client_origin

    shutil.copy(os.path.join(build, "tests", "tools", "testwin.exe"), session.app_dir)
    # Intelligent mode with the listed program absent: the mover stays still
    # while the window and menu steps click about.
    session.reg_add(SETTINGS, "Inteligens", "REG_DWORD", 1)
    with open(session.list_path(), "wb") as f:
        f.write(LISTED.lower().encode("cp1250") + b"\r\n")
    session.move(*PARK)
    session.start()
    if not winekit.wait_until(lambda: find_process(session.prefix, "tavrin2.exe"), 15):
        raise RuntimeError("tavrin2.exe did not start")
    time.sleep(3)
    soak = Soak(session, bench, find_process, rss_kib, winekit.wait_until, xsource, client_origin)
    try:
        soak.run(minutes)
    finally:
        code = soak.report() if soak.samples else 1
    return code
