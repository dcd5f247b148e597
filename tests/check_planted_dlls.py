#!/usr/bin/env python3
"""Runs the exe from a folder of its own that also holds DLLs named like the system DLLs it uses or has loaded
for it, as an attacker could leave them beside a download. Each is planted.dll, which notes in planted.log
the name it was loaded under; Wine is told to prefer them to its own, as Windows prefers a DLL beside the exe
to any that is not among its known DLLs. A name in the log is a DLL that ran inside the tool.

usage: check_planted_dlls.py EXE PLANTED_DLL -- RUN_E2E_COMMAND...   (the runner's command without --tool)
"""
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile

# Its own imports and theirs, and what the system loads by name on its behalf later: the sound's driver
# (Wine's winealsa.drv, where Windows has wdmaud.drv), TLS, the shell's helpers. Not three that Wine itself
# takes from the exe's folder whatever the exe does: version.dll, which its user32 imports, and uxtheme.dll,
# which it loads as the process starts, both before any code of the exe runs; and msimg32.dll, which its
# uxtheme.dll delay-loads without the search folders the exe set. Windows' user32 is one of its known DLLs,
# whose imports are known DLLs too, and Windows 10 applies the exe's load-config flags to what the common
# controls import.
PLANTED = ["wininet.dll", "winmm.dll", "mpr.dll", "msacm32.dll", "winealsa.drv", "dwmapi.dll", "secur32.dll",
           "winhttp.dll", "iertutil.dll", "urlmon.dll", "cryptbase.dll", "dnsapi.dll", "mswsock.dll"]


def main(exe, planted_dll, separator, *run_e2e):
    if separator != "--":
        sys.exit(__doc__)
    with tempfile.TemporaryDirectory() as unpacked:
        folder = pathlib.Path(unpacked)
        shutil.copy(exe, folder / "望站.exe")
        for name in PLANTED:
            shutil.copy(planted_dll, folder / name)
        overrides = ",".join(name.removesuffix(".dll") for name in PLANTED) + "=n,b"
        environment = dict(os.environ, WZ_DLL_OVERRIDES=overrides)  # to scripts/wine-run.sh
        # A planted DLL that is loaded may stop the tool, since it exports nothing: its log is read either way.
        driver = subprocess.run([*run_e2e, "--tool", str(folder / "望站.exe")], env=environment).returncode
        log = folder / "planted.log"
        loaded = sorted(set(log.read_text().split())) if log.exists() else []
        if loaded:
            print(f"planted DLLs that ran inside the tool: {', '.join(loaded)}")
        return 1 if loaded or driver != 0 else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
