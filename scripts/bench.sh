#!/usr/bin/env bash
# Runs the benchmarks: each prints ratios measured side by side in one run. Never fails on a time.
#
# The Windows benchmarks are the 64-bit twin of the shipped 32-bit tool, in a 64-bit prefix of their own:
# where the 32-bit loader runs under an emulator, their ratios would measure the emulator.
set -euo pipefail
build=$(realpath "${1:-build}")
source_dir=$(dirname "$(dirname "$(realpath "$0")")")
export WINEPREFIX="$build/wineprefix64" WINEARCH=win64
run="$source_dir/scripts/wine-run.sh"
pages="$source_dir/bench/bench_pages.py"
"$run" --init

echo "== 1, 2. The page check against bare WinINet, and its early stop (under Wine) =="
python3 "$pages" "$run" "$build/win-x86_64/bench/check_bench.exe"
echo
echo "== 3. Line splitting and marker search (native) =="
"$build/bench/scan_bench"
echo
echo "== 4. Memory of the page check (under Wine) =="
for connection in keepalive close; do
    for subject in check bare; do
        python3 "$pages" "$run" "$build/win-x86_64/bench/memory_bench.exe" $subject $connection
    done
done
echo
echo "== 5. Report update (under Wine) =="
"$run" "$build/win-x86_64/bench/report_bench.exe"
