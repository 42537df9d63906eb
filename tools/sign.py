#!/usr/bin/env python3
"""Signs one Windows executable in place with a code-signing certificate
(.pfx), SHA-256, optionally time-stamped: the release's tavrin2.exe, and, as
makensis's finalize command, the uninstaller and the installer.

usage: sign.py FILE   (the certificate, password file and time-stamp server
come from TAVRIN_SIGN_CERT, TAVRIN_SIGN_PASSFILE and TAVRIN_SIGN_TIMESTAMP:
makensis passes the command line through a shell, the environment it keeps)
"""
import os
import struct
import subprocess
import sys

# A signature goes after the last byte of the file, on an 8-byte boundary, and
# the signing tool then fills in the header's checksum. Doing both before
# signing makes the file's unsigned form exactly the bytes that were signed:
# removing the signature gives them back.
ALIGNMENT = 8


def checksum_offset(data):
    """Where a PE file's header keeps its checksum."""
    if len(data) < 0x40 or data[:2] != b"MZ":
        raise ValueError("not a Windows executable")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0" or pe + 24 + 68 > len(data):
        raise ValueError("not a Windows executable")
    return pe + 24 + 64  # the optional header's CheckSum, after the 4-byte signature and 20-byte file header


def pe_checksum(data):
    """The image checksum: the file as 16-bit words, summed with the carries
    folded back in, the checksum field itself taken as 0, plus the length."""
    at = checksum_offset(data)
    body = data[:at] + b"\0\0\0\0" + data[at + 4:]
    if len(body) % 2:
        body += b"\0"
    total = sum(struct.unpack("<%dH" % (len(body) // 2), body))
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


def signable(data):
    """The file padded to the signature's boundary with its checksum filled in:
    what the signing tool would make of it anyway, without the signature."""
    data = data + b"\0" * (-len(data) % ALIGNMENT)
    at = checksum_offset(data)
    return data[:at] + struct.pack("<I", pe_checksum(data)) + data[at + 4:]


def sign(path, cert, passfile, timestamp=None):
    """Signs path in place; raises RuntimeError with the tool's own words."""
    with open(path, "rb") as f:
        data = signable(f.read())
    unsigned, signed = path + ".unsigned", path + ".signed"
    with open(unsigned, "wb") as f:
        f.write(data)
    command = ["osslsigncode", "sign", "-pkcs12", cert, "-readpass", passfile, "-h", "sha256",
               "-n", "Tavrin2", "-in", unsigned, "-out", signed]
    if timestamp:
        command[2:2] = ["-ts", timestamp]
    try:
        r = subprocess.run(command, capture_output=True, text=True, stdin=subprocess.DEVNULL)
    except FileNotFoundError:
        raise RuntimeError("osslsigncode is missing: install the package osslsigncode (tools/setup does)")
    finally:
        os.remove(unsigned)
    if r.returncode != 0:
        if os.path.exists(signed):
            os.remove(signed)
        words = [line for line in (r.stderr + r.stdout).splitlines() if line.strip()]
        raise RuntimeError("signing %s failed: %s" % (os.path.basename(path), "; ".join(words[-3:]) or r.returncode))
    os.replace(signed, path)


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    cert, passfile = os.environ.get("TAVRIN_SIGN_CERT"), os.environ.get("TAVRIN_SIGN_PASSFILE")
    if not cert or not passfile:
        sys.exit("sign: TAVRIN_SIGN_CERT and TAVRIN_SIGN_PASSFILE are not set")
    try:
        sign(argv[1], cert, passfile, os.environ.get("TAVRIN_SIGN_TIMESTAMP"))
    except (OSError, ValueError, RuntimeError) as e:
        sys.exit("sign: %s" % e)


if __name__ == "__main__":
    main(sys.argv)
