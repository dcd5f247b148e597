#!/usr/bin/env python3
"""Draws the application icon, a watchful eye on a round blue field, at every size Windows asks for: the small
icon at 16, 20, 24, 28 and 32 px (100 to 200 %), the big one at 32, 40, 48, 56 and 64 px (100 to 200 %), and
256 px for Explorer's largest views, stored as PNG. Each size is drawn afresh from the shapes, so none is a
blurred copy of another; every image is 32-bit, its edges smoothed by the share of each pixel the shapes cover."""
import math
import struct
import sys
import zlib

SIZES = [16, 20, 24, 28, 32, 40, 48, 56, 64, 256]
PNG_SIZE = 256  # stored as PNG, as every icon since Vista stores its largest image

# The drawing's colours, by the numbers colour_at gives.
PALETTE = [(0, 0, 0), (30, 90, 170), (255, 255, 255), (40, 170, 80), (10, 30, 60), (120, 180, 240)]
# Each pixel is sampled on a grid of this many points a side.
SAMPLES = 4


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


def pixel(size, x, y):
    """The pixel's colour and alpha: the mean of its samples' colours, weighted by how many of them the
    shapes cover."""
    covered = [colour_at(size, x + (i + 0.5) / SAMPLES - 0.5, y + (j + 0.5) / SAMPLES - 0.5)
               for i in range(SAMPLES) for j in range(SAMPLES)]
    colours = [PALETTE[colour] for colour in covered if colour is not None]
    if not colours:
        return 0, 0, 0, 0
    red, green, blue = (round(sum(channel) / len(colours)) for channel in zip(*colours))
    return red, green, blue, round(255 * len(colours) / len(covered))


def padded(row):
    """A bitmap row is stored in whole 32-bit words."""
    return row + bytes(-len(row) % 4)


def bitmap_bytes(size, rows):
    """A 32-bit image with its AND mask, stored bottom-up; the mask hides what is wholly transparent, for
    whoever draws without alpha."""
    pixels = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        pixels += b"".join(struct.pack("<BBBB", b, g, r, a) for r, g, b, a in row)
        bits = "".join("1" if a == 0 else "0" for _, _, _, a in row) + "0" * (-size % 8)
        mask += padded(int(bits, 2).to_bytes(len(bits) // 8, "big"))
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_bytes(size, rows):
    raw = b"".join(b"\0" + b"".join(bytes(rgba) for rgba in row) for row in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8 bits a channel, RGBA
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", zlib.compress(raw, 9))
            + png_chunk(b"IEND", b""))


def image_bytes(size):
    rows = [[pixel(size, x, y) for x in range(size)] for y in range(size)]
    return png_bytes(size, rows) if size == PNG_SIZE else bitmap_bytes(size, rows)


def icon_bytes():
    images = [image_bytes(size) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, image in zip(SIZES, images):
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(icon_bytes())
