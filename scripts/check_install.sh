#!/usr/bin/env bash
# The installed game as a player gets it: an install staged with DESTDIR, its
# menu entry, metainfo, manual page and icons checked by their own tools, the
# game started from an unrelated folder with a home of its own and quit by a
# SIGTERM (which SDL turns into a quit event), and the Debian package holding
# every installed file. Usage: check_install.sh BUILD_DIR. Exits 1 on a fault.
set -euo pipefail
build=$(cd "$1" && pwd)
tmp=$(mktemp -d /tmp/zarn-install-XXXXXX)
trap 'rm -rf "$tmp"' EXIT
stage=$tmp/stage
fail() { echo "FAIL: $*"; exit 1; }

DESTDIR=$stage cmake --install "$build" --prefix /usr > "$tmp/install.log"
games=$stage/usr/games
desktop-file-validate "$stage/usr/share/applications/zarn.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$stage"/usr/share/metainfo/*.metainfo.xml > "$tmp/as.log" ||
    { cat "$tmp/as.log"; fail "metainfo"; }
man --warnings -l "$stage/usr/share/man/man6/zarn.6.gz" 2> "$tmp/man.err" > /dev/null
[ ! -s "$tmp/man.err" ] || { cat "$tmp/man.err"; fail "manual page warnings"; }
for n in 16 32 48 64 128 256; do  # PNG width and height, RGBA
    head=$(od -An -tx1 -j16 -N10 "$stage/usr/share/icons/hicolor/${n}x$n/apps/zarn.png" | tr -d ' \n')
    [ "$head" = "$(printf '%08x%08x0806' "$n" "$n")" ] || fail "icon ${n}x$n is $head"
done

# Runs the installed game from $tmp/work with HOME, dummy SDL drivers and then
# the given env(1) arguments, and quits it with SIGTERM once SDL catches that
# (SDL turns it into a window close). Sets status and said (its standard error).
# Only the game gets the signal: until the subshell has run the game it still
# catches SIGTERM with this shell's handler, and a SIGTERM then would run this
# script's EXIT trap in the subshell, removing $tmp under the check.
run() {
    rm -rf "$tmp/work" && mkdir -p "$tmp/work"
    (cd "$tmp/work" && exec env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u ZARN_DATA_DIR HOME="$tmp/home" \
        SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy env "$@" "$games/zarn" 2> "$tmp/err") &
    local pid=$! i mask
    for i in $(seq 600); do
        if [ "$(cat "/proc/$pid/comm" 2> /dev/null)" = zarn ]; then
            mask=$(awk '/^SigCgt/ {print $2}' "/proc/$pid/status" 2> /dev/null || true)
            [ -n "$mask" ] && (( 0x$mask & (1 << 14) )) && break
        fi
        [ -d "/proc/$pid" ] || break
        sleep 0.1
    done
    kill -TERM "$pid" 2> /dev/null || true
    for i in $(seq 600); do
        [ -d "/proc/$pid" ] && [ "$(awk '{print $3}' "/proc/$pid/stat")" != Z ] || break
        sleep 0.1
    done
    kill -KILL "$pid" 2> /dev/null || true
    status=0
    wait "$pid" || status=$?
    said=$(cat "$tmp/err")
    [ -z "$(ls -A "$tmp/work")" ] || fail "files written into the working folder: $(ls -A "$tmp/work")"
}

mkdir -p "$tmp/home"
run XDG_CONFIG_HOME="$tmp/home/cfg" XDG_DATA_HOME="$tmp/home/share"
[ "$status" -eq 0 ] || fail "exit status $status: $said"
[ "$(stat -c %s "$tmp/home/share/zarn/zarn.hi")" -eq 66 ] || fail "zarn.hi"
grep -q '^gfxmode=' "$tmp/home/cfg/zarn/zarn.cfg" || fail "zarn.cfg"
[ "$(stat -c %a "$tmp/home/cfg/zarn")" = 700 ] || fail "the settings folder is not 0700"

rm -rf "$tmp/home" && mkdir -p "$tmp/home"  # relative XDG values count for nothing
run XDG_CONFIG_HOME=cfg XDG_DATA_HOME=share
[ -f "$tmp/home/.config/zarn/zarn.cfg" ] && [ -f "$tmp/home/.local/share/zarn/zarn.hi" ] ||
    fail "files not in ~/.config/zarn and ~/.local/share/zarn"

touch "$tmp/blocked"  # a file where the scores folder should be: saving fails, the game does not
run XDG_DATA_HOME="$tmp/blocked"
[ "$status" -eq 0 ] && [ "$(wc -l <<< "$said")" -eq 1 ] && [[ "$said" == *"$tmp/blocked/zarn"* ]] ||
    fail "unsaveable scores: status $status, '$said'"
run -u HOME
[ "$status" -eq 0 ] && [ "$(wc -l <<< "$said")" -eq 1 ] || fail "no HOME: status $status, '$said'"

mkdir -p "$tmp/empty"
run ZARN_DATA_DIR="$tmp/empty"
[ "$status" -eq 1 ] && [[ "$said" == *"$tmp/empty"* ]] || fail "no data: status $status, '$said'"
out=$("$games/zarn" --version) && [ "$out" = "zarn 1.10" ] || fail "--version said '$out'"
status=0 && "$games/zarn" -bogus 2> "$tmp/err" || status=$?
[ "$status" -eq 2 ] && grep -q '^usage: zarn' "$tmp/err" || fail "unknown option: status $status"

# The package holds exactly what the install put in place.
cpack -G DEB -B "$tmp/pkg" --config "$build/CPackConfig.cmake" > "$tmp/cpack.log" ||
    { cat "$tmp/cpack.log"; fail "cpack"; }
deb=$(ls "$tmp"/pkg/zarn_1.10_*.deb)
(cd "$stage" && find . ! -type d | sort) > "$tmp/staged"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort > "$tmp/packed"
diff "$tmp/staged" "$tmp/packed" || fail "package and install differ"
lintian --fail-on error "$deb" > "$tmp/lintian.log" 2>&1 || { cat "$tmp/lintian.log"; fail "lintian finds errors"; }
echo "install: staged install, menu entry, metainfo, manual page, icons, XDG folders and package all good"
