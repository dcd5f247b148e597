#!/usr/bin/env python3
"""Checks the release zip as a user gets it: unpacked into an empty folder it holds the built exe, the help
file and a GBK readme, and the exe started there shows its window and opens the help file beside it.

usage: check_dist.py ZIP EXE HELP -- RUN_E2E_COMMAND...   (the runner's command without --tool)
"""
import pathlib
import subprocess
import sys
import tempfile


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


def main(zip_path, exe, help_file, separator, *run_e2e):
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
        return subprocess.run([*run_e2e, "--tool", str(folder / "望站.exe")]).returncode


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
