#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite,
# then the same suite again under AddressSanitizer and UndefinedBehaviorSanitizer,
# against sdl12-compat (SDL 1.2 over SDL 2) in place of the classic SDL 1.2
# library, cross-built for 32-bit ARM (armhf) under qemu, as a web page in
# headless chromium (scripts/web.sh), and every fuzz target for 20 seconds
# (scripts/fuzz.sh; said and skipped without clang). Ends with one line per
# run. Names given run only those runs, in the order given:
#   bash scripts/test.sh native sanitized compat armhf web fuzz
set -uo pipefail
cd "$(dirname "$0")/.."

all=(native sanitized compat armhf web fuzz)
runs=("$@")
[ ${#runs[@]} -eq 0 ] && runs=("${all[@]}")
for r in "${runs[@]}"; do
    [[ " ${all[*]} " == *" $r "* ]] || { echo "unknown run: $r (runs: ${all[*]})" >&2; exit 2; }
done
has_run() { [[ " ${runs[*]} " == *" $1 "* ]]; }

flags=()
has_run compat && flags+=(--compat)
has_run armhf && flags+=(--armhf)
has_run web && flags+=(--web)
bash scripts/deps.sh "${flags[@]}" || exit 1
jobs="$(nproc 2>/dev/null || echo 2)"
[ "$jobs" -gt 2 ] || jobs=2

# Tests passed and failed in the last ctest run, why there were none, what
# the summary adds about the run and what it says in place of a test count.
passed=0
failed=0
problem=""
note=""
what=""

# Runs ctest in folder $1 (further arguments go to ctest) and counts its tests.
run_ctest() {
    local dir="$1"
    shift
    (cd "$dir" && ctest --output-on-failure -j "$jobs" "$@") 2>&1 | tee "$dir/ctest.log"
    local line
    line="$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$dir/ctest.log" | tail -n 1)"
    if [ -z "$line" ]; then
        problem="ctest ran no test"
        return 1
    fi
    failed="$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<< "$line")"
    passed=$(( $(sed -E 's/.*out of ([0-9]+).*/\1/' <<< "$line") - failed ))
    [ "$failed" -eq 0 ]
}

# Builds into folder $1 (further arguments go to CMake); says so on failure.
build() {
    bash scripts/build.sh "$@" || { problem="the build of $1 failed"; return 1; }
}

run_native() {
    echo "== Build"
    build build || return 1
    echo "== Tests"
    run_ctest build
}

run_sanitized() {
    echo "== Build with sanitizers"
    # -O1 and line tables only: half the compile time of -O2 -g, and still
    # every sanitizer report names its file and line.
    build build-asan -DZARN_SANITIZE=ON -DZARN_BENCH=OFF \
        -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" || return 1
    echo "== Tests with sanitizers"
    ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1" \
        UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" run_ctest build-asan
}

# The native build's tests once more, with sdl12-compat's libSDL-1.2.so.0 found
# first by the dynamic loader, for the game and for SDL_mixer alike. The
# loader's own log of every process shows which libraries it really loaded.
run_compat() {
    echo "== Build"
    build build || return 1
    local lib
    lib="$(dpkg -L libsdl1.2-compat | grep '/libSDL-1\.2\.so\.0$' | head -n 1)"
    [ -n "$lib" ] || { problem="libsdl1.2-compat has no libSDL-1.2.so.0"; return 1; }
    local libdir="${lib%/*}" trace="build/compat-trace"
    echo "== Tests against sdl12-compat ($lib)"
    LD_LIBRARY_PATH="$libdir" ldd build/zarn | grep -E 'libSDL'
    rm -rf "$trace" && mkdir -p "$trace"
    # The compat layer scales the picture onto the (dummy) desktop: nearest
    # neighbour costs a third of its default smoothing and changes no pixel
    # the game or its tests see.
    # The package and its install are checked once, in the native run.
    LD_LIBRARY_PATH="$libdir" LD_DEBUG=libs LD_DEBUG_OUTPUT="$PWD/$trace/ld" \
        SDL12COMPAT_SCALE_METHOD=nearest run_ctest build -E '^Install\.'

    local status=$?
    # Every process that loaded an SDL 1.2 loaded sdl12-compat's and no other,
    # and SDL 2 beside it (sdl12-compat's SDL_Init fails without SDL 2).
    local sdl12 compat classic sdl2 sdl2_path
    sdl12="$(grep -l 'calling init: .*/libSDL-1\.2\.so' "$trace"/ld.* | wc -l)"
    compat="$(grep -l "calling init: $lib\$" "$trace"/ld.* | wc -l)"
    classic="$(grep -h 'calling init: .*/libSDL-1\.2\.so' "$trace"/ld.* | grep -vc "calling init: $lib\$")"
    sdl2="$(grep -l "calling init: $lib\$" "$trace"/ld.* | xargs -r grep -l 'calling init: .*/libSDL2-2\.0\.so\.0$' | wc -l)"
    sdl2_path="$(grep -h 'calling init: .*/libSDL2-2\.0\.so\.0$' "$trace"/ld.* | head -n 1 | sed 's/.*calling init: //')"
    echo "sdl12-compat: $compat of $sdl12 processes that loaded SDL 1.2 loaded $lib ($classic another one);" \
         "$sdl2 loaded SDL 2 ($sdl2_path)"
    rm -rf "$trace"
    if [ "$sdl12" -eq 0 ] || [ "$compat" -ne "$sdl12" ] || [ "$classic" -ne 0 ] || [ "$sdl2" -ne "$sdl12" ]; then
        problem="a process loaded another SDL 1.2 than sdl12-compat's, or no SDL 2"
        return 1
    fi
    return $status
}

# Cross-builds the game, its tools and its tests for armhf against Debian's
# armhf libraries, lets the ARM tools make the data under qemu and compares it
# with this machine's, compares the filters' portable and NEON row code with
# this machine's pictures, and runs the whole test suite under qemu.
run_armhf() {
    local sysroot="$PWD/build-armhf/sysroot"
    local qemu=(qemu-arm -L "$sysroot" -cpu cortex-a9)
    echo "== armhf libraries"
    bash scripts/armhf_sysroot.sh "$sysroot" || { problem="no armhf sysroot"; return 1; }
    echo "== Build for armhf"
    build build-armhf -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/armhf.cmake" -DZARN_ARMHF_SYSROOT="$sysroot" || return 1
    cmake --build build-armhf --target filters_hash -j "$jobs" > /dev/null || { problem="filters_hash for armhf"; return 1; }
    # This machine's data and filters, to compare with.
    { [ -f build/CMakeCache.txt ] || build build; } && cmake --build build --target data filters_hash -j "$jobs" > /dev/null ||
        { problem="the build of build failed"; return 1; }

    echo "== Data made by the ARM tools under qemu against this machine's"
    local f
    for f in build/data/*.qva; do
        cmp "$f" "build-armhf/data/${f##*/}" || { problem="${f##*/} differs on ARM"; return 1; }
    done
    echo "byte-identical: $(cd build/data && echo *.qva)"

    echo "== Filters on ARM, portable and NEON, against this machine's pictures"
    # filters_hash prints "build NAME" and then a line per picture, for each
    # build of the row code the processor runs: every build, here and on ARM,
    # must give this machine's baseline pictures.
    local host arm neon
    host="$(build/bench/neon/filters_hash)" || { problem="filters_hash failed"; return 1; }
    arm="$("${qemu[@]}" build-armhf/bench/neon/filters_hash)" || { problem="filters_hash failed on ARM"; return 1; }
    neon="$(arm-linux-gnueabihf-objdump -d -C build-armhf/bench/neon/filters_hash |
            awk '/^[0-9a-f]+ <.*neon_rows::/ {n = 1; next} /^[0-9a-f]+ </ {n = 0} n' | grep -cE '\bq[0-9]+\b')"
    if ! grep -qx 'build NEON' <<< "$arm" || [ "$neon" -eq 0 ]; then
        problem="no NEON row code on ARM"
        return 1
    fi
    local baseline mismatch
    baseline="$(awk '/^build / {n++; next} n == 1' <<< "$host")"
    mismatch="$(awk -v want="$baseline" '
        BEGIN { n = split(want, w, "\n") }
        /^build / { name = $0; i = 0; next }
        { i++; if ($0 != w[i]) print name ": " $0 " (want " w[i] ")" }' <<< "$host"$'\n'"$arm")"
    if [ -n "$mismatch" ]; then
        echo "$mismatch"
        problem="the filters' pictures differ between row builds or on ARM"
        return 1
    fi
    echo "every row build here ($(grep '^build ' <<< "$host" | cut -c7- | paste -sd,)) and on ARM" \
         "($(grep '^build ' <<< "$arm" | cut -c7- | paste -sd,); $neon instructions on NEON registers)" \
         "gives the baseline's $(wc -l <<< "$baseline") pictures"

    # The cross build's data leaves the solver's check of the levels to the
    # host build: the same search, bounded by the same work, over level files
    # that are the same bytes everywhere, which emulation only makes slower.
    echo "== Tests under qemu-arm"
    note=" (the solver's check of the levels left to the host build)"
    run_ctest build-armhf
}

# The page built by scripts/web.sh (the libraries from Debian's sources, the
# native build's data), played in headless chromium against a server on
# 127.0.0.1 by tests/web/web_test.py, which ends with "N passed, N failed".
run_web() {
    echo "== Build the page"
    bash scripts/web.sh || { problem="the web build failed"; return 1; }
    cmake --build build --target zarn_web_reference -j "$jobs" > /dev/null ||
        { problem="the native reference picture's program did not build"; return 1; }
    echo "== The page in headless chromium"
    local log="build-web/web_test.log" line
    /usr/bin/python3 tests/web/web_test.py build-web/site build 2>&1 | tee "$log"
    line="$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -n 1)"
    if [ -z "$line" ]; then
        problem="the browser test ended without a count"
        return 1
    fi
    passed="${line%% passed*}"
    failed="$(sed -E 's/.* ([0-9]+) failed/\1/' <<< "$line")"
    [ "$failed" -eq 0 ]
}

# Every fuzz target of fuzz/ for 20 s, two at a time, seeded from the native
# build's data; no finding may remain.
run_fuzz() {
    echo "== Build"
    build build || return 1
    echo "== Fuzzing (20 s a target, two at a time)"
    local out="build/fuzz.log"
    bash scripts/fuzz.sh 20 build 2>&1 | tee "$out"
    [ "${PIPESTATUS[0]}" -eq 0 ] || { problem="a fuzz target found a fault"; return 1; }
    local targets
    targets="$(grep -c ', no finding$' "$out")"
    if [ "$targets" -gt 0 ]; then
        what="$targets fuzz targets ran 20 s each without a finding"
    else
        what="fuzzing skipped (no clang)"
    fi
}

# Processor seconds used so far by the programs this script started and
# waited for (the machine may be shared: wall-clock time alone misleads).
cpu_seconds() {
    local stat
    read -r -a stat < /proc/$$/stat
    echo $(( (stat[15] + stat[16]) / $(getconf CLK_TCK) ))
}

summary=()
total_passed=0
total_failed=0
status=0
for r in "${runs[@]}"; do
    passed=0
    failed=0
    problem=""
    note=""
    what=""
    start=$SECONDS
    cpu_start=$(cpu_seconds)
    "run_$r"
    ok=$?
    took="$((SECONDS - start)) s (processor time $(( $(cpu_seconds) - cpu_start )) s)"
    total_passed=$((total_passed + passed))
    total_failed=$((total_failed + failed))
    if [ "$ok" -eq 0 ]; then
        summary+=("$r: ${what:-$passed tests passed} in $took$note")
    else
        status=1
        if [ -n "$problem" ]; then
            summary+=("$r: FAILED in $took: $problem ($passed tests passed, $failed failed)")
        else
            summary+=("$r: FAILED in $took: $failed of $((passed + failed)) tests failed")
        fi
    fi
done

echo
echo "== Summary"
printf '%s\n' "${summary[@]}"
echo "tests: $total_passed passed, $total_failed failed"
exit $status
