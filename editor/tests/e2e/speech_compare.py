#!/usr/bin/env python3
"""Compares speech in OURS.wav with REFERENCE.wav (16-bit PCM WAVE files):
the spoken stretch (from the first to the last 20 ms frame above a tenth of
the loudest) must last as long within 20%, and the loudness envelopes, laid
over each other at that length, must correlate by at least 0.7.
Usage: speech_compare.py OURS.wav REFERENCE.wav"""
import array
import math
import sys
import wave

FRAME_SECONDS = 0.02


def envelope(path):
    with wave.open(path, "rb") as sound:
        rate, channels = sound.getframerate(), sound.getnchannels()
        assert sound.getsampwidth() == 2, f"{path}: not 16-bit"
        samples = array.array("h", sound.readframes(sound.getnframes()))
    if sys.byteorder == "big":
        samples.byteswap()
    mono = samples[::channels]
    step = max(1, int(rate * FRAME_SECONDS))
    levels = []
    for start in range(0, len(mono) - step + 1, step):
        piece = mono[start:start + step]
        levels.append(math.sqrt(sum(s * s for s in piece) / step))
    loudest = max(levels, default=0)
    if loudest == 0:
        return []
    spoken = [i for i, level in enumerate(levels) if level > loudest / 10]
    return [level / loudest for level in levels[spoken[0]:spoken[-1] + 1]]


def stretched(levels, length):
    return [levels[min(len(levels) - 1, int(i * len(levels) / length))] for i in range(length)]


def correlation(a, b):
    mean_a, mean_b = sum(a) / len(a), sum(b) / len(b)
    cov = sum((x - mean_a) * (y - mean_b) for x, y in zip(a, b))
    var_a = sum((x - mean_a) ** 2 for x in a)
    var_b = sum((y - mean_b) ** 2 for y in b)
    return cov / math.sqrt(var_a * var_b) if var_a and var_b else 0.0


def main():
    ours, reference = envelope(sys.argv[1]), envelope(sys.argv[2])
    if not ours:
        print("our file holds no speech")
        return 1
    seconds_ours = len(ours) * FRAME_SECONDS
    seconds_reference = len(reference) * FRAME_SECONDS
    # Envelopes smoothed over 100 ms: syllables, not single periods.
    length = len(reference)
    a = stretched(ours, length)
    smooth = lambda xs: [sum(xs[max(0, i - 2):i + 3]) / len(xs[max(0, i - 2):i + 3]) for i in range(len(xs))]
    r = correlation(smooth(a), smooth(reference))
    print(f"spoken {seconds_ours:.2f} s against {seconds_reference:.2f} s, envelope correlation {r:.2f}")
    ratio = seconds_ours / seconds_reference
    return 0 if 0.8 <= ratio <= 1.25 and r >= 0.7 else 1


if __name__ == "__main__":
    sys.exit(main())
