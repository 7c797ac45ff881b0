#!/usr/bin/env bash
# Installs the Debian packages a job needs, when any is missing (Debian 12 "bookworm").
#   scripts/deps.sh        the build of the library and the road tool (scripts/run.sh):
#                          scripts/packages.txt
#   scripts/deps.sh test   that, plus the tests, benchmarks, Python module, sanitizers, fuzzing
#                          and the API reference (scripts/test.sh, .ci/run):
#                          scripts/packages-test.txt
# As root it runs apt-get; otherwise it prints the exact command and stops. With nothing missing
# it costs one dpkg-query.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

lists=("$here/packages.txt")
case "${1:-run}" in
  run) ;;
  test) lists+=("$here/packages-test.txt") ;;
  *) echo "usage: scripts/deps.sh [run|test]" >&2; exit 2 ;;
esac

packages=()
for list in "${lists[@]}"; do
  while read -r p; do [[ -n "$p" && "$p" != \#* ]] && packages+=("$p"); done <"$list"
done

declare -A installed=()
while read -r p status; do
  [[ "$status" == "install ok installed" ]] && installed[$p]=1
done < <(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null || true)
missing=()
for p in "${packages[@]}"; do
  [[ -n "${installed[$p]:-}" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

cmd="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Run as root: $cmd" >&2
  exit 1
fi
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq >&2 && apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
