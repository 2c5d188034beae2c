#!/usr/bin/python3
"""Writes the program's short sounds into resources/sounds/ as 16-bit mono WAVE files:

    startTimer.wav   a rising pair of beeps: the shutter opens
    stopTimer.wav    one lower beep: the shutter closes

Run with python3 (standard library only) and commit the output:

    python3 tools/make_sounds.py
"""
import math
import os
import struct
import wave

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources", "sounds")
RATE = 11025


def tone(frequency, ms, volume=0.5):
    """A sine tone with 5 ms ramps at both ends, so that it starts and stops without a click."""
    n = RATE * ms // 1000
    ramp = RATE * 5 // 1000
    out = []
    for i in range(n):
        envelope = min(1.0, i / ramp, (n - 1 - i) / ramp)
        out.append(int(32767 * volume * envelope * math.sin(2 * math.pi * frequency * i / RATE)))
    return out


def silence(ms):
    return [0] * (RATE * ms // 1000)


def write(name, samples):
    os.makedirs(OUT, exist_ok=True)
    path = os.path.join(OUT, name + ".wav")
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(struct.pack("<%dh" % len(samples), *samples))
    print("wrote", os.path.relpath(path, ROOT), len(samples), "samples")


write("startTimer", tone(880, 90) + silence(40) + tone(1320, 120))
write("stopTimer", tone(660, 200))
