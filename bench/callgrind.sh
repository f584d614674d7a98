#!/bin/sh
# Instructions per frame of each filter, counted by callgrind on the main
# thread (repeatable, unlike wall time on a shared machine), into a 16-bit
# and a 32-bit display. Each figure is the difference of a run of N + 1
# frames and a run of 1 frame, divided by N. BUILD is the filters' row build
# (0 baseline, 1 NEON, 2 x86-64-v2, 3 AVX2; default the one the game picks
# when it runs here, asked before valgrind, whose processor may look
# different to the program).
# No memcpy row: valgrind counts each byte of a `rep movsb` as one
# instruction, so a memcpy is no baseline here (bench_filters times one).
#   bench/callgrind.sh [build folder] [frames] [BUILD]
set -eu
build=${1:-build}
frames=${2:-10}
bin=$build/bench/bench_filters
[ -x "$bin" ] || { echo "no $bin: build the target bench_filters first" >&2; exit 1; }
rows=${3:-$("$bin" --rows)}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Main-thread instructions of one run of bench_filters --frames F N W D B.
count() {
    rm -f "$out"/cg*
    valgrind --tool=callgrind --separate-threads=yes --callgrind-out-file="$out/cg" \
        "$bin" --frames "$1" "$2" "$3" "$4" "$rows" >/dev/null 2>&1 || { echo "no such build" >&2; exit 1; }
    sed -n 's/^totals: *\([0-9]*\).*/\1/p; s/^summary: *\([0-9]*\).*/\1/p' "$out/cg-01" | head -n 1
}

"$bin" --machine "$rows"
printf '%-12s %9s %5s %14s %10s\n' filter display depth instr/frame 'per pixel'
for w in 640 1280; do
    for d in 16 32; do
        f=0
        for name in unfiltered SIMPLE SCALE2X BILINEAR_AA SCANLINE BLUR; do
            if [ $f -eq 0 ] && { [ $d -eq 16 ] || [ $w -eq 1280 ]; }; then f=1; continue; fi
            one=$(count $f 0 $w $d)
            many=$(count $f "$frames" $w $d)
            per=$(( (many - one) / frames ))
            pw=$w; [ $f -eq 0 ] && pw=320
            printf '%-12s %9s %5d %14d %10s\n' "$name" "${pw}x$((pw * 3 / 4))" $d "$per" \
                "$(awk "BEGIN { printf \"%.3f\", $per / ($pw * $pw * 3 / 4) }")"
            f=$((f + 1))
        done
    done
done
