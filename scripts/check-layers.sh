#!/usr/bin/env bash
# Every include must point down the layer order below, and inside zelmath down the order of its
# rooms. A file's layer is the module folder it lives in (include/velmorutils/<module>/,
# src/<module>/, tools/, python/); its room is the folder under zelmath/. An include's layer and
# room are those it names, written either way: "velmorutils/<module>/..." or a private
# "<module>/..." in quotes, or the same two in angle brackets.
# An include of a room that is not in the order is refused (a new room must be placed first), and
# so is one that climbs with "../", which hides its module. Prints every offending include as
# file:line and exits 1 if there is one.
#
#   scripts/check-layers.sh [root]     # root: the tree to check, by default this repository
set -euo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root"

layers=(platform alloc text inlines formats utils zelmath landxml proj gis tools python)
# The rooms of zelmath, bottom first. Headers two rooms share live in the lower one: angles holds
# the base of the whole geometry (MathCommon, units, C2dPos), curves the element kinds
# (TAlntHeType), vertical the base every alignment container shares (CAlntBase, CPtrArrayT,
# TStartChainageSearch, errCodes), which the horizontal alignment builds on above it.
rooms=(angles cogo primitives geodesy curves vertical alignment caches areas surfaces sections)

declare -A layer_rank room_rank
for i in "${!layers[@]}"; do layer_rank[${layers[$i]}]=$i; done
for i in "${!rooms[@]}"; do room_rank[${rooms[$i]}]=$i; done

# Sets from and from_room (room only in zelmath, "-" for a file directly in zelmath/) to the
# place of a file; from stays empty outside the checked folders.
file_place() {
    local rest
    from="" from_room=""
    case "$1" in
    include/velmorutils/*/*) rest="${1#include/velmorutils/}" ;;
    src/*/*) rest="${1#src/}" ;;
    tools/*) from=tools; return ;;
    python/*) from=python; return ;;
    *) return ;;
    esac
    from="${rest%%/*}"
    rest="${rest#*/}"
    [[ "$from" == zelmath ]] || return 0
    from_room="-"
    [[ "$rest" == */* ]] && from_room="${rest%%/*}"
    return 0
}

status=0
refuse() {
    echo "$1"
    status=1
}

# Sets from, from_rank, from_room and from_room_rank for a file; false when it is not checked.
place_of() {
    file_place "$1"
    [[ -n "$from" && -n "${layer_rank[$from]:-}" ]] || return 1
    from_rank="${layer_rank[$from]}"
    from_room_rank=-1
    [[ "$from" == zelmath ]] && from_room_rank="${room_rank[$from_room]:--1}"
    return 0
}

# One include: refused when it climbs a layer, or a room inside zelmath.
check_include() {
    local file="$1" line="$2" target="$3" named module rest to_room
    if [[ "$target" == ../* || "$target" == */../* ]]; then
        refuse "$file:$line: relative include of another folder: $target"
        return
    fi
    named="${target#velmorutils/}"
    [[ "$named" == */* ]] || return 0 # a header of the same folder, or a system one
    module="${named%%/*}"
    # Only our own modules count: <sys/stat.h>, <pybind11/...> and the like are not ours.
    [[ -n "${layer_rank[$module]:-}" ]] || return 0
    if ((layer_rank[$module] > from_rank)); then
        refuse "$file:$line: $from includes $module (a higher layer): $target"
        return
    fi
    [[ "$from" == zelmath && "$module" == zelmath ]] || return 0
    rest="${named#zelmath/}"
    to_room="-"
    [[ "$rest" == */* ]] && to_room="${rest%%/*}"
    if [[ -z "${room_rank[$to_room]:-}" ]]; then
        refuse "$file:$line: zelmath/$to_room is not a room of the order: $target"
    elif ((room_rank[$to_room] > from_room_rank)); then
        refuse "$file:$line: zelmath/$from_room includes zelmath/$to_room (a higher room): $target"
    fi
}

mapfile -t files < <(find include src tools python -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' \) 2>/dev/null | sort)
for file in "${files[@]}"; do
    place_of "$file" || continue
    if [[ "$from" == zelmath && -z "${room_rank[$from_room]:-}" ]]; then
        refuse "$file: zelmath/$from_room is not a room of the order: ${rooms[*]}"
    fi
done

# Every include of every file in one pass, as "file<TAB>line<TAB>target", either form.
current=""
while IFS=$'\t' read -r file line target; do
    if [[ "$file" != "$current" ]]; then
        current="$file"
        checked=0
        place_of "$file" && checked=1
        [[ "$from" == zelmath && "$from_room_rank" -lt 0 ]] && checked=0
    fi
    ((checked)) && check_include "$file" "$line" "$target"
done < <(((${#files[@]})) && grep -n -H -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' "${files[@]}" |
    sed -E -e 's/^([^:]*):([0-9]+):[^"<]*"([^"]*)".*/\1\t\2\t\3/' \
        -e 's/^([^:]*):([0-9]+):[^"<]*<([^>]*)>.*/\1\t\2\t\3/')

if ((status != 0)); then
    echo "check-layers: includes must point down: ${layers[*]}; inside zelmath: ${rooms[*]}" >&2
fi
exit "$status"
