#!/usr/bin/env bash
# The Python package installed as Python users install it, from a clean copy of the sources (the
# tracked and new files, no build folder): pip into a virtual environment that sees Debian's
# packages, then a wheel built with Debian's python3-build into a second one; each must import
# from a bare shell (no PYTHONPATH, no LD_LIBRARY_PATH, another folder) and print the CMake
# project's version. Nothing is downloaded: the build backend is Debian's setuptools.
#
#   scripts/check-python-package.sh [python]      (default /usr/bin/python3)
# VELMORUTILS_CMAKE_ARGS passes arguments to the package's CMake configure (e.g. ccache).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
python="${1:-/usr/bin/python3}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

mkdir "$work/src"
git -C "$root" ls-files -z --cached --others --exclude-standard |
  (cd "$root" && xargs -0 tar -cf - --no-recursion 2>/dev/null) | tar -xf - -C "$work/src"
want="$(sed -n 's/^project(velmorutils VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"

# A bare shell: nothing of this one's environment, in a folder that holds no package.
imports() {
  local got
  got="$(cd / && env -i HOME="$work" PATH=/usr/bin:/bin "$1/bin/python" -c \
    'import velmorutils; print(velmorutils.__version__)')"
  [[ "$got" == "$want" ]] || { echo "$1: version '$got', CMake says '$want'" >&2; exit 1; }
  echo "python package: $2 imports from a bare shell, version $got"
}

"$python" -m venv --system-site-packages "$work/v"
"$work/v/bin/python" -m pip install -q --no-build-isolation "$work/src"
imports "$work/v" "pip install --no-build-isolation ."

(cd "$work/src" && "$python" -m build --no-isolation --wheel --outdir "$work/dist" >/dev/null)
"$python" -m venv --system-site-packages "$work/w"
"$work/w/bin/python" -m pip install -q "$work"/dist/velmorutils-*.whl
imports "$work/w" "the wheel of python3 -m build --no-isolation --wheel"
