#!/usr/bin/env python3
"""Draws the main window's pictures of the "vlImages" resource and the help book's picture.

- the tool bar icons: large (32 x 32) and small (16 x 16), each as "Active" (in colour) and
  "Disabled" (grey, faded) for the bases CheckMail, ProcessMail, Stop, MailProgram, Settings
  and Recycle ("large%1Active.png", "small%1Disabled.png", ...);
- the maker's logo at the tool bar's right-hand end: linuxLogo.png (32) and miniLogo.png (16);
- the tray icon and its blink picture: smallVLIconPos.png and smallVLIconNeg.png (22);
- the start-up picture vlSplashScreen.png (560 x 360, inside the splash's 565 x 440 bound);
- the help book's title picture, ../help/velloran.png.

Every design is drawn in a unit square (the splash in its own pixel frame) from shapes given
as signed distances, so one design serves every size and edges are anti-aliased from the
distance without supersampling. Needs only the Python standard library; the output is
byte-for-byte reproducible.  Usage: gen_brand.py [output folder]  (default: this folder;
the help picture goes to <output>/../help)
"""
import math
import os
import struct
import sys
import zlib

# --- PNG output -----------------------------------------------------------------------------


def write_png(path, width, height, pixels):
    raw = b"".join(b"\x00" + bytes(row) for row in pixels)

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


# --- Shapes: each is (distance(x, y), bbox) in design units; distance < 0 inside ------------


def circle(cx, cy, r):
    return (lambda x, y: math.hypot(x - cx, y - cy) - r, (cx - r, cy - r, cx + r, cy + r))


def ring(cx, cy, r, w):
    return (lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - w / 2,
            (cx - r - w, cy - r - w, cx + r + w, cy + r + w))


def box(x0, y0, x1, y1, radius=0.0):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def d(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - radius
    return (d, (x0, y0, x1, y1))


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy or 1)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def stroke(points, w):
    """A polyline of width w with round joins and caps."""
    pairs = list(zip(points, points[1:]))
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return (lambda x, y: min(segment_distance(x, y, a[0], a[1], b[0], b[1]) for a, b in pairs) - w / 2,
            (min(xs) - w, min(ys) - w, max(xs) + w, max(ys) + w))


def polygon(points):
    edges = list(zip(points, points[1:] + points[:1]))
    xs, ys = [p[0] for p in points], [p[1] for p in points]

    def d(x, y):
        inside = False
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        dist = min(segment_distance(x, y, ax, ay, bx, by) for (ax, ay), (bx, by) in edges)
        return -dist if inside else dist
    return (d, (min(xs), min(ys), max(xs), max(ys)))


def gear(cx, cy, r, teeth, depth):
    def d(x, y):
        a = math.atan2(y - cy, x - cx)
        edge = r - depth * (0.5 - 0.5 * math.copysign(1, math.cos(a * teeth)))
        return math.hypot(x - cx, y - cy) - edge
    return (d, (cx - r, cy - r, cx + r, cy + r))


def minus(a, b):
    return (lambda x, y: max(a[0](x, y), -b[0](x, y)), a[1])


# --- Rendering --------------------------------------------------------------------------------


def render(layers, width, height, scale, background=None):
    """layers: (shape, (r, g, b[, a])) painted in order; scale: pixels per design unit."""
    canvas = [[list(background) if background else [0, 0, 0, 0] for _ in range(width)]
              for _ in range(height)]
    aa = 1.0 / scale  # one pixel, in design units
    for (dist, (x0, y0, x1, y1)), colour in layers:
        if callable(colour):
            paint = colour
        else:
            paint = (lambda c: lambda x, y: c)(colour)
        px0, py0 = max(0, int((x0 - aa) * scale)), max(0, int((y0 - aa) * scale))
        px1, py1 = min(width, int((x1 + aa) * scale) + 2), min(height, int((y1 + aa) * scale) + 2)
        for py in range(py0, py1):
            for px in range(px0, px1):
                x, y = (px + 0.5) / scale, (py + 0.5) / scale
                cover = max(0.0, min(1.0, 0.5 - dist(x, y) * scale))
                if cover <= 0:
                    continue
                c = paint(x, y)
                a = cover * (c[3] / 255 if len(c) > 3 else 1.0)
                dst = canvas[py][px]
                da = dst[3] / 255
                oa = a + da * (1 - a)
                for i in range(3):
                    dst[i] = (c[i] * a + dst[i] * da * (1 - a)) / oa if oa else 0
                dst[3] = oa * 255
    return [[min(255, max(0, round(v))) for px in row for v in px] for row in canvas]


def disabled(pixels):
    out = []
    for row in pixels:
        new = []
        for i in range(0, len(row), 4):
            r, g, b, a = row[i:i + 4]
            grey = round(0.3 * r + 0.59 * g + 0.11 * b)
            grey = round(grey * 0.6 + 160 * 0.4)
            new += [grey, grey, grey, round(a * 0.55)]
        out.append(new)
    return out


# --- Designs (unit square) ----------------------------------------------------------------

BLUE = (36, 86, 168)
LIGHT_BLUE = (120, 170, 230)
PAPER = (250, 248, 236)
INK = (70, 70, 80)
GREEN = (36, 150, 60)
RED = (200, 40, 40)
AMBER = (235, 160, 30)
WHITE = (255, 255, 255)
STEEL = (110, 120, 135)


def envelope(x0=0.08, y0=0.22, x1=0.92, y1=0.78):
    mid = (x0 + x1) / 2
    return [
        (box(x0, y0, x1, y1, 0.04), INK),
        (box(x0 + 0.04, y0 + 0.04, x1 - 0.04, y1 - 0.04, 0.02), PAPER),
        (stroke([(x0 + 0.06, y0 + 0.07), (mid, (y0 + y1) / 2 + 0.04), (x1 - 0.06, y0 + 0.07)], 0.05), INK),
    ]


def badge_v(cx, cy, r, fill=BLUE, mark=WHITE):
    return [
        (circle(cx, cy, r), fill),
        (ring(cx, cy, r * 0.86, r * 0.08), LIGHT_BLUE if fill == BLUE else WHITE),
        (stroke([(cx - r * 0.45, cy - r * 0.42), (cx, cy + r * 0.48), (cx + r * 0.45, cy - r * 0.42)], r * 0.2), mark),
    ]


TOOLBAR = {
    # Check: an envelope with a green arrow coming down into it.
    "CheckMail": envelope(0.06, 0.32, 0.86, 0.9) + [
        (circle(0.74, 0.3, 0.24), GREEN),
        (stroke([(0.74, 0.16), (0.74, 0.42)], 0.08), WHITE),
        (stroke([(0.64, 0.33), (0.74, 0.43), (0.84, 0.33)], 0.08), WHITE),
    ],
    # Process: an envelope struck through by a red cross (deleting and bouncing).
    "ProcessMail": envelope(0.06, 0.2, 0.86, 0.78) + [
        (circle(0.74, 0.72, 0.24), RED),
        (stroke([(0.65, 0.63), (0.83, 0.81)], 0.08), WHITE),
        (stroke([(0.83, 0.63), (0.65, 0.81)], 0.08), WHITE),
    ],
    # Stop: a red octagon with a white bar.
    "Stop": [
        (polygon([(0.5 + 0.46 * math.cos(math.pi / 8 + k * math.pi / 4),
                   0.5 + 0.46 * math.sin(math.pi / 8 + k * math.pi / 4)) for k in range(8)]), RED),
        (box(0.22, 0.42, 0.78, 0.58, 0.03), WHITE),
    ],
    # Mail program: an envelope with an arrow pointing out to the right.
    "MailProgram": envelope(0.04, 0.2, 0.76, 0.7) + [
        (stroke([(0.5, 0.78), (0.9, 0.78)], 0.09), GREEN),
        (polygon([(0.96, 0.78), (0.8, 0.66), (0.8, 0.9)]), GREEN),
    ],
    # Spam tools: a steel gear with a blue hub.
    "Settings": [
        (minus(gear(0.5, 0.5, 0.46, 8, 0.1), circle(0.5, 0.5, 0.14)), STEEL),
        (ring(0.5, 0.5, 0.2, 0.06), BLUE),
    ],
    # Mail log / recycle bin: a bin with a lid and ribs.
    "Recycle": [
        (polygon([(0.2, 0.3), (0.8, 0.3), (0.72, 0.94), (0.28, 0.94)]), STEEL),
        (polygon([(0.26, 0.36), (0.74, 0.36), (0.67, 0.88), (0.33, 0.88)]), (200, 208, 218)),
        (stroke([(0.4, 0.42), (0.42, 0.82)], 0.05), STEEL),
        (stroke([(0.5, 0.42), (0.5, 0.82)], 0.05), STEEL),
        (stroke([(0.6, 0.42), (0.58, 0.82)], 0.05), STEEL),
        (box(0.12, 0.18, 0.88, 0.28, 0.03), INK),
        (box(0.4, 0.08, 0.6, 0.2, 0.03), INK),
    ],
}

LOGO = badge_v(0.5, 0.5, 0.47)

TRAY = envelope(0.02, 0.16, 0.98, 0.84) + [(circle(0.72, 0.7, 0.27), BLUE),
                                             (stroke([(0.6, 0.6), (0.72, 0.82), (0.84, 0.6)], 0.09), WHITE)]
TRAY_BLINK = [(box(0.02, 0.16, 0.98, 0.84, 0.04), AMBER),
              (stroke([(0.08, 0.24), (0.5, 0.56), (0.92, 0.24)], 0.06), INK),
              (circle(0.72, 0.7, 0.27), WHITE),
              (stroke([(0.6, 0.6), (0.72, 0.82), (0.84, 0.6)], 0.09), RED)]

# --- A stroke font for the splash's few words (capitals, digits, full stop) ----------------

GLYPHS = {
    "A": [[(0, 6), (2, 0), (4, 6)], [(0.7, 4), (3.3, 4)]],
    "C": [[(4, 0.8), (3, 0), (1, 0), (0, 1), (0, 5), (1, 6), (3, 6), (4, 5.2)]],
    "E": [[(4, 0), (0, 0), (0, 6), (4, 6)], [(0, 3), (3, 3)]],
    "G": [[(4, 0.8), (3, 0), (1, 0), (0, 1), (0, 5), (1, 6), (3, 6), (4, 5), (4, 3.4), (2.4, 3.4)]],
    "I": [[(2, 0), (2, 6)], [(1, 0), (3, 0)], [(1, 6), (3, 6)]],
    "L": [[(0, 0), (0, 6), (4, 6)]],
    "M": [[(0, 6), (0, 0), (2, 3.5), (4, 0), (4, 6)]],
    "N": [[(0, 6), (0, 0), (4, 6), (4, 0)]],
    "O": [[(1, 0), (3, 0), (4, 1), (4, 5), (3, 6), (1, 6), (0, 5), (0, 1), (1, 0)]],
    "P": [[(0, 6), (0, 0), (3, 0), (4, 1), (4, 2), (3, 3), (0, 3)]],
    "R": [[(0, 6), (0, 0), (3, 0), (4, 1), (4, 2), (3, 3), (0, 3)], [(2, 3), (4, 6)]],
    "S": [[(4, 0.8), (3, 0), (1, 0), (0, 1), (0, 2), (1, 3), (3, 3), (4, 4), (4, 5), (3, 6), (1, 6), (0, 5.2)]],
    "V": [[(0, 0), (2, 6), (4, 0)]],
    "0": [[(1, 0), (3, 0), (4, 1), (4, 5), (3, 6), (1, 6), (0, 5), (0, 1), (1, 0)]],
    "2": [[(0, 1), (1, 0), (3, 0), (4, 1), (4, 2), (0, 6), (4, 6)]],
    ".": [[(2, 5.7), (2, 6)]],
}


def text_layers(text, x, y, height, colour, weight=0.16):
    """Layers for text whose capitals are height high, starting at x with its top at y."""
    unit = height / 6
    layers = []
    for ch in text:
        if ch in GLYPHS:
            for line in GLYPHS[ch]:
                points = [(x + px * unit, y + py * unit) for px, py in line]
                if len(points) == 2 and points[0] == points[1]:
                    points[1] = (points[1][0] + 0.01, points[1][1])
                layers.append((stroke(points, height * weight), colour))
        x += (5.6 if ch != " " else 3.6) * unit
    return layers


def text_width(text, height):
    unit = height / 6
    return sum((5.6 if ch != " " else 3.6) * unit for ch in text) - 1.6 * unit


SPLASH_W, SPLASH_H = 560, 360


def splash_layers():
    def sky(x, y):
        t = y / SPLASH_H
        return (round(24 + 30 * t), round(52 + 60 * t), round(110 + 70 * t))

    layers = [(box(0, 0, SPLASH_W, SPLASH_H), sky)]
    # A fan of envelopes behind the badge: the mail waiting to be screened.
    for i, (ex, ey) in enumerate([(330, 40), (378, 86), (420, 132)]):
        s = 110 - 12 * i
        for (d, (x0, y0, x1, y1)), colour in envelope(0, 0, 1, 1):
            scaled = (lambda d=d, ex=ex, ey=ey, s=s: lambda x, y: d((x - ex) / s, (y - ey) / s) * s)()
            layers.append(((scaled, (ex + x0 * s, ey + y0 * s, ex + x1 * s, ey + y1 * s)), colour))
    for shape, colour in badge_v(150, 150, 95):
        layers.append((shape, colour))
    title = "VELLORAN PRO"
    layers += text_layers(title, (SPLASH_W - text_width(title, 40)) / 2, 262, 40, WHITE)
    sub = "MAIL SCREENING  V2.0"
    layers += text_layers(sub, (SPLASH_W - text_width(sub, 16)) / 2, 318, 16, (200, 215, 240), 0.14)
    layers.append((box(40, 308, SPLASH_W - 40, 310), (200, 215, 240, 160)))
    return layers


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for base, layers in TOOLBAR.items():
        for prefix, size in (("large", 32), ("small", 16)):
            pixels = render(layers, size, size, size)
            write_png(os.path.join(out, "%s%sActive.png" % (prefix, base)), size, size, pixels)
            write_png(os.path.join(out, "%s%sDisabled.png" % (prefix, base)), size, size, disabled(pixels))
    write_png(os.path.join(out, "linuxLogo.png"), 32, 32, render(LOGO, 32, 32, 32))
    write_png(os.path.join(out, "miniLogo.png"), 16, 16, render(LOGO, 16, 16, 16))
    write_png(os.path.join(out, "smallVLIconPos.png"), 22, 22, render(TRAY, 22, 22, 22))
    write_png(os.path.join(out, "smallVLIconNeg.png"), 22, 22, render(TRAY_BLINK, 22, 22, 22))
    write_png(os.path.join(out, "vlSplashScreen.png"), SPLASH_W, SPLASH_H,
              render(splash_layers(), SPLASH_W, SPLASH_H, 1))
    help_dir = os.path.join(out, os.pardir, "help")
    if os.path.isdir(help_dir):
        write_png(os.path.join(help_dir, "velloran.png"), 64, 64, render(LOGO, 64, 64, 64))


if __name__ == "__main__":
    main()
