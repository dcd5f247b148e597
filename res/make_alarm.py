#!/usr/bin/env python3
"""Synthesises the alarm tone: a two-tone siren, 8-bit mono PCM at 11,025 Hz, 25,704 bytes in all."""
import math
import struct
import sys

RATE = 11025
SAMPLES = 25564
# A LIST chunk of 96 bytes brings the image to the size the tool has always carried.
COMMENT = b"Alarm tone of the site watcher, synthesised at build time."
COMMENT_SIZE = 76


def samples():
    out = bytearray()
    for n in range(SAMPLES):
        t = n / RATE
        frequency = 880 if int(t * 4) % 2 == 0 else 660
        fade = min(1.0, n / 400, (SAMPLES - n) / 400)
        out.append(int(128 + 100 * fade * math.sin(2 * math.pi * frequency * t)))
    return bytes(out)


def chunk(tag, payload):
    return tag + struct.pack("<I", len(payload)) + payload


def wave_image():
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE, 1, 8)
    info = b"INFO" + chunk(b"ICMT", COMMENT.ljust(COMMENT_SIZE, b"\0"))
    body = b"WAVE" + chunk(b"fmt ", fmt) + chunk(b"data", samples()) + chunk(b"LIST", info)
    return chunk(b"RIFF", body)


if __name__ == "__main__":
    image = wave_image()
    assert len(image) == 25704, len(image)
    with open(sys.argv[1], "wb") as out:
        out.write(image)
