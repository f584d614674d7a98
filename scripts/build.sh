#!/usr/bin/env bash
# Builds the game, its tools and its data into build/ (or the folder given).
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
jobs="$(nproc 2>/dev/null || echo 2)"
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > "$dir.configure.log" 2>&1 ||
    { cat "$dir.configure.log"; exit 1; }
cmake --build "$dir" -j "$jobs"
