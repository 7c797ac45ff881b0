#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang-14 under AddressSanitizer and
# UndefinedBehaviorSanitizer and runs each for a bounded time. Fails on any finding (crash,
# sanitizer report, broken check, leak, hang of more than 10 s on one input, 2 GB of memory).
#
#   scripts/fuzz.sh [seconds per target, default 30] [target ...]
#
# New inputs the fuzzer finds stay in the build folder (build-fuzz/work/<target>); the seed
# corpus and the regressions in fuzz/ are only read. Findings are written to
# build-fuzz/findings/<target>/.
set -euo pipefail

seconds=${1:-30}
[[ $# -gt 0 ]] && shift
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELMOR_FUZZ_BUILD:-$root/build-fuzz}

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang-14 CXX=clang++-14 cmake -S "$root/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "${launcher[@]}" >/dev/null
cmake --build "$build" -j2

if [[ $# -gt 0 ]]; then
  targets=("$@")
else
  targets=()
  for bin in "$build"/fuzz_*; do
    [[ -x $bin ]] && targets+=("$(basename "$bin" | sed 's/^fuzz_//')")
  done
fi
[[ ${#targets[@]} -gt 0 ]] || { echo "fuzz.sh: no fuzz targets built" >&2; exit 1; }

# Targets that read files work in a scratch folder; a memory file system keeps fsync cheap.
scratch_root=$build
[[ -d /dev/shm && -w /dev/shm ]] && scratch_root=/dev/shm
TMPDIR=$(mktemp -d "$scratch_root/velmor-fuzz.XXXXXX")
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=()
for name in "${targets[@]}"; do
  bin=$build/fuzz_$name
  [[ -x $bin ]] || { echo "fuzz.sh: no target $name" >&2; failed+=("$name"); continue; }
  work=$build/work/$name
  findings=$build/findings/$name
  mkdir -p "$work" "$findings" "$root/fuzz/corpus/$name" "$root/fuzz/regressions/$name"
  echo "=== $name: $seconds s"
  if ! "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
      -print_final_stats=1 -artifact_prefix="$findings/" \
      "$work" "$root/fuzz/corpus/$name" "$root/fuzz/regressions/$name" \
      >"$findings/log.txt" 2>&1; then
    tail -n 40 "$findings/log.txt" >&2
    echo "fuzz.sh: $name found a fault; the input is in $findings/" >&2
    failed+=("$name")
  else
    grep -E '^stat::number_of_executed_units|^Done' "$findings/log.txt" || true
  fi
done

if [[ ${#failed[@]} -gt 0 ]]; then
  echo "fuzz.sh: findings in: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz.sh: no findings"
