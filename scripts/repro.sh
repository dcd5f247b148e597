#!/usr/bin/env bash
# Builds the committed tree twice, in two folders of different depth, and compares the shipped exe and the
# release zip byte for byte.
set -euo pipefail
source_dir=$(dirname "$(dirname "$(realpath "$0")")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trees=("$work/a" "$work/b/deeper/folder")
for tree in "${trees[@]}"; do
    git clone -q "$source_dir" "$tree"
    cmake -S "$tree" -B "$tree/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$tree/build" --target dist_zip -j2 >/dev/null
done
status=0
for built in "win-i686/望站.exe" "dist/望站-*-win32.zip"; do
    first=$(echo "${trees[0]}"/build/$built)
    second=$(echo "${trees[1]}"/build/$built)
    if cmp -s "$first" "$second"; then
        echo "same bytes: $built ($(stat -c %s "$first") bytes, sha256 $(sha256sum <"$first" | cut -c1-16)…)"
    else
        echo "DIFFERENT: $built"
        cmp -l "$first" "$second" | head -5
        status=1
    fi
done
exit $status
