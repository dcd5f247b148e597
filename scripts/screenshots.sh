#!/usr/bin/env bash
# Takes the pictures under docs/: the main window with a few report lines, the About box and the tray menu.
set -euo pipefail
build=$(realpath "${1:-build}")
root=$(dirname "$(dirname "$(realpath "$0")")")
export WINEPREFIX="$build/wineprefix"
run="$root/scripts/wine-run.sh"
"$run" --init

shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
export WZ_PICTURES="Z:${shots//\//\\}"
# Always on a display of its own, where no other window can cover the tool's.
env -u DISPLAY python3 "$root/tests/e2e/run_e2e.py" --wine-run "$run" --lang zh_CN.UTF-8 \
    --driver "$build/win-i686/tests/e2e/pictures.exe" --tool "$build/win-i686/望站.exe"

for bmp in "$shots"/*.bmp; do
    png="$root/docs/$(basename "${bmp%.bmp}").png"
    convert "$bmp" -strip "$png"
    echo "saved $png"
done
