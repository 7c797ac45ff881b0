#!/usr/bin/env bash
# The layer check passes on a scratch copy of the sources and refuses each wrong include planted
# in it: one that climbs a layer written in quotes, one written in angle brackets, one that climbs
# the rooms of zelmath and one through a private header's path. A downward include in angle
# brackets, planted the same way, must pass, so that a check refusing everything fails here too.
set -uo pipefail
repo="$(cd "$(dirname "$0")/../.." && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cp -r "$repo/include" "$repo/src" "$repo/tools" "$repo/python" "$scratch/"
check="$repo/scripts/check-layers.sh"

failures=0
fail() {
    echo "FAIL: $1"
    failures=$((failures + 1))
}

if ! out="$("$check" "$scratch" 2>&1)"; then
    fail "the unchanged sources are refused:"$'\n'"$out"
fi

# plant FILE INCLUDE-LINE EXPECT: appends the line to FILE, runs the check, puts FILE back.
# EXPECT is "refused" or "passes"; a refusal must name FILE and the line.
plant() {
    local file="$1" include="$2" expect="$3" out status
    cp "$scratch/$file" "$scratch/$file.saved"
    echo "$include" >>"$scratch/$file"
    local line
    line="$(wc -l <"$scratch/$file")"
    out="$("$check" "$scratch" 2>&1)"
    status=$?
    mv "$scratch/$file.saved" "$scratch/$file"
    if [[ "$expect" == refused ]]; then
        ((status == 1)) || fail "$file: '$include' not refused (exit $status)"
        [[ "$out" == *"$file:$line:"* ]] || fail "$file: '$include' not named at line $line: $out"
    else
        ((status == 0)) || fail "$file: '$include' refused: $out"
    fi
}

plant src/utils/AtomicFileWriter.cpp '#include "velmorutils/zelmath/angles/MathCommon.h"' refused
plant src/zelmath/cogo/PlaneCogo.cpp '#include <velmorutils/landxml/Model.h>' refused
plant src/zelmath/curves/CurveRelations.cpp '#include "velmorutils/zelmath/alignment/CAlnt.h"' refused
plant include/velmorutils/zelmath/primitives/CArc.h '#include <zelmath/curves/CurveSupport.h>' refused
plant src/zelmath/areas/C2dPtListUt.cpp '#include <velmorutils/zelmath/angles/MathCommon.h>' passes

if ((failures > 0)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "the layer check refuses every planted include"
