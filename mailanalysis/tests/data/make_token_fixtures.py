#!/usr/bin/python3
"""Writes the token fixtures: the same training data in both byte orders.

tokens-be.bin is what a big-endian machine writes, tokens-le.bin a little-endian one.
Layout: header word 0x62637362, version 1, the legitimate map and message count, the
junk map and message count, auxiliary length 0. A map is its entry count, then each
token and its count; a token is its id, and for ids up to 1023 a context and a UTF-8
text, each as one length byte and the bytes.
"""
import os
import struct

HEADER = 0x62637362

LEGIT = [
    ((0, b"", "hello"), 3),
    ((0, b"", "\u00fcber"), 1),
    ((0, b"subject", "hello"), 2),
    ((1024,), 1),
    ((3902,), 7),
]
LEGIT_MESSAGES = 10
JUNK = [
    ((0, b"", "free"), 5),
    ((0, b"", "\u20acuro\U0001F600"), 0x01000000),
    ((0, b"subject", "$100"), 1),
    ((4000,), 65536),
    ((0x01020304,), 2),
]
JUNK_MESSAGES = 0x00010203


def token(order, key):
    out = struct.pack(order + "I", key[0])
    if key[0] <= 1023:
        context, text = key[1], key[2].encode("utf-8")
        out += bytes([len(context)]) + context + bytes([len(text)]) + text
    return out


def table(order, entries):
    out = struct.pack(order + "I", len(entries))
    for key, count in entries:
        out += token(order, key) + struct.pack(order + "I", count)
    return out


def fixture(order):
    return (struct.pack(order + "II", HEADER, 1) + table(order, LEGIT) + struct.pack(order + "I", LEGIT_MESSAGES)
            + table(order, JUNK) + struct.pack(order + "I", JUNK_MESSAGES) + struct.pack(order + "I", 0))


here = os.path.dirname(os.path.abspath(__file__))
for name, order in (("tokens-be.bin", ">"), ("tokens-le.bin", "<")):
    with open(os.path.join(here, name), "wb") as f:
        f.write(fixture(order))
