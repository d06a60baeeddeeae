#!/usr/bin/env python3
"""Makes the three alarm sounds shipped beside the program (data/*.Wav): short tones
synthesised here, so they are ours. Run again to remake them."""
import math
import os
import struct
import wave

RATE = 22050
HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "data")


def tone(freq, ms, volume=0.5):
    n = int(RATE * ms / 1000)
    fade = int(RATE * 0.01)
    out = []
    for i in range(n):
        env = min(1.0, i / fade, (n - 1 - i) / fade) if fade else 1.0
        out.append(volume * env * math.sin(2 * math.pi * freq * i / RATE))
    return out


def silence(ms):
    return [0.0] * int(RATE * ms / 1000)


def write(name, samples):
    with wave.open(os.path.join(DATA, name), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(s * 32767)) for s in samples))


# New articles: two rising notes.
write("NewFeed.Wav", tone(660, 120) + silence(40) + tone(880, 180))
# Every podcast downloaded: three rising notes.
write("AllDownloaded.Wav", tone(523, 110) + silence(30) + tone(659, 110) + silence(30)
      + tone(784, 200))
# First update of all feeds done: one falling pair.
write("FinishFirstActualize.Wav", tone(784, 140) + silence(40) + tone(587, 220))
