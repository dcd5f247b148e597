#!/usr/bin/env python3
"""Checks the release zip as a user gets it: unpacked into an empty folder it holds the built exe, the help
file and a GBK readme, and the exe started there shows its window and opens the help file beside it.

The folder then also holds DLLs named like the system DLLs the tool uses or has loaded for it, as an attacker
could leave them in a Downloads folder. Each is planted.dll, which notes in planted.log the name it was loaded
under; Wine is told to prefer them to its own, as Windows prefers a DLL beside the exe to any that is not among
its known DLLs. A name in the log is a DLL that ran inside the tool.

usage: check_dist.py ZIP EXE HELP PLANTED_DLL -- RUN_E2E_COMMAND...   (the runner's command without --tool)
"""
import os
import pathlib
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


def check_files(folder, exe, help_file):
    failures = []
    names = sorted(path.name for path in folder.iterdir())
    if names != sorted(["望站.exe", "help.chm", "说明.txt"]):
        failures.append(f"the zip unpacks to {names}")
        return failures
    for name, built in (("望站.exe", exe), ("help.chm", help_file)):
        if (folder / name).read_bytes() != pathlib.Path(built).read_bytes():
            failures.append(f"{name} is not the built one")
    readme = (folder / "说明.txt").read_bytes()
    text = readme.decode("gbk")  # a byte that is no GBK fails here, as Notepad would show it
    if "\n" in text.replace("\r\n", ""):
        failures.append("说明.txt has line ends other than CR LF")
    for needed in ("望站.exe", "sitecheck.ini", "help.chm"):
        if needed not in text:
            failures.append(f"说明.txt does not mention {needed}")
    return failures


def run_beside_planted_dlls(folder, planted_dll, run_e2e):
    for name in PLANTED:
        (folder / name).write_bytes(pathlib.Path(planted_dll).read_bytes())
    overrides = ",".join(name.removesuffix(".dll") for name in PLANTED) + "=n,b"
    environment = dict(os.environ, WZ_DLL_OVERRIDES=overrides)  # to scripts/wine-run.sh
    # A planted DLL that is loaded may stop the tool, since it exports nothing: its log is read either way.
    driver = subprocess.run([*run_e2e, "--tool", str(folder / "望站.exe")], env=environment).returncode
    log = folder / "planted.log"
    loaded = sorted(set(log.read_text().split())) if log.exists() else []
    if loaded:
        print(f"planted DLLs that ran inside the tool: {', '.join(loaded)}")
    return 1 if loaded or driver != 0 else 0


def main(zip_path, exe, help_file, planted_dll, separator, *run_e2e):
    if separator != "--":
        sys.exit(__doc__)
    with tempfile.TemporaryDirectory() as unpacked:
        folder = pathlib.Path(unpacked)
        # Info-ZIP's unzip reads the UTF-8 names the zip carries beside the GBK ones.
        subprocess.run(["unzip", "-q", zip_path, "-d", unpacked], check=True)
        failures = check_files(folder, exe, help_file)
        for failure in failures:
            print(failure)
        if failures:
            return 1
        return run_beside_planted_dlls(folder, planted_dll, run_e2e)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
