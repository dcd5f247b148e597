#!/usr/bin/env bash
# Runs the benchmarks: each prints ratios measured side by side in one run.
set -euo pipefail
build=$(realpath "${1:-build}")
export WINEPREFIX="$build/wineprefix"
run=$(dirname "$(realpath "$0")")/wine-run.sh
"$run" --init

echo "== Line splitting and marker search (native) =="
"$build/bench/scan_bench"
echo
echo "== Report update (under Wine) =="
"$run" "$build/win-x86_64/bench/report_bench.exe"
