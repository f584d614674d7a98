#!/usr/bin/env bash
# Builds the game as a web page into build-web/site/: index.html, the wasm
# and its JavaScript, the data archives (the native build's, byte for byte),
# the icons, a web app manifest and a service worker. Static files only.
#   bash scripts/web.sh          installs what is missing and builds
#   bash scripts/web.sh serve    the same, then serves build-web/site on 127.0.0.1
# SDL 1.2, SDL_mixer 1.2, libmodplug, zlib and libpng are built with emcc from
# Debian's own source packages, once, into build-web/libs/ (built again when a
# package's version, a patch of web/patches/ or the build list changes).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
out="$root/build-web"
site="$out/site"
port="${ZARN_WEB_PORT:-8000}"

what="${1:-build}"
case "$what" in
    build|serve) ;;
    *) echo "usage: bash scripts/web.sh [serve]" >&2; exit 2 ;;
esac

bash scripts/deps.sh --web

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

# Debian's emcc under this node: its acorn comes from Debian's node modules,
# and node's own fetch must stay off for the compiler's scripts.
export NODE_PATH=/usr/share/nodejs
export NODE_OPTIONS=--no-experimental-fetch
export EMCC_SKIP_SANITY_CHECK=1

# apt-get source needs deb-src lines: made from the machine's own Debian
# package sources (deb822 files and one-line lists alike), never typed here.
ensure_deb_src() {
    apt-cache showsrc zlib > /dev/null 2>&1 && [ -n "$(apt-cache showsrc zlib 2>/dev/null)" ] && return 0
    local list=/etc/apt/sources.list.d/zarn-web-src.sources
    echo "Adding deb-src entries beside the machine's Debian package sources ($list)"
    local f
    {
        for f in /etc/apt/sources.list.d/*.sources; do
            [ -f "$f" ] || continue
            [ "$f" = "$list" ] && continue
            # Each paragraph of Types: deb whose URIs are Debian's, as deb-src.
            awk 'BEGIN { RS = ""; FS = "\n" }
                 {
                     deb = 0; debian = 0; out = ""
                     for (i = 1; i <= NF; i++) {
                         if ($i ~ /^#/) continue
                         n = split($i, w, /[ \t]+/)
                         if (w[1] == "Types:") for (j = 2; j <= n; j++) if (w[j] == "deb") deb = 1
                         if (w[1] == "URIs:") for (j = 2; j <= n; j++) if (w[j] ~ /\/debian(-security|-ports)?\/?$/) debian = 1
                         out = out (w[1] == "Types:" ? "Types: deb-src" : $i) "\n"
                     }
                     if (deb && debian) printf "%s\n", out
                 }' "$f"
        done
        for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
            [ -f "$f" ] || continue
            # One-line entries: "deb [options] URI suite components".
            awk '$1 == "deb" && $0 ~ /\/debian(-security|-ports)?\/? / {
                     sub(/^deb/, ""); uri = ""; opts = ""
                     if ($1 ~ /^\[/) { while ($1 !~ /\]$/) { opts = opts $1 " "; $1 = ""; $0 = $0 } opts = opts $1; $1 = ""; $0 = $0 }
                     printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents:", $1, $2
                     for (i = 3; i <= NF; i++) printf " %s", $i
                     if (opts ~ /signed-by=/) { s = opts; sub(/.*signed-by=/, "", s); sub(/[] ].*/, "", s); printf "\nSigned-By: %s", s }
                     printf "\n\n"
                 }' "$f"
        done
    } > /tmp/zarn-web-src.$$
    if [ ! -s /tmp/zarn-web-src.$$ ]; then
        rm -f /tmp/zarn-web-src.$$
        echo "no Debian package source found to make deb-src entries from" >&2
        return 1
    fi
    $sudo install -m 0644 /tmp/zarn-web-src.$$ "$list"
    rm -f /tmp/zarn-web-src.$$
    $sudo apt-get update -qq
}

# Debian versions on stdin, newest first.
newest_first() {
    local vs=() i j t
    mapfile -t vs
    for ((i = 0; i < ${#vs[@]}; i++)); do
        for ((j = i + 1; j < ${#vs[@]}; j++)); do
            if dpkg --compare-versions "${vs[j]}" gt "${vs[i]}"; then
                t="${vs[i]}"; vs[i]="${vs[j]}"; vs[j]="$t"
            fi
        done
    done
    [ ${#vs[@]} -gt 0 ] && printf '%s\n' "${vs[@]}"
}

# The unpacked source of Debian package $1 (its patches applied by
# dpkg-source): the newest version apt knows whose files can be fetched,
# unpacked once into build-web/libs/src/<package>_<version>/. Prints its path.
fetch_source() {
    local pkg="$1" v dir
    while read -r v; do
        dir="$out/libs/src/${pkg}_${v//:/_}"
        if [ -f "$dir/.unpacked" ]; then
            find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n 1
            return 0
        fi
        rm -rf "$dir" && mkdir -p "$dir"
        if (cd "$dir" && apt-get source -qq "$pkg=$v" > apt.log 2>&1); then
            touch "$dir/.unpacked"
            find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n 1
            return 0
        fi
        echo "source of $pkg $v cannot be fetched; trying an older one" >&2
        rm -rf "$dir"
    done < <(apt-cache showsrc --only-source "$pkg" 2>/dev/null | awk '/^Version:/ {print $2}' | sort -u | newest_first)
    echo "no source of $pkg can be fetched" >&2
    return 1
}

# The libraries, built once for a set of sources, patches and build list.
build_libs() {
    ensure_deb_src
    mkdir -p "$out/libs/src"
    local pkg names=(libsdl1.2 sdl-mixer1.2 libmodplug zlib libpng1.6) srcs=() key
    for pkg in "${names[@]}"; do
        srcs+=("$(fetch_source "$pkg")") || return 1
    done
    key="$( { printf '%s\n' "${srcs[@]##*/libs/src/}"; cat web/libs/* web/patches/*/*.patch; } | sha256sum | cut -c1-16)"
    libs="$out/libs/$key"
    [ -f "$libs/prefix/.built" ] && return 0
    echo "== Building the web libraries ($key): ${srcs[*]##*/libs/src/}"
    find "$out/libs" -mindepth 1 -maxdepth 1 -type d ! -name src -exec rm -rf {} +
    mkdir -p "$libs/src"
    local i patch
    for i in "${!names[@]}"; do
        pkg="${names[i]}"
        cp -a "${srcs[i]}" "$libs/src/$pkg"
        for patch in web/patches/"$pkg"/*.patch; do
            [ -f "$patch" ] || continue
            patch -s -p1 -d "$libs/src/$pkg" < "$patch" || { echo "$patch does not apply" >&2; return 1; }
        done
    done
    emcmake cmake -S web/libs -B "$libs/build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$libs/prefix" \
        -DSDL_SRC="$libs/src/libsdl1.2" -DMIXER_SRC="$libs/src/sdl-mixer1.2" -DMODPLUG_SRC="$libs/src/libmodplug" \
        -DZLIB_SRC="$libs/src/zlib" -DPNG_SRC="$libs/src/libpng1.6" > "$libs/configure.log" 2>&1 ||
        { cat "$libs/configure.log"; return 1; }
    cmake --build "$libs/build" -j "$jobs" > "$libs/build.log" 2>&1 || { tail -n 40 "$libs/build.log"; return 1; }
    cmake --install "$libs/build" > /dev/null
    touch "$libs/prefix/.built"
}

jobs="$(nproc 2>/dev/null || echo 2)"
build_libs

# The data and the icons from the native build's own tools, so the archives
# are the same bytes as the native game's.
echo "== Data and icons (native tools, build/)"
if [ ! -f build/CMakeCache.txt ]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > build.configure.log 2>&1 ||
        { cat build.configure.log; exit 1; }
fi
cmake --build build -j "$jobs" --target data icons > /dev/null
rm -rf "$out/icons"
build/tools/icons/icons assets/gfx "$out/icons" 192 512

echo "== The game for the web"
emcmake cmake -S web -B "$out/game" -DCMAKE_BUILD_TYPE=Release -DZARN_WEB_LIBS="$libs/prefix" \
    > "$out/game.configure.log" 2>&1 || { cat "$out/game.configure.log"; exit 1; }
cmake --build "$out/game" -j "$jobs"

echo "== The page ($site)"
rm -rf "$site"
mkdir -p "$site/data" "$site/icons"
cp "$out/game/zarn.js" "$out/game/zarn.wasm" web/index.html web/page.js "$site/"
cp build/data/*.qva "$site/data/"
cp build/icons/48x48/apps/zarn.png "$site/icons/zarn-48.png"
cp build/icons/256x256/apps/zarn.png "$site/icons/zarn-256.png"
cp "$out/icons/192x192/apps/zarn.png" "$site/icons/zarn-192.png"
cp "$out/icons/512x512/apps/zarn.png" "$site/icons/zarn-512.png"
cp web/manifest.webmanifest "$site/"
# The service worker caches every file of the page under a name made from
# their contents, so a new build replaces the old cache at once.
files="$(cd "$site" && find . -type f ! -name sw.js | sed 's|^\./||' | sort)"
version="$(cd "$site" && sha256sum $files | sha256sum | cut -c1-16)"
list="$(sed 's/.*/  "&",/' <<< "$files")"
awk -v version="$version" -v list="$list" '{ gsub(/@VERSION@/, version); if ($0 ~ /@FILES@/) print list; else print }' \
    web/sw.js > "$site/sw.js"
echo "page: $(du -sb "$site" | cut -f1) bytes in $(find "$site" -type f | wc -l) files, version $version"

if [ "$what" = serve ]; then
    echo "Serving $site on http://127.0.0.1:$port/ (Ctrl+C stops)"
    cd "$site" && exec /usr/bin/python3 -m http.server --bind 127.0.0.1 "$port"
fi
