"""Drives the real tavrin2.exe under Wine as a user would.

Each session gets its own Xvfb display, its own copy of the template Wine
prefix (made by tools/wine-env) and its own folder for the executable, so
list.txt and the registry are the session's alone. Pointer and keys come from
xdotool, pictures from ImageMagick's import, the registry from `wine reg`.
"""
import os
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

    def __init__(self, name, desktop=False, width=1024, height=768):
        self.name = name
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
        subprocess.run(["wineserver", "-p5"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        if desktop:
            self.reg_add(r"HKCU\Software\Wine\Explorer", "Desktop", "REG_SZ", "Default")
            self.reg_add(r"HKCU\Software\Wine\Explorer\Desktops", "Default", "REG_SZ",
                         "%dx%d" % (width, height))
        self.app = None

    # ---- display ---------------------------------------------------------
    def _start_display(self):
        for n in range(150, 250):
            if os.path.exists("/tmp/.X%d-lock" % n) or os.path.exists("/tmp/.X11-unix/X%d" % n):
                continue
            proc = subprocess.Popen(["Xvfb", ":%d" % n, "-screen", "0", "%dx%dx24" % (self.width, self.height),
                                     "-nolisten", "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                    stdin=subprocess.DEVNULL, start_new_session=True)
            for _ in range(50):
                if os.path.exists("/tmp/.X11-unix/X%d" % n):
                    break
                time.sleep(0.1)
            if proc.poll() is None and os.path.exists("/tmp/.X11-unix/X%d" % n):
                self.xvfb = proc
                self.display = ":%d" % n
                return
        raise RuntimeError("no free X display")

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
        return subprocess.run(["wine"] + list(args), env=self.env, capture_output=True, check=check,
                              stdin=subprocess.DEVNULL)

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

    def wineserver_kill(self):
        """Ends every Wine process of the session, as a logoff would."""
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        for p in self.procs:
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
        subprocess.run(["wineserver", "-p5"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        for p in self.procs:
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
        try:
            os.killpg(self.xvfb.pid, signal.SIGTERM)
        except OSError:
            pass
        self.xvfb.wait(5)
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

    def visible_windows(self, name=None):
        args = ["search", "--onlyvisible"]
        args += ["--name", name] if name else ["--name", ".*"]
        out = self.xdotool(*args)
        return [int(w) for w in out.split()] if out else []

    def window_geometry(self, window):
        out = self.xdotool("getwindowgeometry", "--shell", window)
        v = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(v["X"]), int(v["Y"]), int(v["WIDTH"]), int(v["HEIGHT"])

    def screenshot(self, label):
        path = os.path.join(self.artifacts, label + ".png")
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def pixel(self, x, y):
        """The colour at (x, y) of the screen as (r, g, b)."""
        out = subprocess.run(["import", "-window", "root", "-crop", "1x1+%d+%d" % (x, y), "txt:-"],
                             env=self.env, capture_output=True, text=True, check=True).stdout
        line = out.splitlines()[-1]
        rgb = line.split("(")[1].split(")")[0].split(",")
        return tuple(int(float(c)) for c in rgb[:3])

    def region(self, x, y, w, h):
        """Pixels of a screen rectangle as rows of (r, g, b)."""
        out = subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, x, y), "-depth", "8",
                              "rgb:-"], env=self.env, capture_output=True, check=True).stdout
        return [[tuple(out[(r * w + c) * 3:(r * w + c) * 3 + 3]) for c in range(w)] for r in range(h)]

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
