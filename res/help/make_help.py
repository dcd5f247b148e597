#!/usr/bin/env python3
"""Compiles the help file: the UTF-8 sources here, in GBK as the Chinese help viewer reads them, plus the pictures.

Usage: make_help.py <docs directory with the pictures> <output help.chm>
"""
import pathlib
import shutil
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


def compile_help(staging, output):
    """chmcmd reports missing files and broken links as lines of its output; any of them fails the build."""
    result = subprocess.run(["chmcmd", "help.hhp"], cwd=staging, capture_output=True, text=True,
                            encoding="latin-1")
    complaints = [line for line in result.stdout.splitlines() + result.stderr.splitlines()
                  if "error" in line.lower() or "warning" in line.lower() or "not found" in line.lower()]
    if result.returncode != 0 or complaints:
        sys.exit("chmcmd failed:\n" + "\n".join(complaints or [result.stdout, result.stderr]))
    shutil.move(str(staging / "help.chm"), output)


def main(docs, output):
    output = pathlib.Path(output).resolve()
    staging = output.parent / "help-staging"
    stage(pathlib.Path(docs), staging)
    compile_help(staging, output)


if __name__ == "__main__":
    main(*sys.argv[1:])
