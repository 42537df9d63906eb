#!/usr/bin/env python3
"""Writes the program's .ico files from the pixel description in
src/app/icons/mouse.txt (see its header for the format).

usage: make-icons.py DESCRIPTION OUTPUT_DIR
       make-icons.py --list DESCRIPTION      (prints the output file names)
"""
import struct
import sys

SIZE = 16

# The standard 16-colour palette: the fills of 4-bit icons must be one of these.
PALETTE16 = [
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
]
BLACK = 0x000000


def fail(message):
    sys.exit("make-icons: " + message)


def read_description(path):
    icons, rows, in_pixels = [], [], False
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if in_pixels:
                if line.strip():
                    rows.append(line.strip())
                continue
            words = line.split()
            if not words or words[0].startswith("#"):
                continue
            if words[0] == "pixels":
                in_pixels = True
            elif words[0] == "icon" and len(words) >= 4:
                try:
                    name, bits, fill = words[1], int(words[2]), int(words[3], 16)
                except ValueError:
                    fail(f"{path}:{number}: depth and fill must be numbers: {line!r}")
                if bits not in (4, 24):
                    fail(f"{path}:{number}: depth must be 4 or 24")
                if bits == 4 and fill not in PALETTE16:
                    fail(f"{path}:{number}: {words[3]} is not in the 16-colour palette")
                icons.append((name, bits, fill))
            else:
                fail(f"{path}:{number}: cannot read {line!r}")
    if len(rows) != SIZE or any(len(r) != SIZE for r in rows):
        fail(f"{path}: the pixels must be {SIZE} rows of {SIZE} characters")
    if any(c not in ".KF" for r in rows for c in r):
        fail(f"{path}: pixels may only be '.', 'K' and 'F'")
    return icons, rows


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def ico(rows, bits, fill):
    """One 16x16 icon image: BITMAPINFOHEADER, palette, colour rows and the
    AND mask, both bottom-up; transparent pixels are black with mask 1."""
    def colour(c):
        return fill if c == "F" else BLACK

    xor, mask = b"", b""
    for row in reversed(rows):
        if bits == 4:
            indices = [PALETTE16.index(colour(c)) for c in row]
            xor += padded(bytes((indices[i] << 4) | indices[i + 1] for i in range(0, SIZE, 2)))
        else:
            xor += padded(b"".join(struct.pack("<BBB", colour(c) & 0xFF, (colour(c) >> 8) & 0xFF,
                                               colour(c) >> 16) for c in row))
        value = 0
        for c in row:
            value = (value << 1) | (c == ".")
        mask += padded(struct.pack(">H", value))
    palette = b"".join(struct.pack("<BBBB", p & 0xFF, (p >> 8) & 0xFF, p >> 16, 0) for p in PALETTE16) \
        if bits == 4 else b""
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, bits, 0, len(xor) + len(mask), 0, 0,
                         16 if bits == 4 else 0, 0)
    image = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16 if bits == 4 else 0, 0, 1, bits, len(image), 6 + 16)
    return directory + entry + image


def main(argv):
    try:
        run(argv)
    except OSError as e:
        fail(f"{e.filename}: {e.strerror}")


def run(argv):
    if len(argv) == 3 and argv[1] == "--list":
        icons, _ = read_description(argv[2])
        print(";".join(name for name, _, _ in icons), end="")
        return
    if len(argv) != 3:
        fail(__doc__.strip())
    icons, rows = read_description(argv[1])
    for name, bits, fill in icons:
        with open(f"{argv[2]}/{name}", "wb") as f:
            f.write(ico(rows, bits, fill))


if __name__ == "__main__":
    main(sys.argv)
