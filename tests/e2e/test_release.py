"""The installer a Windows user downloads, round trip: a silent install puts
the program, its uninstaller, a Start menu shortcut and an entry in the user's
list of installed programs in place; the installed program starts, shows its
tray icon and makes list.txt beside itself. While it runs, the uninstaller
refuses (non-zero exit code) and removes nothing. Once it is stopped, a silent
uninstall removes exactly its files, keys and values and nothing else: the
prefix's files and registry are compared before and after."""
import getpass
import os
import re
import subprocess
import sys
import time

import winekit
from winekit import Session, wait_until
from test_tray import glyph_at

RED = (255, 0, 0)
VERSION = os.environ.get("TAVRIN_VERSION", "")
PUBLISHER = os.environ.get("TAVRIN_PUBLISHER", "")
RUN = r"Software\Microsoft\Windows\CurrentVersion\Run"
UNINSTALL = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrin2"
SETTINGS = r"Software\Orvaneth\Tavrin2"
# Wine's own tray window (plain X mode) holds the first icon near the top left.
TRAY_AREA = (0, 16, 40, 40)


# ---- the prefix as files and registry ------------------------------------------
def read_hive(path, root):
    """{key: {value name: data}} of a Wine registry file; every key's parents are
    keys too (Wine writes only keys that have values or no subkeys). Key
    timestamps are left out: they are not content."""
    keys = {}
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        text = f.read().replace("\\\n", "")  # long values go on over several lines
    current = None
    for line in text.splitlines():
        m = re.match(r"^\[(.*)\](?: \d+)?$", line)
        if m:
            parts = m.group(1).split("\\\\")
            for i in range(1, len(parts) + 1):
                keys.setdefault(root + "\\" + "\\".join(parts[:i]).lower(), {})
            current = keys[root + "\\" + "\\".join(parts).lower()]
        elif current is not None and (line.startswith('"') or line.startswith("@=")):
            name, _, data = line.partition("=") if line.startswith("@") else line[1:].partition('"=')
            current[name.lower()] = data
    return keys


def snapshot(s):
    """(files, registry) of the session's prefix, read from disk once every Wine
    process has ended (Wine writes its registry files when its server stops)."""
    s.wineserver_kill()
    files = set()
    drive = os.path.join(s.prefix, "drive_c")
    for folder, dirs, names in os.walk(drive):
        rel = os.path.relpath(folder, drive).lower()
        files.add(rel + "/")
        files.update(os.path.join(rel, n).lower() for n in names)
    registry = read_hive(os.path.join(s.prefix, "user.reg"), "hkcu")
    registry.update(read_hive(os.path.join(s.prefix, "system.reg"), "hklm"))
    return files, registry


def values(registry):
    """{(key, name): data} of every value, but those that Wine itself rewrites at
    every start (its device records) or that an uninstaller's temp copy sets (its
    deletion at the next restart): all of them under this key."""
    return {(k, n): d for k, vs in registry.items() for n, d in vs.items()
            if not k.startswith("hklm\\system\\currentcontrolset\\")}


# ---- the installed program ------------------------------------------------------
def tray_glyph(s):
    """The fill colour of the program's glyph drawn in Wine's tray window, or None."""
    x, y, w, h = TRAY_AREA
    pixels = s.region(x, y, w, h)
    for top in range(h - 15):
        for left in range(w - 15):
            fill = glyph_at(pixels, left, top)
            if fill:
                return fill
    return None


def reg(s, key, name):
    found = s.reg_query("HKCU\\" + key, name)
    return found[1] if found else None


def test_silent_install_run_and_uninstall_leave_nothing_behind():
    assert VERSION and PUBLISHER, "TAVRIN_VERSION and TAVRIN_PUBLISHER are not set"
    setup = os.path.join(winekit.build_dir(), "dist", "tavrin2-%s-setup.exe" % VERSION)
    assert os.path.isfile(setup), "no installer at %s: build the dist target" % setup
    with Session("release") as s:
        # Wine would otherwise copy the Start menu shortcut into this machine's
        # own desktop menus.
        s.env["WINEDLLOVERRIDES"] += ";winemenubuilder.exe=d"
        user = getpass.getuser()
        home = "drive_c/users/%s/" % user
        install = os.path.join(s.prefix, home, "AppData/Local/Programs/Tavrin2")
        win_install = "C:\\users\\%s\\AppData\\Local\\Programs\\Tavrin2" % user
        shortcut = os.path.join(s.prefix, home, "AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tavrin2.lnk")

        # ---- install ----
        r = s.wine(setup, "/S", check=False)
        assert r.returncode == 0, "the silent install ended with %d" % r.returncode
        assert sorted(os.listdir(install)) == ["tavrin2.exe", "uninstall.exe"], os.listdir(install)
        with open(os.path.join(install, "tavrin2.exe"), "rb") as f, \
                open(os.path.join(winekit.build_dir(), "src", "app", "tavrin2.exe"), "rb") as g:
            assert f.read() == g.read(), "the installed tavrin2.exe is not the built one"
        with open(shortcut, "rb") as f:
            link = f.read()
        target = win_install + "\\tavrin2.exe"
        assert target.encode() in link or target.encode("utf-16-le") in link, "the shortcut does not point at " + target
        size = sum(os.path.getsize(os.path.join(install, n)) for n in os.listdir(install))
        entry = {n: reg(s, UNINSTALL, n) for n in ("DisplayName", "DisplayVersion", "Publisher", "EstimatedSize",
                                                  "UninstallString", "InstallLocation")}
        assert entry["DisplayName"] == "Tavrin2" and entry["DisplayVersion"] == VERSION, entry
        assert entry["Publisher"] == PUBLISHER, entry
        assert abs(int(entry["EstimatedSize"], 16) - size // 1024) <= 1, "EstimatedSize %s for %d bytes" % (
            entry["EstimatedSize"], size)
        assert entry["UninstallString"] == '"%s\\uninstall.exe"' % win_install, entry
        assert entry["InstallLocation"] == win_install, entry

        # ---- the installed program runs ----
        s.app = s.start(target)
        assert wait_until(lambda: tray_glyph(s), 15, interval=0.2) == RED, "no red tray icon"
        s.screenshot("01-installed-program-running")
        assert wait_until(lambda: os.path.isfile(os.path.join(install, "list.txt")), 5), "no list.txt beside it"
        assert wait_until(lambda: reg(s, SETTINGS, "Inteligens") == "0x0", 5), "no settings key"
        # Started with Windows, as the check box would store it, beside another
        # program's entry that must stay.
        s.reg_add("HKCU\\" + RUN, "Tavrin2", "REG_SZ", target)
        s.reg_add("HKCU\\" + RUN, "Other", "REG_SZ", "C:\\other.exe")

        # ---- uninstall refused while it runs ----
        before = snapshot(s)  # every trace in place; this ends the program
        # Installed again by hand: the last page's box "A Tavrin2 indítása most"
        # is ticked, and its button (Enter) starts the program.
        s.start(setup)
        wizard = wait_until(lambda: s.visible_windows("^Tavrin2 Telep"), 15)
        assert wizard, "the installer showed no window"
        time.sleep(1)  # the files are written at once; the last page follows
        s.screenshot("02-installer-last-page")
        for _ in range(3):  # an Enter before the last page is up goes nowhere
            s.xdotool("windowfocus", "--sync", wizard[0])
            s.xdotool("key", "Return")
            if wait_until(lambda: not s.visible_windows("^Tavrin2 Telep"), 3):
                break
        assert not s.visible_windows("^Tavrin2 Telep"), "the installer did not end"
        assert wait_until(lambda: tray_glyph(s), 15, interval=0.2), "the installer did not start the program"
        # In place (_?=), the uninstaller's exit code reaches the caller.
        r = s.wine(os.path.join(install, "uninstall.exe"), "/S", "_?=" + win_install, check=False)
        assert r.returncode != 0, "the uninstaller succeeded while the program ran"
        # Not silent, it says so and waits; the user gives up (Escape is Cancel).
        s.start(os.path.join(install, "uninstall.exe"))
        question = wait_until(lambda: s.visible_windows("^Tavrin2 Elt"), 15)
        assert question, "no question from the uninstaller while the program ran"
        s.screenshot("03-uninstaller-asks-to-quit")
        s.xdotool("windowfocus", "--sync", question[0])
        s.xdotool("key", "Escape")
        assert wait_until(lambda: not s.visible_windows("^Tavrin2 Elt"), 10), "the question stayed"
        # An update cannot replace the running program either.
        r = s.wine(setup, "/S", check=False)
        assert r.returncode != 0, "the installer succeeded while the program ran"
        # As the list of installed programs starts it: through a copy in the temp folder.
        s.wine(os.path.join(install, "uninstall.exe"), "/S", check=False)
        time.sleep(3)
        assert tray_glyph(s), "the uninstaller ended the program"
        files, registry = snapshot(s)
        assert before[0] <= files, "removed while running: %s" % sorted(before[0] - files)
        assert set(before[1]) <= set(registry), "keys removed while running"
        assert values(before[1]).items() <= values(registry).items(), \
            "changed while running: %s" % sorted(values(before[1]).items() - values(registry).items())

        # ---- uninstall with the program stopped (snapshot ended it) ----
        r = s.wine(os.path.join(install, "uninstall.exe"), "/S", check=False)
        assert r.returncode == 0, "the uninstaller ended with %d" % r.returncode
        # The copy doing the work runs on after the call: wait for every process.
        subprocess.run(["wineserver", "-w"], env=s.env, timeout=60, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        files, registry = snapshot(s)
        prefix = "users/%s/" % user
        expected_files = {prefix + p.lower() for p in (
            "AppData/Local/Programs/Tavrin2/", "AppData/Local/Programs/Tavrin2/tavrin2.exe",
            "AppData/Local/Programs/Tavrin2/uninstall.exe", "AppData/Local/Programs/Tavrin2/list.txt",
            "AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tavrin2.lnk")}
        assert before[0] - files == expected_files, "files removed: %s" % sorted(before[0] - files)
        # What the uninstaller may leave: its own copy in the temp folder.
        added = {f for f in files - before[0] if not re.match(r"users/[^/]+/temp/~nsu[^/]*\.tmp(/|/[^/]*)?$", f)}
        assert not added, "files added: %s" % sorted(added)

        expected_keys = {"hkcu\\" + k.lower() for k in ("Software\\Orvaneth", SETTINGS, UNINSTALL)}
        assert set(before[1]) - set(registry) == expected_keys, \
            "keys removed: %s" % sorted(set(before[1]) - set(registry))
        assert not set(registry) - set(before[1]), "keys added: %s" % sorted(set(registry) - set(before[1]))
        old, new = values(before[1]), values(registry)
        gone = {k for k in old if k not in new}
        assert gone == {k for k in old if k[0] in expected_keys} | {("hkcu\\" + RUN.lower(), "tavrin2")}, \
            "values removed: %s" % sorted(gone)
        changed = {k for k in new if old.get(k) != new[k]}
        assert not changed, "values changed or added: %s" % sorted(changed)
        assert new[("hkcu\\" + RUN.lower(), "other")] == '"C:\\\\other.exe"'


if __name__ == "__main__":
    sys.exit(winekit.main([test_silent_install_run_and_uninstall_leave_nothing_behind]))
