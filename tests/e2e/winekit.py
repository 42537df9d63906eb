"""Drives the real tavrin2.exe under Wine as a user would.

Each session gets its own Xvfb display, its own copy of the template Wine
prefix (made by tools/wine-env) and its own folder for the executable, so
list.txt and the registry are the session's alone. Pointer and keys come from
xdotool, pictures from ImageMagick's import, the registry from `wine reg`.
"""
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))


def build_dir():
    return os.environ["TAVRIN_BUILD_DIR"]


def wine_root():
    return os.environ.get("TAVRIN_WINE_ROOT", os.path.join(build_dir(), "wine"))


def artifacts_dir(name):
    d = os.path.join(build_dir(), "test-artifacts", name)
    os.makedirs(d, exist_ok=True)
    return d


class Session:
    """One user's machine: display, prefix, the program folder."""

    def __init__(self, name, desktop=False, width=1024, height=768, dpi=None):
        """dpi: the display scale in dots per inch (96 = 100 %, 144 = 150 %) every
        program of the session sees; None leaves the template's setting."""
        self.name = name
        self.dpi = dpi
        self.desktop = desktop
        self.width, self.height = width, height
        self.artifacts = artifacts_dir(name)
        self.procs = []
        subprocess.run([os.path.join(SOURCE, "tools", "wine-env"), "start"], check=True,
                       stdout=subprocess.DEVNULL, env=dict(os.environ, TAVRIN_WINE_ROOT=wine_root()))
        self._start_display()
        os.makedirs(os.path.join(wine_root(), "prefixes"), exist_ok=True)
        self.prefix = tempfile.mkdtemp(prefix="e2e-%s." % name, dir=os.path.join(wine_root(), "prefixes"))
        template = os.path.join(wine_root(), "template")
        subprocess.run(["cp", "-al", template + "/.", self.prefix + "/"], check=True)
        for f in ("system.reg", "user.reg", "userdef.reg"):
            os.remove(os.path.join(self.prefix, f))
            shutil.copy(os.path.join(template, f), os.path.join(self.prefix, f))
        self.env = dict(os.environ, WINEPREFIX=self.prefix, DISPLAY=self.display, WINEDEBUG="-all",
                        LC_ALL="hu_HU.UTF-8", WINEDLLOVERRIDES="mscoree,mshtml=")
        self.app_dir = os.path.join(self.prefix, "drive_c", "Tavrin2")
        os.makedirs(self.app_dir, exist_ok=True)
        self.exe_windows_path = "C:\\Tavrin2\\tavrin2.exe"
        shutil.copy(os.path.join(build_dir(), "src", "app", "tavrin2.exe"), self.app_dir)
        # Written into the prefix's own copy of the user hive before its server
        # starts: two `wine reg` runs would cost seconds each on a fresh prefix.
        # Wine reads the scale when a process starts, so it must be there before
        # the desktop or the program; a key given twice in the hive is merged,
        # the later value winning.
        with open(os.path.join(self.prefix, "user.reg"), "a") as f:
            if desktop:
                f.write('\n[Software\\\\Wine\\\\Explorer] 0\n"Desktop"="Default"\n'
                        '\n[Software\\\\Wine\\\\Explorer\\\\Desktops] 0\n"Default"="%dx%d"\n' % (width, height))
            if dpi is not None:
                f.write('\n[Control Panel\\\\Desktop] 0\n"LogPixels"=dword:%08x\n' % dpi)
        subprocess.run(["wineserver", "-p5"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        self.app = None

    # ---- display ---------------------------------------------------------
    def _start_display(self):
        # Xvfb picks a free display number itself and tells it through a pipe:
        # scripts starting at the same moment cannot pick the same one.
        read_end, write_end = os.pipe()
        proc = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                 "%dx%dx24" % (self.width, self.height), "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
                                start_new_session=True, pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as f:
            number = f.readline().strip()
        if not number or proc.poll() is not None:
            raise RuntimeError("Xvfb did not start")
        self.xvfb = proc
        self.display = ":" + number
        # Listed for tools/wine-env stop, which ends it should this script be
        # killed (a test timeout) before it closes.
        self.xvfb_pidfile = os.path.join(wine_root(), "e2e-xvfb.%d.pid" % proc.pid)
        with open(self.xvfb_pidfile, "w") as f:
            f.write("%d\n" % proc.pid)

    # ---- programs --------------------------------------------------------
    def start(self, exe=None, args=()):
        """Starts tavrin2.exe (or another program) in the session."""
        log = open(os.path.join(self.artifacts, "wine-%d.log" % len(self.procs)), "w")
        cmd = ["wine", exe or self.exe_windows_path] + list(args)
        proc = subprocess.Popen(cmd, env=self.env, stdout=log, stderr=subprocess.STDOUT,
                                stdin=subprocess.DEVNULL, cwd=self.prefix)
        self.procs.append(proc)
        if exe is None:
            self.app = proc
        return proc

    def wine(self, *args, check=True):
        """Runs a Wine command and returns its completed process. Its output goes
        through files, never pipes: a Wine server or service that this command
        happens to start inherits its handles and would hold a pipe open for
        good, leaving the caller waiting for the end of the output."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            proc = subprocess.run(["wine"] + list(args), env=self.env, stdout=out, stderr=err,
                                  stdin=subprocess.DEVNULL)
            out.seek(0)
            err.seek(0)
            proc.stdout, proc.stderr = out.read(), err.read()
        if check and proc.returncode != 0:
            raise subprocess.CalledProcessError(proc.returncode, proc.args, proc.stdout, proc.stderr)
        return proc

    def running(self, proc=None):
        proc = proc or self.app
        return proc is not None and proc.poll() is None

    def wait_exit(self, proc=None, timeout=10):
        proc = proc or self.app
        try:
            proc.wait(timeout)
            return True
        except subprocess.TimeoutExpired:
            return False

    def _end_programs(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        for p in self.procs:
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()

    def wineserver_kill(self):
        """Ends every Wine process of the session, as a logoff would."""
        self._end_programs()
        subprocess.run(["wineserver", "-p5"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)

    def close(self):
        self._end_programs()
        try:
            os.killpg(self.xvfb.pid, signal.SIGTERM)
        except OSError:
            pass
        self.xvfb.wait(5)
        try:
            os.remove(self.xvfb_pidfile)
        except OSError:
            pass
        if not os.environ.get("TAVRIN_KEEP_PREFIXES"):
            shutil.rmtree(self.prefix, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # ---- pointer, keys, windows ----------------------------------------------
    def xdotool(self, *args):
        return subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, capture_output=True,
                              text=True).stdout.strip()

    def pointer(self):
        out = self.xdotool("getmouselocation", "--shell")
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(values["X"]), int(values["Y"])

    def move(self, x, y):
        self.xdotool("mousemove", x, y)

    def hand_move(self, x, y):
        """A short hand movement ending at (x, y). The program samples pairs of
        positions 100 ms apart every 200 ms, so one instant jump can fall between
        two pairs and go unseen, as no real hand movement does."""
        for i in range(4, -1, -1):
            self.move(x + 9 * i, y + 7 * i)
            time.sleep(0.08)

    def pointer_track(self, seconds):
        """(time, position) of the pointer whenever it changes, for a while."""
        samples = []
        last = None
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            p = self.pointer()
            if p != last:
                samples.append((time.monotonic(), p))
                last = p
            time.sleep(0.01)
        return samples

    def pointer_moving(self):
        """True when the pointer takes two diagonal steps in a row."""
        a = self.pointer()
        time.sleep(0.25)
        b = self.pointer()
        time.sleep(0.25)
        c = self.pointer()
        return a != b != c and (b[0] - a[0]) * (b[1] - a[1]) != 0

    def visible_windows(self, name=None):
        args = ["search", "--onlyvisible"]
        args += ["--name", name] if name else ["--name", ".*"]
        out = self.xdotool(*args)
        return [int(w) for w in out.split()] if out else []

    def window_geometry(self, window):
        """(x, y, width, height) on the screen. In a virtual desktop Wine's windows
        are children of the desktop's X window, whose positions xdotool counts twice."""
        out = subprocess.run(["xwininfo", "-id", str(window)], env=self.env, capture_output=True,
                             text=True).stdout
        v = {k.strip(): val.strip() for k, _, val in (line.partition(":") for line in out.splitlines())}
        return (int(v["Absolute upper-left X"]), int(v["Absolute upper-left Y"]), int(v["Width"]),
                int(v["Height"]))

    def program_windows(self, program="tavrin2.exe"):
        """The mapped X windows of a Wine program, as (id, title, x, y, width, height);
        the title is None for an unnamed window (a shown popup menu is one)."""
        mapped = {int(w) for w in self.xdotool("search", "--onlyvisible", "--class", program).split()}
        tree = subprocess.run(["xwininfo", "-root", "-tree"], env=self.env, capture_output=True,
                              text=True).stdout
        found = []
        for line in tree.splitlines():
            m = re.match(r'\s*(0x[0-9a-f]+) (?:"(.*)"|\(has no name\)): \(.*\)\s+(\d+)x(\d+)\+-?\d+\+-?\d+'
                         r'\s+\+(-?\d+)\+(-?\d+)', line)
            if m and int(m.group(1), 16) in mapped:
                found.append((int(m.group(1), 16), m.group(2), int(m.group(5)), int(m.group(6)),
                              int(m.group(3)), int(m.group(4))))
        return found

    def window_property(self, window, name, format_="32c"):
        """The values of an X property of a window as integers; [] when it is not set."""
        out = subprocess.run(["xprop", "-id", str(window), "-notype", "-f", name, format_, name], env=self.env,
                             capture_output=True, text=True).stdout
        # "NAME = 1, 2, ..." or, for the window-valued ones, "NAME: window id # 0x..."
        values = re.split(r"[=:]", out, maxsplit=1)[-1]
        return [int(v, 0) for v in re.findall(r"\b(?:0x[0-9a-fA-F]+|\d+)\b", values)]

    def window_icon(self, window, width=None):
        """An image of the icon Wine publishes for a window (the first, or the first
        `width` pixels wide: a window can publish its small and its large icon),
        as (width, height, rows of ARGB values), or None."""
        values = self.window_property(window, "_NET_WM_ICON")
        while len(values) >= 2:
            w, h = values[0], values[1]
            pixels = values[2:2 + w * h]
            if width is None or w == width:
                return w, h, [pixels[r * w:(r + 1) * w] for r in range(h)]
            values = values[2 + w * h:]
        return None

    def grab(self, *args):
        """Output of ImageMagick's import of the root window. A grab can fail
        while a window is being mapped or unmapped (the X server refuses to read
        it then); that is retried, a lasting failure is raised."""
        for attempt in range(3):
            proc = subprocess.run(["import", "-window", "root"] + list(args), env=self.env, capture_output=True)
            if proc.returncode == 0:
                return proc.stdout
            time.sleep(0.1)
        raise subprocess.CalledProcessError(proc.returncode, proc.args, proc.stdout, proc.stderr)

    def screenshot(self, label):
        path = os.path.join(self.artifacts, label + ".png")
        self.grab(path)
        return path

    def docs_shot(self, name, x, y, w, h, scale=2):
        """A small picture of a part of the screen for the README, kept in
        test-artifacts/docs (tools/screenshots copies them to docs/img):
        palette PNG, no dates, enlarged so that a 16-pixel icon can be seen."""
        x, y = max(0, x), max(0, y)
        w, h = min(w, self.width - x), min(h, self.height - y)
        path = os.path.join(artifacts_dir("docs"), name + ".png")
        shot = self.grab("-crop", "%dx%d+%d+%d" % (w, h, x, y), "miff:-")
        subprocess.run(["convert", "miff:-", "+repage", "-scale", "%d%%" % (100 * scale), "-strip",
                        "-define", "png:exclude-chunks=date,time", "PNG8:" + path], input=shot, check=True,
                       capture_output=True)
        return path

    def pixel(self, x, y):
        """The colour at (x, y) of the screen as (r, g, b)."""
        out = self.grab("-crop", "1x1+%d+%d" % (x, y), "txt:-").decode()
        line = out.splitlines()[-1]
        rgb = line.split("(")[1].split(")")[0].split(",")
        return tuple(int(float(c)) for c in rgb[:3])

    def region(self, x, y, w, h):
        """Pixels of a screen rectangle as rows of (r, g, b)."""
        out = self.grab("-crop", "%dx%d+%d+%d" % (w, h, x, y), "-depth", "8", "rgb:-")
        return [[tuple(out[(r * w + c) * 3:(r * w + c) * 3 + 3]) for c in range(w)] for r in range(h)]

    def keep_desktop(self, seconds=170):
        """Starts a helper with a notification icon of its own, so the virtual desktop
        and its taskbar stay while the program under test comes and goes."""
        shutil.copy(os.path.join(build_dir(), "tests", "tools", "testwin.exe"), self.app_dir)
        return self.start("C:\\Tavrin2\\testwin.exe", ["--timeout", str(seconds * 1000), "tray"])

    def poke(self, *args):
        """Runs poke.exe (tests/tools) in the session with these commands; returns
        its output lines."""
        target = os.path.join(self.app_dir, "poke.exe")
        if not os.path.exists(target):
            shutil.copy(os.path.join(build_dir(), "tests", "tools", "poke.exe"), target)
        out = self.wine("C:\\Tavrin2\\poke.exe", *[str(a) for a in args]).stdout
        return out.decode("cp1250", "replace").splitlines()

    def error_boxes(self, gap_ms=1500, first_ms=None):
        """The texts of the program's error boxes as they appear one after
        another (each closed with OK): the first within first_ms (default
        gap_ms), then until none comes for gap_ms."""
        lines = self.poke("boxes", "Tavrin2", gap_ms, gap_ms if first_ms is None else first_ms)
        return [bytes.fromhex(line[4:]).decode("cp1250") for line in lines if line.startswith("BOX ")]

    # ---- registry and files ----------------------------------------------------
    def reg_add(self, key, value, kind, data):
        self.wine("reg", "add", key, "/v", value, "/t", kind, "/d", str(data), "/f")

    def reg_delete(self, key, value=None):
        args = ["reg", "delete", key] + (["/v", value] if value else []) + ["/f"]
        self.wine(*args, check=False)

    def reg_query(self, key, value):
        """(type, data) of a value, or None when it is missing."""
        r = self.wine("reg", "query", key, "/v", value, check=False)
        if r.returncode != 0:
            return None
        for line in r.stdout.decode("cp1250", "replace").splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[0] == value and parts[1].startswith("REG_"):
                return parts[1], parts[2] if len(parts) > 2 else ""
        return None

    def list_path(self):
        return os.path.join(self.app_dir, "list.txt")

    def read_list(self):
        with open(self.list_path(), "rb") as f:
            return f.read()


def image_region(path, x, y, w, h):
    """Pixels of a rectangle of a saved screenshot as rows of (r, g, b)."""
    out = subprocess.run(["convert", path, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "-depth", "8", "rgb:-"],
                         capture_output=True, check=True).stdout
    return [[tuple(out[(r * w + c) * 3:(r * w + c) * 3 + 3]) for c in range(w)] for r in range(h)]


def bounding(*rects, margin=4):
    """The (x, y, width, height) holding all the given rectangles, with a margin."""
    left = min(r[0] for r in rects) - margin
    top = min(r[1] for r in rects) - margin
    right = max(r[0] + r[2] for r in rects) + margin
    bottom = max(r[1] + r[3] for r in rects) + margin
    return left, top, right - left, bottom - top


def wait_until(predicate, timeout, interval=0.05):
    """Polls until predicate() is truthy; returns its last value."""
    end = time.monotonic() + timeout
    value = predicate()
    while not value and time.monotonic() < end:
        time.sleep(interval)
        value = predicate()
    return value


def main(tests):
    """Runs the test functions given, each with a fresh Session; prints a summary."""
    import traceback
    passed = failed = 0
    for test in tests:
        start = time.monotonic()
        try:
            test()
            passed += 1
            print("[ OK ] %s (%.1f s)" % (test.__name__, time.monotonic() - start), flush=True)
        except Exception:
            failed += 1
            print("[FAIL] %s" % test.__name__, flush=True)
            traceback.print_exc()
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0
