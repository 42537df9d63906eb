#!/usr/bin/env python3
"""Packs a release tavrin2.exe for users: the portable zip (the executable and
the read-me), the per-user installer (packaging/tavrin2.nsi through makensis)
and SHA256SUMS of both. Same input, same bytes: the zip's entries have a fixed
order, fixed attributes and the date of the last commit (or SOURCE_DATE_EPOCH).

usage: package.py --exe EXE --version X.Y.Z --publisher NAME --out DIR [--no-installer]
"""
import argparse
import hashlib
import os
import subprocess
import sys
import time
import zipfile

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PACKAGING = os.path.join(SOURCE, "packaging")
# The earliest time a zip entry can carry (1980-01-01 00:00:00 UTC).
ZIP_EPOCH = 315532800


def fail(message):
    sys.exit("package: " + message)


def source_date():
    """Seconds since 1970 for the zip entries: SOURCE_DATE_EPOCH, else the time
    of the last commit, else the earliest zip date; never the clock."""
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return max(ZIP_EPOCH, int(os.environ["SOURCE_DATE_EPOCH"]))
    try:
        out = subprocess.run(["git", "-C", SOURCE, "log", "-1", "--format=%ct"], capture_output=True,
                             text=True, check=True).stdout.strip()
        return max(ZIP_EPOCH, int(out))
    except (OSError, subprocess.CalledProcessError, ValueError):
        return ZIP_EPOCH


def readme(version):
    """The read-me for Windows: UTF-8 with a byte-order mark (so that every
    Notepad reads the accents right) and CR LF line ends."""
    with open(os.path.join(PACKAGING, "README.txt"), encoding="utf-8") as f:
        text = f.read().replace("@VERSION@", version)
    return b"\xef\xbb\xbf" + text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def write_zip(path, entries, date):
    """entries: [(name, bytes)], stored in this order under one folder."""
    stamp = time.gmtime(date)[:6]
    tmp = path + ".tmp"
    with zipfile.ZipFile(tmp, "w") as z:
        for name, data in entries:
            info = zipfile.ZipInfo("Tavrin2/" + name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0          # made on "MS-DOS": Windows attributes only
            info.external_attr = 0x20       # FILE_ATTRIBUTE_ARCHIVE
            z.writestr(info, data, compresslevel=9)
    os.replace(tmp, path)


def write_installer(path, exe, version, publisher):
    tmp = path + ".tmp"
    try:
        subprocess.run(["makensis", "-V2", "-INPUTCHARSET", "UTF8", "-DVERSION=" + version,
                        "-DPUBLISHER=" + publisher, "-DEXE=" + os.path.abspath(exe),
                        "-DOUTFILE=" + os.path.abspath(tmp), os.path.join(PACKAGING, "tavrin2.nsi")],
                       check=True, stdout=subprocess.DEVNULL)
    except FileNotFoundError:
        fail("makensis is missing: install the package nsis (tools/setup does)")
    except subprocess.CalledProcessError as e:
        fail("makensis failed with exit code %d" % e.returncode)
    os.replace(tmp, path)


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def main():
    p = argparse.ArgumentParser(description="Packs a release tavrin2.exe.")
    p.add_argument("--exe", required=True)
    p.add_argument("--version", required=True)
    p.add_argument("--publisher", required=True)
    p.add_argument("--out", required=True)
    p.add_argument("--no-installer", action="store_true")
    a = p.parse_args()
    parts = a.version.split(".")
    if len(parts) != 3 or not all(x.isdigit() for x in parts):
        fail("the version must be three numbers, X.Y.Z: %r" % a.version)
    try:
        with open(a.exe, "rb") as f:
            exe = f.read()
    except OSError as e:
        fail("%s: %s" % (a.exe, e.strerror))
    os.makedirs(a.out, exist_ok=True)

    made = []
    name = "tavrin2-%s-win64.zip" % a.version
    write_zip(os.path.join(a.out, name), [("tavrin2.exe", exe), ("README.txt", readme(a.version))], source_date())
    made.append(name)
    if not a.no_installer:
        name = "tavrin2-%s-setup.exe" % a.version
        write_installer(os.path.join(a.out, name), a.exe, a.version, a.publisher)
        made.append(name)
    with open(os.path.join(a.out, "SHA256SUMS"), "w", newline="\n") as f:
        for name in sorted(made):
            f.write("%s  %s\n" % (sha256(os.path.join(a.out, name)), name))
    for name in made + ["SHA256SUMS"]:
        print(os.path.join(a.out, name))


if __name__ == "__main__":
    main()
