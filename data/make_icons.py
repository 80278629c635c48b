#!/usr/bin/env python3
"""Draws the panel's weather icons into data/tianqi_ICON.

Each icon is dark shapes on a transparent background, named after the
forecast's icon names (wea_img), in two sets drawn from the same shapes:
black/ at 32 x 32 pixels for ordinary screens, and black@2x/ at 64 x 64 for
screens of more than one device pixel per logical pixel. Shapes are given in
the 32-pixel grid and drawn at four times the set's size, then reduced, so
edges are smooth; a pixel is opaque when at least half of it is covered,
since GIF has no partial transparency. The GIFs are written with the
standard library alone.

Usage: data/make_icons.py   (needs python3; rewrites the GIFs)
"""
import math
import os
import struct
import sys

SIZE = 32  # the icon grid the shapes are given in, and the 1x set's size
SUPER = 4
# Each set: its folder beside black/, and its pixels per grid unit.
SETS = (("black", 1), ("black@2x", 2))
BLACK = (24, 24, 24)
GREY = (112, 112, 112)
LIGHT = (200, 200, 200)


class Canvas:
    """A supersampled canvas of SIZE * scale pixels; shapes are given in the
    SIZE grid."""

    def __init__(self, scale=1):
        self.size = SIZE * scale
        self.step = SUPER * scale  # samples per grid unit
        n = self.size * SUPER
        self.px = [[None] * n for _ in range(n)]

    def fill(self, inside, color, box=(0, 0, SIZE, SIZE)):
        x0, y0, x1, y1 = box
        step, n = self.step, self.size * SUPER
        lo_x, lo_y = max(0, int(x0 * step)), max(0, int(y0 * step))
        hi_x = min(n, int(math.ceil(x1 * step)))
        hi_y = min(n, int(math.ceil(y1 * step)))
        for sy in range(lo_y, hi_y):
            y = (sy + 0.5) / step
            row = self.px[sy]
            for sx in range(lo_x, hi_x):
                if inside((sx + 0.5) / step, y):
                    row[sx] = color

    def circle(self, cx, cy, r, color):
        self.fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color,
                  (cx - r, cy - r, cx + r, cy + r))

    def line(self, ax, ay, bx, by, width, color):
        """A stroke with round ends from (ax, ay) to (bx, by)."""
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy or 1e-9
        half = width / 2

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
            px, py = ax + t * dx - x, ay + t * dy - y
            return px * px + py * py <= half * half

        self.fill(inside, color, (min(ax, bx) - half, min(ay, by) - half,
                                  max(ax, bx) + half, max(ay, by) + half))

    def polygon(self, points, color):
        def inside(x, y):
            hit = False
            j = len(points) - 1
            for i, (xi, yi) in enumerate(points):
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    hit = not hit
                j = i
            return hit

        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self.fill(inside, color, (min(xs), min(ys), max(xs), max(ys)))

    def rgba_rows(self):
        rows = []
        area = SUPER * SUPER
        for y in range(self.size):
            row = bytearray()
            for x in range(self.size):
                covered = [self.px[y * SUPER + j][x * SUPER + i]
                           for j in range(SUPER) for i in range(SUPER)]
                covered = [c for c in covered if c is not None]
                if len(covered) * 2 < area:
                    row += bytes((0, 0, 0, 0))
                    continue
                n = len(covered)
                row += bytes(sum(c[k] for c in covered) // n for k in range(3)) + b"\xff"
            rows.append(bytes(row))
        return rows


def cloud(c, dx=0.0, dy=0.0, scale=1.0, fill=LIGHT, outline=BLACK, border=1.6):
    """A cloud with a flat bottom; (dx, dy) moves it, scale sizes it about its middle."""
    parts = [(9.5, 18.5, 5.5), (16.5, 13.0, 7.5), (23.5, 17.5, 6.0)]
    box = (9.5, 15.5, 23.5, 24.0)

    def at(x, y):
        return 16 + (x - 16) * scale + dx, 16 + (y - 16) * scale + dy

    for shrink, color in ((0.0, outline), (border, fill)):
        for x, y, r in parts:
            cx, cy = at(x, y)
            c.circle(cx, cy, r * scale - shrink, color)
        (x0, y0), (x1, y1) = at(box[0], box[1]), at(box[2], box[3])
        c.fill(lambda x, y: True, color, (x0, y0, x1, y1 - shrink))


def sun(c, cx, cy, r, ray_in, ray_out, width, color=BLACK):
    c.circle(cx, cy, r, color)
    for k in range(8):
        a = k * math.pi / 4
        c.line(cx + ray_in * math.cos(a), cy + ray_in * math.sin(a),
               cx + ray_out * math.cos(a), cy + ray_out * math.sin(a), width, color)


def snowflake(c, cx, cy, r, color=BLACK):
    for k in range(3):
        a = k * math.pi / 3 + math.pi / 2
        c.line(cx - r * math.cos(a), cy - r * math.sin(a),
               cx + r * math.cos(a), cy + r * math.sin(a), 1.6, color)


def qing(c):  # clear sky: the sun
    sun(c, 16, 16, 6.5, 9.5, 14, 2.4)


def yun(c):  # cloudy: the sun half behind a cloud
    sun(c, 11, 11, 5, 7.5, 10.5, 2.0)
    cloud(c, dx=3, dy=3, scale=0.85)


def yin(c):  # overcast: two dark clouds
    cloud(c, dx=4, dy=-5, scale=0.75, fill=GREY)
    cloud(c, dx=-1, dy=3, scale=0.95, fill=GREY)


def yu(c):  # rain: a cloud and falling drops
    cloud(c, dy=-6, fill=GREY)
    for x in (10, 16, 22):
        c.line(x + 1.5, 21, x - 1.5, 29, 2.2, BLACK)


def xue(c):  # snow: a cloud and snowflakes
    cloud(c, dy=-6)
    for x in (7, 16, 25):
        snowflake(c, x, 26.5, 3.4)


def lei(c):  # thunderstorm: a dark cloud and a bolt
    cloud(c, dy=-6, fill=GREY)
    c.polygon([(17, 13), (8.5, 24), (14.5, 24), (11, 31.5), (23, 19.5), (17, 19.5),
               (21.5, 13)], BLACK)


def wu(c):  # fog: layered bands
    for y, x0, x1 in ((8, 5, 25), (13, 8, 28), (18, 4, 24), (23, 9, 27), (28, 6, 22)):
        c.line(x0, y, x1, y, 2.6, BLACK)


def shachen(c):  # dust and sand: drifting wavy streaks and grains
    for y0 in (9, 16, 23):
        points = [(x / 2, y0 + 2.2 * math.sin(x / 2 / 3.2)) for x in range(8, 54)]
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            c.line(ax, ay, bx, by, 2.2, BLACK)
    for x, y in ((27.5, 6), (29, 12.5), (27, 20), (29, 27), (5, 28.5), (14, 29.5)):
        c.circle(x, y, 1.4, BLACK)


def bingbao(c):  # hail: a cloud and round stones
    cloud(c, dy=-6, fill=GREY)
    for x, y in ((9, 23.5), (21, 23.5), (15, 28.5), (27, 28.5)):
        c.circle(x, y, 2.4, BLACK)


def weizhi(c):  # unknown weather: a question mark in a ring
    outer, inner = 13.2, 11.0
    c.fill(lambda x, y: inner <= math.hypot(x - 16, y - 16) <= outer, GREY)
    hook = [(16 + 4.6 * math.cos(a), 12.5 + 4.6 * math.sin(a))
            for a in (math.pi * (0.95 + k * 0.1) for k in range(15))]
    for (ax, ay), (bx, by) in zip(hook, hook[1:]):
        c.line(ax, ay, bx, by, 2.6, BLACK)
    c.line(hook[-1][0], hook[-1][1], 16, 19, 2.6, BLACK)
    c.circle(16, 23.5, 1.7, BLACK)


ICONS = {f.__name__: f for f in (qing, yun, yin, yu, xue, lei, wu, shachen, bingbao, weizhi)}


# The largest code of GIF's LZW compression is 12 bits wide, and a palette
# holds at most 256 colours.
MAX_CODE_BITS = 12
MAX_PALETTE = 256


def lzw_codes(pixels, code_size):
    """The LZW codes of a GIF image's palette indexes, with their widths."""
    clear, end = 1 << code_size, (1 << code_size) + 1

    def fresh():
        return {(i,): i for i in range(clear)}, end + 1, code_size + 1

    table, next_code, width = fresh()
    yield clear, width
    word = ()
    for p in pixels:
        longer = word + (p,)
        if longer in table:
            word = longer
            continue
        yield table[word], width
        if next_code < 1 << MAX_CODE_BITS:
            table[longer] = next_code
            next_code += 1
            # The reader widens its codes one entry later than the writer adds it.
            if next_code > 1 << width and width < MAX_CODE_BITS:
                width += 1
        else:
            yield clear, width
            table, next_code, width = fresh()
        word = (p,)
    yield table[word], width
    yield end, width


def gif_bytes(size, rows):
    """A GIF89a of the size x size RGBA rows: covered pixels in their colour,
    the rest transparent (palette entry 0)."""
    colors = [(0, 0, 0)]
    index = {}
    pixels = []
    for row in rows:
        for x in range(0, len(row), 4):
            if row[x + 3] == 0:
                pixels.append(0)
                continue
            color = tuple(row[x:x + 3])
            if color not in index:
                index[color] = len(colors)
                colors.append(color)
            pixels.append(index[color])
    if len(colors) > MAX_PALETTE:
        raise ValueError("%d colours do not fit a GIF palette" % len(colors))
    table_bits = max(1, (len(colors) - 1).bit_length())
    code_size = max(2, table_bits)
    palette = b"".join(bytes(c) for c in colors) + bytes(3 * ((1 << table_bits) - len(colors)))

    packed, bits, count = bytearray(), 0, 0
    for code, width in lzw_codes(pixels, code_size):
        bits |= code << count
        count += width
        while count >= 8:
            packed.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        packed.append(bits)
    blocks = b"".join(bytes([len(packed[i:i + 255])]) + packed[i:i + 255]
                      for i in range(0, len(packed), 255))

    screen = struct.pack("<HHBBB", size, size, 0x80 | (table_bits - 1), 0, 0)
    transparency = b"\x21\xf9\x04\x01\x00\x00\x00\x00"
    image = b"\x2c" + struct.pack("<HHHHB", 0, 0, size, size, 0)
    return (b"GIF89a" + screen + palette + transparency + image + bytes([code_size]) + blocks +
            b"\x00\x3b")


def main():
    icon_dir = os.path.join(os.path.dirname(os.path.abspath(__file__)), "tianqi_ICON")
    for folder, scale in SETS:
        out_dir = os.path.join(icon_dir, folder)
        os.makedirs(out_dir, exist_ok=True)
        for name, draw in ICONS.items():
            canvas = Canvas(scale)
            draw(canvas)
            gif = os.path.join(out_dir, name + ".gif")
            with open(gif, "wb") as f:
                f.write(gif_bytes(canvas.size, canvas.rgba_rows()))
            print(gif)
    return 0


if __name__ == "__main__":
    sys.exit(main())
