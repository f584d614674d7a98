#!/bin/sh
# Instructions a unit of the route search's work costs, counted by callgrind
# on every shipped level from its start: a run that does one unit is taken
# from a run that ends the search, and the difference divided by the units
# between them. The game sizes its slices of search per frame by the largest
# (src/core/hint.h).
#   bench/search_callgrind.sh [build folder] [level...]  (1..48 normal, 49..80 classic)
# Run from anywhere; the program runs in the build folder, which holds data/.
set -eu
build=$(cd "${1:-build}" && pwd)
[ $# -ge 1 ] && shift
levels=${*:-$(seq 1 80)}
bin=$build/bench/bench_search
[ -x "$bin" ] || { echo "no $bin: build the target bench_search first" >&2; exit 1; }

# Units and main-thread instructions of bench_search --work L N.
run() {
    (cd "$build" && valgrind --tool=callgrind --callgrind-out-file=/dev/null "$bin" --work "$1" "$2" 2>&1) |
        sed -n 's/^work //p; s/.*refs: *//p' | tr -d , | tr '\n' ' '
}

"$build/bench/bench_filters" --machine "$("$build/bench/bench_filters" --rows)" | sed 's/; .*//'
printf '%-6s %8s %14s %10s\n' level units instructions 'per unit'
for l in $levels; do
    echo "$l $(run "$l" 1) $(run "$l" 1000000000)"
done | awk '{ u = $4 - $2; i = $5 - $3; printf "%-6s %8d %14d %10.0f\n", $1, u, i, i / u
              if (i / u > most) { most = i / u; at = $1 } all_u += u; all_i += i }
            END { printf "all    %8d %14d %10.0f; the most a unit: %.0f (level %s)\n", all_u, all_i, all_i / all_u, most, at }'
