#!/usr/bin/env bash
# Plants each small fault of scripts/test-faults.list in turn, builds the one test program of its
# module, runs it and puts the file back. A fault is "caught" when the program fails (or times
# out), "MISSED" when every test still passes. Prints one Markdown table row per fault.
#
#   scripts/test-faults.sh [build-dir] [list-file]
#
# List lines, fields separated by one TAB: module (or zelmath room) file, sed -E expression,
# what the fault is. Module python runs the module's pytest suite (ctest python_module), module gis
# the export's (ctest gis_export). Lines starting with # are
# skipped. The sed expression must change the file, or the row says "not applied".
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
list="${2:-$root/scripts/test-faults.list}"
cd "$root"

caught=0
missed=0
echo "| module | file | fault | result |"
echo "|---|---|---|---|"
while IFS=$'\t' read -r module file expr what; do
    [[ -z "$module" || "$module" == \#* ]] && continue
    program="$module"
    # A zelmath room's row runs test_zelmath; a component's row (landxml, tools) on a zelmath
    # file runs that component's tests, which must catch it.
    [[ "$file" == src/zelmath/* && "$module" != landxml && "$module" != tools ]] && program=zelmath
    target="test_$program"
    run=("$build/tests/test_$program")
    # The Python module is held to its pytest suite, which ctest runs against the built module.
    if [[ "$module" == python ]]; then
        target=velmorutils_python
        run=(ctest --test-dir "$build" -R '^python_module$')
    fi
    # The GIS writers are held to the exported files read back (ctest gis_export).
    if [[ "$module" == gis ]]; then
        target=velmor-road
        run=(ctest --test-dir "$build" -R '^gis_export$')
    fi
    saved="$(mktemp)"
    cp "$file" "$saved"
    sed -i -E "$expr" "$file"
    if cmp -s "$file" "$saved"; then
        result="not applied"
    elif ! cmake --build "$build" --target "$target" -j2 </dev/null >/dev/null 2>&1; then
        result="caught (does not build)"
    elif timeout 600 "${run[@]}" </dev/null >/dev/null 2>&1; then
        result="MISSED"
    else
        result="caught"
    fi
    # Restore contents and time stamp, so the next build recompiles the original.
    cp "$saved" "$file"
    touch "$file"
    rm -f "$saved"
    case "$result" in caught*) caught=$((caught + 1)) ;; *) missed=$((missed + 1)) ;; esac
    echo "| $module | \`$file\` | $what | $result |"
done <"$list"
# Leave the build as the sources are: the last program built still holds its fault.
cmake --build "$build" -j2 </dev/null >/dev/null 2>&1 || echo "warning: the clean rebuild failed"
echo
echo "caught $caught, missed or not applied $missed"
((missed == 0))
