#!/usr/bin/env bash
# Keeps the folders of src/ standing on each other: every #include "dir/file.h"
# may name only its own folder or one below it, modules (a header and its
# source) never include each other round in a circle, and no source file
# declares anything extern (that is the headers' job), and the model at the
# bottom (the rules, the level and file formats: what the tools link) includes
# no SDL. Exits 1 on a breach.
set -euo pipefail
cd "$(dirname "$0")/../src"

# Bottom to top.
order=(model sys video res config sound core screens app)
rank() {
    local i
    for i in "${!order[@]}"; do
        [ "${order[$i]}" = "$1" ] && { echo "$i"; return; }
    done
    echo -1
}

bad=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
for file in */*.h */*.cpp */*.inc; do
    [ -e "$file" ] || continue
    folder=${file%%/*}
    from=$(rank "$folder")
    if [ "$from" -lt 0 ]; then
        echo "src/$file: folder '$folder' has no place in the order: ${order[*]}"
        bad=1
        continue
    fi
    module=${file%.*}
    while read -r target; do
        to_folder=${target%%/*}
        to=$(rank "$to_folder")
        if [ "$to" -lt 0 ] || [ "$to" -gt "$from" ]; then
            echo "src/$file includes $target: '$to_folder' stands above '$folder' (${order[*]})"
            bad=1
        fi
        target_module=${target%.*}
        [ "$target_module" != "$module" ] && echo "$module $target_module" >> "$edges"
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file" | grep / || true)
    if [ "$folder" = model ] && grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*<SDL' "$file" > /dev/null; then
        echo "src/$file includes SDL; the model library links no SDL"
        bad=1
    fi
    if [[ "$file" == *.cpp ]] && grep -n -E '^[[:space:]]*extern[[:space:]]' "$file" > /dev/null; then
        echo "src/$file declares something extern; declare it in its module's header"
        bad=1
    fi
done

# tsort fails on a cycle and names the modules in it.
if ! tsort "$edges" > /dev/null 2> "$edges.err"; then
    echo "modules include each other in a circle:"
    sed 's/^tsort: /  /' "$edges.err"
    bad=1
fi
rm -f "$edges.err"

[ "$bad" -eq 0 ] && echo "layers: every include in src/ runs down or across a folder, without a circle"
exit "$bad"
