#!/bin/sh
# Instructions per frame of play, counted by callgrind: the difference of a
# run of N + 10 frames and a run of 10 frames, divided by N, for each zoom.
#   bench/frame_callgrind.sh [build folder] [frames]
# Run from anywhere; the program runs in the build folder, which holds data/.
set -eu
build=$(cd "${1:-build}" && pwd)
frames=${2:-100}
bin=$build/bench/bench_frame
[ -x "$bin" ] || { echo "no $bin: build the target bench_frame first" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Total instructions of one run of bench_frame --frames Z N.
count() {
    (cd "$build" && valgrind --tool=callgrind --callgrind-out-file="$out/cg" "$bin" --frames "$1" "$2" >"$out/log" 2>&1)
    sed -n 's/^totals: *\([0-9]*\).*/\1/p; s/^summary: *\([0-9]*\).*/\1/p' "$out/cg" | head -n 1
}

printf '%-12s %9s %14s %14s\n' zoom display instr/frame 'allocs (N)'
z=0
for name in 320x240 SIMPLE SCALE2X BILINEAR_AA SCANLINE BLUR; do
    one=$(count $z 10)
    many=$(count $z $((frames + 10)))
    allocs=$(sed -n 's/.*frames, \([0-9]*\) allocations/\1/p' "$out/log")
    per=$(( (many - one) / frames ))
    display=640x480
    [ $z -eq 0 ] && display=320x240
    printf '%-12s %9s %14d %14s\n' "$name" "$display" "$per" "$allocs"
    z=$((z + 1))
done
