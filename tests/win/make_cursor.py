#!/usr/bin/env python3
"""Writes a 32x32 monochrome cursor with its hot spot at (9, 2): the stand-in for a help program's hand."""
import struct
import sys

SIZE = 32
HOT_SPOT = (9, 2)


def cursor_bytes():
    # A solid block on a transparent ground: XOR bits draw white where AND bits clear the screen.
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):   # bitmaps are stored bottom-up
        inside = 8 <= y < 24
        xor += struct.pack(">I", 0x00FFFF00 if inside else 0)
        mask += struct.pack(">I", 0xFF0000FF if inside else 0xFFFFFFFF)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    image = header + struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0) + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(cursor_bytes())
