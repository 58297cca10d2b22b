#!/usr/bin/env python3
"""Draws the learning cell's marks: green_tick.png, grey_tick.png, grey_x.png and red_x.png.

They are shown at 10 x 10 pixels on a check-box indicator, so they are drawn at exactly that
size (no later scaling blurs them) with strokes two pixels wide, anti-aliased by 8 x 8
supersampling. Needs only the Python standard library; the output is byte-for-byte
reproducible.  Usage: gen_ticks.py [output folder]  (default: this script's folder)
"""
import math
import os
import struct
import sys
import zlib

SIZE = 10
SUB = 8
STROKE = 2.0

TICK = [[(1.5, 5.3), (4.0, 7.8), (8.6, 2.2)]]
CROSS = [[(2.1, 2.1), (7.9, 7.9)], [(7.9, 2.1), (2.1, 7.9)]]

IMAGES = {
    "green_tick.png": (TICK, (0x1c, 0x9a, 0x2a)),
    "grey_tick.png": (TICK, (0x8c, 0x8c, 0x8c)),
    "grey_x.png": (CROSS, (0x8c, 0x8c, 0x8c)),
    "red_x.png": (CROSS, (0xd0, 0x1c, 0x1c)),
}


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def covered(px, py, paths):
    for path in paths:
        for (ax, ay), (bx, by) in zip(path, path[1:]):
            if segment_distance(px, py, ax, ay, bx, by) <= STROKE / 2:
                return True
    return False


def render(paths, rgb):
    rows = []
    for y in range(SIZE):
        row = bytearray([0])  # PNG filter type: none
        for x in range(SIZE):
            hits = sum(
                covered(x + (i + 0.5) / SUB, y + (j + 0.5) / SUB, paths)
                for i in range(SUB)
                for j in range(SUB)
            )
            alpha = round(255 * hits / (SUB * SUB))
            row += bytes(rgb if alpha else (0, 0, 0)) + bytes([alpha])
        rows.append(bytes(row))
    return b"".join(rows)


def png(width, height, raw):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, (paths, rgb) in IMAGES.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(png(SIZE, SIZE, render(paths, rgb)))


if __name__ == "__main__":
    main()
