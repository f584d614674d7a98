#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang into build-fuzz/ and runs
# each for a bounded time, two at a time, seeded from the game's own data.
#
#   bash scripts/fuzz.sh [SECONDS] [BUILD]   SECONDS per target (default 20),
#                                            BUILD the normal build whose data
#                                            and tools make the seeds (build)
#
# Without clang it says so and does nothing. A finding stops the run with the
# target's report and exit status 1; the input that found it is left in
# build-fuzz/findings/. New inputs found are kept in build-fuzz/corpus/ for the
# next run.
set -euo pipefail
cd "$(dirname "$0")/.."
secs="${1:-20}"
build="${2:-build}"
if ! command -v clang++ > /dev/null; then
    echo "fuzz: clang++ is not installed, fuzzing skipped (scripts/deps.sh installs it)"
    exit 0
fi
out="$PWD/build-fuzz"
targets=(archive level config highscores picture sound cmdline qvapack levelc pack replay)

CC=clang CXX=clang++ cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARN_FUZZ=ON -DZARN_BENCH=OFF \
    > "$out.configure.log" 2>&1 || { cat "$out.configure.log"; exit 1; }
cmake --build "$out" --target fuzz -j 2 > "$out.build.log" 2>&1 || { tail -n 40 "$out.build.log"; exit 1; }

# Seeds: the shipped archives' entries, the compiled levels with their
# solutions, the level sources, the stored solutions' replays, a written
# configuration and high-score file, and every reproducer.
seeds="$out/seeds"
rm -rf "$seeds" "$out/findings"
mkdir -p "$out/findings"
for t in "${targets[@]}"; do mkdir -p "$seeds/$t" "$out/corpus/$t"; done
qvapack="$build/tools/qvapack/qvapack"
repro=tests/data/reproducers
for a in gfx sfx; do
    mkdir -p "$seeds/$a"
    "$qvapack" extract "$build/data/$a.qva" "$seeds/$a"
done
cp "$seeds"/sfx/*.wav "$seeds"/sfx/*.mod "$repro"/*.wav "$seeds/sound/"
# The first byte picks the picture's role, in the order of picture() in fuzz/fuzz.cpp.
roles=(zarn-tiles- fontbig fontsmall zarn-anim trans16x16 scrbrd zarn-texturen zarn-top zarn-title qv-logo qv-quor)
for f in "$seeds"/gfx/*.bmp "$repro"/*.bmp; do
    role=11
    for r in "${!roles[@]}"; do [[ $(basename "$f") == ${roles[$r]}* ]] && role=$r; done
    { printf "\\$(printf %o "$role")"; cat "$f"; } > "$seeds/picture/$(basename "$f")"
done
cp "$build/data/maps.qva" "$repro"/*.qva "$seeds/archive/"
"$qvapack" create "$seeds/archive/small.qva" "$seeds/gfx/trans16x16.bmp" "$seeds/gfx/scrbrd.bmp" "$seeds/sfx/select.wav"
cp "$seeds"/archive/*.qva "$seeds/qvapack/"
for src in assets/levels/normal/*.txt assets/levels/classic/*.txt; do
    stem=$(basename "$src" .txt)
    { cat "$build/tools/levelc/zlv/$stem.zlv"; sed -n 's/^solution: *//p' "$src"; } > "$seeds/level/$stem"
    cp "$src" "$seeds/levelc/"
done
# A pack: its pack.txt and three levels, one of them cut short.
{ printf 'pack.txt\ntitle: Seed\nauthor: The fuzzer\norder: b.txt a.txt\n\0a.txt\n'
  cat assets/levels/normal/zarn-001.txt; printf '\0b.txt\n'; cat assets/levels/classic/lev005.txt
  printf '\0c.txt\n'; head -n 8 assets/levels/normal/zarn-002.txt; } > "$seeds/pack/seed"
cp "$build"/replays/*.zrp "$seeds/replay/"
cp "$repro"/*.cfg "$seeds/config/"
printf 'mus_volume=40\nlast_pw=KIRU\nk_up=w\nj_up=3\ngfx_scheme=2\ngfxmode=26\nmpReverbDelay=77\n' > "$seeds/config/some.cfg"
head -c 66 "$seeds/gfx/scrbrd.bmp" > "$seeds/highscores/table.hi"
printf -- '-zoom\0003' > "$seeds/cmdline/zoom"
printf -- '-debug' > "$seeds/cmdline/debug"
rm -rf "$seeds/gfx" "$seeds/sfx"

# The targets' scratch folders, in memory when there is /dev/shm.
ZARN_FUZZ_DIR=$(mktemp -d /dev/shm/zarn-fuzz.XXXXXX 2> /dev/null || mktemp -d)
export ZARN_FUZZ_DIR
trap 'rm -rf "$ZARN_FUZZ_DIR"' EXIT

# Each target for secs seconds, two at a time; a report per target.
run_one() {
    local t=$1
    local log="$out/fuzz_$t.log"
    ZARN_FUZZ_TARGET="$t" ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1" \
        "$out/fuzz/fuzz_zarn" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 \
        -max_len=262144 -print_final_stats=1 -artifact_prefix="$out/findings/$t-" \
        "$out/corpus/$t" "$seeds/$t" > "$log" 2>&1
}
status=0
for ((k = 0; k < ${#targets[@]}; k += 2)); do
    pids=()
    for t in "${targets[@]:k:2}"; do
        run_one "$t" &
        pids+=("$!:$t")
    done
    for p in "${pids[@]}"; do
        t=${p#*:}
        if wait "${p%%:*}"; then
            runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/fuzz_$t.log")
            cov=$(grep -o 'cov: [0-9]*' "$out/fuzz_$t.log" | tail -n 1)
            echo "fuzz: $t: ${runs:-?} runs in ${secs} s, $cov, no finding"
        else
            echo "fuzz: $t: FINDING (input in $out/findings/):"
            tail -n 40 "$out/fuzz_$t.log"
            status=1
        fi
    done
done
exit "$status"
