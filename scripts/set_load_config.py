#!/usr/bin/env python3
"""Points a linked exe's header at its load-config directory, _load_config_used, which GNU ld (2.40 here) leaves
out though the exe defines it: the link's map gives its address. The header's checksum is made anew.

usage: set_load_config.py EXE MAP
"""
import re
import struct
import sys

LOAD_CONFIG_ENTRY = 10


def headers(image):
    """Where the optional header begins, whether it is PE32+, and where the section table begins and ends."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    optional = pe + 24
    wide = struct.unpack_from("<H", image, optional)[0] == 0x20B
    return optional, wide, optional + optional_size, optional + optional_size + 40 * sections


def file_offset(image, rva):
    _, _, table, table_end = headers(image)
    for at in range(table, table_end, 40):
        virtual_size, address, raw_size, raw_at = struct.unpack_from("<IIII", image, at + 8)
        if address <= rva < address + max(virtual_size, raw_size):
            return raw_at + rva - address
    sys.exit(f"no section holds RVA {rva:#x}")


def checksum(image, at):
    """The PE checksum: the 16-bit one's-complement sum of the file without its checksum field, plus its length."""
    padded = image + b"\0" * (len(image) % 2)
    words = struct.unpack(f"<{len(padded) // 2}H", padded)
    total = sum(words) - words[at // 2] - words[at // 2 + 1]
    while total > 0xFFFF:
        total = (total & 0xFFFF) + (total >> 16)
    return total + len(image)


def main(exe, map_file):
    with open(map_file, encoding="utf-8", errors="replace") as listing:
        found = re.search(r"^\s+0x([0-9a-f]+)\s+_?_load_config_used\s*$", listing.read(), re.M)
    if not found:
        sys.exit(f"{map_file} has no _load_config_used")
    with open(exe, "rb") as file:
        image = bytearray(file.read())
    optional, wide, _, _ = headers(image)
    image_base = struct.unpack_from("<Q" if wide else "<I", image, optional + (24 if wide else 28))[0]
    rva = int(found.group(1), 16) - image_base
    size = struct.unpack_from("<I", image, file_offset(image, rva))[0]
    struct.pack_into("<II", image, optional + (112 if wide else 96) + 8 * LOAD_CONFIG_ENTRY, rva, size)
    struct.pack_into("<I", image, optional + 64, checksum(image, optional + 64))
    with open(exe, "wb") as file:
        file.write(image)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(*sys.argv[1:])
