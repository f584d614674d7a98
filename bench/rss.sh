#!/bin/sh
# Peak resident memory (VmHWM) of the game itself while it plays, in each
# screen mode, on the X display DISPLAY names (xvfb-run gives one; the
# figures need a 24-bit display, as a desktop's). The game starts in a
# scratch folder with a configuration of the mode; xdotool presses Return
# once a second for 15 seconds, which takes the game through the logo, the
# credits, the menu's RUN ZARN and the level's start screen into play, where
# each further Return pauses or resumes it (the 15th leaves it playing, the
# dead-end check at work); then H asks a hint once a second for a few
# seconds more (music running), and /proc tells the high-water mark of the
# whole run.
# Sound goes to SDL's dummy driver, so every machine measures the same.
# Needs xdotool.
#   bench/rss.sh [build folder] [seconds of play]
set -eu
build=$(cd "${1:-build}" && pwd)
seconds=${2:-5}
[ -x "$build/zarn" ] || { echo "no $build/zarn: build the game first" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "skipped: no X display (DISPLAY is not set)"; exit 0; }
command -v xdotool >/dev/null || { echo "skipped: xdotool is not installed"; exit 0; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$build/data" "$work/data"

# Peak resident memory of one game in gfxmode $1 (zoom * 8 + 2 for
# 1280 x 960 + 1 for a window).
peak() {
    # The mode, and the keys (a file without them leaves every key unbound).
    printf 'gfxmode=%d\nk_up=273\nk_down=274\nk_left=276\nk_right=275\nk_pause=32\nk_action=13\n' "$1" \
        > "$work/zarn.cfg"
    (cd "$work" && SDL_AUDIODRIVER=dummy exec "$build/zarn" >/dev/null 2>&1) &
    pid=$!
    win=$(xdotool search --sync --onlyvisible --name '^Zarn v' | tail -n 1)
    xdotool mousemove --window "$win" 2 2
    for press in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15; do
        sleep 1
        xdotool key Return
    done
    press=0
    while [ $press -lt "$seconds" ]; do
        sleep 1
        xdotool key h
        press=$((press + 1))
    done
    kb=$(sed -n 's/^VmHWM:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$pid/status")
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
    echo "$kb"
}

[ -x "$build/bench/bench_filters" ] && "$build/bench/bench_filters" --machine "$("$build/bench/bench_filters" --rows)"
printf '%-12s %9s %12s\n' zoom display 'peak kB'
z=0
for name in 320x240 SIMPLE SCALE2X BILINEAR_AA SCANLINE BLUR; do
    for twice in 0 2; do
        [ $z -eq 0 ] && [ $twice -eq 2 ] && continue
        display=640x480
        [ $twice -eq 2 ] && display=1280x960
        [ $z -eq 0 ] && display=320x240
        printf '%-12s %9s %12s\n' "$name" "$display" "$(peak $((z * 8 + twice + 1)))"
    done
    z=$((z + 1))
done
