#!/usr/bin/env python3
"""Draws Leafkeeper's icons, hand cursor and About picture.

Writes the files in resources/pictures/ that the resource script includes:

    app.ico             103  48, 32, 24, 20 and 16 pixels, 256 colours: a note
                             sheet with a leaf
    close_cross.ico     127  16, 12, 10 and 8 pixels, 16 colours: the cross of a
                             page view's close button
    move_up.ico         130  48, 32, 24, 20 and 16 pixels, monochrome: the tool
    move_down.ico       131  bar glyphs ...
    new_page.ico        132
    delete_page.ico     133
    float_page.ico      134
    show_page.ico       135  (also the glyph at the left end of caption strips)
    return_to_book.ico  136
    page_settings.ico   137
    search.ico          138  (a magnifier: searching the page list)
    tray.ico            140  32, 24, 20 and 16 pixels, 16 colours: the
                             notification-area leaf
    hand.cur            139  32x32 monochrome pointing hand, hot spot (12, 5)
    about.bmp           145  200x93, 24 bits per pixel: the top of the About box

Each icon comes in the sizes that display scales of 100, 125, 150 and 200
percent (96, 120, 144 and 192 DPI) ask for, so that none has to be stretched:
a picture shown at 16 pixels at 100 percent is asked for at 20, 24 and 32,
the close cross (8 pixels at 100 percent) at 10, 12 and 16, and the program
icon and the glyphs come at 48 as well (the program icon's 32 pixels at 150
percent). Every size is drawn on its own grid, never scaled from another: the
glyphs at 16 pixels and the cross at 8 are pixel art, their larger sizes are
drawn in whole pixels from the same design (outlines a pixel wide up to 24
pixels, then a pixel for every 16), and the coloured icons are rendered at
each size from shapes placed for that size.

Python 3 standard library only. The text of the About picture is rendered by
ImageMagick's `convert`; everything else is drawn here.

Usage: python3 resources/make_pictures.py [output folder]
"""

import math
import os
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# ---------------------------------------------------------------------------
# A small anti-aliasing rasteriser. Shapes are predicates on pixel coordinates
# (x to the right, y down, pixel (i, j) covering [i, i+1) x [j, j+1)); each
# pixel is sampled on an ss x ss grid and the samples are averaged.
# ---------------------------------------------------------------------------


class Canvas:
    def __init__(self, width, height, ss=6):
        self.width = width
        self.height = height
        self.ss = ss
        self.samples = [None] * (width * ss * height * ss)

    def paint(self, inside, color, box=None):
        """Sets every sample inside the shape to color (an (r, g, b) tuple or
        a function of (x, y) giving one)."""
        ss = self.ss
        sw = self.width * ss
        x0, y0, x1, y1 = box if box else (0, 0, self.width, self.height)
        i0 = max(0, int(math.floor(x0 * ss)))
        i1 = min(sw, int(math.ceil(x1 * ss)))
        j0 = max(0, int(math.floor(y0 * ss)))
        j1 = min(self.height * ss, int(math.ceil(y1 * ss)))
        for j in range(j0, j1):
            y = (j + 0.5) / ss
            row = j * sw
            for i in range(i0, i1):
                x = (i + 0.5) / ss
                if inside(x, y):
                    self.samples[row + i] = color(x, y) if callable(color) else color

    def pixels(self, background=None):
        """Averages the samples: a list of rows of (r, g, b, coverage). With a
        background colour, uncovered samples take it and coverage is 1."""
        ss = self.ss
        sw = self.width * ss
        out = []
        for py in range(self.height):
            row = []
            for px in range(self.width):
                r = g = b = n = 0
                for j in range(py * ss, py * ss + ss):
                    base = j * sw
                    for i in range(px * ss, px * ss + ss):
                        c = self.samples[base + i]
                        if c is None:
                            c = background
                        if c is not None:
                            r += c[0]
                            g += c[1]
                            b += c[2]
                            n += 1
                if n:
                    row.append((round(r / n), round(g / n), round(b / n), n / (ss * ss)))
                else:
                    row.append((0, 0, 0, 0.0))
            out.append(row)
        return out


def polygon(points):
    """Even-odd point-in-polygon test."""
    def inside(x, y):
        result = False
        n = len(points)
        for k in range(n):
            xa, ya = points[k]
            xb, yb = points[(k + 1) % n]
            if (ya > y) != (yb > y):
                if x < xa + (y - ya) * (xb - xa) / (yb - ya):
                    result = not result
        return result
    return inside


def segment(a, b, width):
    """A stroke of the given width from a to b with round ends."""
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy or 1e-9
    half2 = (width / 2.0) ** 2

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        ex = ax + t * dx - x
        ey = ay + t * dy - y
        return ex * ex + ey * ey <= half2
    return inside


def bar(a, b, width):
    """A stroke of the given width from a to b with square-cut ends."""
    length = math.hypot(b[0] - a[0], b[1] - a[1]) or 1e-9
    nx = (a[1] - b[1]) / length * width / 2.0
    ny = (b[0] - a[0]) / length * width / 2.0
    return polygon([(a[0] + nx, a[1] + ny), (b[0] + nx, b[1] + ny),
                    (b[0] - nx, b[1] - ny), (a[0] - nx, a[1] - ny)])


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


class Leaf:
    """A leaf from its base (where the stalk joins) to its tip: widest a third
    of the way up, pointed at the tip, the midrib bent by `bend` (a fraction
    of the length, positive to the leaf's left)."""

    def __init__(self, base, tip, half_width, bend=0.0):
        self.bx, self.by = base
        self.dx = tip[0] - base[0]
        self.dy = tip[1] - base[1]
        self.length = math.hypot(self.dx, self.dy)
        self.half_width = half_width
        self.bend = bend

    def local(self, x, y):
        """(u, v): u from 0 at the base to 1 at the tip, v the signed distance
        in pixels from the (bent) midrib."""
        px, py = x - self.bx, y - self.by
        u = (px * self.dx + py * self.dy) / (self.length ** 2)
        v = (self.dx * py - self.dy * px) / self.length
        v -= 4.0 * self.bend * self.length * u * (1.0 - u)
        return u, v

    def width_at(self, u):
        if u <= 0.0 or u >= 1.0:
            return 0.0
        return self.half_width * 2.88 * (u ** 0.6) * (1.0 - u)

    def blade(self, inset=0.0):
        def inside(x, y):
            u, v = self.local(x, y)
            return abs(v) <= self.width_at(u) - inset
        return inside

    def midrib(self, width, start=0.0, end=0.9):
        def inside(x, y):
            u, v = self.local(x, y)
            return start <= u <= end and abs(v) <= width / 2.0 * (1.15 - u)
        return inside

    def point(self, u, v):
        """The pixel position of leaf coordinates (u, v)."""
        v += 4.0 * self.bend * self.length * u * (1.0 - u)
        ux, uy = self.dx / self.length, self.dy / self.length
        return (self.bx + u * self.dx - v * uy, self.by + u * self.dy + v * ux)

    def side(self, light, dark):
        """Colours the two halves of the blade differently."""
        def color(x, y):
            return light if self.local(x, y)[1] < 0 else dark
        return color

    def paint(self, canvas, outline, light, dark, rib, outline_width=1.0,
              rib_width=1.0, veins=0, stalk=0.0):
        if stalk > 0:
            # The stalk leaves the base backwards along the midrib, drooping
            # a little.
            ux, uy = self.dx / self.length, self.dy / self.length
            canvas.paint(segment((self.bx, self.by),
                                 (self.bx - ux * stalk, self.by - uy * stalk + stalk * 0.15),
                                 outline_width * 1.6), outline)
        canvas.paint(self.blade(), outline)
        canvas.paint(self.blade(outline_width), self.side(light, dark))
        for k in range(veins):
            u = 0.2 + 0.6 * (k + 0.5) / veins
            for sign in (-1, 1):
                a = self.point(u, 0)
                reach = self.width_at(u + 0.08) - outline_width * 1.2
                b = self.point(u + 0.1, sign * reach)
                canvas.paint(segment(a, b, rib_width * 0.6), rib)
        canvas.paint(self.midrib(rib_width, 0.02, 0.88), rib)


# ---------------------------------------------------------------------------
# Colour reduction and file writers.
# ---------------------------------------------------------------------------


def median_cut(colors, count):
    """Reduces a list of (r, g, b) (with repeats, so frequent colours weigh
    more) to at most count representative colours."""
    boxes = [list(colors)]
    while len(boxes) < count:
        best = None
        for index, box in enumerate(boxes):
            if len(set(box)) < 2:
                continue
            spans = [max(c[k] for c in box) - min(c[k] for c in box) for k in range(3)]
            score = max(spans) * len(box)
            if best is None or score > best[0]:
                best = (score, index, spans.index(max(spans)))
        if best is None:
            break
        _, index, channel = best
        box = sorted(boxes.pop(index), key=lambda c: c[channel])
        middle = len(box) // 2
        boxes += [box[:middle], box[middle:]]
    return [tuple(round(sum(c[k] for c in box) / len(box)) for k in range(3))
            for box in boxes if box]


def nearest(palette, color):
    return min(range(len(palette)),
               key=lambda k: sum((palette[k][c] - color[c]) ** 2 for c in range(3)))


def indexed(pixels, bits):
    """Chooses a palette of at most 2**bits colours for the opaque pixels and
    returns (palette, rows of indices or None for transparent)."""
    opaque = [p[:3] for row in pixels for p in row if p[3] >= 0.5]
    room = (1 << bits) - 1  # entry 0 stays black, the colour under the mask
    distinct = sorted(set(opaque))
    chosen = distinct if len(distinct) <= room else median_cut(opaque, room)
    palette = [(0, 0, 0)] + sorted(set(chosen) - {(0, 0, 0)})
    palette = palette[:1 << bits]
    cache = {}
    rows = []
    for row in pixels:
        out = []
        for p in row:
            if p[3] < 0.5:
                out.append(None)
            else:
                if p[:3] not in cache:
                    cache[p[:3]] = nearest(palette, p[:3])
                out.append(cache[p[:3]])
        rows.append(out)
    return palette, rows


def pack_bits(values, bits):
    """Packs a row of small integers MSB first and pads it to 4 bytes."""
    out = bytearray()
    acc = 0
    filled = 0
    for value in values:
        acc = (acc << bits) | value
        filled += bits
        if filled == 8:
            out.append(acc)
            acc = 0
            filled = 0
    if filled:
        out.append(acc << (8 - filled))
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def dib_image(palette, rows, bits):
    """An icon or cursor image: BITMAPINFOHEADER, palette, colour bits and the
    AND mask, both bottom-up."""
    height = len(rows)
    width = len(rows[0])
    entries = 1 << bits
    xor = b"".join(pack_bits([0 if i is None else i for i in row], bits) for row in reversed(rows))
    mask = b"".join(pack_bits([1 if i is None else 0 for i in row], 1) for row in reversed(rows))
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    colors = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in
                      list(palette) + [(0, 0, 0)] * (entries - len(palette)))
    return header + colors + xor + mask


def write_icon_file(path, images, kind=1, hotspot=(0, 0)):
    """images: list of (palette, rows, bits). kind 1 is an icon, 2 a cursor."""
    blobs = [dib_image(p, r, b) for p, r, b in images]
    offset = 6 + 16 * len(images)
    data = struct.pack("<HHH", 0, kind, len(images))
    for (palette, rows, bits), blob in zip(images, blobs):
        size = len(rows)
        count = (1 << bits) if bits < 8 else 0
        if kind == 1:
            planes, bitcount = 1, bits
        else:
            planes, bitcount = hotspot
        data += struct.pack("<BBBBHHII", size % 256, size % 256, count, 0,
                            planes, bitcount, len(blob), offset)
        offset += len(blob)
    data += b"".join(blobs)
    with open(path, "wb") as f:
        f.write(data)


def write_bmp(path, rows):
    """A 24-bit bottom-up BMP from rows of (r, g, b)."""
    height = len(rows)
    width = len(rows[0])
    body = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        while len(line) % 4:
            line.append(0)
        body += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(body), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body),
                       2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + body)


def from_art(art, key):
    """Rows of palette indices (None for transparent) from ASCII art."""
    lines = [line for line in art.strip("\n").split("\n")]
    return [[key[ch] for ch in line] for line in lines]


# ---------------------------------------------------------------------------
# Whole-pixel drawing for the black and white pictures. A Grid holds rows of
# None (transparent), BLACK or WHITE; shapes are given in whole pixels, or as
# the predicates above tested once at each pixel's centre, so that every edge
# stays sharp.
# ---------------------------------------------------------------------------

BLACK = 0
WHITE = 1


class Grid:
    def __init__(self, size):
        self.size = size
        self.rows = [[None] * size for _ in range(size)]

    def fill(self, x0, y0, x1, y1, value):
        """Sets the pixels x0..x1-1, y0..y1-1."""
        for j in range(max(0, y0), min(self.size, y1)):
            for i in range(max(0, x0), min(self.size, x1)):
                self.rows[j][i] = value

    def paint(self, inside, value):
        """Sets every pixel whose centre is inside the shape."""
        for j in range(self.size):
            for i in range(self.size):
                if inside(i + 0.5, j + 0.5):
                    self.rows[j][i] = value

    def frame(self, x0, y0, x1, y1, edge):
        """A white rectangle with a black edge `edge` pixels wide."""
        self.fill(x0, y0, x1, y1, BLACK)
        self.fill(x0 + edge, y0 + edge, x1 - edge, y1 - edge, WHITE)

    def flipped(self):
        """The grid upside down."""
        g = Grid(self.size)
        g.rows = [list(row) for row in reversed(self.rows)]
        return g


def at(value, size):
    """A length of a 16-pixel design in whole pixels of a picture `size`
    pixels square, halves rounded up."""
    return int(value * size / 16.0 + 0.5)


def edge_width(size):
    """The width of a glyph's outlines: one pixel up to 24, then one for
    every 16."""
    return max(1, size // 16)


def sheet(g, x0, y0, x1, y1, ear, edge):
    """A sheet of paper over the pixels x0..x1-1, y0..y1-1 with its top right
    corner turned down `ear` pixels: black edges `edge` pixels wide round
    white paper."""
    a = x1 - 1 - ear  # the column of the fold's upright edge
    b = y0 + ear      # the row of its lower edge
    for j in range(y0, y1):
        for i in range(x0, x1):
            if i > a and j < b:
                # The turned-down corner, cut off beyond the diagonal.
                d = (i - a) - (j - y0)
                if d > 0:
                    continue
                black = d > -edge or i < a + edge or j > b - edge
            else:
                black = (i < x0 + edge or i >= x1 - edge or j < y0 + edge or j >= y1 - edge
                         or (a <= i < a + edge and j <= b) or (b - edge < j <= b and i >= a))
            g.rows[j][i] = BLACK if black else WHITE


def x_mark(g, x0, y0, side, run):
    """Two crossed diagonal strokes filling the square of `side` pixels at
    (x0, y0), each `run` pixels across a row. Worked out for one quarter and
    mirrored, so the mark is the same seen from all four sides."""
    low = -((run - 1) // 2)
    for j in range(side):
        for i in range(side):
            u = min(i, side - 1 - i)
            v = min(j, side - 1 - j)
            if low <= u - v < low + run:
                g.rows[y0 + j][x0 + i] = BLACK


# ---------------------------------------------------------------------------
# The pictures.
# ---------------------------------------------------------------------------

# The sizes of each picture, largest first: what the display scales of 100 to
# 200 percent need of it.
APP_SIZES = (48, 32, 24, 20, 16)
GLYPH_SIZES = (48, 32, 24, 20, 16)
TRAY_SIZES = (32, 24, 20, 16)
CROSS_SIZES = (16, 12, 10, 8)

LEAF_OUTLINE = (28, 84, 30)
LEAF_LIGHT = (126, 196, 72)
LEAF_DARK = (72, 150, 46)
LEAF_RIB = (214, 238, 150)

SHEET_OUTLINE = (96, 104, 112)
SHEET_PAPER = (255, 253, 236)
SHEET_FOLD = (226, 222, 196)
SHEET_RULE = (168, 196, 222)


# The application icon at each size, drawn for its grid: the sheet's edges
# and rules on whole pixels, the leaf larger in proportion on the small sizes.
#   sheet: left, top, right, bottom; ear: the size of the turned-down corner;
#   rules: inset from the sides, first row, pitch, count;
#   leaf: base, tip, half width, bend; stalk length, midrib width, vein pairs.
APP_ICON = {
    16: dict(sheet=(1, 0, 12, 15), ear=4, rules=(2, 6, 3, 2),
             leaf=((5.5, 15.6), (15.9, 5.0), 4.3, -0.03), stalk=0, rib=1.0, veins=0),
    20: dict(sheet=(1, 0, 15, 19), ear=5, rules=(2, 7, 3, 3),
             leaf=((7.0, 19.5), (19.9, 6.4), 5.3, -0.03), stalk=0, rib=1.0, veins=0),
    24: dict(sheet=(2, 1, 18, 22), ear=5, rules=(2, 8, 3, 4),
             leaf=((10.0, 22.4), (23.4, 8.3), 5.4, -0.04), stalk=2.2, rib=1.1, veins=2),
    32: dict(sheet=(3, 1, 24, 29), ear=7, rules=(3, 10, 4, 5),
             leaf=((13, 29.5), (31, 11), 7.2, -0.04), stalk=3, rib=1.3, veins=3),
    48: dict(sheet=(4, 2, 36, 44), ear=10, rules=(4, 15, 6, 5),
             leaf=((19.5, 44.4), (46.6, 16.5), 10.8, -0.04), stalk=4.5, rib=1.8, veins=4),
}


def app_icon(size):
    """The application icon: a ruled note sheet with a green leaf over its
    lower right corner."""
    design = APP_ICON[size]
    c = Canvas(size, size)
    x0, y0, x1, y1 = design["sheet"]
    ear = design["ear"]
    inset, first, pitch, count = design["rules"]
    rules = [(x0 + inset, first + pitch * k, x1 - inset) for k in range(count)]
    base, tip, half_width, bend = design["leaf"]
    leaf = Leaf(base, tip, half_width, bend=bend)
    outer = [(x0, y0), (x1 - ear, y0), (x1, y0 + ear), (x1, y1), (x0, y1)]
    t = 1.0
    inner = [(x0 + t, y0 + t), (x1 - ear - t * 0.4, y0 + t), (x1 - t, y0 + ear + t * 0.4),
             (x1 - t, y1 - t), (x0 + t, y1 - t)]
    c.paint(polygon(outer), SHEET_OUTLINE)
    c.paint(polygon(inner), SHEET_PAPER)
    for left, top, right in rules:
        c.paint(rect(left, top, right, top + 1), SHEET_RULE)
    fold = [(x1 - ear, y0), (x1 - ear, y0 + ear), (x1, y0 + ear)]
    c.paint(polygon(fold), SHEET_FOLD)
    c.paint(segment((x1 - ear, y0), (x1 - ear, y0 + ear), 1.0), SHEET_OUTLINE)
    c.paint(segment((x1 - ear, y0 + ear), (x1, y0 + ear), 1.0), SHEET_OUTLINE)
    leaf.paint(c, LEAF_OUTLINE, LEAF_LIGHT, LEAF_DARK, LEAF_RIB, outline_width=1.0,
               rib_width=design["rib"], veins=design["veins"], stalk=design["stalk"])
    return c.pixels()


def tray_icon(size):
    """The notification-area icon: a single leaf on its stalk. From 24 pixels
    up the blade has room for veins."""
    s = size / 16.0
    c = Canvas(size, size)
    leaf = Leaf((3.2 * s, 13.0 * s), (15.2 * s, 1.0 * s), 5.6 * s, bend=-0.03)
    leaf.paint(c, LEAF_OUTLINE, LEAF_LIGHT, LEAF_DARK, LEAF_RIB, outline_width=1.0,
               rib_width=1.1 * s ** 0.5, stalk=3.2 * s, veins=0 if size < 24 else size // 12)
    return c.pixels()


CLOSE_CROSS = """
........
.##..##.
..####..
...##...
...##...
..####..
.##..##.
........
"""

# Tool bar glyphs: '#' black, 'o' white, '.' transparent.
MOVE_UP = """
................
.......##.......
......####......
.....######.....
....########....
...##########...
..############..
......####......
......####......
......####......
......####......
......####......
......####......
......####......
................
................
"""

NEW_PAGE = """
............#...
............#...
..######..#####.
..#oooo##...#...
..#oooo#o#..#...
..#oooo####.....
..#ooooooo#.....
..#ooooooo#.....
..#ooooooo#.....
..#ooooooo#.....
..#ooooooo#.....
..#ooooooo#.....
..#ooooooo#.....
..#ooooooo#.....
..#########.....
................
"""

DELETE_PAGE = """
................
................
...##......##...
...###....###...
....###..###....
.....######.....
......####......
......####......
.....######.....
....###..###....
...###....###...
...##......##...
................
................
................
................
"""

FLOAT_PAGE = """
................
.##########.....
.##########.....
.#oooooooo#.....
.#oooooooo#.....
.#ooo##########.
.#ooo##########.
.#ooo#oooooooo#.
.#ooo#oooooooo#.
.#ooo#oooooooo#.
.#####oooooooo#.
.....#oooooooo#.
.....#oooooooo#.
.....#oooooooo#.
.....##########.
................
"""

SHOW_PAGE = """
................
...#######......
...#ooooo##.....
...#ooooo#o#....
...#ooooo####...
...#oooooooo#...
...#o######o#...
...#oooooooo#...
...#o######o#...
...#oooooooo#...
...#o######o#...
...#oooooooo#...
...#o####ooo#...
...#oooooooo#...
...##########...
................
"""

RETURN_TO_BOOK = """
......####......
......####......
......####......
......####......
...##########...
....########....
.....######.....
......####......
##.....##.....##
#o##........##o#
#ooo##....##ooo#
#ooooo#..#ooooo#
#oooooo##oooooo#
#oooooo##oooooo#
#oooooo##oooooo#
################
"""

PAGE_SETTINGS = """
................
.......##.......
...##.####.##...
...##########...
....########....
..#####..#####..
..####....####..
....##....##....
....##....##....
..####....####..
..#####..#####..
....########....
...##########...
...##.####.##...
.......##.......
................
"""

SEARCH = """
................
....####........
..########......
..##oooo##......
.##oooooo##.....
.##oooooo##.....
.##oooooo##.....
.##oooooo##.....
..##oooo###.....
..##########....
....####.####...
..........####..
...........####.
............###.
................
................
"""

HAND = """
................................
................................
................................
................................
................................
............##..................
...........#oo#.................
...........#oo#.................
...........#oo#.................
...........#oo#.................
...........#oo###...............
...........#oo#oo###............
...........#oo#oo#oo###.........
...........#oo#oo#oo#oo#........
...........#oo#oo#oo#oo#........
......##...#oo#oo#oo#oo#........
.....#oo#..#ooooooooooo#........
.....#ooo#.#ooooooooooo#........
......#ooo#oooooooooooo#........
.......#ooooooooooooooo#........
........#oooooooooooooo#........
.........#ooooooooooooo#........
..........#oooooooooooo#........
..........#ooooooooooo#.........
...........#oooooooooo#.........
...........#oooooooooo#.........
...........############.........
...........#oooooooooo#.........
...........############.........
................................
................................
................................
"""

MONO = {".": None, "#": 0, "o": 1}
MONO_PALETTE = [(0, 0, 0), (255, 255, 255)]


def mono_icon(art):
    return (MONO_PALETTE, from_art(art, MONO), 1)


def flipped(art):
    return "\n".join(reversed(art.strip("\n").split("\n")))


def draw_close_cross(size):
    """The close cross at the larger sizes: the 8-pixel design, its strokes
    two pixels across a row, scaled."""
    g = Grid(size)
    margin = size // 8
    x_mark(g, margin, margin, size - 2 * margin, at(4, size))
    return g


# The tool bar glyphs at the larger sizes, each drawn on its own grid from the
# design of the 16-pixel art: its lengths scaled by at(), its outlines
# edge_width() pixels wide.

def draw_move_up(size):
    """An arrow pointing up: a head widening by a pixel on each side every
    row, on a shaft."""
    g = Grid(size)
    c = size // 2
    top, head, shaft, bottom = (at(v, size) for v in (1, 6, 2, 14))
    for k in range(head):
        g.fill(c - 1 - k, top + k, c + 1 + k, top + k + 1, BLACK)
    g.fill(c - shaft, top + head, c + shaft, bottom, BLACK)
    return g


def draw_move_down(size):
    return draw_move_up(size).flipped()


def draw_new_page(size):
    """A sheet with a plus sign at its top right corner."""
    g = Grid(size)
    e = edge_width(size)
    sheet(g, at(2, size), at(2, size), at(11, size), at(15, size), at(3, size) + e - 1, e)
    arm = at(2, size)
    x = at(12, size)
    g.fill(x, 0, x + e, 2 * arm + e, BLACK)
    g.fill(x - arm, arm, x + e + arm, arm + e, BLACK)
    return g


def draw_delete_page(size):
    """A cross."""
    g = Grid(size)
    side = 2 * at(5, size)
    x_mark(g, (size - side) // 2, at(2, size), side, at(3, size))
    return g


def draw_float_page(size):
    """Two windows, the front one lower right of the other. With the room of
    the larger sizes, a strip of white half the outline's width parts the
    front window from the edges of the one behind."""
    g = Grid(size)
    e = edge_width(size)
    bar_height = at(2, size)  # the title bar
    gap = (e + 1) // 2
    for index, corners in enumerate(((1, 1, 11), (5, 5, 15))):
        x0, y0, x1 = (at(v, size) for v in corners)
        y1 = y0 + (x1 - x0)
        if index:
            for j in range(y0 - gap, y1 + gap):
                for i in range(x0 - gap, x1 + gap):
                    if g.rows[j][i] is not None:
                        g.rows[j][i] = WHITE
        g.frame(x0, y0, x1, y1, e)
        g.fill(x0, y0, x1, y0 + bar_height, BLACK)
    return g


def draw_show_page(size):
    """A sheet with lines of writing under the fold, the last line short."""
    g = Grid(size)
    e = edge_width(size)
    x0, y0, x1, y1 = (at(v, size) for v in (3, 1, 13, 15))
    ear = at(3, size) + e - 1
    sheet(g, x0, y0, x1, y1, ear, e)
    pitch = at(2, size)
    gap = pitch - e  # the white between two lines, and above the first
    left, right = x0 + 2 * e, x1 - 2 * e
    lines = []
    y = y0 + ear + 1 + gap
    while y + e + gap <= y1 - e:
        lines.append(y)
        y += pitch
    for y in lines:
        end = right if y != lines[-1] else left + (right - left) * 2 // 3
        g.fill(left, y, end, y + e, BLACK)
    return g


def draw_return_to_book(size):
    """An arrow pointing down into an open book."""
    g = Grid(size)
    e = edge_width(size)
    half = size // 2
    top, drop = at(8, size), at(4, size)  # the pages' top edges fall to the spine
    for i in range(half):
        page_top = top + int(drop * (i + 0.5) / half)
        for j in range(page_top, size):
            black = i < e or i >= half - e or j >= size - e or j < page_top + e
            g.rows[j][i] = g.rows[j][size - 1 - i] = BLACK if black else WHITE
    shaft, neck, head = at(2, size), at(4, size), at(5, size)
    g.fill(half - shaft, 0, half + shaft, neck, BLACK)
    for k in range(head):
        g.fill(half - head + k, neck + k, half + head - k, neck + k + 1, BLACK)
    return g


def draw_page_settings(size):
    """A cog wheel of eight teeth round a hole."""
    g = Grid(size)
    s = size / 16.0
    c = size / 2.0
    hole, body, tip, tooth = 2.2 * s, 4.6 * s, 6.8 * s, 1.5 * s  # tooth: half its width

    def inside(x, y):
        dx, dy = x - c, y - c
        r = math.hypot(dx, dy)
        if r <= hole or r > tip:
            return False
        if r <= body:
            return True
        for k in range(8):
            a = k * math.pi / 4
            if dx * math.cos(a) + dy * math.sin(a) > 0 and abs(dy * math.cos(a) - dx * math.sin(a)) <= tooth:
                return True
        return False
    g.paint(inside, BLACK)
    return g


def draw_search(size):
    """A magnifying glass: a round lens in a black rim, the handle to the
    lower right."""
    g = Grid(size)
    s = size / 16.0
    c = 6.5 * s
    outer = 5.5 * s
    rim = at(1.5, size)
    g.paint(lambda x, y: math.hypot(x - c, y - c) <= outer, BLACK)
    g.paint(lambda x, y: math.hypot(x - c, y - c) <= outer - rim, WHITE)
    start = c + (outer - rim / 2.0) / math.sqrt(2)
    end = size - 1.2 * s
    g.paint(bar((start, start), (end, end), 2.9 * s), BLACK)
    return g


def about_picture(width=200, height=93):
    """The picture at the top of the About box: a sprig of two leaves and the
    program's name and version on pale paper."""
    top = (250, 252, 242)
    bottom = (232, 242, 218)

    def paper(x, y):
        t = y / height
        return tuple(round(top[k] + (bottom[k] - top[k]) * t) for k in range(3))

    c = Canvas(width, height, ss=4)
    c.paint(lambda x, y: True, paper)
    # A thin green rule under the name.
    c.paint(rect(74, 55, 192, 56.2), (120, 170, 80))
    # The sprig: a curved stalk with two leaves.
    stalk = [(14, 88), (20, 74), (27, 60), (34, 47), (42, 36)]
    for a, b in zip(stalk, stalk[1:]):
        c.paint(segment(a, b, 2.2), LEAF_OUTLINE, box=(0, 20, 60, 93))
    big = Leaf((42, 37), (66, 5), 13.0, bend=0.05)
    big.paint(c, LEAF_OUTLINE, LEAF_LIGHT, LEAF_DARK, LEAF_RIB,
              outline_width=1.4, rib_width=2.0, veins=4)
    small = Leaf((26, 63), (6, 38), 8.5, bend=-0.06)
    small.paint(c, LEAF_OUTLINE, LEAF_LIGHT, LEAF_DARK, LEAF_RIB,
                outline_width=1.2, rib_width=1.6, veins=3)
    pixels = [[p[:3] for p in row] for row in c.pixels()]

    # The name as large as fits between the sprig and the right edge, the
    # version under the rule, both centred on the rule.
    left, right = 72, 194
    size = 24
    while text_size("Leafkeeper", NAME_FONT, size)[0] > right - left - 2:
        size -= 1
    w, h = text_size("Leafkeeper", NAME_FONT, size)
    blend_text(pixels, "Leafkeeper", NAME_FONT, size, ((left + right - w) // 2, 52 - h),
               (30, 86, 34))
    w, h = text_size("Version 1.00", VERSION_FONT, 11)
    blend_text(pixels, "Version 1.00", VERSION_FONT, 11, ((left + right - w) // 2, 59),
               (90, 96, 100))
    return pixels


NAME_FONT = "DejaVu-Sans-Bold"
VERSION_FONT = "DejaVu-Sans"


def label_command(text, font, point_size):
    return ["convert", "-background", "black", "-fill", "white", "-font", font,
            "-pointsize", str(point_size), "-density", "72", "label:" + text]


def text_size(text, font, point_size):
    out = subprocess.run(label_command(text, font, point_size) + ["-format", "%w %h", "info:"],
                         check=True, capture_output=True, text=True).stdout.split()
    return int(out[0]), int(out[1])


def blend_text(pixels, text, font, point_size, origin, color):
    """Renders text with ImageMagick into a coverage mask and blends it onto
    the pixels with its top left corner at origin."""
    w, h = text_size(text, font, point_size)
    mask = subprocess.run(label_command(text, font, point_size) + ["-depth", "8", "gray:-"],
                          check=True, capture_output=True).stdout
    ox, oy = origin
    for y in range(h):
        for x in range(w):
            a = mask[y * w + x] / 255.0
            px, py = ox + x, oy + y
            if a and 0 <= px < len(pixels[0]) and 0 <= py < len(pixels):
                old = pixels[py][px]
                pixels[py][px] = tuple(round(old[k] + (color[k] - old[k]) * a) for k in range(3))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "pictures")
    os.makedirs(out, exist_ok=True)

    def path(name):
        return os.path.join(out, name)

    def colour_icon(pixels, bits):
        palette, rows = indexed(pixels, bits)
        return (palette, rows, bits)

    def drawn(art, draw, art_size, sizes):
        """The art at its own size, draw() at the others."""
        return [from_art(art, MONO) if size == art_size else draw(size).rows for size in sizes]

    write_icon_file(path("app.ico"), [colour_icon(app_icon(size), 8) for size in APP_SIZES])

    write_icon_file(path("close_cross.ico"),
                    [([(0, 0, 0)], rows, 4) for rows in drawn(CLOSE_CROSS, draw_close_cross, 8, CROSS_SIZES)])

    glyphs = {
        "move_up.ico": (MOVE_UP, draw_move_up),
        "move_down.ico": (flipped(MOVE_UP), draw_move_down),
        "new_page.ico": (NEW_PAGE, draw_new_page),
        "delete_page.ico": (DELETE_PAGE, draw_delete_page),
        "float_page.ico": (FLOAT_PAGE, draw_float_page),
        "show_page.ico": (SHOW_PAGE, draw_show_page),
        "return_to_book.ico": (RETURN_TO_BOOK, draw_return_to_book),
        "page_settings.ico": (PAGE_SETTINGS, draw_page_settings),
        "search.ico": (SEARCH, draw_search),
    }
    for name, (art, draw) in glyphs.items():
        write_icon_file(path(name), [(MONO_PALETTE, rows, 1) for rows in drawn(art, draw, 16, GLYPH_SIZES)])

    write_icon_file(path("tray.ico"), [colour_icon(tray_icon(size), 4) for size in TRAY_SIZES])

    write_icon_file(path("hand.cur"), [mono_icon(HAND)], kind=2, hotspot=(12, 5))

    write_bmp(path("about.bmp"), about_picture())


if __name__ == "__main__":
    main()
