#!/usr/bin/env python3
"""The LV2 checks' audio files: 32-bit integer stereo WAV, which lv2apply (libsndfile) writes back
in the same format; the render tool writes 32-bit float WAV, which compare reads too.

  wav.py write FILE            a click and a short burst of noise, then silence for the tail
  wav.py compare A B LIMIT     fails if any sample differs by more than LIMIT (full scale 1),
                               or if B is silent
"""
import random
import struct
import sys
import wave

RATE, FRAMES, SCALE = 48000, 48000, 2 ** 31


def write(path):
    rng = random.Random(7)
    samples = []
    for n in range(FRAMES):
        for _ in range(2):
            x = rng.uniform(-0.25, 0.25) if n < RATE // 20 else 0.0
            samples.append(int((0.9 if n == 10 else x) * (SCALE - 1)))
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(4)
        w.setframerate(RATE)
        w.writeframes(struct.pack("<%di" % len(samples), *samples))


def read(path):
    """The samples of a 32-bit integer or float WAV file, full scale 1. Python's wave module
    reads integer samples only, so the chunks are walked here."""
    with open(path, "rb") as f:
        riff = f.read()
    assert riff[:4] == b"RIFF" and riff[8:12] == b"WAVE", path
    at, tag, bits, data = 12, None, None, None
    while at + 8 <= len(riff):
        name, size = riff[at:at + 4], struct.unpack("<I", riff[at + 4:at + 8])[0]
        body = riff[at + 8:at + 8 + size]
        if name == b"fmt ":
            tag, bits = struct.unpack("<H", body[:2])[0], struct.unpack("<H", body[14:16])[0]
            if tag == 0xFFFE:  # WAVE_FORMAT_EXTENSIBLE: the format is the sub-format's first two bytes
                tag = struct.unpack("<H", body[24:26])[0]
        elif name == b"data":
            data = body
        at += 8 + size + (size & 1)
    assert bits == 32 and tag in (1, 3) and data is not None, path
    if tag == 3:
        return list(struct.unpack("<%df" % (len(data) // 4), data))
    return [s / SCALE for s in struct.unpack("<%di" % (len(data) // 4), data)]


def compare(a_path, b_path, limit):
    a, b = read(a_path), read(b_path)
    if len(a) != len(b):
        sys.exit("%s has %d samples, %s %d" % (a_path, len(a), b_path, len(b)))
    largest = max(abs(x - y) for x, y in zip(a, b))
    tail = sum(x * x for x in b[len(b) // 2:])
    print("largest difference %.3g, energy of the second half %.3g" % (largest, tail))
    if largest > limit or tail == 0:
        sys.exit(1)


if __name__ == "__main__":
    if sys.argv[1:2] == ["write"]:
        write(sys.argv[2])
    elif sys.argv[1:2] == ["compare"]:
        compare(sys.argv[2], sys.argv[3], float(sys.argv[4]))
    else:
        sys.exit(__doc__)
