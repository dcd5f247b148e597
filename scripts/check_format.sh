#!/usr/bin/env bash
# Fails, naming the places, when a C++ file of the tree is not as clang-format makes it from .clang-format.
# Usage: check_format.sh [clang-format]; `clang-format -i FILE` mends a file it names.
set -euo pipefail
clang_format=${1:-clang-format}
cd "$(dirname "$(dirname "$(realpath "$0")")")"
mapfile -t files < <(find app monitor shell framework core tests bench fuzz -name '*.cpp' -o -name '*.h' | sort)
"$clang_format" --dry-run --Werror "${files[@]}"
echo "${#files[@]} files formatted as .clang-format says"
