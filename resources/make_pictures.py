#!/usr/bin/env python3
"""Draws Leafkeeper's icons, hand cursor and About picture.

Writes the files in resources/pictures/ that the resource script includes:

    app.ico             103  32x32 and 16x16, 256 colours: a note sheet with a leaf
    close_cross.ico     127  8x8, 16 colours: the cross of a page view's close button
    move_up.ico         130  16x16 monochrome tool bar glyphs ...
    move_down.ico       131
    new_page.ico        132
    delete_page.ico     133
    float_page.ico      134
    show_page.ico       135  (also the glyph at the left end of caption strips)
    return_to_book.ico  136
    page_settings.ico   137
    tray.ico            140  16x16, 16 colours: the notification-area leaf
    hand.cur            139  32x32 monochrome pointing hand, hot spot (12, 5)
    about.bmp           145  200x93, 24 bits per pixel: the top of the About box

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
# The pictures.
# ---------------------------------------------------------------------------

LEAF_OUTLINE = (28, 84, 30)
LEAF_LIGHT = (126, 196, 72)
LEAF_DARK = (72, 150, 46)
LEAF_RIB = (214, 238, 150)

SHEET_OUTLINE = (96, 104, 112)
SHEET_PAPER = (255, 253, 236)
SHEET_FOLD = (226, 222, 196)
SHEET_RULE = (168, 196, 222)


def app_icon(size):
    """The application icon: a ruled note sheet with a green leaf over its
    lower right corner."""
    c = Canvas(size, size)
    if size >= 24:
        s = size / 32.0
        x0, y0, x1, y1 = 3 * s, 1 * s, 24 * s, 29 * s
        ear = 7 * s
        rules = [(x0 + 3 * s, (10 + 4 * k) * s, x1 - 3 * s) for k in range(5)]
        leaf = Leaf((13 * s, 29.5 * s), (31 * s, 11 * s), 7.2 * s, bend=-0.04)
        stalk, rib, veins = 3 * s, 1.3, 3
    else:
        # Drawn for the small size, with the leaf larger in proportion.
        x0, y0, x1, y1 = 1, 0, 12, 15
        ear = 4
        rules = [(x0 + 2, 6 + 3 * k, x1 - 2) for k in range(2)]
        leaf = Leaf((5.5, 15.6), (15.9, 5.0), 4.3, bend=-0.03)
        stalk, rib, veins = 0, 1.0, 0
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
    leaf.paint(c, LEAF_OUTLINE, LEAF_LIGHT, LEAF_DARK, LEAF_RIB,
               outline_width=1.0, rib_width=rib, veins=veins, stalk=stalk)
    return c.pixels()


def tray_icon():
    """The notification-area icon: a single leaf on its stalk."""
    c = Canvas(16, 16)
    leaf = Leaf((3.2, 13.0), (15.2, 1.0), 5.6, bend=-0.03)
    leaf.paint(c, LEAF_OUTLINE, LEAF_LIGHT, LEAF_DARK, LEAF_RIB,
               outline_width=1.0, rib_width=1.1, stalk=3.2)
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

    big = indexed(app_icon(32), 8)
    small = indexed(app_icon(16), 8)
    write_icon_file(path("app.ico"), [(big[0], big[1], 8), (small[0], small[1], 8)])

    write_icon_file(path("close_cross.ico"),
                    [([(0, 0, 0)], from_art(CLOSE_CROSS, MONO), 4)])

    glyphs = {
        "move_up.ico": MOVE_UP,
        "move_down.ico": flipped(MOVE_UP),
        "new_page.ico": NEW_PAGE,
        "delete_page.ico": DELETE_PAGE,
        "float_page.ico": FLOAT_PAGE,
        "show_page.ico": SHOW_PAGE,
        "return_to_book.ico": RETURN_TO_BOOK,
        "page_settings.ico": PAGE_SETTINGS,
    }
    for name, art in glyphs.items():
        write_icon_file(path(name), [mono_icon(art)])

    tray = indexed(tray_icon(), 4)
    write_icon_file(path("tray.ico"), [(tray[0], tray[1], 4)])

    write_icon_file(path("hand.cur"), [mono_icon(HAND)], kind=2, hotspot=(12, 5))

    write_bmp(path("about.bmp"), about_picture())


if __name__ == "__main__":
    main()
