#!/usr/bin/env bash
# Runs every example of README.md as a newcomer would: each line of a ```sh block that calls the
# tool through scripts/run.sh, as written, from a folder laid out like the repository root (the
# shipped examples/, and scripts/run.sh standing for the tool of this build). An example fails
# when its exit code is not 0 (or the code its own comment states, "# exits 1: ...") or when it
# prints nothing: no standard output and no file written.
#
#   run-examples.sh SOURCE_ROOT VELMOR_ROAD [README]
set -uo pipefail
root="$1"
tool="$2"
readme="${3:-$root/README.md}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/scripts"
ln -s "$root/examples" "$work/examples"
printf '#!/bin/sh\nexec "%s" "$@"\n' "$tool" >"$work/scripts/run.sh"
chmod +x "$work/scripts/run.sh"

# The example lines: inside ```sh blocks, starting with scripts/run.sh.
mapfile -t examples < <(awk '/^```/ { inside = ($0 == "```sh"); next }
                             inside && /^scripts\/run\.sh/ { print }' "$readme")
if [[ ${#examples[@]} -lt 5 ]]; then
  echo "README.md: only ${#examples[@]} tool examples found in its sh blocks" >&2
  exit 1
fi

out="$(mktemp)" err="$(mktemp)" mark="$(mktemp)"
trap 'rm -rf "$work" "$out" "$err" "$mark"' EXIT
failed=0
for line in "${examples[@]}"; do
  expected=0
  [[ "$line" =~ \#\ exits\ ([0-9]+) ]] && expected="${BASH_REMATCH[1]}"
  touch "$mark"
  sleep 0.01
  (cd "$work" && bash -c "$line") >"$out" 2>"$err" </dev/null
  code=$?
  written="$(find "$work" -path "$work/examples" -prune -o -type f -size +0 -newer "$mark" -printf '%f ')"
  if [[ $code -ne $expected ]]; then
    echo "FAILED (exit $code, expected $expected): $line" >&2
    sed 's/^/    /' "$err" >&2
    failed=$((failed + 1))
  elif [[ ! -s "$out" && -z "$written" ]]; then
    echo "FAILED (printed nothing, wrote nothing): $line" >&2
    failed=$((failed + 1))
  else
    echo "ok ($(wc -l <"$out") lines${written:+; wrote $written}): $line"
  fi
done
echo "${#examples[@]} README examples, $failed failed"
[[ $failed -eq 0 ]]
