#!/bin/sh
# Instructions per frame of each filter, counted by callgrind (repeatable,
# unlike wall time on a shared machine). Each figure is the difference of a
# run of N + 1 frames and a run of 1 frame, divided by N.
#   bench/callgrind.sh [build folder] [frames]
set -eu
build=${1:-build}
frames=${2:-10}
bin=$build/bench/bench_filters
[ -x "$bin" ] || { echo "no $bin: build the target bench_filters first" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Total instructions of one run of bench_filters --frames F N W.
count() {
    valgrind --tool=callgrind --callgrind-out-file="$out/cg" "$bin" --frames "$1" "$2" "$3" >/dev/null 2>&1
    sed -n 's/^totals: *\([0-9]*\).*/\1/p; s/^summary: *\([0-9]*\).*/\1/p' "$out/cg" | head -n 1
}

printf '%-12s %9s %14s %12s\n' filter display instr/frame 'per pixel'
for w in 640 1280; do
    f=0
    for name in memcpy SIMPLE SCALE2X BILINEAR_AA SCANLINE BLUR; do
        one=$(count $f 0 $w)
        many=$(count $f "$frames" $w)
        per=$(( (many - one) / frames ))
        printf '%-12s %9s %14d %12s\n' "$name" "${w}x$((w * 3 / 4))" "$per" \
            "$(awk "BEGIN { printf \"%.3f\", $per / ($w * $w * 3 / 4) }")"
        f=$((f + 1))
    done
done
