#!/usr/bin/env python3
"""Draws the pictures of Binpanel and Quelaunch from code and writes them as Windows resource
files (.ico, .cur, RLE4 .bmp). Standard library only, deterministic.

  generate.py                 write every resource file
  generate.py --check         exit 1 if a committed file differs from what would be written
  generate.py --sheet PATH    also render a contact sheet PNG to PATH and docs/contact_sheet.png
"""
import os
import struct
import sys
import zlib

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))

# The standard 16-colour palette of 4-bit DIBs, in index order.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
(BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER,
 GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE) = range(16)


# ---------------------------------------------------------------------------------------------
# Drawing

class Canvas:
    """A grid of palette indices; None is transparent."""

    def __init__(self, w, h, fill=None):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def get(self, x, y):
        if 0 <= x < self.w and 0 <= y < self.h:
            return self.px[y][x]
        return None

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        self.line(x0, y0, x1, y0, c)
        self.line(x0, y1, x1, y1, c)
        self.line(x0, y0, x0, y1, c)
        self.line(x1, y0, x1, y1, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.put(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def polygon(self, pts, c):
        """Fills the pixels whose centres lie inside the polygon (even-odd rule)."""
        n = len(pts)
        for y in range(self.h):
            cy = y + 0.5
            xs = []
            for i in range(n):
                (ax, ay), (bx, by) = pts[i], pts[(i + 1) % n]
                if (ay <= cy < by) or (by <= cy < ay):
                    xs.append(ax + (cy - ay) * (bx - ax) / (by - ay))
            xs.sort()
            for a, b in zip(xs[0::2], xs[1::2]):
                for x in range(self.w):
                    if a <= x + 0.5 < b:
                        self.px[y][x] = c

    def ellipse(self, cx, cy, rx, ry, c):
        """Fills the pixels whose centres lie inside the ellipse; (cx, cy) in pixel units."""
        for y in range(self.h):
            for x in range(self.w):
                dx, dy = (x + 0.5 - cx) / rx, (y + 0.5 - cy) / ry
                if dx * dx + dy * dy <= 1.0:
                    self.px[y][x] = c

    def outline(self, c, diagonal=True):
        """Paints c on every transparent pixel that touches a drawn one."""
        hits = []
        for y in range(self.h):
            for x in range(self.w):
                if self.px[y][x] is not None:
                    continue
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)) + (
                        ((1, 1), (1, -1), (-1, 1), (-1, -1)) if diagonal else ()):
                    if self.get(x + dx, y + dy) is not None:
                        hits.append((x, y))
                        break
        for x, y in hits:
            self.px[y][x] = c

    def pattern(self, x0, y0, rows, colours):
        """Draws an ASCII pattern; each character maps through colours, others are skipped."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch in colours:
                    self.put(x0 + dx, y0 + dy, colours[ch])


def arrow_right(c, x0, x1, y, half, shaft, colour):
    """A right-pointing arrow whose tip is at (x1, y)."""
    for i in range(half + 1):
        c.line(x1 - i, y - i, x1 - i, y + i, colour)
    c.rect(x0, y - shaft, x1 - half - 1, y + shaft, colour)


def arrow_down(c, x, y0, y1, half, shaft, colour):
    """A downward arrow whose tip is at (x, y1)."""
    for i in range(half + 1):
        c.line(x - i, y1 - i, x + i, y1 - i, colour)
    c.rect(x - shaft, y0, x + shaft, y1 - half - 1, colour)


# ---------------------------------------------------------------------------------------------
# The accessory, large: bitmaps 128 to 136

PIC_W, PIC_H = 96, 154


def pic_slant(x):
    """Rows the left face's horizontals drop at column x: one every four columns."""
    return (x - 12) // 4


def tray_top(r, x):
    """First row of tray r's well at column x; the well is eight rows deep."""
    return 36 + 12 * r + pic_slant(x)


TRAY_X0, TRAY_X1, TRAY_DEPTH = 11, 44, 8


def draw_tower(highlight=None):
    c = Canvas(PIC_W, PIC_H, WHITE)
    lx, fx, rx = 8, 47, 79                       # left edge, front corner, right edge
    top_l = lambda x: 24 + pic_slant(x)           # top edge of the left face
    bot_l = lambda x: 140 + pic_slant(x)          # bottom edge of the left face
    top_r = lambda x: 32 - (x - fx) // 2          # the right face rises toward the back
    bot_r = lambda x: 148 - (x - fx) // 2

    # castors under the three visible corners
    for wx, wy in ((lx + 3, bot_l(lx + 3)), (fx - 1, bot_l(fx)), (rx - 3, bot_r(rx - 3))):
        c.rect(wx - 1, wy + 1, wx + 1, wy + 2, GREY)
        c.ellipse(wx + 0.5, wy + 4.5, 3.0, 2.2, BLACK)
        c.put(wx, wy + 4, GREY)

    # left face: the trays' side
    for x in range(lx, fx + 1):
        for y in range(top_l(x), bot_l(x) + 1):
            c.put(x, y, SILVER)
    # right face: plain, lit from the front corner
    for x in range(fx + 1, rx + 1):
        for y in range(top_r(x), bot_r(x) + 1):
            c.put(x, y, GREY if x > fx + 3 else WHITE)
    for x in range(fx + 4, rx + 1):
        for y in range(top_r(x) + 2, bot_r(x) - 9):
            c.put(x, y, SILVER)
    for x in range(fx + 4, rx):
        c.put(x, top_r(x) + 2, WHITE)
    # top face
    c.polygon([(lx, 23.5), (fx + 0.5, 32.5), (rx + 1, 16.5), (40.5, 7.5)], WHITE)

    # top output area: a recess with a sheet in it
    def top_pt(u, v):
        return (lx + 39 * u + 32 * v, 23.5 + 9 * u - 16 * v)
    c.polygon([top_pt(0.12, 0.18), top_pt(0.88, 0.18), top_pt(0.88, 0.86), top_pt(0.12, 0.86)],
              GREY)
    c.polygon([top_pt(0.22, 0.30), top_pt(0.80, 0.30), top_pt(0.80, 0.86), top_pt(0.22, 0.86)],
              WHITE)
    for v in (0.45, 0.58, 0.71):
        a, b = top_pt(0.30, v), top_pt(0.66, v)
        c.line(int(a[0]), int(a[1]), int(b[0]), int(b[1]), SILVER)
    a, b = top_pt(0.12, 0.18), top_pt(0.88, 0.18)
    c.line(int(a[0]), int(a[1]), int(b[0]), int(b[1]), BLACK)

    # control strip above the trays: a display and a lamp
    for x in range(12, 44):
        c.put(x, top_l(x) + 4, GREY)
        c.put(x, top_l(x) + 8, WHITE)
    for x in range(14, 26):
        for y in range(top_l(x) + 5, top_l(x) + 8):
            c.put(x, y, TEAL)
    for x in range(38, 41):
        c.put(x, top_l(x) + 6, LIME)

    # the eight trays, each slanting down toward the front corner
    for r in range(8):
        for x in range(TRAY_X0 - 1, TRAY_X1 + 2):
            t = tray_top(r, x)
            c.put(x, t - 1, BLACK)
            if TRAY_X0 <= x <= TRAY_X1:
                for y in range(t, t + TRAY_DEPTH):
                    if highlight == r:
                        c.put(x, y, LIME if (x + y) % 2 == 0 else WHITE)
                    else:
                        c.put(x, y, GREY if y < t + 2 else SILVER)
            else:
                for y in range(t, t + TRAY_DEPTH):
                    c.put(x, y, BLACK if x < TRAY_X0 else WHITE)
            c.put(x, t + TRAY_DEPTH, WHITE)
            c.put(x, t + TRAY_DEPTH + 1, GREY)

    # plinth
    for x in range(lx, fx + 1):
        for y in range(bot_l(x) - 5, bot_l(x) + 1):
            c.put(x, y, GREY)
        c.put(x, bot_l(x) - 6, WHITE)
    for x in range(fx + 1, rx + 1):
        for y in range(bot_r(x) - 5, bot_r(x) + 1):
            c.put(x, y, GREY if x <= fx + 3 else BLACK)
        c.put(x, bot_r(x) - 6, WHITE if x <= fx + 3 else GREY)

    # silhouette and front corner
    for x in range(lx, fx + 1):
        c.put(x, top_l(x) - 1 if x > lx else top_l(x), BLACK)
        c.put(x, bot_l(x) + 1, BLACK)
    for x in range(fx, rx + 1):
        c.put(x, bot_r(x) + 1, BLACK)
    c.line(lx, 23, 40, 7, BLACK)
    c.line(40, 7, rx, 16, BLACK)
    c.line(fx, 32, rx, 16, BLACK)
    c.line(lx - 1, top_l(lx), lx - 1, bot_l(lx), BLACK)
    c.line(rx + 1, top_r(rx), rx + 1, bot_r(rx), BLACK)
    c.line(fx, top_l(fx), fx, bot_l(fx), BLACK)
    return c


# ---------------------------------------------------------------------------------------------
# The accessory, small: icons 101, 198 to 208

def icon_tray_row(r):
    """Row of tray r's lip in the icons."""
    return 7 + 3 * r


def icon_tower(mark=(), top_marked=False):
    """The accessory at icon size, front face and right side; mark lists the trays (0 to 7)
    filled green."""
    c = Canvas(32, 32)
    x0, x1, y0, y1, dx = 6, 21, 5, 30, 6          # front face and the depth
    rise = lambda i: (i + 1) // 2                 # the receding edges go two across, one up
    for x, y in ((x0 + 2, y1 + 1), (x1 - 1, y1 + 1), (x1 + dx - 1, y1 - rise(dx) + 1)):
        c.rect(x - 1, y, x + 1, y, BLACK)
    c.rect(x0, y0, x1, y1, BLACK)
    c.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, SILVER)
    for x in range(x0 + 1, x1 + dx + 1):
        top = y0 - rise(min(x - x0, dx))
        bottom = y0 - rise(max(0, x - x1))
        for y in range(top + 1, bottom):
            c.put(x, y, WHITE)
        c.put(x, top, BLACK)
    for i in range(1, dx + 1):
        x = x1 + i
        c.line(x, y0 - rise(i), x, y1 - rise(i), BLACK if i == dx else GREY)
        c.put(x, y0 - rise(i), BLACK)
        c.put(x, y1 - rise(i), BLACK)
    c.line(x1 + 1, y0, x1 + 1, y1 - 1, WHITE)
    area = LIME if top_marked else SILVER
    c.line(x0 + 4, y0 - 1, x1 - 1, y0 - 1, area)
    c.line(x0 + 6, y0 - 2, x1 + 1, y0 - 2, area)
    for r in range(8):
        for x in range(x0 + 1, x1 - 1):
            y = icon_tray_row(r)
            c.put(x, y - 1, BLACK)
            c.put(x, y, LIME if r in mark else WHITE)
            if r in mark:
                c.put(x, y + 1, LIME)
    return c


def icon_accessory():
    """The accessory with printed sheets standing out of some trays."""
    c = icon_tower()
    for r in (1, 4, 6):
        y = icon_tray_row(r)
        c.rect(2, y - 1, 6, y, WHITE)
        c.line(2, y - 2, 6, y - 2, BLACK)
        c.line(1, y - 1, 1, y, BLACK)
        c.line(2, y + 1, 5, y + 1, BLACK)
    return c


def icon_mailbox(r):
    c = icon_tower(mark=(r,))
    arrow_right(c, 0, 7, icon_tray_row(r), 3, 0, RED)
    return c


def icon_single_output():
    c = icon_tower(mark=range(8))
    arrow_right(c, 0, 7, 17, 4, 1, RED)
    return c


def icon_top_output():
    c = icon_tower()
    arrow_down(c, 16, 0, 4, 3, 1, RED)
    return c


def icon_face_up():
    return icon_tower(top_marked=True)


# ---------------------------------------------------------------------------------------------
# Other icons

QUESTION = [
    "  #####  ",
    " ####### ",
    "###   ###",
    "###   ###",
    "     ####",
    "    #### ",
    "   ####  ",
    "   ###   ",
    "   ###   ",
    "         ",
    "   ###   ",
    "   ###   ",
]


def icon_hints():
    c = Canvas(32, 32)
    c.ellipse(16, 13, 14.5, 11.5, WHITE)
    c.polygon([(6, 19), (13, 22), (4, 29.5)], WHITE)
    c.outline(BLACK)
    c.pattern(12, 7, QUESTION, {"#": BLUE})
    return c


def icon_timeout():
    c = Canvas(32, 32)
    # the sheet, half out of the printer
    c.rect(9, 1, 22, 16, WHITE)
    for y in (4, 6, 8, 10, 12):
        c.line(11, y, 20 if y != 12 else 16, y, GREY)
    c.frame(8, 0, 23, 17, BLACK)
    # the printer: top, slot, front
    c.polygon([(2, 16), (30, 16), (28, 12), (4, 12)], SILVER)
    c.line(4, 12, 28, 12, BLACK)
    c.line(4, 12, 1, 16, BLACK)
    c.line(28, 12, 31, 16, BLACK)
    c.rect(7, 13, 24, 15, BLACK)
    c.rect(9, 13, 22, 14, WHITE)
    c.line(8, 13, 8, 15, BLACK)
    c.line(23, 13, 23, 15, BLACK)
    c.rect(1, 16, 30, 26, SILVER)
    c.line(2, 17, 29, 17, WHITE)
    c.frame(1, 16, 30, 27, BLACK)
    c.rect(5, 21, 22, 23, GREY)
    c.line(5, 21, 22, 21, BLACK)
    c.rect(25, 20, 27, 21, LIME)
    c.rect(25, 23, 27, 24, GREY)
    c.rect(2, 27, 29, 27, BLACK)
    c.rect(3, 28, 6, 29, BLACK)
    c.rect(25, 28, 28, 29, BLACK)
    return c


def icon_clock(frame):
    c = Canvas(32, 32)
    cx, cy = 15, 17
    # bells and hammer
    for bx in (7, 23):
        c.ellipse(bx + 0.5, 6.5, 4.6, 4.2, YELLOW)
    c.outline(BLACK)
    c.line(15, 3, 15, 6, BLACK)
    c.rect(13, 2, 17, 2, BLACK)
    # legs
    c.line(8, 26, 5, 30, BLACK)
    c.line(22, 26, 25, 30, BLACK)
    c.line(9, 26, 6, 30, BLACK)
    c.line(21, 26, 24, 30, BLACK)
    # case and dial
    c.ellipse(cx + 0.5, cy + 0.5, 11.6, 11.6, BLACK)
    c.ellipse(cx + 0.5, cy + 0.5, 10.6, 10.6, BLUE)
    c.ellipse(cx + 0.5, cy + 0.5, 8.6, 8.6, WHITE)
    for dx, dy in ((0, -7), (7, 0), (0, 7), (-7, 0)):
        c.put(cx + dx, cy + dy, BLACK)
    for dx, dy in ((4, -6), (6, -4), (6, 4), (4, 6), (-4, 6), (-6, 4), (-6, -4), (-4, -6)):
        c.put(cx + dx, cy + dy, GREY)
    # hour and minute hands stand still; the second hand takes one eighth of a turn per frame
    c.line(cx, cy, cx - 3, cy - 2, BLACK)
    c.line(cx, cy - 1, cx - 3, cy - 3, BLACK)
    c.line(cx, cy, cx + 4, cy - 5, BLACK)
    c.line(cx + 1, cy, cx + 5, cy - 5, BLACK)
    dirs = [(0, -1), (1, -1), (1, 0), (1, 1), (0, 1), (-1, 1), (-1, 0), (-1, -1)]
    dx, dy = dirs[frame]
    n = 7 if dx == 0 or dy == 0 else 5
    c.line(cx - dx * 2, cy - dy * 2, cx + dx * n, cy + dy * n, RED)
    c.put(cx, cy, RED)
    return c


def icon_queue(size):
    """Quelaunch: a job list window with a printer in front of it."""
    c = Canvas(size, size)
    if size == 32:
        c.rect(1, 1, 24, 22, WHITE)
        c.rect(1, 1, 24, 4, NAVY)
        c.rect(21, 2, 23, 3, SILVER)
        for i, y in enumerate((7, 10, 13, 16, 19)):
            c.rect(3, y - 1, 5, y, YELLOW if i else LIME)
            c.line(7, y, 21 - 3 * (i % 3), y, BLACK if i == 0 else GREY)
            c.line(7, y - 1, 18 - 2 * (i % 2), y - 1, BLACK if i == 0 else GREY)
        c.frame(0, 0, 25, 23, BLACK)
        # printer
        c.rect(17, 14, 27, 19, WHITE)
        c.line(19, 16, 25, 16, GREY)
        c.frame(16, 13, 28, 20, BLACK)
        c.rect(13, 20, 30, 28, SILVER)
        c.line(14, 21, 29, 21, WHITE)
        c.frame(12, 20, 31, 29, BLACK)
        c.rect(15, 24, 26, 25, GREY)
        c.line(15, 24, 26, 24, BLACK)
        c.put(29, 23, LIME)
        c.line(13, 30, 15, 30, BLACK)
        c.line(28, 30, 30, 30, BLACK)
    else:
        c.rect(1, 1, 11, 10, WHITE)
        c.rect(1, 1, 11, 2, NAVY)
        for i, y in enumerate((4, 6, 8)):
            c.put(2, y, LIME if i == 0 else YELLOW)
            c.line(4, y, 9 - i, y, BLACK if i == 0 else GREY)
        c.frame(0, 0, 12, 11, BLACK)
        c.rect(8, 7, 13, 9, WHITE)
        c.frame(7, 6, 14, 10, BLACK)
        c.rect(6, 10, 15, 14, SILVER)
        c.line(7, 11, 14, 11, WHITE)
        c.frame(5, 10, 15, 14, BLACK)
        c.line(7, 12, 11, 12, BLACK)
        c.put(13, 12, LIME)
        c.line(6, 15, 7, 15, BLACK)
        c.line(13, 15, 14, 15, BLACK)
    return c


# ---------------------------------------------------------------------------------------------
# The hand cursor

HOT_SPOT = (12, 6)


def cursor_hand():
    """Monochrome: 0 black, 1 white, None transparent."""
    c = Canvas(32, 32)
    c.rect(11, 7, 13, 21, 1)                      # index finger
    c.rect(15, 13, 17, 21, 1)                     # middle, ring and little fingers, curled
    c.rect(19, 14, 21, 21, 1)
    c.rect(23, 16, 24, 21, 1)
    c.rect(9, 20, 24, 26, 1)                      # palm
    c.rect(10, 27, 23, 27, 1)
    for i in range(5):                            # thumb
        c.rect(5 + i, 16 + i, 7 + i, 18 + i, 1)
    c.rect(11, 28, 22, 30, 1)                     # cuff
    c.outline(0, diagonal=False)
    c.line(11, 28, 22, 28, 0)
    c.put(15, 13, 1)
    c.put(12, 7, 1)
    return c


# ---------------------------------------------------------------------------------------------
# File formats

def dib_rows_4bpp(c, pad_to=4):
    """Bottom-up 4-bit rows, transparent pixels as index 0."""
    out = bytearray()
    for y in range(c.h - 1, -1, -1):
        row = [0 if v is None else v for v in c.px[y]]
        if len(row) % 2:
            row.append(0)
        b = bytes((row[i] << 4) | row[i + 1] for i in range(0, len(row), 2))
        out += b + b"\0" * (-len(b) % pad_to)
    return bytes(out)


def mask_rows(c, bit):
    """Bottom-up 1-bit rows of bit(pixel), padded to 32 bits."""
    out = bytearray()
    for y in range(c.h - 1, -1, -1):
        row = bytearray((c.w + 7) // 8)
        for x in range(c.w):
            if bit(c.px[y][x]):
                row[x // 8] |= 0x80 >> (x % 8)
        out += row + b"\0" * (-len(row) % 4)
    return bytes(out)


def palette_bytes(colours):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)


def info_header(w, h, bpp, compression=0, size_image=0, colours=0):
    return struct.pack("<IiiHHIIiiII", 40, w, h, 1, bpp, compression, size_image, 0, 0,
                       colours, 0)


def icon_image(c):
    xor = dib_rows_4bpp(c)
    andm = mask_rows(c, lambda v: v is None)
    return info_header(c.w, 2 * c.h, 4, 0, len(xor) + len(andm)) + palette_bytes(PALETTE) + xor + andm


def ico_file(images):
    """ICO with 16-colour images."""
    blobs = [icon_image(c) for c in images]
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for c, b in zip(images, blobs):
        out += struct.pack("<BBBBHHII", c.w, c.h, 16, 0, 1, 4, len(b), offset)
        offset += len(b)
    return out + b"".join(blobs)


def cur_file(c, hot):
    xor = mask_rows(c, lambda v: v == 1)
    andm = mask_rows(c, lambda v: v is None)
    blob = (info_header(c.w, 2 * c.h, 1, 0, len(xor) + len(andm))
            + palette_bytes([(0, 0, 0), (255, 255, 255)]) + xor + andm)
    return (struct.pack("<HHH", 0, 2, 1)
            + struct.pack("<BBBBHHII", c.w, c.h, 2, 0, hot[0], hot[1], len(blob), 22) + blob)


def rle4_row(row):
    """Encodes one row of indices: runs of one or two alternating colours in encoded mode,
    everything else in absolute mode (at least three pixels, padded to a 16-bit boundary)."""
    out = bytearray()
    literal = []

    def flush():
        i = 0
        while i < len(literal):
            chunk = literal[i:i + 254]
            i += len(chunk)
            if len(chunk) < 3:
                lo = chunk[1] if len(chunk) == 2 else 0
                out.extend((len(chunk), (chunk[0] << 4) | lo))
                continue
            packed = chunk + [0] * (len(chunk) % 2)
            data = bytes((packed[k] << 4) | packed[k + 1] for k in range(0, len(packed), 2))
            out.extend((0, len(chunk)))
            out.extend(data + b"\0" * (len(data) % 2))
        literal.clear()

    i, n = 0, len(row)
    while i < n:
        run = 1
        while i + run < n and run < 255 and row[i + run] == row[i + (run % 2)]:
            run += 1
        if run >= 4 or (run == n - i and not literal):
            flush()
            lo = row[i + 1] if run > 1 else 0
            out.extend((run, (row[i] << 4) | lo))
            i += run
        else:
            literal.append(row[i])
            i += 1
    flush()
    return bytes(out)


def bmp_rle4(c):
    data = bytearray()
    for y in range(c.h - 1, -1, -1):
        data += rle4_row(c.px[y])
        data += b"\x00\x01" if y == 0 else b"\x00\x00"
    header = info_header(c.w, c.h, 4, 2, len(data), 16) + palette_bytes(PALETTE)
    offset = 14 + len(header)
    return struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset) + header + bytes(data)


# ---------------------------------------------------------------------------------------------
# What is written

def pictures():
    """(id, canvas) of every picture, in the order of the contact sheet."""
    icons = [(101, icon_accessory()), (103, icon_hints()), (118, icon_timeout())]
    icons += [(187 + k, icon_clock(k)) for k in range(8)]
    icons += [(198, icon_single_output()), (199, icon_top_output()), (200, icon_face_up())]
    icons += [(201 + r, icon_mailbox(r)) for r in range(8)]
    bitmaps = [(128, draw_tower())] + [(129 + r, draw_tower(r)) for r in range(8)]
    return icons, bitmaps


def outputs():
    """{relative path: bytes} of every committed resource file."""
    icons, bitmaps = pictures()
    files = {}
    for rid, c in icons:
        files["applet/resources/art/icon%d.ico" % rid] = ico_file([c])
    for rid, c in bitmaps:
        files["applet/resources/art/bin%d.bmp" % rid] = bmp_rle4(c)
    files["applet/resources/art/hand150.cur"] = cur_file(cursor_hand(), HOT_SPOT)
    files["launcher/resources/quelaunch.ico"] = ico_file([icon_queue(32), icon_queue(16)])
    return files


# ---------------------------------------------------------------------------------------------
# Contact sheet

FONT = {
    "0": ["###", "# #", "# #", "# #", "###"], "1": [" # ", "## ", " # ", " # ", "###"],
    "2": ["###", "  #", "###", "#  ", "###"], "3": ["###", "  #", "###", "  #", "###"],
    "4": ["# #", "# #", "###", "  #", "  #"], "5": ["###", "#  ", "###", "  #", "###"],
    "6": ["###", "#  ", "###", "# #", "###"], "7": ["###", "  #", "  #", "  #", "  #"],
    "8": ["###", "# #", "###", "# #", "###"], "9": ["###", "# #", "###", "  #", "###"],
    "Q": [" # ", "# #", "# #", "## ", " ##"], "C": ["###", "#  ", "#  ", "#  ", "###"],
    "x": ["   ", "# #", " # ", "# #", "   "],
}


def png_bytes(rgb_rows, w, h):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + bytes(r) for r in rgb_rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def contact_sheet():
    icons, bitmaps = pictures()
    icons = icons + [("Q32", icon_queue(32)), ("Q16", icon_queue(16))]
    hand = cursor_hand()
    cur = Canvas(32, 32)
    for y in range(32):
        for x in range(32):
            v = hand.px[y][x]
            cur.px[y][x] = None if v is None else (WHITE if v else BLACK)
    icons.append(("C150", cur))

    z_icon, z_bmp, gap = 4, 2, 12
    cell_w, cell_h = 32 * z_icon + gap, 32 * z_icon + 20
    per_row = 11
    icon_rows = (len(icons) + per_row - 1) // per_row
    w = gap + max(per_row * cell_w, len(bitmaps) * (PIC_W * z_bmp + gap))
    h = gap + icon_rows * cell_h + gap + PIC_H * z_bmp + 20 + gap
    bg, checker = (0xC0, 0xC0, 0xC0), (0xA8, 0xA8, 0xA8)
    img = [[bg] * w for _ in range(h)]

    def text(s, x0, y0, zoom=2):
        x = x0
        for ch in s:
            for gy, row in enumerate(FONT[ch]):
                for gx, v in enumerate(row):
                    if v == "#":
                        for yy in range(zoom):
                            for xx in range(zoom):
                                img[y0 + gy * zoom + yy][x + gx * zoom + xx] = (0, 0, 0)
            x += 4 * zoom

    def paste(c, x0, y0, zoom):
        for y in range(c.h * zoom):
            for x in range(c.w * zoom):
                v = c.px[y // zoom][x // zoom]
                if v is None:
                    col = checker if ((x // 8) + (y // 8)) % 2 else bg
                else:
                    col = PALETTE[v]
                img[y0 + y][x0 + x] = col

    for k, (rid, c) in enumerate(icons):
        x0 = gap + (k % per_row) * cell_w
        y0 = gap + (k // per_row) * cell_h
        paste(c, x0, y0, z_icon)
        text(str(rid), x0, y0 + 32 * z_icon + 5)
    y0 = gap + icon_rows * cell_h + gap
    for k, (rid, c) in enumerate(bitmaps):
        x0 = gap + k * (PIC_W * z_bmp + gap)
        paste(c, x0, y0, z_bmp)
        text(str(rid), x0, y0 + PIC_H * z_bmp + 5)
    return png_bytes([[v for px in row for v in px] for row in img], w, h)


# ---------------------------------------------------------------------------------------------

def main(argv):
    args = argv[1:]
    files = outputs()
    if args[:1] == ["--check"]:
        stale = []
        for rel, data in sorted(files.items()):
            path = os.path.join(ROOT, rel)
            try:
                with open(path, "rb") as f:
                    if f.read() != data:
                        stale.append(rel + " differs")
            except OSError:
                stale.append(rel + " is missing")
        for s in stale:
            print("generate.py --check: " + s, file=sys.stderr)
        if stale:
            print("run tools/art/generate.py and commit the result", file=sys.stderr)
            return 1
        print("generate.py --check: %d files up to date" % len(files))
        return 0
    sheet = None
    if args[:1] == ["--sheet"] and len(args) == 2:
        sheet = args[1]
    elif args:
        print(__doc__, file=sys.stderr)
        return 2
    for rel, data in sorted(files.items()):
        path = os.path.join(ROOT, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    if sheet:
        png = contact_sheet()
        for path in (sheet, os.path.join(ROOT, "docs", "contact_sheet.png")):
            if os.path.dirname(path):
                os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(png)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
