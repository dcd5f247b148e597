#!/usr/bin/env bash
# Starts 望站 under Wine in build/run, beside its help file; without a display, inside Xvfb with a screenshot.
set -euo pipefail
build=$(realpath "${1:-build}")
workdir="$build/run"
mkdir -p "$workdir"
# The Help button opens help.chm from the working directory.
cp -f "$build/help.chm" "$workdir/"
export WINEPREFIX="$build/wineprefix"
run=$(dirname "$(realpath "$0")")/wine-run.sh
"$run" --init

# The shipped 32-bit exe; wine-run.sh starts it under qemu-user where the kernel refuses 32-bit code.
exe="$build/win-i686/望站.exe"
cd "$workdir"

if [ -n "${DISPLAY:-}" ]; then
    exec "$run" "$exe"
fi

shot="$build/screenshots/main-window.png"
mkdir -p "$(dirname "$shot")"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$1" "$2" & tool=$!
    # Up to a minute for the window, which an emulated 32-bit Wine takes long to show; then a moment to paint.
    for _ in $(seq 120); do
        xwininfo -root -tree 2>/dev/null | grep -q "Ver1.10" && break
        sleep 0.5
    done
    sleep 1
    import -window root "$3.full.png"
    convert "$3.full.png" -trim +repage "$3"
    rm -f "$3.full.png"
    kill $tool; /usr/lib/wine/wineserver64 -k || true
' _ "$run" "$exe" "$shot"
echo "No display here: started 望站 inside Xvfb and saved a screenshot of its window to $shot"
