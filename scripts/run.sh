#!/usr/bin/env bash
# Runs the road tool velmor-road with the arguments given, building it first when the build is
# missing or a source changed since the last build. Standard output carries only what the tool
# prints: the set-up and the build speak on standard error, and the build's own output goes to
# build/run-build.log (its end is shown when the build fails).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
tool="$build/tools/velmor-road"
stamp="$build/.run-stamp"

# Anything the tool is built from, newer than the last good build: a changed, added or removed
# file (a removal changes its folder).
changed() {
  [[ ! -x "$tool" || ! -f "$stamp" ]] && return 0
  [[ -n "$(find "$root/CMakeLists.txt" "$root/cmake" "$root/src" "$root/include" "$root/tools" \
    -newer "$stamp" -print -quit)" ]]
}

build_tool() {
  "$root/scripts/deps.sh" >&2
  mkdir -p "$build"
  local log="$build/run-build.log"
  echo "velmor-road: building the tool in $build (log: $log)" >&2
  # The stamp takes the time before the build, so that a source saved during it counts next time.
  touch "$stamp.new"
  if ! { cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
    cmake --build "$build" -j "$(nproc)" --target velmor-road; } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "velmor-road: the build failed; the whole log is $log" >&2
    exit 1
  fi
  mv "$stamp.new" "$stamp"
}

if changed; then build_tool; fi
exec "$tool" "$@"
