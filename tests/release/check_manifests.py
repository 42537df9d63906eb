"""The winget and Scoop manifests of a release folder hold what those package
managers require, agree with each other and with the installer script, and
name and hash exactly the files beside them.

usage: check_manifests.py DIST VERSION PUBLISHER LICENSE DOWNLOAD_URL"""
import glob
import hashlib
import json
import os
import re
import sys
import zipfile

import yaml

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINGET_ID = "Orvaneth.Tavrin2"
SHA256 = re.compile(r"^[0-9A-Fa-f]{64}$")


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def uninstall_key_name():
    """The installer's entry in the list of installed programs, from its script."""
    with open(os.path.join(SOURCE, "packaging", "tavrin2.nsi"), encoding="utf-8") as f:
        return re.search(r'!define UNINST_KEY ".*\\Uninstall\\([^"]+)"', f.read()).group(1)


def check(dist, version, publisher, license_name, url):
    """Returns the list of failures."""
    failures = []
    setup, zip_name = "tavrin2-%s-setup.exe" % version, "tavrin2-%s-win64.zip" % version
    base = "%s/%s/" % (url.rstrip("/"), version)
    winget = {}
    for path in sorted(glob.glob(os.path.join(dist, "winget", "*.yaml"))):
        with open(path, "rb") as f:
            raw = f.read()
        name = os.path.basename(path)
        winget[name] = yaml.safe_load(raw.decode("utf-8"))
        kind = winget[name].get("ManifestType")
        if b"winget-manifest.%s.1.6.0.schema.json" % str(kind).encode() not in raw.split(b"\n", 1)[0]:
            failures.append("%s: its schema line does not name the %s 1.6.0 schema" % (name, kind))
    with open(os.path.join(dist, "tavrin2.json"), encoding="utf-8") as f:
        scoop = json.load(f)
    installer = winget.get(WINGET_ID + ".installer.yaml", {})
    entry = (installer.get("Installers") or [{}])[0]

    # (what, value found, expectation): a value to equal, or a predicate.
    rows = [("winget manifest files", sorted(winget),
             sorted(WINGET_ID + s for s in (".yaml", ".installer.yaml", ".locale.hu-HU.yaml", ".locale.en-US.yaml")))]
    for name, manifest in winget.items():
        rows += [(name + " PackageIdentifier", manifest.get("PackageIdentifier"), WINGET_ID),
                 (name + " PackageVersion", manifest.get("PackageVersion"), version),
                 (name + " ManifestVersion", manifest.get("ManifestVersion"), "1.6.0")]
    version_manifest = winget.get(WINGET_ID + ".yaml", {})
    hu, en = winget.get(WINGET_ID + ".locale.hu-HU.yaml", {}), winget.get(WINGET_ID + ".locale.en-US.yaml", {})
    rows += [
        ("version ManifestType", version_manifest.get("ManifestType"), "version"),
        ("version DefaultLocale", version_manifest.get("DefaultLocale"), hu.get("PackageLocale")),
        ("installer ManifestType", installer.get("ManifestType"), "installer"),
        ("installer InstallerType", installer.get("InstallerType", entry.get("InstallerType")), "nullsoft"),
        ("installer Scope", installer.get("Scope", entry.get("Scope")), "user"),
        ("installer silent switches", installer.get("InstallerSwitches"), {"Silent": "/S", "SilentWithProgress": "/S"}),
        ("installer ProductCode is the uninstall entry", installer.get("ProductCode"), uninstall_key_name()),
        ("installer count", len(installer.get("Installers") or []), 1),
        ("installer Architecture", entry.get("Architecture"), "x64"),
        ("installer InstallerUrl", entry.get("InstallerUrl"), base + setup),
        ("installer InstallerSha256 form", entry.get("InstallerSha256", ""), lambda v: bool(SHA256.match(v))),
        ("installer InstallerSha256", str(entry.get("InstallerSha256")).lower(), sha256(os.path.join(dist, setup))),
        ("defaultLocale ManifestType", hu.get("ManifestType"), "defaultLocale"),
        ("defaultLocale PackageLocale", hu.get("PackageLocale"), "hu-HU"),
        ("defaultLocale Publisher", hu.get("Publisher"), publisher),
        ("defaultLocale PackageName", hu.get("PackageName"), "Tavrin2"),
        ("defaultLocale License", hu.get("License"), license_name),
        ("defaultLocale License length", len(hu.get("License") or ""), lambda n: 3 <= n <= 512),
        ("Hungarian ShortDescription", hu.get("ShortDescription", ""),
         lambda v: 3 <= len(v) <= 256 and any(c in v for c in "áéíóöőúüű")),
        ("locale ManifestType", en.get("ManifestType"), "locale"),
        ("locale PackageLocale", en.get("PackageLocale"), "en-US"),
        ("English ShortDescription", en.get("ShortDescription", ""), lambda v: 3 <= len(v) <= 256 and v.isascii()),
        ("Scoop version", scoop.get("version"), version),
        ("Scoop license", scoop.get("license"), license_name),
        ("Scoop homepage", scoop.get("homepage"), url),
        ("Scoop description", bool(scoop.get("description")), True),
        ("Scoop url", scoop.get("url"), base + zip_name),
        ("Scoop hash", scoop.get("hash"), sha256(os.path.join(dist, zip_name))),
        ("Scoop url template", scoop.get("autoupdate", {}).get("url", "").replace("$version", version),
         scoop.get("url")),
        ("Scoop bin", scoop.get("bin"), "tavrin2.exe"),
        ("Scoop shortcut", scoop.get("shortcuts"), [["tavrin2.exe", "Tavrin2"]]),
        ("Scoop persist", scoop.get("persist"), "list.txt"),
        ("Scoop notes name list.txt", "list.txt" in str(scoop.get("notes")), True),
        ("Scoop pre_install makes list.txt a file", scoop.get("pre_install", ""),
         lambda v: "list.txt" in v and "-ItemType File" in v),
    ]
    with zipfile.ZipFile(os.path.join(dist, zip_name)) as z:
        rows.append(("the zip holds extract_dir/bin", "%s/%s" % (scoop.get("extract_dir"), scoop.get("bin"))
                     in z.namelist(), True))
    with open(os.path.join(dist, "SHA256SUMS"), encoding="utf-8") as f:
        sums = dict(reversed(line.split("  ", 1)) for line in f.read().splitlines())
    rows.append(("SHA256SUMS agrees with the manifests", (sums.get(setup), sums.get(zip_name)),
                 (str(entry.get("InstallerSha256")).lower(), scoop.get("hash"))))

    for what, found, expected in rows:
        ok = expected(found) if callable(expected) else found == expected
        if not ok:
            failures.append("%s: %r, expected %s" % (what, found, "a valid value" if callable(expected)
                                                      else repr(expected)))
    return failures


def main(dist, version, publisher, license_name, url):
    failures = check(dist, version, publisher, license_name, url)
    for f in failures:
        print("FAIL: " + f)
    print("%d failed checks" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
