#!/usr/bin/env python3
"""Draws the spam-tools dialog's page buttons and the list pages' "options.png".

Each page button has two 32 x 32 pictures: "<base>Normal.png", in quiet colours, and
"<base>Active.png", in full colours on a pale halo, shown while the pointer is over the
button. The shapes reuse the signed-shape helpers of generate_images.py; run this script from
this folder after changing a picture and commit the PNG files beside it.
"""
import math

from generate_images import circle, rect, ring, segment, triangle, render, write_png

BIG = 32


def mix(rgb, towards, t):
    return tuple(round(c + (w - c) * t) for c, w in zip(rgb, towards))


def quiet(rgb):
    """The Normal picture's colour: the Active colour washed towards grey."""
    grey = sum(rgb) / 3
    return mix(rgb, (grey, grey, grey), 0.55)


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1


def polygon(points):
    def inside(x, y):
        hit = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    return inside


def person(cx, cy, scale, colour):
    return [(ellipse(cx, cy + 9 * scale, 7 * scale, 6 * scale), colour),
            (circle(cx, cy, 4.2 * scale), colour)]


GREEN = (40, 150, 70)
DARKGREEN = (25, 105, 50)
RED = (200, 40, 40)
GREY = (90, 90, 90)
BLUE = (40, 100, 190)
ORANGE = (230, 140, 30)
YELLOW = (245, 205, 60)
PURPLE = (130, 60, 170)
WHITE = (255, 255, 255)
CREAM = (250, 240, 215)


def spikes(cx, cy, r0, r1, n, width, colour):
    out = []
    for k in range(n):
        a = 2 * math.pi * k / n
        out.append((segment(cx + r0 * math.cos(a), cy + r0 * math.sin(a),
                            cx + r1 * math.cos(a), cy + r1 * math.sin(a), width), colour))
        out.append((circle(cx + r1 * math.cos(a), cy + r1 * math.sin(a), width * 0.9), colour))
    return out


def star(cx, cy, r_out, r_in):
    pts = []
    for k in range(10):
        r = r_out if k % 2 == 0 else r_in
        a = -math.pi / 2 + math.pi * k / 5
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return polygon(pts)


# Each picture: a list of (shape, colour) in Active colours, painted in order.
BUTTONS = {
    # Two friends side by side.
    "Friendslist": person(20.5, 9, 1.0, DARKGREEN) + person(11.5, 11, 1.1, GREEN),
    # A person barred by a red "no" sign.
    "Blacklist": person(16, 9, 1.1, GREY) + [
        (ring(16, 16, 14, 3), RED),
        (segment(6.5, 6.5, 25.5, 25.5, 3), RED),
    ],
    # A funnel letting a few drops through.
    "Filters": [
        (polygon([(3, 5), (29, 5), (19, 17), (19, 27), (13, 30), (13, 17)]), BLUE),
        (rect(3, 4, 29, 7), mix(BLUE, WHITE, 0.35)),
        (circle(24, 26, 1.6), BLUE),
        (circle(26.5, 21, 1.2), BLUE),
    ],
    # A virus: a round body with knobbed spikes.
    "Virus": spikes(16, 16, 8, 13, 10, 2.0, PURPLE) + [
        (circle(16, 16, 9), PURPLE),
        (circle(13, 13, 2.2), mix(PURPLE, WHITE, 0.5)),
        (circle(19.5, 18.5, 1.5), mix(PURPLE, WHITE, 0.5)),
    ],
    # A light bulb: an idea learned.
    "Learning": [
        (circle(16, 12, 9.5), YELLOW),
        (polygon([(10, 16), (22, 16), (20, 23), (12, 23)]), YELLOW),
        (rect(11.5, 23, 20.5, 29), GREY),
        (segment(11.5, 25, 20.5, 25, 1), (200, 200, 200)),
        (segment(11.5, 27.2, 20.5, 27.2, 1), (200, 200, 200)),
        (segment(14, 15, 16, 20, 1.2), ORANGE),
        (segment(18, 15, 16, 20, 1.2), ORANGE),
    ],
    # A police-style badge with a star.
    "SpamCop": [
        (polygon([(16, 2), (28, 7), (26, 20), (16, 30), (6, 20), (4, 7)]), BLUE),
        (star(16, 15, 8.5, 3.6), YELLOW),
    ],
    # A tallow candle with its flame.
    "Tallowmark": [
        (rect(11, 13, 21, 30), CREAM),
        (rect(11, 13, 12.5, 30), mix(CREAM, GREY, 0.3)),
        (ellipse(16, 13, 5, 1.5), mix(CREAM, GREY, 0.15)),
        (segment(16, 13, 16, 10, 1), GREY),
        (ellipse(16, 6.5, 3.2, 5), ORANGE),
        (ellipse(16, 7.5, 1.6, 3), YELLOW),
    ],
    # A globe: where spam comes from.
    "Origin": [
        (circle(16, 16, 13), BLUE),
        (ellipse(12, 12, 5, 6), GREEN),
        (ellipse(21, 21, 4, 5), GREEN),
        (ring(16, 16, 13, 1.2), mix(BLUE, (0, 0, 0), 0.3)),
        (lambda x, y: abs(((x - 16) / 6) ** 2 + ((y - 16) / 13) ** 2 - 1) < 0.12, WHITE),
        (segment(3.5, 16, 28.5, 16, 1), WHITE),
    ],
}

HALO = (235, 242, 255)

# Three sliders, the list options' picture (16 x 16 like the other button icons).
OPTIONS = [
    (segment(2, 4, 14, 4, 1.2), GREY), (rect(9, 2, 11.5, 6), BLUE),
    (segment(2, 8, 14, 8, 1.2), GREY), (rect(4, 6, 6.5, 10), BLUE),
    (segment(2, 12, 14, 12, 1.2), GREY), (rect(10, 10, 12.5, 14), BLUE),
]


def recoloured(layers, f):
    return [(shape, f(colour)) for shape, colour in layers]


if __name__ == "__main__":
    for base, layers in BUTTONS.items():
        write_png(base + "Normal.png", render(recoloured(layers, quiet), BIG), BIG)
        write_png(base + "Active.png", render([(circle(16, 16, 15.5), HALO)] + layers, BIG), BIG)
    write_png("options.png", render(OPTIONS, 16), 16)
