#!/bin/sh
# Checks the NEON build of the filters' row code against the portable one:
# cross-builds bench/neon/filters_hash.cpp for 32-bit ARM (armhf, no NEON by
# default, so the NEON kernels are the second build), runs it under qemu with
# a NEON processor, and compares its picture hashes with a build for this
# machine. Needs g++-arm-linux-gnueabihf and qemu-user.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
src="$root/bench/neon/filters_hash.cpp $root/src/video/filters.cpp"
flags="-std=c++17 -O3 -Wall -Wextra -I$root/src $(pkg-config --cflags sdl)"

g++ $flags $src -o "$out/host"
arm-linux-gnueabihf-g++ $flags -static $src -o "$out/arm"
"$out/host" | grep -v '^path' > "$out/host.txt"
qemu-arm -cpu cortex-a9 "$out/arm" > "$out/arm.txt"
cat "$out/arm.txt"
grep -q '^path 1: not' "$out/arm.txt" && { echo "FAIL: no NEON path on the ARM build"; exit 1; }
# Each path's ten lines against the host's ten.
sed -n 1,10p "$out/arm.txt" | diff - "$out/host.txt" >/dev/null || { echo "FAIL: portable ARM differs"; exit 1; }
sed -n 11,20p "$out/arm.txt" | diff - "$out/host.txt" >/dev/null || { echo "FAIL: NEON differs"; exit 1; }
echo "NEON and portable row code give identical pictures"
