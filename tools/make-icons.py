#!/usr/bin/env python3
"""Writes the program's .ico files from the description in
src/app/icons/mouse.txt (see its header for the format): the hand-made
16-pixel art, and an outline drawn at every other size.

usage: make-icons.py DESCRIPTION OUTPUT_DIR
       make-icons.py --list DESCRIPTION      (prints the output file names)
"""
import struct
import sys
import zlib

SIZE = 16
# Sizes at or above this are stored as PNG inside the .ico, as the shell expects.
PNG_FROM = 256
# Samples per pixel side when the outline is drawn: enough for smooth corners.
SAMPLES = 4

# The standard 16-colour palette: the fills of 4-bit icons must be one of these.
PALETTE16 = [
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
]
BLACK = 0x000000


def fail(message):
    sys.exit("make-icons: " + message)


def numbers(words, count, where, line, kind=float):
    if len(words) != count:
        fail(f"{where}: expected {count} numbers: {line!r}")
    try:
        return [kind(w) for w in words]
    except ValueError:
        fail(f"{where}: expected numbers: {line!r}")


def read_icon(words, where, line):
    try:
        name, bits, fill = words[1], int(words[2]), int(words[3], 16)
        sizes = sorted(set(int(s) for s in words[4].split(",")))
    except (ValueError, IndexError):
        fail(f"{where}: depth, fill and sizes must be numbers: {line!r}")
    if bits not in (4, 24):
        fail(f"{where}: depth must be 4 or 24")
    if bits == 4 and fill not in PALETTE16:
        fail(f"{where}: {words[3]} is not in the 16-colour palette")
    if SIZE not in sizes or any(not 1 <= s <= 256 for s in sizes):
        fail(f"{where}: sizes must include {SIZE} and lie within 1..256")
    return name, bits, fill, sizes


def read_description(path):
    icons, rows, shape, in_pixels = [], [], {}, False
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            where = f"{path}:{number}"
            if in_pixels:
                if line.strip():
                    rows.append(line.strip())
                continue
            words = line.split()
            if not words or words[0].startswith("#"):
                continue
            if words[0] == "pixels":
                in_pixels = True
            elif words[0] == "icon" and len(words) >= 5:
                icons.append(read_icon(words, where, line))
            elif words[0] == "body":
                shape["body"] = numbers(words[1:], 6, where, line)
            elif words[0] == "split":
                shape["split"] = numbers(words[1:], 1, where, line)[0]
            else:
                fail(f"{where}: cannot read {line!r}")
    if len(rows) != SIZE or any(len(r) != SIZE for r in rows):
        fail(f"{path}: the pixels must be {SIZE} rows of {SIZE} characters")
    if any(c not in ".KF" for r in rows for c in r):
        fail(f"{path}: pixels may only be '.', 'K' and 'F'")
    if any(s != SIZE for icon in icons for s in icon[3]) and set(shape) != {"body", "split"}:
        fail(f"{path}: sizes other than {SIZE} need the 'body' and 'split' lines")
    return icons, rows, shape


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def mask_rows(transparent_rows):
    """The AND mask, bottom-up, from rows of booleans (True = transparent)."""
    mask = b""
    for row in reversed(transparent_rows):
        bits = "".join("1" if t else "0" for t in row)
        bits += "0" * (-len(bits) % 8)
        mask += padded(bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8)))
    return mask


def pixel_art(rows, bits, fill):
    """The 16x16 image: BITMAPINFOHEADER, palette, colour rows and the AND
    mask, both bottom-up; transparent pixels are black with mask 1."""
    def colour(c):
        return fill if c == "F" else BLACK

    xor = b""
    for row in reversed(rows):
        if bits == 4:
            indices = [PALETTE16.index(colour(c)) for c in row]
            xor += padded(bytes((indices[i] << 4) | indices[i + 1] for i in range(0, SIZE, 2)))
        else:
            xor += padded(b"".join(struct.pack("<BBB", colour(c) & 0xFF, (colour(c) >> 8) & 0xFF,
                                               colour(c) >> 16) for c in row))
    mask = mask_rows([[c == "." for c in row] for row in rows])
    palette = b"".join(struct.pack("<BBBB", p & 0xFF, (p >> 8) & 0xFF, p >> 16, 0) for p in PALETTE16) \
        if bits == 4 else b""
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, bits, 0, len(xor) + len(mask), 0, 0,
                         16 if bits == 4 else 0, 0)
    return header + palette + xor + mask


def layout(shape, size):
    """The outline rounded to whole pixels at one size: body rectangle, corner
    radii, line thickness, the split's top and the divider's left."""
    left, top, right, bottom, rx, ry = shape["body"]
    scale = size / SIZE
    line = max(1, int(scale + 0.5))
    x0, y0, x1, y1 = round(left * scale), round(top * scale), round(right * scale), round(bottom * scale)
    # Equal buttons need the inside minus the divider to split evenly.
    if (x1 - x0 - 3 * line) % 2:
        x1 -= 1
    divider = x0 + line + (x1 - x0 - 3 * line) // 2
    split = round(shape["split"] * scale)
    return (x0, y0, x1, y1), (rx * scale, ry * scale), line, split, divider


def inside(px, py, rect, radii):
    """Whether a point lies in a rectangle with elliptic corners."""
    x0, y0, x1, y1 = rect
    rx, ry = radii
    if not (x0 <= px < x1 and y0 <= py < y1):
        return False
    if rx <= 0 or ry <= 0:
        return True
    cx = min(max(px, x0 + rx), x1 - rx)
    cy = min(max(py, y0 + ry), y1 - ry)
    return ((px - cx) / rx) ** 2 + ((py - cy) / ry) ** 2 <= 1.0


def drawn(shape, size, fill):
    """Rows of (r, g, b, alpha) of the outline at one size: outline and lines
    black, inside the fill, corners blended by coverage."""
    rect, (rx, ry), line, split, divider = layout(shape, size)
    x0, y0, x1, y1 = rect
    inner = (x0 + line, y0 + line, x1 - line, y1 - line)
    inner_radii = (max(0.0, rx - line), max(0.0, ry - line))
    fill_rgb = (fill >> 16, (fill >> 8) & 0xFF, fill & 0xFF)
    offsets = [(i + 0.5) / SAMPLES for i in range(SAMPLES)]
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            dark = light = 0
            for oy in offsets:
                for ox in offsets:
                    px, py = x + ox, y + oy
                    if not inside(px, py, rect, (rx, ry)):
                        continue
                    on_line = (split <= py < split + line) or (divider <= px < divider + line and py < split)
                    if on_line or not inside(px, py, inner, inner_radii):
                        dark += 1
                    else:
                        light += 1
            covered = dark + light
            if covered == 0:
                row.append((0, 0, 0, 0))
                continue
            rgb = tuple((c * light + covered // 2) // covered for c in fill_rgb)
            row.append(rgb + ((255 * covered + SAMPLES * SAMPLES // 2) // (SAMPLES * SAMPLES),))
        rows.append(row)
    return rows


def dib32(rows):
    """A 32-bit image with straight alpha and a mask that is set where nothing shows."""
    size = len(rows)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask = mask_rows([[p[3] == 0 for p in row] for row in rows])
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def png(rows):
    size = len(rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico(rows, shape, bits, fill, sizes):
    """The .ico file: a directory of every size, then the images in that order."""
    images = []
    for size in sizes:
        if size == SIZE:
            images.append((size, 16 if bits == 4 else 0, bits, pixel_art(rows, bits, fill)))
        else:
            picture = drawn(shape, size, fill)
            images.append((size, 0, 32, png(picture) if size >= PNG_FROM else dib32(picture)))
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, colours, depth, data in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, depth, len(data), offset)
        offset += len(data)
    return directory + b"".join(data for _, _, _, data in images)


def main(argv):
    try:
        run(argv)
    except OSError as e:
        fail(f"{e.filename}: {e.strerror}")


def run(argv):
    if len(argv) == 3 and argv[1] == "--list":
        icons, _, _ = read_description(argv[2])
        print(";".join(icon[0] for icon in icons), end="")
        return
    if len(argv) != 3:
        fail(__doc__.strip())
    icons, rows, shape = read_description(argv[1])
    for name, bits, fill, sizes in icons:
        with open(f"{argv[2]}/{name}", "wb") as f:
            f.write(ico(rows, shape, bits, fill, sizes))


if __name__ == "__main__":
    main(sys.argv)
