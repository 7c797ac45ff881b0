#!/usr/bin/env bash
# Builds the library and its road tool, and runs the tool's main job.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
build="$root/build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "$(nproc)" --target velmor-road
"$build/tools/velmor-road" "$@"
