#!/usr/bin/env python3
"""Writes the recorder's two tones (8,000 Hz mono 16-bit WAVE files):
record_tone.wav, 0.1 s at 1,000 Hz, and stopped_tone.wav, 0.25 s falling
from 880 Hz to 587 Hz; both fade in and out over 5 ms so that they do not click."""
import math
import struct
import sys
from pathlib import Path

RATE = 8000


def tone(pieces, amplitude=0.45, fade_s=0.005):
    samples = []
    phase = 0.0
    total = sum(int(seconds * RATE) for _, seconds in pieces)
    fade = int(fade_s * RATE)
    for frequency, seconds in pieces:
        for _ in range(int(seconds * RATE)):
            n = len(samples)
            gain = min(1.0, n / fade, (total - 1 - n) / fade)
            samples.append(int(round(32767 * amplitude * gain * math.sin(phase))))
            phase += 2 * math.pi * frequency / RATE
    return samples


def wave(samples):
    data = struct.pack("<%dh" % len(samples), *samples)
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE * 2, 2, 16)
    return (b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE" + b"fmt " + struct.pack("<I", 16) + fmt +
            b"data" + struct.pack("<I", len(data)) + data)


folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent
(folder / "record_tone.wav").write_bytes(wave(tone([(1000, 0.1)])))
(folder / "stopped_tone.wav").write_bytes(wave(tone([(880, 0.125), (587, 0.125)])))
