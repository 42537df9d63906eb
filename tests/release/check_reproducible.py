"""Two release builds from the same commit give the same bytes: two fresh
release builds, each in a folder of its own (so that no build path can leak
in), compared file by file: tavrin2.exe, the zip and the installer. Also checks
that the files carry no time stamp of their own and that the one project
version reaches the version resource, the manifest, the installer and the
file names. (The test build tree is no party to the comparison: it counts live
handles for the tests, which the release does not.)

usage: check_reproducible.py SOURCE_DIR VERSION PUBLISHER"""
import hashlib
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile


def read(path):
    with open(path, "rb") as f:
        return f.read()


def pe_time_stamp(data):
    """TimeDateStamp of a PE file's COFF header."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0", "not a PE file"
    return struct.unpack_from("<I", data, pe + 8)[0]


def main(source, version, publisher):
    failures = []

    def check(ok, message):
        if not ok:
            failures.append(message)
            print("FAIL: " + message, flush=True)

    zip_name = "tavrin2-%s-win64.zip" % version
    setup_name = "tavrin2-%s-setup.exe" % version
    work = tempfile.mkdtemp(prefix="tavrin2-release.")
    try:
        fresh, fresh_dist, other, other_dist = (os.path.join(work, d) for d in ("build", "dist", "build2", "dist2"))
        # The release preset, as tools/release uses it, twice in other folders;
        # one compiler each, so the end-to-end tests running beside keep their
        # timing on a two-core machine.
        builds = []
        for tree, dist in ((fresh, fresh_dist), (other, other_dist)):
            subprocess.run(["cmake", "--preset", "release", "-B", tree, "-DTAVRIN_DIST_DIR=" + dist],
                           cwd=source, check=True, stdout=subprocess.DEVNULL)
            builds.append(subprocess.Popen(["cmake", "--build", tree, "--target", "dist", "-j", "1"],
                                           stdout=subprocess.DEVNULL))
        for b in builds:
            if b.wait() != 0:
                raise subprocess.CalledProcessError(b.returncode, b.args)
        exe_here = os.path.join(other, "src", "app", "tavrin2.exe")
        here_dist = other_dist

        pairs = [("tavrin2.exe", exe_here, os.path.join(fresh, "src", "app", "tavrin2.exe")),
                 (zip_name, os.path.join(here_dist, zip_name), os.path.join(fresh_dist, zip_name)),
                 (setup_name, os.path.join(here_dist, setup_name), os.path.join(fresh_dist, setup_name))]
        for name, a, b in pairs:
            da, db = read(a), read(b)
            same = da == db
            print("%-28s %8d bytes  %s  %s" % (name, len(da), hashlib.sha256(da).hexdigest()[:16],
                                              "same" if same else "DIFFERENT"), flush=True)
            check(same, "%s differs between two builds of the same commit" % name)

        exe = read(exe_here)
        check(pe_time_stamp(exe) == 0, "tavrin2.exe carries a link time stamp")
        check(b".debug" not in exe and b".symtab" not in exe, "tavrin2.exe is not stripped")
        quad = version + ".0"
        check(quad.encode("utf-16-le") in exe, "the version resource does not carry %s" % quad)
        check(('version="%s"' % quad).encode() in exe, "the manifest does not carry %s" % quad)
        check(publisher.encode("utf-16-le") in exe, "the version resource does not name %s" % publisher)
        setup = read(os.path.join(fresh_dist, setup_name))
        check(version.encode("utf-16-le") in setup, "the installer's version resource lacks %s" % version)

        with zipfile.ZipFile(os.path.join(fresh_dist, zip_name)) as z:
            names = z.namelist()
            check(names == ["Tavrin2/tavrin2.exe", "Tavrin2/README.txt"], "zip entries: %s" % names)
            check(z.read("Tavrin2/tavrin2.exe") == exe, "the zip's tavrin2.exe is not the built one")
            text = z.read("Tavrin2/README.txt").decode("utf-8-sig")
            for needed in ("%LOCALAPPDATA%\\Programs", "Software\\Orvaneth\\Tavrin2",
                           "CurrentVersion\\Run\" /v Tavrin2", "list.txt", "Kilépés", "Tavrin2 " + version):
                check(needed in text, "the read-me does not mention %r" % needed)
            check("\r\n" in text and "\n" not in text.replace("\r\n", ""), "the read-me's lines do not end in CR LF")

        sums = dict(reversed(line.split("  ", 1)) for line in read(os.path.join(fresh_dist, "SHA256SUMS"))
                    .decode().splitlines())
        for name in (zip_name, setup_name):
            check(sums.get(name) == hashlib.sha256(read(os.path.join(fresh_dist, name))).hexdigest(),
                  "SHA256SUMS is wrong for %s" % name)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("%d failed checks" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
