#!/usr/bin/env python3
"""Draws the panel's weather icons into data/tianqi_ICON/black.

Each icon is 32 x 32 pixels, dark shapes on a transparent background, named
after the forecast's icon names (wea_img). Shapes are drawn at four times the
size and reduced, so edges are smooth; a pixel is opaque when at least half
of it is covered, since GIF has no partial transparency. PNGs are written
with the standard library and turned into GIFs by ImageMagick's convert.

Usage: data/make_icons.py   (needs python3 and convert; rewrites the GIFs)
"""
import math
import os
import struct
import subprocess
import sys
import tempfile
import zlib

SIZE = 32
SUPER = 4
BLACK = (24, 24, 24)
GREY = (112, 112, 112)
LIGHT = (200, 200, 200)


class Canvas:
    """A supersampled canvas; shapes are given in icon pixels."""

    def __init__(self):
        n = SIZE * SUPER
        self.px = [[None] * n for _ in range(n)]

    def fill(self, inside, color, box=(0, 0, SIZE, SIZE)):
        x0, y0, x1, y1 = box
        lo_x, lo_y = max(0, int(x0 * SUPER)), max(0, int(y0 * SUPER))
        hi_x = min(SIZE * SUPER, int(math.ceil(x1 * SUPER)))
        hi_y = min(SIZE * SUPER, int(math.ceil(y1 * SUPER)))
        for sy in range(lo_y, hi_y):
            y = (sy + 0.5) / SUPER
            row = self.px[sy]
            for sx in range(lo_x, hi_x):
                if inside((sx + 0.5) / SUPER, y):
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
        for y in range(SIZE):
            row = bytearray()
            for x in range(SIZE):
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


ICONS = {f.__name__: f for f in (qing, yun, yin, yu, xue, lei, wu, shachen, bingbao)}


def png_bytes(rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    raw = b"".join(b"\x00" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    out_dir = os.path.join(os.path.dirname(os.path.abspath(__file__)), "tianqi_ICON", "black")
    os.makedirs(out_dir, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        for name, draw in ICONS.items():
            canvas = Canvas()
            draw(canvas)
            png = os.path.join(tmp, name + ".png")
            with open(png, "wb") as f:
                f.write(png_bytes(canvas.rgba_rows()))
            gif = os.path.join(out_dir, name + ".gif")
            subprocess.run(["convert", png, "-strip", gif], check=True)
            print(gif)
    return 0


if __name__ == "__main__":
    sys.exit(main())
