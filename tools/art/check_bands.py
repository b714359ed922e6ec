#!/usr/bin/env python3
"""Checks the committed bin pictures and hand cursor against the bin picture control's hit
bands: the RLE4 bitmaps are decoded here independently of the generator, and each highlighted
tray must lie under, and fill most of, the two bands that a click on it hits."""
import os
import struct
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
ART = os.path.join(ROOT, "applet", "resources", "art")

WIDTH, HEIGHT = 96, 154
LIME, WHITE = 10, 15
VGA16 = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
MIN_COVER = 0.60


class Failure(Exception):
    pass


def bands(row):
    """The two hit bands of a tray row as (x0, y0, x1, y1), inclusive."""
    return ((10, 35 + 12 * row, 27, 46 + 12 * row), (28, 40 + 12 * row, 45, 51 + 12 * row))


def in_band(b, x, y):
    return b[0] <= x <= b[2] and b[1] <= y <= b[3]


def decode_rle4(name, data, width, height):
    """Returns rows top-down; every pixel must be written exactly once."""
    rows = [[None] * width for _ in range(height)]
    x, y, i = 0, height - 1, 0

    def emit(v):
        nonlocal x
        if y < 0 or x >= width:
            raise Failure("%s: a run passes the end of row %d" % (name, y))
        if rows[y][x] is not None:
            raise Failure("%s: pixel (%d, %d) written twice" % (name, x, y))
        rows[y][x] = v
        x += 1

    while True:
        if i + 2 > len(data):
            raise Failure("%s: pixel data ends without an end-of-bitmap marker" % name)
        n, v = data[i], data[i + 1]
        i += 2
        if n:
            for k in range(n):
                emit(v >> 4 if k % 2 == 0 else v & 15)
        elif v == 0:
            x, y = 0, y - 1
        elif v == 1:
            break
        elif v == 2:
            raise Failure("%s: delta escapes leave pixels undefined" % name)
        else:
            size = (v + 3) // 4 * 2
            chunk = data[i:i + size]
            if len(chunk) < size:
                raise Failure("%s: absolute run cut short" % name)
            for k in range(v):
                emit(chunk[k // 2] >> 4 if k % 2 == 0 else chunk[k // 2] & 15)
            i += size
    if i != len(data):
        raise Failure("%s: %d bytes after the end-of-bitmap marker" % (name, len(data) - i))
    for r, row in enumerate(rows):
        if None in row:
            raise Failure("%s: row %d not fully written (x %d)" % (name, r, row.index(None)))
    return rows


def read_bitmap(rid):
    name = "bin%d.bmp" % rid
    with open(os.path.join(ART, name), "rb") as f:
        raw = f.read()
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", raw, 0)
    (hsize, w, h, planes, bpp, compression, image_size, _, _,
     used, _) = struct.unpack_from("<IiiHHIIiiII", raw, 14)
    if magic != b"BM" or size != len(raw) or hsize != 40:
        raise Failure("%s: not a Windows bitmap with a 40-byte header" % name)
    if (w, h, planes, bpp, compression) != (WIDTH, HEIGHT, 1, 4, 2):
        raise Failure("%s: %dx%d, %d planes, %d bpp, compression %d; want %dx%d, 1, 4, BI_RLE4"
                      % (name, w, h, planes, bpp, compression, WIDTH, HEIGHT))
    colours = used or 16
    palette = [tuple(raw[54 + 4 * k:54 + 4 * k + 3][::-1]) for k in range(colours)]
    if palette != VGA16:
        raise Failure("%s: palette is not the standard 16-colour one" % name)
    if offset != 54 + 4 * colours or image_size != len(raw) - offset:
        raise Failure("%s: pixel data offset or size is wrong" % name)
    return decode_rle4(name, raw[offset:], w, h)


def check_highlight(plain, lit, row):
    name = "bin%d.bmp" % (129 + row)
    changed = [(x, y) for y in range(HEIGHT) for x in range(WIDTH) if plain[y][x] != lit[y][x]]
    if not changed:
        raise Failure("%s: no tray highlighted" % name)
    parity = {}
    for x, y in changed:
        v = lit[y][x]
        if v not in (LIME, WHITE):
            raise Failure("%s: changed pixel (%d, %d) has colour %d, not bright green or white"
                          % (name, x, y, v))
        if parity.setdefault(v, (x + y) % 2) != (x + y) % 2 or len(set(parity.values())) < len(parity):
            raise Failure("%s: highlight at (%d, %d) breaks the checkerboard" % (name, x, y))
        if not 10 <= x <= 45 or not any(in_band(b, x, y) for b in bands(row)):
            raise Failure("%s: highlight pixel (%d, %d) lies outside tray %d's hit bands"
                          % (name, x, y, row + 1))
    for side, b in zip(("left", "right"), bands(row)):
        area = (b[2] - b[0] + 1) * (b[3] - b[1] + 1)
        cover = sum(1 for x, y in changed if in_band(b, x, y)) / area
        if cover < MIN_COVER:
            raise Failure("%s: highlight covers %.0f%% of tray %d's %s band, want %.0f%%"
                          % (name, 100 * cover, row + 1, side, 100 * MIN_COVER))


def check_cursor():
    name = "hand150.cur"
    with open(os.path.join(ART, name), "rb") as f:
        raw = f.read()
    reserved, kind, count = struct.unpack_from("<HHH", raw, 0)
    w, h, _, _, hx, hy, size, offset = struct.unpack_from("<BBBBHHII", raw, 6)
    if (reserved, kind, count) != (0, 2, 1) or offset + size != len(raw):
        raise Failure("%s: not a cursor file with one image" % name)
    if (w, h, hx, hy) != (32, 32, 12, 6):
        raise Failure("%s: %dx%d with hot spot (%d, %d); want 32x32, (12, 6)" % (name, w, h, hx, hy))
    hsize, bw, bh, _, bpp = struct.unpack_from("<IiiHH", raw, offset)
    if (bw, bh, bpp) != (32, 64, 1):
        raise Failure("%s: image is %dx%d at %d bpp; want 32x64 (with mask), 1 bpp" % (name, bw, bh, bpp))
    mask = offset + hsize + 2 * 4 + 32 * 4          # AND mask follows the two colours and XOR
    opaque = lambda x, y: not raw[mask + (31 - y) * 4 + x // 8] & (0x80 >> (x % 8))
    if not opaque(hx, hy):
        raise Failure("%s: the hot spot (%d, %d) is not on the hand" % (name, hx, hy))
    if any(opaque(hx, y) for y in range(hy)):
        raise Failure("%s: the hand reaches above the hot spot; it must be the fingertip" % name)


def main():
    try:
        plain = read_bitmap(128)
        for row in range(8):
            check_highlight(plain, read_bitmap(129 + row), row)
        check_cursor()
    except (Failure, OSError, struct.error) as e:
        print("check_bands.py: FAIL: %s" % e, file=sys.stderr)
        return 1
    print("check_bands.py: bitmaps 128-136 and cursor 150 match the hit bands")
    return 0


if __name__ == "__main__":
    sys.exit(main())
