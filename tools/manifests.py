"""The package-manager manifests of a release, written from the same values
and the same files as the release itself so their hashes cannot drift: the
winget manifest set (version, installer, Hungarian default locale, English
locale) and the Scoop manifest of the portable zip."""
import json

WINGET_ID = "Orvaneth.Tavrin2"
WINGET_SCHEMA = "1.6.0"
# The name of the installer's entry in the user's list of installed programs
# (UNINST_KEY in packaging/tavrin2.nsi): winget finds an installed copy by it.
PRODUCT_CODE = "Tavrin2"
DESCRIPTION = {
    "hu-HU": "Mozgatja az egeret, amíg Ön nem használja; a tálca értesítési területén él.",
    "en-US": "Moves the mouse while you leave it alone; lives in the notification area.",
}


def files(version, url_base, zip_name, setup_name):
    """Where the manifests expect the release files: <base>/<version>/<name>."""
    base = "%s/%s/" % (url_base.rstrip("/"), version)
    return base + zip_name, base + setup_name


def _yaml(kind, fields):
    """One winget manifest. Every string is written double-quoted with JSON's
    escapes, which YAML reads the same, so no text can change its meaning."""
    lines = ["# yaml-language-server: $schema=https://aka.ms/winget-manifest.%s.%s.schema.json" % (kind, WINGET_SCHEMA),
             ""]

    def emit(key, value, indent):
        pad = "  " * indent
        if isinstance(value, dict):
            lines.append("%s%s:" % (pad, key))
            for k, v in value.items():
                emit(k, v, indent + 1)
        elif isinstance(value, list):
            lines.append("%s%s:" % (pad, key))
            for item in value:
                if isinstance(item, dict):
                    first = True
                    for k, v in item.items():
                        lines.append("%s- %s: %s" % (pad, k, json.dumps(v, ensure_ascii=False)) if first
                                     else "%s  %s: %s" % (pad, k, json.dumps(v, ensure_ascii=False)))
                        first = False
                else:
                    lines.append("%s- %s" % (pad, json.dumps(item, ensure_ascii=False)))
        else:
            lines.append("%s%s: %s" % (pad, key, json.dumps(value, ensure_ascii=False)))

    for key, value in fields.items():
        emit(key, value, 0)
    return "\n".join(lines) + "\n"


def winget(version, publisher, license_name, url_base, setup_name, setup_sha256):
    """{file name: text} of the winget manifest set for one version."""
    _, setup_url = files(version, url_base, "", setup_name)
    head = {"PackageIdentifier": WINGET_ID, "PackageVersion": version}
    tail = {"ManifestVersion": WINGET_SCHEMA}
    locale = dict(head, Publisher=publisher, PackageName="Tavrin2", PackageUrl=url_base, License=license_name)
    return {
        WINGET_ID + ".yaml": _yaml("version", dict(head, DefaultLocale="hu-HU", ManifestType="version", **tail)),
        WINGET_ID + ".installer.yaml": _yaml("installer", dict(
            head, InstallerType="nullsoft", Scope="user", InstallModes=["interactive", "silent", "silentWithProgress"],
            # /S is the installer's only switch; it updates in place, so a new
            # version installs over the old one.
            InstallerSwitches={"Silent": "/S", "SilentWithProgress": "/S"}, UpgradeBehavior="install",
            ProductCode=PRODUCT_CODE,
            Installers=[{"Architecture": "x64", "InstallerUrl": setup_url, "InstallerSha256": setup_sha256.upper()}],
            ManifestType="installer", **tail)),
        WINGET_ID + ".locale.hu-HU.yaml": _yaml("defaultLocale", dict(
            locale, PackageLocale="hu-HU", ShortDescription=DESCRIPTION["hu-HU"], ManifestType="defaultLocale", **tail)),
        WINGET_ID + ".locale.en-US.yaml": _yaml("locale", dict(
            head, PackageLocale="en-US", ShortDescription=DESCRIPTION["en-US"], ManifestType="locale", **tail)),
    }


def scoop(version, license_name, url_base, zip_name, zip_sha256):
    """The Scoop manifest of the portable zip, as text."""
    zip_url, _ = files(version, url_base, zip_name, "")
    template = zip_url.replace(version, "$version")
    manifest = {
        "version": version,
        "description": DESCRIPTION["en-US"],
        "homepage": url_base,
        "license": license_name,
        "notes": "Tavrin2 keeps its program list, list.txt, beside tavrin2.exe; "
                 "it is persisted, so updates keep it.",
        "url": zip_url,
        "hash": zip_sha256,
        "extract_dir": "Tavrin2",
        "bin": "tavrin2.exe",
        "shortcuts": [["tavrin2.exe", "Tavrin2"]],
        # A persisted file that does not exist yet would be made a folder; an
        # empty list.txt is what the program itself starts with.
        "pre_install": "if (!(Test-Path \"$persist_dir\\list.txt\")) { New-Item \"$dir\\list.txt\" -ItemType File | Out-Null }",
        "persist": "list.txt",
        "autoupdate": {"url": template},
    }
    return json.dumps(manifest, indent=4, ensure_ascii=False) + "\n"
