#!/usr/bin/env python3
"""Draws the preview pane's button pictures: normalView.png, sourceView.png and quickReply.png.

16 x 16 like the other small pictures of the "vlImages" resource, painted with the shape
helpers of generate_images.py. Needs only the Python standard library; the output is
byte-for-byte reproducible.  Usage: gen_preview.py  (run from this folder)
"""
import generate_images as g

PAPER = (250, 250, 245)
EDGE = (90, 90, 90)
INK = (120, 120, 120)
CODE = (40, 90, 170)
ARROW = (40, 140, 60)


def sheet():
    """A sheet of paper with a dark edge."""
    return [(g.rect(2, 1, 14, 15), EDGE), (g.rect(3, 2, 13, 14), PAPER)]


PICTURES = {
    # A page of text: the message as it reads.
    "normalView.png": sheet() + [
        (g.rect(5, 4, 11, 5), INK),
        (g.rect(5, 6, 11, 7), INK),
        (g.rect(5, 8, 11, 9), INK),
        (g.rect(5, 10, 9, 11), INK),
    ],
    # A page of indented blue lines: the message's source, header lines and all.
    "sourceView.png": sheet() + [
        (g.rect(4, 4, 8, 5), CODE),
        (g.rect(6, 6, 12, 7), CODE),
        (g.rect(6, 8, 11, 9), CODE),
        (g.rect(4, 10, 8, 11), CODE),
    ],
    # An arrow bending back to the left: answer the sender.
    "quickReply.png": [
        (g.arc(9, 10, 4.5, 2.2, 0, 90), ARROW),
        (g.rect(9, 4.4, 9.6, 6.6), ARROW),
        (g.triangle((2, 5.5), (7.5, 1.5), (7.5, 9.5)), ARROW),
        (g.rect(7.4, 4.4, 9.2, 6.6), ARROW),
        (g.segment(13.5, 10, 13.5, 14, 2.2), ARROW),
    ],
}

if __name__ == "__main__":
    for name, layers in PICTURES.items():
        g.write_png(name, g.render(layers), g.SIZE)
