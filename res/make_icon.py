#!/usr/bin/env python3
"""Draws the application icon: a watchful eye on a round blue field, 32x32 in 256 colours."""
import math
import struct
import sys

SIZE = 32

# Palette index 0 is unused (transparent pixels are masked); the rest are the drawing's colours.
PALETTE = [(0, 0, 0), (30, 90, 170), (255, 255, 255), (40, 170, 80), (10, 30, 60), (120, 180, 240)]


def colour_at(x, y):
    cx = cy = (SIZE - 1) / 2
    r = math.hypot(x - cx, y - cy)
    if r > 15.5:
        return None
    if r > 14.2:
        return 4                      # dark rim
    # The eye: the overlap of two circles, wider than tall.
    upper = math.hypot(x - cx, y - (cy + 9)) < 16
    lower = math.hypot(x - cx, y - (cy - 9)) < 16
    if upper and lower:
        if r < 3:
            return 4                  # pupil
        if r < 6.5:
            return 3                  # iris
        return 2                      # white of the eye
    return 5 if y < cy - 6 else 1     # sky above, field below


def icon_bytes():
    pixels = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):   # bitmaps are stored bottom-up
        bits = 0
        for x in range(SIZE):
            colour = colour_at(x, y)
            pixels.append(colour or 0)
            bits = (bits << 1) | (1 if colour is None else 0)
        mask += struct.pack(">I", bits)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    palette += bytes(4 * (256 - len(PALETTE)))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 8, 0, len(pixels) + len(mask), 0, 0, 256, 0)
    image = header + palette + bytes(pixels) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(icon_bytes())
