#!/usr/bin/env bash
# Installs the Debian packages the game needs to build and test, only those
# that are missing, without questions. Run as root or with sudo available.
#   --with-x  also Xvfb, xauth, ImageMagick and xdotool (screenshots of the game,
#             bench/rss.sh) and valgrind (the instruction counts of bench/)
#   --compat  also sdl12-compat's SDL 1.2 library (installed beside the classic
#             one, in a folder of its own) and the SDL 2 it runs on
#   --armhf   also the armhf cross compilers and qemu-user, and armhf as a
#             foreign architecture of dpkg (for scripts/armhf_sysroot.sh)
#   --web     also emscripten, dpkg-dev (apt-get source), chromium and
#             python3-websocket (scripts/web.sh and its tests in the browser)
set -euo pipefail

packages=(g++ cmake make pkg-config ccache
          libsdl1.2-dev libsdl-mixer1.2-dev libmodplug-dev libpng-dev zlib1g-dev
          googletest libgtest-dev libbenchmark-dev
          desktop-file-utils appstream lintian man-db dpkg-dev file
          clang libclang-rt-14-dev)
armhf=0
for option in "$@"; do
    case "$option" in
        --with-x) packages+=(xvfb xauth imagemagick xdotool valgrind) ;;
        --compat) packages+=(libsdl1.2-compat libsdl2-2.0-0) ;;
        --armhf) packages+=(crossbuild-essential-armhf qemu-user); armhf=1 ;;
        --web) packages+=(emscripten dpkg-dev chromium python3-websocket) ;;
        *) echo "unknown option: $option" >&2; exit 2 ;;
    esac
done

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

# The armhf package lists are needed even when every package is installed.
update=0
if [ "$armhf" = 1 ]; then
    if ! dpkg --print-foreign-architectures | grep -qx armhf; then
        echo "Adding armhf to dpkg's architectures"
        $sudo dpkg --add-architecture armhf
        update=1
    elif ! apt-cache policy libc6:armhf 2>/dev/null | grep -q 'Candidate: [0-9]'; then
        update=1
    fi
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && [ "$update" = 0 ] && exit 0

$sudo apt-get update -qq
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
