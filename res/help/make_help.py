#!/usr/bin/env python3
"""Compiles the help file: the UTF-8 sources here, in GBK as the Chinese help viewer reads them, plus the pictures.

Usage: make_help.py <docs directory with the pictures> <output help.chm>
"""
import os
import pathlib
import shutil
import struct
import subprocess
import sys

HERE = pathlib.Path(__file__).resolve().parent
TEXT_SUFFIXES = {".htm", ".hhc", ".hhk", ".hhp", ".css"}
PICTURES = ["main-window.png", "about-box.png"]


def stage(docs, staging):
    """Every text in GBK with its declared charset to match; a character GBK lacks fails the build."""
    if staging.exists():
        shutil.rmtree(staging)
    staging.mkdir(parents=True)
    for source in HERE.iterdir():
        if source.suffix in TEXT_SUFFIXES:
            text = source.read_text(encoding="utf-8").replace("charset=utf-8", "charset=gb2312")
            (staging / source.name).write_bytes(text.encode("gbk"))
    for picture in PICTURES:
        shutil.copy(docs / picture, staging / picture)
    for staged in staging.iterdir():
        os.utime(staged, (0, 0))  # the compiler records the sources' times


def compile_help(staging, output):
    """chmcmd reports missing files and broken links as lines of its output; any of them fails the build.
    It runs without address randomisation: it writes a byte of uninitialised memory into the index's map,
    which otherwise changes from build to build."""
    result = subprocess.run(["setarch", "-R", "chmcmd", "help.hhp"], cwd=staging, capture_output=True, text=True,
                            encoding="latin-1")
    complaints = [line for line in result.stdout.splitlines() + result.stderr.splitlines()
                  if "error" in line.lower() or "warning" in line.lower() or "not found" in line.lower()]
    if result.returncode != 0 or complaints:
        sys.exit("chmcmd failed:\n" + "\n".join(complaints or [result.stdout, result.stderr]))
    chm = bytearray((staging / "help.chm").read_bytes())
    clear_build_stamps(chm)
    output.write_bytes(chm)


def encint(data, at):
    """A CHM directory's variable-length number: seven bits a byte, most significant first."""
    value = 0
    while True:
        byte = data[at]
        at += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, at


def system_file(chm):
    """Where the #SYSTEM file lies in the uncompressed section: its offset and length."""
    content = struct.unpack_from("<Q", chm, 0x58)[0]
    name = b"\x08/#SYSTEM"
    entry = chm.index(name) + len(name)
    section, entry = encint(chm, entry)
    offset, entry = encint(chm, entry)
    length, entry = encint(chm, entry)
    assert section == 0, "#SYSTEM is always stored uncompressed"
    return content + offset, length


def clear_build_stamps(chm):
    """chmcmd stamps the build's time into the header and into #SYSTEM (its record 10); both become 0 so
    that two builds give the same bytes."""
    chm[0x10:0x14] = bytes(4)
    start, length = system_file(chm)
    at = start + 4  # past the file's version
    while at < start + length:
        code, size = struct.unpack_from("<HH", chm, at)
        if code == 10:
            chm[at + 4:at + 4 + size] = bytes(size)
        at += 4 + size


def main(docs, output):
    output = pathlib.Path(output).resolve()
    staging = output.parent / "help-staging"
    stage(pathlib.Path(docs), staging)
    compile_help(staging, output)


if __name__ == "__main__":
    main(*sys.argv[1:])
