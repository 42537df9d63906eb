"""The program's icon files as tools/make-icons.py writes them: every size the
shell may ask for, the 16-pixel images exactly as they have always been, masks
that agree with the colours, straight lines without blur, and valid PNG.

usage: test_icons.py   (runs the generator into a temporary folder)"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TRAY_SIZES = [16, 20, 24, 32, 40, 48]
# file: (sizes it must hold, fill colour)
EXPECTED = {
    "mainicon.ico": ([16, 24, 32, 48, 256], (0, 255, 0)),
    "tray_red.ico": (TRAY_SIZES, (255, 0, 0)),
    "state0.ico": (TRAY_SIZES, (255, 0, 0)),
    "state1.ico": (TRAY_SIZES, (255, 255, 0)),
    "state2.ico": (TRAY_SIZES, (0, 255, 0)),
}
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def entries(data):
    """(size, bytes) of every image in an .ico file."""
    reserved, kind, count = struct.unpack_from("<HHH", data)
    assert (reserved, kind) == (0, 1), "not an icon file"
    found = []
    for i in range(count):
        w, h, _, _, planes, _, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        assert w == h, "entry %d is not square" % i
        assert offset + length <= len(data), "entry %d runs past the end" % i
        found.append((w or 256, data[offset:offset + length]))
    return found


def png_pixels(image):
    """Rows of (r, g, b, a) of an 8-bit RGBA PNG without filters, checking every chunk."""
    assert image.startswith(PNG_SIGNATURE), "no PNG signature"
    pos, chunks = len(PNG_SIGNATURE), {}
    while pos < len(image):
        length, = struct.unpack_from(">I", image, pos)
        kind = image[pos + 4:pos + 8]
        body = image[pos + 8:pos + 8 + length]
        crc, = struct.unpack_from(">I", image, pos + 8 + length)
        assert crc == zlib.crc32(kind + body), "bad CRC in %r" % kind
        chunks[kind] = chunks.get(kind, b"") + body
        pos += 12 + length
    assert b"IEND" in chunks, "no IEND"
    w, h, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunks[b"IHDR"])
    assert (depth, colour, interlace) == (8, 6, 0), "not plain 8-bit RGBA"
    raw = zlib.decompress(chunks[b"IDAT"])
    stride = 1 + 4 * w
    assert len(raw) == h * stride, "pixel data of the wrong length"
    rows = []
    for y in range(h):
        line = raw[y * stride:(y + 1) * stride]
        assert line[0] == 0, "row %d uses a filter" % y
        rows.append([tuple(line[1 + 4 * x:5 + 4 * x]) for x in range(w)])
    return w, rows


def dib_pixels(image, size):
    """Rows (top first) of (r, g, b, a) of a 32-bit icon image; alpha comes
    from the mask for the older depths. Checks the header and the mask."""
    header_size, w, h, planes, bits = struct.unpack_from("<IiiHH", image)
    assert (header_size, w, h, planes) == (40, size, 2 * size, 1), "bad header"
    colours = {4: 16, 24: 0, 32: 0}[bits]
    stride = (size * bits + 31) // 32 * 4
    mask_stride = (size + 31) // 32 * 4
    pos = 40 + 4 * colours
    assert len(image) == pos + size * (stride + mask_stride), "image of the wrong length"
    palette = [tuple(image[40 + 4 * i:43 + 4 * i]) for i in range(colours)]
    rows = []
    for y in range(size):
        line = image[pos + (size - 1 - y) * stride:][:stride]
        mask = image[pos + size * stride + (size - 1 - y) * mask_stride:][:mask_stride]
        row = []
        for x in range(size):
            masked = mask[x // 8] >> (7 - x % 8) & 1
            if bits == 32:
                b, g, r, a = line[4 * x:4 * x + 4]
                assert masked == (a == 0), "mask and alpha disagree at %d,%d" % (x, y)
            else:
                if bits == 4:
                    b, g, r = palette[line[x // 2] >> (4 * (1 - x % 2)) & 15]
                else:
                    b, g, r = line[3 * x:3 * x + 3]
                a = 0 if masked else 255
                assert not masked or (r, g, b) == (0, 0, 0), "a masked pixel is not black at %d,%d" % (x, y)
            row.append((r, g, b, a))
        rows.append(row)
    return rows


def reference16():
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "reference16.txt")) as f:
        return dict(line.split() for line in f if line.strip() and not line.startswith("#"))


def check_picture(name, size, rows, fill):
    """What every size must show: the fill, a black outline, transparent
    corners, and the widest row (low in the body) free of blur."""
    opaque = [p[:3] for row in rows for p in row if p[3] == 255]
    assert fill in opaque and (0, 0, 0) in opaque, "%s %d: no fill or no outline" % (name, size)
    assert rows[0][0][3] == 0 and rows[-1][-1][3] == 0, "%s %d: opaque corners" % (name, size)
    middle = rows[size * 3 // 4]
    for x, (r, g, b, a) in enumerate(middle):
        assert a == 0 or (a == 255 and (r, g, b) in (fill, (0, 0, 0))), \
            "%s %d: blurred pixel %r at %d in row %d" % (name, size, (r, g, b, a), x, size * 3 // 4)


def main():
    reference = reference16()
    failures = 0
    with tempfile.TemporaryDirectory() as out:
        subprocess.run([sys.executable, os.path.join(SOURCE, "tools", "make-icons.py"),
                        os.path.join(SOURCE, "src", "app", "icons", "mouse.txt"), out], check=True)
        assert sorted(os.listdir(out)) == sorted(EXPECTED), "icon files: %s" % os.listdir(out)
        for name, (sizes, fill) in sorted(EXPECTED.items()):
            try:
                with open(os.path.join(out, name), "rb") as f:
                    images = entries(f.read())
                assert [s for s, _ in images] == sizes, "%s holds sizes %s" % (name, [s for s, _ in images])
                for size, image in images:
                    if size == 16:
                        assert image.hex() == reference[name], "%s: the 16-pixel image changed" % name
                    if size >= 256:
                        w, rows = png_pixels(image)
                        assert w == size, "%s: PNG of %d pixels" % (name, w)
                    else:
                        assert not image.startswith(PNG_SIGNATURE), "%s %d: PNG below 256" % (name, size)
                        rows = dib_pixels(image, size)
                    check_picture(name, size, rows, fill)
                print("[ OK ] %s: %s" % (name, ", ".join(str(s) for s in sizes)))
            except AssertionError as e:
                failures += 1
                print("[FAIL] %s: %s" % (name, e))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
