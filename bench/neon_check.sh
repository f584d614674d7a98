#!/bin/sh
# Checks every build of the filters' row code against the portable one:
# cross-builds bench/neon/filters_hash.cpp for 32-bit ARM (armhf, no NEON by
# default, so the NEON kernels are the second build), runs it under qemu with
# a NEON processor, and compares every build's picture hashes, on ARM and on
# this machine (x86-64-v2 and AVX2 where it has them), with this machine's
# portable build. Needs g++-arm-linux-gnueabihf and qemu-user.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
src="$root/bench/neon/filters_hash.cpp $root/src/video/filters.cpp"
flags="-std=c++17 -O3 -Wall -Wextra -I$root/src $(pkg-config --cflags sdl)"

g++ $flags $src -o "$out/host"
arm-linux-gnueabihf-g++ $flags -static $src -o "$out/arm"
"$out/host" > "$out/host.txt"
qemu-arm -cpu cortex-a9 "$out/arm" > "$out/arm.txt"
cat "$out/arm.txt"
grep -q '^build NEON' "$out/arm.txt" || { echo "FAIL: no NEON build on ARM"; exit 1; }
# The lines of one build in a listing.
lines() { awk -v b="build $2" '/^build /{on = ($0 == b); next} on' "$1"; }
lines "$out/host.txt" baseline > "$out/want.txt"
for f in host arm; do
    for b in $(sed -n 's/^build //p' "$out/$f.txt"); do
        lines "$out/$f.txt" "$b" | diff - "$out/want.txt" >/dev/null || { echo "FAIL: $b on $f differs"; exit 1; }
    done
done
echo "every build of the row code, on ARM and here, gives the portable build's pictures"
