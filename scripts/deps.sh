#!/usr/bin/env bash
# Installs the Debian packages the game needs to build and test, only those
# that are missing, without questions. Run as root or with sudo available.
set -euo pipefail

packages=(g++ cmake make pkg-config ccache
          libsdl1.2-dev libsdl-mixer1.2-dev libmodplug-dev zlib1g-dev
          googletest libgtest-dev libbenchmark-dev)
if [ "${1:-}" = "--with-x" ]; then
    packages+=(xvfb xauth imagemagick xdotool)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
