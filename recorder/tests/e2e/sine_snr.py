#!/usr/bin/env python3
"""Signal-to-noise ratio of a recorded sine: fits offset + sine + cosine of
the known frequency to each channel of a 16-bit little-endian raw file (the
first and last 0.3 s left out) and prints 10 log10(fitted power / residual
power) of the worse channel, in dB.
Usage: sine_snr.py RAW CHANNELS RATE FREQUENCY"""
import math
import struct
import sys

path, channels, rate, frequency = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), float(sys.argv[4])
data = open(path, "rb").read()
values = struct.unpack("<%dh" % (len(data) // 2), data[: len(data) // 2 * 2])
frames = len(values) // channels
skip = int(0.3 * rate)
if frames <= 2 * skip + rate // 10:
    sys.exit("too short: %d frames" % frames)
worst = None
for channel in range(channels):
    ys = [values[i * channels + channel] for i in range(skip, frames - skip)]
    step = 2 * math.pi * frequency / rate
    s = [math.sin(step * (i + skip)) for i in range(len(ys))]
    c = [math.cos(step * (i + skip)) for i in range(len(ys))]
    # Normal equations of y ~ a + b s + d c.
    cols = [[1.0] * len(ys), s, c]
    m = [[sum(p * q for p, q in zip(cols[r], cols[k])) for k in range(3)] for r in range(3)]
    v = [sum(p * y for p, y in zip(cols[r], ys)) for r in range(3)]
    for r in range(3):  # Gauss-Jordan on a 3x3 system
        pivot = m[r][r]
        m[r] = [x / pivot for x in m[r]]
        v[r] /= pivot
        for k in range(3):
            if k != r:
                f = m[k][r]
                m[k] = [a - f * b for a, b in zip(m[k], m[r])]
                v[k] -= f * v[r]
    a, b, d = v
    fitted = sum((b * si + d * ci) ** 2 for si, ci in zip(s, c))
    residual = sum((y - a - b * si - d * ci) ** 2 for y, si, ci in zip(ys, s, c))
    snr = 10 * math.log10(fitted / max(residual, 1e-9))
    worst = snr if worst is None else min(worst, snr)
print("%.1f" % worst)
