#!/usr/bin/env python3
"""Draws the small interface pictures of the "vlImages" resource.

Run it from this folder after changing a picture; the PNG files it writes are committed
beside it. Shapes are painted as signed distances and supersampled, so edges are smooth
without any imaging library.
"""
import math
import struct
import zlib

SIZE = 16
SAMPLES = 4  # per axis


def write_png(path, pixels, size):
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in pixels)

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def render(layers, size=SIZE):
    """layers: list of (inside(x, y) -> bool, (r, g, b)) painted in order over transparency."""
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = px + (sx + 0.5) / SAMPLES
                    y = py + (sy + 0.5) / SAMPLES
                    colour = None
                    for inside, rgb in layers:
                        if inside(x, y):
                            colour = rgb
                    if colour:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1
            n = SAMPLES * SAMPLES
            if acc[3]:
                row.append((round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]),
                            round(255 * acc[3] / n)))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, w):
    return lambda x, y: (r - w) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def segment(ax, ay, bx, by, w):
    def inside(x, y):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - (ax + t * dx), y - (ay + t * dy)) <= w / 2
    return inside


def triangle(p0, p1, p2):
    def side(a, b, x, y):
        return (b[0] - a[0]) * (y - a[1]) - (b[1] - a[1]) * (x - a[0])

    def inside(x, y):
        s = [side(p0, p1, x, y), side(p1, p2, x, y), side(p2, p0, x, y)]
        return all(v >= 0 for v in s) or all(v <= 0 for v in s)
    return inside


def arc(cx, cy, r, w, start, end):
    """A ring between two angles in degrees (0 = right, counter-clockwise, y down)."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if not (r - w / 2 <= d <= r + w / 2):
            return False
        a = math.degrees(math.atan2(cy - y, x - cx)) % 360
        return start <= a <= end if start <= end else (a >= start or a <= end)
    return inside


BLUE = (40, 90, 170)
WHITE = (255, 255, 255)
DARK = (50, 50, 50)
GREEN = (40, 140, 60)
RED = (190, 40, 40)
GLASS = (200, 225, 245)

PICTURES = {
    # A white question mark on a blue disc.
    "help.png": [
        (circle(8, 8, 7.5), BLUE),
        (arc(8, 6, 2.6, 1.8, 330, 180), WHITE),
        (segment(10.2, 7.4, 8, 9.2, 1.8), WHITE),
        (rect(7.1, 9.0, 8.9, 10.2), WHITE),
        (circle(8, 12.6, 1.1), WHITE),
    ],
    # Small arrow heads for the spinner and reordering buttons.
    "spinup.png": [(triangle((3, 11), (13, 11), (8, 5)), DARK)],
    "spindown.png": [(triangle((3, 5), (13, 5), (8, 11)), DARK)],
    "plus.png": [(rect(7, 2.5, 9, 13.5), GREEN), (rect(2.5, 7, 13.5, 9), GREEN)],
    "x.png": [(segment(3.5, 3.5, 12.5, 12.5, 2.4), RED), (segment(12.5, 3.5, 3.5, 12.5, 2.4), RED)],
    # A magnifying glass: lens, rim and handle.
    "magnify.png": [
        (circle(6.5, 6.5, 4.6), GLASS),
        (ring(6.5, 6.5, 5.2, 1.6), DARK),
        (segment(10.2, 10.2, 14.2, 14.2, 2.6), DARK),
    ],
    # Left and right arrows for the help window's history buttons.
    "previous.png": [(triangle((2, 8), (8, 2.5), (8, 13.5)), BLUE), (rect(7, 6, 14, 10), BLUE)],
    "next.png": [(triangle((14, 8), (8, 2.5), (8, 13.5)), BLUE), (rect(2, 6, 9, 10), BLUE)],
}

if __name__ == "__main__":
    for name, layers in PICTURES.items():
        write_png(name, render(layers), SIZE)
