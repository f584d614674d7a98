#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite,
# then the same suite again under AddressSanitizer and UndefinedBehaviorSanitizer,
# then every fuzz target for 20 seconds (scripts/fuzz.sh; skipped without clang).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs="$(nproc 2>/dev/null || echo 2)"

echo "== Build"
bash scripts/build.sh build
echo "== Tests"
(cd build && ctest --output-on-failure -j "$jobs")

echo "== Build with sanitizers"
bash scripts/build.sh build-asan -DZARN_SANITIZE=ON -DZARN_BENCH=OFF
echo "== Tests with sanitizers"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd build-asan && ctest --output-on-failure -j "$jobs")

echo "== Fuzzing (20 s a target, two at a time)"
bash scripts/fuzz.sh 20 build
