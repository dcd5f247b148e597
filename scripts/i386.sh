#!/usr/bin/env bash
# Runs a command where 32-bit programs run: as it is where the kernel runs them, else in a private user
# namespace whose own binfmt_misc (Linux 6.7 and later) hands every i386 ELF program to qemu-i386.
# Only that command and its children see the registration; the machine is left as it was.
#
#   i386.sh --check      exit 0 when 32-bit programs run here as they are
#   i386.sh COMMAND...   run COMMAND so that they do
#
# WZ_EMULATE_I386=1 takes the emulated road even where the kernel needs none, to try that road here.
set -euo pipefail

registration=qemu-i386-wz
binfmt=/proc/sys/fs/binfmt_misc

runs_i386() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

if [ "${1:-}" = "--check" ]; then
    runs_i386
    exit
fi

if [ "${1:-}" = "--inside" ]; then
    shift
    mount -t binfmt_misc binfmt_misc "$binfmt"
    # The i386 ELF header with qemu's usual mask; F opens the emulator now, so it is found from anywhere.
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    printf ':%s:M::%s:%s:%s:F' "$registration" "$magic" "$mask" "$(command -v qemu-i386)" >"$binfmt/register"
    exec "$@"
fi

if [ -e "$binfmt/$registration" ] || { [ -z "${WZ_EMULATE_I386:-}" ] && runs_i386; }; then
    exec "$@"
fi
command -v qemu-i386 >/dev/null || { echo "32-bit programs do not run here and qemu-i386 is missing: run scripts/setup.sh" >&2; exit 1; }
exec unshare --user --map-root-user --mount --fork -- "$0" --inside "$@"
