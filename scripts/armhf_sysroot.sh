#!/usr/bin/env bash
# Makes DIR (default build-armhf/sysroot) a root folder of Debian's armhf
# libraries for cross-building and running the game under qemu: the headers
# and link libraries of SDL 1.2, SDL_mixer 1.2, libmodplug, libpng, zlib and GoogleTest,
# and every run-time library they need, the C library included.
#
# The armhf -dev packages of SDL 1.2 cannot be installed beside the amd64 ones,
# so the packages are downloaded and unpacked instead (apt-get download, dpkg -x).
# The run-time set is what apt itself resolves for a machine with nothing
# installed; the -dev packages are taken alone (their own dependencies would
# bring the whole OpenGL and X11 development stack, which the game never includes).
# A folder unpacked from the same package versions is kept as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="$(realpath -m "${1:-build-armhf/sysroot}")"

runtime=(libc6 libstdc++6 libgcc-s1 libsdl1.2debian libsdl-mixer1.2 libmodplug1 libpng16-16 zlib1g)
headers=(libsdl1.2-dev libsdl-mixer1.2-dev libmodplug-dev libpng-dev zlib1g-dev libgtest-dev)

if ! dpkg --print-foreign-architectures | grep -qx armhf; then
    echo "armhf is not a foreign architecture here: run scripts/deps.sh --armhf" >&2
    exit 1
fi

# name:armhf=version for every package the folder needs.
resolve() {
    apt-get install --print-uris -qq -y --no-install-recommends \
        -o Dir::State::Status=/dev/null -o Debug::NoLocking=1 "$@" |
        awk '{print $2}' | sed -n 's/^\([^_]*\)_\([^_]*\)_armhf\.deb$/\1:armhf=\2/p' |
        sed 's/%3a/:/g'
}
wanted="$( (resolve "${runtime[@]/%/:armhf}"
            for p in "${headers[@]}"; do
                echo "$p:armhf=$(apt-cache policy "$p:armhf" | awk '/Candidate:/ {print $2}')"
            done) | sort -u)"
if [ -z "$wanted" ] || grep -q '=$\|=(none)$' <<< "$wanted"; then
    echo "cannot resolve the armhf packages (apt-get update after dpkg --add-architecture armhf?)" >&2
    exit 1
fi

if [ -f "$dir/.packages" ] && [ "$(cat "$dir/.packages")" = "$wanted" ]; then
    echo "armhf sysroot: $dir is up to date ($(wc -l <<< "$wanted") packages)"
    exit 0
fi

echo "armhf sysroot: unpacking $(wc -l <<< "$wanted") packages into $dir"
rm -rf "$dir" "$dir.debs"
mkdir -p "$dir" "$dir.debs"
# apt-get download drops root rights to the _apt user, which must be able to write here.
chmod 777 "$dir.debs"
(cd "$dir.debs" && xargs apt-get download -qq <<< "$wanted")
for deb in "$dir.debs"/*.deb; do
    dpkg -x "$deb" "$dir"
done
rm -rf "$dir.debs"
# Links to absolute paths (libz.so -> /lib/...) must point into the folder.
find "$dir" -type l -lname '/*' | while read -r link; do
    ln -sfr "$dir$(readlink "$link")" "$link"
done
echo "$wanted" > "$dir/.packages"
