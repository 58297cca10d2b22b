#!/usr/bin/env python3
"""Synthesises the new-mail sounds: short chimes as 16-bit mono WAV files at 22,050 Hz.

Each note is a sum of sine partials under an exponential decay with a 5 ms attack, so it
starts without a click; notes of one chime overlap like struck bars. Needs only the Python
standard library; the output is byte-for-byte reproducible.
Usage: gen_sounds.py [output folder]  (default: this script's folder)
"""
import math
import os
import struct
import sys
import wave

RATE = 22050

# name: (length in seconds, [(start s, frequency Hz, loudness, decay per second)], partials)
BELL = [(1.0, 1.0), (2.76, 0.35), (5.4, 0.15)]
BAR = [(1.0, 1.0), (3.0, 0.2)]
SOFT = [(1.0, 1.0), (2.0, 0.12)]

CHIMES = {
    "Chime.wav": (1.4, [(0.0, 659.25, 0.6, 3.0), (0.16, 987.77, 0.5, 3.0)], BAR),
    "Doorbell.wav": (1.6, [(0.0, 783.99, 0.6, 2.5), (0.45, 622.25, 0.6, 2.2)], BELL),
    "Ripple.wav": (1.3, [(0.0, 523.25, 0.45, 4.0), (0.09, 659.25, 0.45, 4.0), (0.18, 783.99, 0.45, 4.0),
                         (0.27, 1046.5, 0.45, 3.5)], SOFT),
    "Tick.wav": (0.5, [(0.0, 1318.5, 0.5, 12.0)], BAR),
}


def samples(length, notes, partials):
    count = int(length * RATE)
    out = [0.0] * count
    for start, freq, loud, decay in notes:
        first = int(start * RATE)
        for i in range(first, count):
            t = (i - first) / RATE
            envelope = loud * min(1.0, t / 0.005) * math.exp(-decay * t)
            if envelope < 1e-4:
                break
            out[i] += envelope * sum(a * math.sin(2 * math.pi * freq * m * t) for m, a in partials)
    # The tail fades to silence over the last 50 ms, so the file ends on zero.
    fade = int(0.05 * RATE)
    for i in range(fade):
        out[count - fade + i] *= 1 - (i + 1) / fade
    peak = max(abs(v) for v in out) or 1.0
    return [round(v / peak * 0.8 * 32767) for v in out]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, (length, notes, partials) in CHIMES.items():
        data = samples(length, notes, partials)
        with wave.open(os.path.join(out, name), "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(struct.pack("<%dh" % len(data), *data))


if __name__ == "__main__":
    main()
