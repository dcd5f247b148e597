#!/usr/bin/env python3
"""Draws the application icon, a watchful eye on a round blue field, in 256 colours at every size Windows asks
for: the small icon at 16, 20, 24 and 32 px (100, 125, 150 and 200 %), the big one at 32, 40 and 48 px (100 to
150 %). Each size is drawn afresh from the shapes, so none is a blurred copy of another."""
import math
import struct
import sys

SIZES = [16, 20, 24, 32, 40, 48]

# Palette index 0 is unused (transparent pixels are masked); the rest are the drawing's colours.
PALETTE = [(0, 0, 0), (30, 90, 170), (255, 255, 255), (40, 170, 80), (10, 30, 60), (120, 180, 240)]


def colour_at(size, x, y):
    """The drawing's colour at a pixel's centre, its shapes measured in 32ths of the icon's width."""
    unit = size / 32
    cx = cy = (size - 1) / 2
    r = math.hypot(x - cx, y - cy)
    outer = size / 2 - 0.5
    if r > outer:
        return None
    if r > outer - max(1.3 * unit, 1):
        return 4                      # dark rim, never thinner than a pixel
    # The eye: the overlap of two circles, wider than tall.
    upper = math.hypot(x - cx, y - (cy + 9 * unit)) < 16 * unit
    lower = math.hypot(x - cx, y - (cy - 9 * unit)) < 16 * unit
    if upper and lower:
        if r < 3 * unit:
            return 4                  # pupil
        if r < 6.5 * unit:
            return 3                  # iris
        return 2                      # white of the eye
    return 5 if y < cy - 6 * unit else 1  # sky above, field below


def padded(row):
    """A bitmap row is stored in whole 32-bit words."""
    return row + bytes(-len(row) % 4)


def image_bytes(size):
    pixels = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):   # bitmaps are stored bottom-up
        colours = [colour_at(size, x, y) for x in range(size)]
        pixels += padded(bytes(colour or 0 for colour in colours))
        bits = "".join("1" if colour is None else "0" for colour in colours)
        bits += "0" * (-size % 8)
        mask += padded(int(bits, 2).to_bytes(len(bits) // 8, "big"))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    palette += bytes(4 * (256 - len(PALETTE)))
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 8, 0, len(pixels) + len(mask), 0, 0, 256, 0)
    return header + palette + bytes(pixels) + bytes(mask)


def icon_bytes():
    images = [image_bytes(size) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, image in zip(SIZES, images):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(icon_bytes())
