#!/bin/sh
# Instructions per frame of the level screen, counted by callgrind on the main
# thread alone (the audio thread runs on its own clock): the difference of a
# run of N + 10 frames and a run of 10 frames, divided by N, with the heap
# allocations among the N frames. Cases as bench_frame takes them; by default
# every screen mode in play, every message screen at 640 x 480 with BLUR, the
# route search cases (hint, check) at 640 x 480 with BLUR and at 1280 x 960,
# and the X presentation cases (the search ones at 1280 x 960, the heaviest)
# when DISPLAY names a display. A search case
# is counted frame by frame instead (callgrind dumps its counts each time the
# pacer is called): every frame that carried a slice of the search, its units
# of work and its instructions, then the largest and how many were over the
# budget of 2.5 M. ROWS=B picks the filters' row build (0 baseline, 1 NEON,
# 2 x86-64-v2, 3 AVX2; by default the one the game picks when it runs here,
# asked before valgrind, whose processor may look different to the program).
#   [ROWS=B] bench/frame_callgrind.sh [build folder] [frames] [case...]
# Run from anywhere; the program runs in the build folder, which holds data/.
set -eu
build=$(cd "${1:-build}" && pwd)
frames=${2:-100}
[ $# -ge 2 ] && shift 2 || shift $#
bin=$build/bench/bench_frame
[ -x "$bin" ] || { echo "no $bin: build the target bench_frame first" >&2; exit 1; }
[ -x "$build/bench/bench_filters" ] || { echo "no bench_filters: build it too" >&2; exit 1; }
ROWS=${ROWS:-$("$build/bench/bench_filters" --rows)}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

cases="$*"
if [ -z "$cases" ]; then
    cases="play:0:640"
    for w in 640 1280; do
        for z in 1 2 3 4 5; do cases="$cases play:$z:$w"; done
    done
    for s in start fall timeup won ending gameover; do cases="$cases $s:5:640"; done
    cases="$cases hint:5:640 check:5:640 hint:5:1280 check:5:1280"
    cases="$cases play:0:640:x play:5:640:x fall:5:640:x play:5:1280:x fall:5:1280:x hint:5:1280:x check:5:1280:x"
fi

# Instructions of the main thread in one run of bench_frame --frames CASE N.
count() {
    rm -f "$out"/cg*
    (cd "$build" && valgrind --tool=callgrind --separate-threads=yes --callgrind-out-file="$out/cg" \
        "$bin" --frames "$1" "$2" "$ROWS" >"$out/log" 2>&1)
    sed -n 's/^totals: *\([0-9]*\).*/\1/p; s/^summary: *\([0-9]*\).*/\1/p' "$out/cg-01" | head -n 1
}

# Every frame of a search case that carried a slice: the instructions of the
# main thread from one call of the pacer to the next.
per_frame() {
    rm -f "$out"/cg*
    (cd "$build" && valgrind --tool=callgrind --separate-threads=yes --dump-before='controlFPS*' \
        --callgrind-out-file="$out/cg" "$bin" --frames "$1" "$frames" "$ROWS" >"$out/log" 2>&1)
    grep '^slice ' "$out/log" | while read -r _ k units; do
        printf '%s %s %s\n' "$k" "$units" \
            "$(sed -n 's/^totals: *\([0-9]*\).*/\1/p; s/^summary: *\([0-9]*\).*/\1/p' "$out/cg.$k-01" | head -n 1)"
    done | awk -v c="$1" '{ printf "%-18s frame %3d: %6d units %12d instructions\n", c, $1, $2, $3
                            n++; if ($3 > most) most = $3; if ($3 > 2500000) over++ }
                          END { printf "%-18s %d frames with a slice, the largest %d instructions, %d over 2.5 M\n",
                                       c, n, most, over }'
}

"$build/bench/bench_filters" --machine "$ROWS"
printf '%-18s %14s %10s\n' case instr/frame allocs
for c in $cases; do
    case $c in
    *:x)
        if [ -z "${DISPLAY:-}" ]; then
            printf '%-18s skipped: no X display (DISPLAY is not set)\n' "$c"
            continue
        fi ;;
    esac
    case $c in
    hint:* | check:*)
        per_frame "$c"
        continue ;;
    esac
    one=$(count "$c" 10)
    if grep -q 'no display' "$out/log"; then
        printf '%-18s skipped: the X display %s does not open\n' "$c" "$DISPLAY"
        continue
    fi
    many=$(count "$c" $((frames + 10)))
    allocs=$(sed -n 's/.*frames, \([0-9]*\) allocations/\1/p' "$out/log")
    printf '%-18s %14d %10s\n' "$c" $(( (many - one) / frames )) "$allocs"
done
