#!/usr/bin/env python3
"""Checks the shipped executable: a 32-bit GUI program whose imports Windows never looks for beside it, with the
platform's protections on: ASLR with its relocations, DEP, terminal-server awareness, a stack protector, and the
load-config directory's flags that keep what its imports import to the system folder."""
import pathlib
import re
import subprocess
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "scripts"))
import set_load_config  # noqa: E402  the build's own reading of the header

# Windows 10's KnownDLLs, which it always takes from its own folder (Windows 7 has these and a few more), and the
# common controls, which the manifest takes from the system's side-by-side store. Any other DLL is looked for
# in the exe's folder first, so the tool delay-loads the rest from the system folder.
KNOWN_DLLS = {"advapi32.dll", "clbcatq.dll", "combase.dll", "comdlg32.dll", "coml2.dll", "difxapi.dll", "gdi32.dll",
              "gdiplus.dll", "imagehlp.dll", "imm32.dll", "kernel32.dll", "msctf.dll", "msvcrt.dll", "normaliz.dll",
              "nsi.dll", "ole32.dll", "oleaut32.dll", "psapi.dll", "rpcrt4.dll", "sechost.dll", "setupapi.dll",
              "shcore.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "wldap32.dll", "ws2_32.dll"}
SIDE_BY_SIDE = {"comctl32.dll"}
PROTECTIONS = ["DYNAMIC_BASE", "NX_COMPAT", "TERMINAL_SERVICE_AWARE"]
# What GCC's stack protector prints when it ends a process: in the exe only when its check is linked in.
STACK_PROTECTOR_MESSAGE = b"stack smashing detected"
LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800
DEPENDENT_LOAD_FLAGS_AT = 0x36  # in the 32-bit load-config directory


def dependent_load_flags(path, dump):
    """The load-config directory's DependentLoadFlags, or None when the header points to no directory."""
    entry = re.search(r"^Entry a ([0-9a-f]{8}) ([0-9a-f]{8}) Load Configuration Directory", dump, re.M)
    if not entry or int(entry.group(2), 16) <= DEPENDENT_LOAD_FLAGS_AT:
        return None
    with open(path, "rb") as exe:
        image = exe.read()
    at = set_load_config.file_offset(image, int(entry.group(1), 16)) + DEPENDENT_LOAD_FLAGS_AT
    return int.from_bytes(image[at:at + 2], "little")


def main(path):
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", path], check=True, capture_output=True, text=True).stdout
    failures = []
    if "file format pei-i386" not in dump:
        failures.append("not a PE32 image for Intel 80386")
    if not re.search(r"^Subsystem\s+00000002\s+\(Windows GUI\)", dump, re.M):
        failures.append("not a GUI-subsystem program")
    dlls = {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}
    searched = sorted(dlls - KNOWN_DLLS - SIDE_BY_SIDE)
    if searched:
        failures.append("imports DLLs Windows looks for beside it first: " + ", ".join(searched))
    flags = re.search(r"^DllCharacteristics\s+\S+\n((?:\t+\w+\n)*)", dump, re.M)
    flags = flags.group(1).split() if flags else []
    failures += [f"no {flag} in the header" for flag in PROTECTIONS if flag not in flags]
    if not re.search(r"^Entry 5 [0-9a-f]{8} 0*[1-9a-f][0-9a-f]* Base Relocation Directory", dump, re.M):
        failures.append("no relocations, so no ASLR")
    with open(path, "rb") as exe:
        if STACK_PROTECTOR_MESSAGE not in exe.read():
            failures.append("no stack protector")
    load_flags = dependent_load_flags(path, dump)
    if load_flags is None or not load_flags & LOAD_LIBRARY_SEARCH_SYSTEM32:
        failures.append("no load-config directory that keeps its imports' imports to the system folder")
    for failure in failures:
        print(f"{path}: {failure}")
    load_flags = "none" if load_flags is None else hex(load_flags)
    print(f"imports: {', '.join(sorted(dlls))}; header: {', '.join(flags)}; dependent load flags: {load_flags}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
