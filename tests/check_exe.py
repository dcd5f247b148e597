#!/usr/bin/env python3
"""Checks the shipped executable: a 32-bit GUI program that needs only system DLLs."""
import re
import subprocess
import sys

SYSTEM_DLLS = {"advapi32.dll", "comctl32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll", "shell32.dll",
               "shlwapi.dll", "user32.dll", "wininet.dll", "winmm.dll"}


def main(path):
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", path], check=True, capture_output=True, text=True).stdout
    failures = []
    if "file format pei-i386" not in dump:
        failures.append("not a PE32 image for Intel 80386")
    if not re.search(r"^Subsystem\s+00000002\s+\(Windows GUI\)", dump, re.M):
        failures.append("not a GUI-subsystem program")
    dlls = {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}
    foreign = sorted(dlls - SYSTEM_DLLS)
    if foreign:
        failures.append("needs DLLs beside it: " + ", ".join(foreign))
    for failure in failures:
        print(f"{path}: {failure}")
    print(f"imports: {', '.join(sorted(dlls))}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
