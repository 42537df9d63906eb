#!/usr/bin/env python3
"""Packs a release tavrin2.exe for users: the portable zip (the executable and
the read-me), the per-user installer (packaging/tavrin2.nsi through makensis)
and SHA256SUMS of both. Same input, same bytes: the zip's entries have a fixed
order, fixed attributes and the date of the last commit (or SOURCE_DATE_EPOCH).
Beside them, the winget and Scoop manifests with those files' hashes. With
--sign, tavrin2.exe, the uninstaller and the installer are signed (the
certificate's password from TAVRIN_SIGN_PASSWORD, never from the command line).
Every file is made aside first: a failure leaves the files already in DIR alone.

usage: package.py --exe EXE --version X.Y.Z --publisher NAME --license NAME --download-url URL
                  --out DIR [--no-installer] [--sign CERT.pfx [--timestamp URL]]
"""
import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

import manifests
import sign

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
    with zipfile.ZipFile(path, "w") as z:
        for name, data in entries:
            info = zipfile.ZipInfo("Tavrin2/" + name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0          # made on "MS-DOS": Windows attributes only
            info.external_attr = 0x20       # FILE_ATTRIBUTE_ARCHIVE
            z.writestr(info, data, compresslevel=9)


def write_installer(path, exe, version, publisher, signing=None):
    """signing: the environment of the signing command (see sign.py), which
    makensis then runs on the uninstaller and on the installer it made."""
    command = ["makensis", "-V2", "-INPUTCHARSET", "UTF8", "-DVERSION=" + version, "-DPUBLISHER=" + publisher,
               "-DEXE=" + os.path.abspath(exe), "-DOUTFILE=" + os.path.abspath(path)]
    env = None
    if signing:
        command.append('-DSIGN="%s" "%s"' % (sys.executable, os.path.join(SOURCE, "tools", "sign.py")))
        env = dict(os.environ, **signing)
        env.pop("TAVRIN_SIGN_PASSWORD", None)
    try:
        subprocess.run(command + [os.path.join(PACKAGING, "tavrin2.nsi")], check=True, stdout=subprocess.DEVNULL,
                       env=env)
    except FileNotFoundError:
        fail("makensis is missing: install the package nsis (tools/setup does)")
    except subprocess.CalledProcessError as e:
        fail("makensis failed with exit code %d" % e.returncode)


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def password_file(folder):
    """The certificate's password, from the environment into a file only this
    user can read: the signing tool reads it there, so it shows in no command
    line."""
    password = os.environ.get("TAVRIN_SIGN_PASSWORD")
    if password is None:
        fail("--sign needs the certificate's password in the environment variable TAVRIN_SIGN_PASSWORD")
    path = os.path.join(folder, "password")
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o600)
    with os.fdopen(fd, "w", encoding="utf-8") as f:
        f.write(password)
    return path


def make(a, exe, stage, secrets):
    """Makes every release file in stage; returns their names, relative to it."""
    made = []
    signing = None
    if a.sign:
        signing = {"TAVRIN_SIGN_CERT": os.path.abspath(a.sign), "TAVRIN_SIGN_PASSFILE": password_file(secrets)}
        if a.timestamp:
            signing["TAVRIN_SIGN_TIMESTAMP"] = a.timestamp
        # Signed before it goes anywhere: the zip and the installer carry the signed copy.
        signed_exe = os.path.join(secrets, "tavrin2.exe")
        with open(signed_exe, "wb") as f:
            f.write(exe)
        try:
            sign.sign(signed_exe, signing["TAVRIN_SIGN_CERT"], signing["TAVRIN_SIGN_PASSFILE"], a.timestamp)
        except (OSError, ValueError, RuntimeError) as e:
            fail(str(e))
        a.exe = signed_exe
        with open(signed_exe, "rb") as f:
            exe = f.read()
    zip_name = "tavrin2-%s-win64.zip" % a.version
    write_zip(os.path.join(stage, zip_name), [("tavrin2.exe", exe), ("README.txt", readme(a.version))], source_date())
    made.append(zip_name)
    if not a.no_installer:
        setup_name = "tavrin2-%s-setup.exe" % a.version
        write_installer(os.path.join(stage, setup_name), a.exe, a.version, a.publisher, signing)
        made.append(setup_name)
        os.makedirs(os.path.join(stage, "winget"))
        for name, text in manifests.winget(a.version, a.publisher, a.license, a.download_url, setup_name,
                                           sha256(os.path.join(stage, setup_name))).items():
            made.append(write_text(os.path.join(stage, "winget", name), text, stage))
    made.append(write_text(os.path.join(stage, "tavrin2.json"),
                           manifests.scoop(a.version, a.license, a.download_url, zip_name,
                                           sha256(os.path.join(stage, zip_name))), stage))
    with open(os.path.join(stage, "SHA256SUMS"), "w", newline="\n") as f:
        for name in sorted(n for n in made if n.endswith((".zip", ".exe"))):
            f.write("%s  %s\n" % (sha256(os.path.join(stage, name)), name))
    return made + ["SHA256SUMS"]


def write_text(path, text, stage):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
    return os.path.relpath(path, stage)


def main():
    p = argparse.ArgumentParser(description="Packs a release tavrin2.exe.")
    p.add_argument("--exe", required=True)
    p.add_argument("--version", required=True)
    p.add_argument("--publisher", required=True)
    p.add_argument("--license", required=True)
    p.add_argument("--download-url", required=True)
    p.add_argument("--out", required=True)
    p.add_argument("--no-installer", action="store_true")
    p.add_argument("--sign", metavar="CERT.pfx")
    p.add_argument("--timestamp", metavar="URL")
    a = p.parse_args()
    parts = a.version.split(".")
    if len(parts) != 3 or not all(x.isdigit() for x in parts):
        fail("the version must be three numbers, X.Y.Z: %r" % a.version)
    if a.timestamp and not a.sign:
        fail("--timestamp is for signing: give --sign CERT.pfx too")
    if a.timestamp and not a.timestamp.startswith(("http://", "https://")):
        fail("the time-stamp server must be an http:// or https:// URL: %r" % a.timestamp)
    if a.sign and not os.path.isfile(a.sign):
        fail("no certificate at %s" % a.sign)
    try:
        with open(a.exe, "rb") as f:
            exe = f.read()
    except OSError as e:
        fail("%s: %s" % (a.exe, e.strerror))
    os.makedirs(a.out, exist_ok=True)
    stage = tempfile.mkdtemp(prefix=".stage.", dir=a.out)
    secrets = tempfile.mkdtemp(prefix="tavrin2-sign.")  # private: mode 0700
    try:
        made = make(a, exe, stage, secrets)
        for name in made:
            os.makedirs(os.path.dirname(os.path.join(a.out, name)), exist_ok=True)
            os.replace(os.path.join(stage, name), os.path.join(a.out, name))
    finally:
        shutil.rmtree(stage, ignore_errors=True)
        shutil.rmtree(secrets, ignore_errors=True)
    for name in made:
        print(os.path.join(a.out, name))


if __name__ == "__main__":
    main()
