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

# The shipped exe is 32-bit; where the kernel runs no 32-bit code, the 64-bit twin stands in.
exe="$build/win-i686/望站.exe"
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "This machine runs no 32-bit code: starting the 64-bit build of the same sources."
    exe="$build/win-x86_64/望站.exe"
fi
cd "$workdir"

if [ -n "${DISPLAY:-}" ]; then
    exec "$run" "$exe"
fi

shot="$build/screenshots/main-window.png"
mkdir -p "$(dirname "$shot")"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$1" "$2" & tool=$!
    sleep 8
    import -window root "$3.full.png"
    convert "$3.full.png" -trim +repage "$3"
    rm -f "$3.full.png"
    kill $tool; /usr/lib/wine/wineserver64 -k || true
' _ "$run" "$exe" "$shot"
echo "No display here: started 望站 inside Xvfb and saved a screenshot of its window to $shot"
