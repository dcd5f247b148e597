#!/usr/bin/env bash
# Runs fuzz targets for the given seconds each, then says how many inputs each ran; fails on a finding.
#
# Every input in fuzz/regressions/<target> runs first, each time: a finding fails every run until it is
# fixed, and then stays there as a regression case. A new finding is put there, so commit it with the fix.
# New inputs go to the build tree, so the seed corpus in fuzz/corpus stays as committed.
set -euo pipefail
build=$(realpath "$1")
seconds=$2
shift 2
source_dir=$(dirname "$(dirname "$(realpath "$0")")")
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(scan_fuzz frame_tag_fuzz settings_fuzz splitter_model_fuzz)
common=(-timeout=10 -rss_limit_mb=2048)

# The input's first 256 bytes in hex, and its length.
show_input() {
    echo "  $1 ($(stat -c %s "$1") bytes):"
    head -c 256 "$1" | od -An -tx1 -v | sed 's/^/ /'
}

# Runs each kept finding once; says which fail.
replay() {
    local target=$1 failed=0
    for input in "$source_dir/fuzz/regressions/$target"/*; do
        [ -f "$input" ] || continue
        if ! "$build/fuzz/$target" "${common[@]}" "$input" >>"$build/fuzz/$target.replay.log" 2>&1; then
            echo "$target: a kept finding still fails, see $build/fuzz/$target.replay.log"
            show_input "$input"
            failed=1
        fi
    done
    return $failed
}

# Moves what the run found into the regressions, where every later run replays it.
keep_findings() {
    local target=$1 findings=$2
    for input in "$findings"/*; do
        [ -f "$input" ] || continue
        mkdir -p "$source_dir/fuzz/regressions/$target"
        mv "$input" "$source_dir/fuzz/regressions/$target/"
        echo "$target: FINDING kept as fuzz/regressions/$target/$(basename "$input")"
        show_input "$source_dir/fuzz/regressions/$target/$(basename "$input")"
    done
}

status=0
for target in "${targets[@]}"; do
    work="$build/fuzz/work/$target"
    findings="$build/fuzz/findings/$target"
    log="$build/fuzz/$target.log"
    mkdir -p "$work" "$findings"
    : >"$build/fuzz/$target.replay.log"
    replay "$target" || { status=1; continue; }
    options=("${common[@]}" -max_total_time="$seconds" -print_final_stats=1 -max_len=8192
             -artifact_prefix="$findings/")
    [ -f "$source_dir/fuzz/$target.dict" ] && options+=(-dict="$source_dir/fuzz/$target.dict")
    if "$build/fuzz/$target" "${options[@]}" "$work" "$source_dir/fuzz/corpus/$target" >"$log" 2>&1; then
        result="no finding"
    else
        result="FINDING, see $log"
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$target: ${runs:-?} inputs in ${seconds} s, $(find "$work" -type f | wc -l) kept in its work corpus, $result"
    keep_findings "$target" "$findings"
done
exit $status
