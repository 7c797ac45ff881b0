#!/usr/bin/env bash
# Every include must point down the layer order below. A file's layer is the module folder it
# lives in (include/velmorutils/<module>/, src/<module>/, tools/, python/); an include's layer is
# the module it names ("velmorutils/<module>/..." or a private "<module>/..."). An include that
# climbs with "../" hides its module and is refused as well. Prints every offending include as
# file:line and exits 1 if there is one.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

layers=(platform alloc text inlines formats utils zelmath landxml tools python)

rank() {
    local i
    for i in "${!layers[@]}"; do
        [[ "${layers[$i]}" == "$1" ]] && { echo "$i"; return; }
    done
    echo -1
}

file_module() {
    case "$1" in
    include/velmorutils/*/*) echo "${1#include/velmorutils/}" | cut -d/ -f1 ;;
    src/*/*) echo "${1#src/}" | cut -d/ -f1 ;;
    tools/*) echo tools ;;
    python/*) echo python ;;
    *) echo "" ;;
    esac
}

status=0
while IFS= read -r file; do
    from="$(file_module "$file")"
    from_rank="$(rank "$from")"
    ((from_rank >= 0)) || continue
    while IFS=: read -r line target; do
        if [[ "$target" == ../* ]]; then
            # Another module's private header is reached by its module path, never by climbing.
            echo "$file:$line: relative include of another folder: $target"
            status=1
            continue
        fi
        target="${target#velmorutils/}"
        [[ "$target" == */* ]] || continue # a header of the same folder
        to_rank="$(rank "${target%%/*}")"
        if ((to_rank > from_rank)); then
            echo "$file:$line: $from includes ${target%%/*} (a higher layer): $target"
            status=1
        fi
    done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
        sed -E 's/^([0-9]+):[^"]*"([^"]*)".*/\1:\2/')
done < <(find include src tools python -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' \) 2>/dev/null | sort)

if ((status != 0)); then
    echo "check-layers: includes must point down: ${layers[*]}" >&2
fi
exit "$status"
