#!/usr/bin/env python3
"""Checks the shipped executable: a 32-bit GUI program that needs only system DLLs, with the platform's
protections on: ASLR with its relocations, DEP, terminal-server awareness and a stack protector."""
import re
import subprocess
import sys

SYSTEM_DLLS = {"advapi32.dll", "comctl32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll", "shell32.dll",
               "shlwapi.dll", "user32.dll", "wininet.dll", "winmm.dll"}
PROTECTIONS = ["DYNAMIC_BASE", "NX_COMPAT", "TERMINAL_SERVICE_AWARE"]
# What GCC's stack protector prints when it ends a process: in the exe only when its check is linked in.
STACK_PROTECTOR_MESSAGE = b"stack smashing detected"


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
    flags = re.search(r"^DllCharacteristics\s+\S+\n((?:\t+\w+\n)*)", dump, re.M)
    flags = flags.group(1).split() if flags else []
    failures += [f"no {flag} in the header" for flag in PROTECTIONS if flag not in flags]
    if not re.search(r"^Entry 5 [0-9a-f]{8} 0*[1-9a-f][0-9a-f]* Base Relocation Directory", dump, re.M):
        failures.append("no relocations, so no ASLR")
    with open(path, "rb") as exe:
        if STACK_PROTECTOR_MESSAGE not in exe.read():
            failures.append("no stack protector")
    for failure in failures:
        print(f"{path}: {failure}")
    print(f"imports: {', '.join(sorted(dlls))}; header: {', '.join(flags)}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
