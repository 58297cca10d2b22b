#!/usr/bin/python3
"""Writes the training-data file of freshly created training data.

Usage: make_golden.py OUTPUT little|big

The layout is written out by hand from the file format: header word 0x62637362, version 1,
the legitimate map (empty) and message count (0), the junk map (every safe trait with
count 1, a trait being its 4-byte number) and message count (1), auxiliary length 0.
"""
import struct
import sys

ALL_TRAITS = [
    1024, 1100, 1101, 1102, 1103, 1104, 1105, 1106, 1107, 1108, 1109, 1110, 1111,
    1200, 1201, 1202, 1300, 1301,
    2000, 2001, 2002, 2003, 2004, 2005, 2006,
    3000, 3001, 3002, 3003, 3100, 3101, 3102, 3103, 3200, 3201, 3202,
    3300, 3301, 3302, 3400, 3401, 3402, 3403, 3404, 3405, 3406,
    3500, 3501, 3502, 3503, 3600, 3601, 3602, 3700, 3701, 3702,
    3800, 3801, 3802, 3900, 3901, 3902, 3903, 3904, 4000,
]
NOT_SAFE = {1107, 1109, 2003, 2004, 2005, 3200, 3201, 3202, 3301, 3600, 3702, 3801, 3902}


def main():
    safe = sorted(t for t in ALL_TRAITS if t not in NOT_SAFE)
    assert len(ALL_TRAITS) == 65 and len(safe) == 52
    order = {'little': '<', 'big': '>'}[sys.argv[2]]
    out = struct.pack(order + 'II', 0x62637362, 1)
    out += struct.pack(order + 'II', 0, 0)
    out += struct.pack(order + 'I', len(safe))
    for trait in safe:
        out += struct.pack(order + 'II', trait, 1)
    out += struct.pack(order + 'I', 1)
    out += struct.pack(order + 'I', 0)
    with open(sys.argv[1], 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
