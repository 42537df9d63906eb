"""The shipped executable is safe to run from a Downloads folder: every library
it imports at load time is one the system takes from its own folder whatever
lies beside the program (or comctl32, which the manifest takes from the
side-by-side store), and its headers ask for a randomised high address, no
code from data pages and terminal-server awareness, with the relocations that
randomising needs kept.

usage: check_hardening.py OBJDUMP EXE"""
import re
import subprocess
import sys

# Names the system protects (on its KnownDLLs list from Windows 7 on), and
# comctl32. Anything else imported would be looked for beside the executable.
ALLOWED_IMPORTS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "imm32.dll", "kernel32.dll", "msvcrt.dll",
    "ntdll.dll", "ole32.dll", "oleaut32.dll", "psapi.dll", "rpcrt4.dll", "setupapi.dll", "shell32.dll",
    "shlwapi.dll", "user32.dll", "ws2_32.dll",
}

# DllCharacteristics bits that must be set, as the headers name them.
REQUIRED_FLAGS = [
    (0x0020, "HIGH_ENTROPY_VA"),
    (0x0040, "DYNAMIC_BASE"),
    (0x0100, "NX_COMPAT"),
    (0x8000, "TERMINAL_SERVER_AWARE"),
]
RELOCS_STRIPPED = 0x0001  # in the file header's Characteristics


def header_value(dump, name):
    found = re.search(r"^%s\s+(?:0x)?([0-9a-fA-F]+)\b" % name, dump, re.M)
    if not found:
        raise AssertionError("no %s in the headers" % name)
    return int(found.group(1), 16)


def problems(dump, sections):
    found = []
    for name in re.findall(r"^\s*DLL Name:\s*(\S+)", dump, re.M):
        if name.lower() not in ALLOWED_IMPORTS:
            found.append("imports %s at load time: it would be looked for beside the executable" % name)
    # Delay-load tables are loaded by name at first use, the same way.
    delayed = re.search(r"^Entry d [0-9a-fA-F]+ ([0-9a-fA-F]+) Delay Import Directory", dump, re.M)
    if not delayed or int(delayed.group(1), 16):
        found.append("has delay-load imports")
    flags = header_value(dump, "DllCharacteristics")
    for bit, name in REQUIRED_FLAGS:
        if not flags & bit:
            found.append("%s is not set in DllCharacteristics (%04x)" % (name, flags))
    if header_value(dump, "Characteristics") & RELOCS_STRIPPED or not re.search(r"\s\.reloc\s", sections):
        found.append("has no relocations: the loader cannot move it to a random address")
    return found


def main(objdump, exe):
    dump = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    sections = subprocess.run([objdump, "-h", exe], check=True, capture_output=True, text=True).stdout
    found = problems(dump, sections)
    for p in found:
        print("FAIL: %s %s" % (exe, p))
    if not re.search(r"^\s*DLL Name:", dump, re.M):
        print("FAIL: no import table read from %s" % exe)
        return 1
    print("%d problems" % len(found))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
