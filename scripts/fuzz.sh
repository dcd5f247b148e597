#!/usr/bin/env bash
# Runs fuzz targets for the given seconds each, then says how many inputs each ran; fails on a finding.
#
# New inputs go to the build tree, so the seed corpus in fuzz/corpus stays as committed; a finding is
# kept in <build>/fuzz/findings.
set -euo pipefail
build=$(realpath "$1")
seconds=$2
shift 2
source_dir=$(dirname "$(dirname "$(realpath "$0")")")
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(scan_fuzz frame_tag_fuzz settings_fuzz splitter_model_fuzz)

status=0
for target in "${targets[@]}"; do
    work="$build/fuzz/work/$target"
    log="$build/fuzz/$target.log"
    mkdir -p "$work" "$build/fuzz/findings"
    options=(-max_total_time="$seconds" -print_final_stats=1 -max_len=8192 -timeout=10 -rss_limit_mb=2048
             -artifact_prefix="$build/fuzz/findings/$target-")
    [ -f "$source_dir/fuzz/$target.dict" ] && options+=(-dict="$source_dir/fuzz/$target.dict")
    if "$build/fuzz/$target" "${options[@]}" "$work" "$source_dir/fuzz/corpus/$target" >"$log" 2>&1; then
        result="no finding"
    else
        result="FINDING, see $log"
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$target: ${runs:-?} inputs in ${seconds} s, $(find "$work" -type f | wc -l) kept in its work corpus, $result"
done
exit $status
