#!/usr/bin/env python3
"""Makes a delay-load import library for the named functions of a system DLL, from the toolchain's own
import library: the DLL is then loaded at the first call, through the tool's loading hook, instead of by
the system's loader at start-up, when it would look beside the exe first.

Prints the symbols of the functions' loading stubs. GNU ld leaves out an import stub's code when nothing
calls it by that name, and calls made through __declspec(dllimport) go by the slot's name only: the stubs
must be named to the linker (-u) or the slots would point nowhere.

usage: delay_import_lib.py NM DLLTOOL IMPORT_LIB DLL_NAME OUTPUT FUNCTION...
"""
import pathlib
import subprocess
import sys
import tempfile


def decorated_names(nm, import_lib):
    """The link names of the import library's functions by their plain names: _Name@N for 32-bit stdcall."""
    listing = subprocess.run([nm, import_lib], check=True, capture_output=True, text=True).stdout
    symbols = {line.split()[-1][len("__imp_"):] for line in listing.splitlines() if " __imp_" in line}
    return {symbol.lstrip("_").split("@")[0]: symbol for symbol in symbols}


def main(nm, dlltool, import_lib, dll_name, output, *functions):
    names = decorated_names(nm, import_lib)
    missing = [function for function in functions if function not in names]
    if missing or not functions:
        sys.exit(f"{import_lib} has no {', '.join(missing) or 'functions named'}")
    # 32-bit symbols carry C's leading underscore, which the definitions leave out; --kill-at drops @N.
    leading = "_" if all(names[function].startswith("_") for function in functions) else ""
    with tempfile.TemporaryDirectory() as folder:
        definitions = pathlib.Path(folder) / "exports.def"
        definitions.write_text("EXPORTS\n" + "".join(f"{names[f][len(leading):]}\n" for f in functions))
        subprocess.run([dlltool, "--input-def", str(definitions), "--dllname", dll_name, "--kill-at",
                        "--output-delaylib", output], check=True)
    print(";".join(names[function] for function in functions))


if __name__ == "__main__":
    if len(sys.argv) < 7:
        sys.exit(__doc__)
    main(*sys.argv[1:])
