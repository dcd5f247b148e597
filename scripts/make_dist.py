#!/usr/bin/env python3
"""Packs the release zip: the tool, its help file and the readme, the same bytes at every build.

usage: make_dist.py ZIP EXE HELP README

Entries carry no build time (1980-01-01, the zip format's first day) and fixed attributes. Names are
stored in GBK, which the Chinese Windows' own unpacker reads (Windows 7 ignores the UTF-8 flag), with the
UTF-8 name beside it in an Info-ZIP Unicode Path field for unpackers that read that. The readme's UTF-8
source becomes GBK with CR LF line ends, as Notepad on a Chinese Windows reads it.
"""
import os
import struct
import sys
import zipfile
import zlib

EPOCH = (1980, 1, 1, 0, 0, 0)
UNICODE_PATH_FIELD = 0x7075


class GbkNamedEntry(zipfile.ZipInfo):
    """An entry whose name is written in GBK, without the UTF-8 flag."""

    def __init__(self, name):
        super().__init__(name, date_time=EPOCH)
        self.compress_type = zipfile.ZIP_DEFLATED
        self.external_attr = 0o100644 << 16
        self.create_system = 0  # MS-DOS: no Unix owner or mode to vary
        gbk = name.encode("gbk")
        utf8 = name.encode("utf-8")
        self.extra = struct.pack("<HHBI", UNICODE_PATH_FIELD, 5 + len(utf8), 1, zlib.crc32(gbk)) + utf8

    def _encodeFilenameFlags(self):
        return self.filename.encode("gbk"), self.flag_bits


def readme_text(path):
    with open(path, encoding="utf-8") as source:
        return source.read().replace("\n", "\r\n").encode("gbk")


def main(zip_path, exe, help_file, readme):
    entries = [("望站.exe", open(exe, "rb").read()), ("help.chm", open(help_file, "rb").read()),
               ("说明.txt", readme_text(readme))]
    os.makedirs(os.path.dirname(zip_path), exist_ok=True)
    partial = zip_path + ".part"
    with zipfile.ZipFile(partial, "w", compresslevel=9) as package:
        for name, data in entries:
            package.writestr(GbkNamedEntry(name), data)
    os.replace(partial, zip_path)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main(*sys.argv[1:])
