"""The signed release, with a throwaway self-signed code-signing certificate:
tavrin2.exe, the installer and the uninstaller it writes verify against that
certificate; removing a signature gives back the bytes that were signed; the
manifests carry the signed files' hashes; bad signing input is refused with a
clear error and leaves the last release as it was; and the signed installer
installs and uninstalls silently under Wine."""
import atexit
import getpass
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

import winekit
from winekit import Session

SOURCE = winekit.SOURCE
sys.path[:0] = [os.path.join(SOURCE, "tools"), os.path.join(SOURCE, "tests", "release")]
import check_manifests  # noqa: E402
import sign  # noqa: E402

VERSION = os.environ.get("TAVRIN_VERSION", "")
PUBLISHER = os.environ.get("TAVRIN_PUBLISHER", "")
LICENSE = os.environ.get("TAVRIN_LICENSE", "")
URL = os.environ.get("TAVRIN_DOWNLOAD_URL", "")
# Spaces, quotes, a dollar and accents: nothing may pass it through a shell.
PASSWORD = 'jel szó "$HOME" \'ő\''
WORK = tempfile.mkdtemp(prefix="tavrin2-signed.")
atexit.register(shutil.rmtree, WORK, True)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def built_exe():
    return os.path.join(winekit.build_dir(), "src", "app", "tavrin2.exe")


def certificate():
    """(cert.pfx, cert.pem): self-signed, for code signing only, made once."""
    pfx, pem, key = (os.path.join(WORK, n) for n in ("cert.pfx", "cert.pem", "key.pem"))
    if not os.path.exists(pfx):
        quiet = dict(check=True, capture_output=True, env=dict(os.environ, PFX_PASSWORD=PASSWORD))
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", pem,
                        "-days", "2", "-subj", "/CN=Tavrin2 test signer", "-addext", "keyUsage=digitalSignature",
                        "-addext", "extendedKeyUsage=codeSigning"], **quiet)
        subprocess.run(["openssl", "pkcs12", "-export", "-inkey", key, "-in", pem, "-out", pfx,
                        "-passout", "env:PFX_PASSWORD"], **quiet)
    return pfx, pem


def package(out, *options, password=PASSWORD):
    """Runs the packer on the test build's tavrin2.exe; its own temp folder
    shows what it leaves behind."""
    tmp = tempfile.mkdtemp(dir=WORK)
    env = dict(os.environ, TMPDIR=tmp)
    env.pop("TAVRIN_SIGN_PASSWORD", None)
    if password is not None:
        env["TAVRIN_SIGN_PASSWORD"] = password
    r = subprocess.run([sys.executable, os.path.join(SOURCE, "tools", "package.py"), "--exe", built_exe(),
                        "--version", VERSION, "--publisher", PUBLISHER, "--license", LICENSE,
                        "--download-url", URL, "--out", out] + list(options),
                       capture_output=True, text=True, env=env, stdin=subprocess.DEVNULL)
    return r, os.listdir(tmp)


def signed_release():
    """The signed release folder, made once."""
    dist = os.path.join(WORK, "dist")
    if not os.path.isdir(dist):
        r, _ = package(dist, "--sign", certificate()[0])
        assert r.returncode == 0, "signing failed: " + r.stderr
        assert PASSWORD not in r.stdout + r.stderr, "the password was printed"
    return dist


def verify(path):
    """osslsigncode's verification against the test certificate: (ok, output)."""
    r = subprocess.run(["osslsigncode", "verify", "-CAfile", certificate()[1], "-in", path],
                       capture_output=True, text=True, stdin=subprocess.DEVNULL)
    return r.returncode == 0 and "Signature verification: ok" in r.stdout, r.stdout + r.stderr


def without_signature(path):
    out = path + ".unsigned"
    subprocess.run(["osslsigncode", "remove-signature", "-in", path, "-out", out], check=True,
                   capture_output=True, stdin=subprocess.DEVNULL)
    data = read(out)
    os.remove(out)
    return data


def test_signed_files_verify_and_give_back_their_unsigned_bytes():
    assert VERSION and PUBLISHER and LICENSE and URL, "the release's values are not in the environment"
    dist = signed_release()
    setup = os.path.join(dist, "tavrin2-%s-setup.exe" % VERSION)
    exe = os.path.join(WORK, "tavrin2.exe")
    with zipfile.ZipFile(os.path.join(dist, "tavrin2-%s-win64.zip" % VERSION)) as z:
        with open(exe, "wb") as f:
            f.write(z.read("Tavrin2/tavrin2.exe"))
    for path in (exe, setup):
        ok, output = verify(path)
        print("%s: %d bytes\n%s" % (os.path.basename(path), os.path.getsize(path), output), flush=True)
        assert ok, "%s does not verify:\n%s" % (path, output)
        assert "CN=Tavrin2 test signer" in output and "SHA256" in output, output
    assert read(exe) != read(built_exe()), "the zip's tavrin2.exe is not signed"
    assert without_signature(exe) == read(built_exe()), "tavrin2.exe without its signature is not the built one"
    # The installer, as signed, was given its checksum and padding first; its
    # signature removed, those bytes come back.
    bare = without_signature(setup)
    assert bare == sign.signable(bare), "the signed installer was not in signable form"
    # The same from a file makensis wrote: signing changes nothing but the
    # checksum field and the padding, and removing the signature undoes it.
    made = read(os.path.join(winekit.build_dir(), "dist", "tavrin2-%s-setup.exe" % VERSION))
    copy = os.path.join(WORK, "setup-copy.exe")
    with open(copy, "wb") as f:
        f.write(made)
    passfile = os.path.join(WORK, "password")
    with open(passfile, "w", encoding="utf-8") as f:
        f.write(PASSWORD)
    sign.sign(copy, certificate()[0], passfile)
    assert verify(copy)[0], "the copy does not verify"
    back = without_signature(copy)
    at = sign.checksum_offset(made)
    assert back == sign.signable(made), "the unsigned installer did not come back"
    assert back[:at] == made[:at] and back[at + 4:len(made)] == made[at + 4:], "signing changed more than the checksum"
    assert set(back[len(made):]) <= {0} and len(back) - len(made) < sign.ALIGNMENT, "more than padding was added"
    failures = check_manifests.check(dist, VERSION, PUBLISHER, LICENSE, URL)
    assert not failures, "the signed release's manifests: %s" % failures


def test_bad_signing_input_is_refused_and_keeps_the_last_release():
    pfx, pem = certificate()
    dist = os.path.join(WORK, "kept")
    shutil.copytree(signed_release(), dist)
    before = {n: read(os.path.join(dist, n)) for n in os.listdir(dist) if os.path.isfile(os.path.join(dist, n))}
    cases = [  # (what, options, password, words of the error)
        ("wrong password", ["--sign", pfx], "not the password", "signing tavrin2.exe failed"),
        ("no password", ["--sign", pfx], None, "TAVRIN_SIGN_PASSWORD"),
        ("no certificate file", ["--sign", os.path.join(WORK, "none.pfx")], PASSWORD, "no certificate at"),
        ("not a .pfx", ["--sign", pem], PASSWORD, "signing tavrin2.exe failed"),
        ("time stamp without signing", ["--timestamp", "http://ts.invalid"], PASSWORD, "give --sign"),
        ("time stamp not a URL", ["--sign", pfx, "--timestamp", "ts.invalid"], PASSWORD, "http:// or https://"),
    ]
    for what, options, password, words in cases:
        r, left = package(dist, *options, password=password)
        assert r.returncode != 0, "%s: accepted" % what
        assert words in r.stderr, "%s: the error was %r" % (what, r.stderr)
        assert PASSWORD not in r.stdout + r.stderr, "%s: the password was printed" % what
        assert not left, "%s: left in the temp folder: %s" % (what, left)
        after = {n: read(os.path.join(dist, n)) for n in os.listdir(dist) if os.path.isfile(os.path.join(dist, n))}
        assert after == before, "%s: the last release changed" % what
        assert sorted(os.listdir(dist)) == sorted(list(before) + ["winget"]), "%s: %s" % (what, os.listdir(dist))


def test_signed_installer_installs_and_uninstalls_under_wine():
    dist = signed_release()
    setup = os.path.join(dist, "tavrin2-%s-setup.exe" % VERSION)
    with Session("signed-release") as s:
        s.env["WINEDLLOVERRIDES"] += ";winemenubuilder.exe=d"
        install = os.path.join(s.prefix, "drive_c/users/%s/AppData/Local/Programs/Tavrin2" % getpass.getuser())
        r = s.wine(setup, "/S", check=False)
        assert r.returncode == 0, "the signed installer ended with %d" % r.returncode
        with zipfile.ZipFile(os.path.join(dist, "tavrin2-%s-win64.zip" % VERSION)) as z:
            assert read(os.path.join(install, "tavrin2.exe")) == z.read("Tavrin2/tavrin2.exe"), \
                "the installed tavrin2.exe is not the signed one"
        ok, output = verify(os.path.join(install, "uninstall.exe"))
        assert ok, "the uninstaller it wrote does not verify:\n" + output
        r = s.wine(os.path.join(install, "uninstall.exe"), "/S", check=False)
        assert r.returncode == 0, "the signed uninstaller ended with %d" % r.returncode
        subprocess.run(["wineserver", "-w"], env=s.env, timeout=60, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        assert not os.path.exists(install), "left behind: %s" % os.listdir(install)


if __name__ == "__main__":
    sys.exit(winekit.main([test_signed_files_verify_and_give_back_their_unsigned_bytes,
                           test_bad_signing_input_is_refused_and_keeps_the_last_release,
                           test_signed_installer_installs_and_uninstalls_under_wine]))
