#!/usr/bin/env bash
# Builds a tiny consumer against an installed velmorutils with find_package and pkg-config.
set -euo pipefail
prefix="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cat >"$work/main.cpp" <<'CPP'
#include <velmorutils/velmorutils.h>
#include <cstdio>
int main() {
    CMathAngle a(540.0);
    std::printf("%.1f %.4f\n", a.getDeg(), GetRadiusFromDegOfCurve(1.0));
    return a.getDeg() == 180.0 ? 0 : 1;
}
CPP
cat >"$work/CMakeLists.txt" <<'CM'
cmake_minimum_required(VERSION 3.25)
project(consumer CXX)
find_package(velmorutils REQUIRED)
add_executable(consumer main.cpp)
target_link_libraries(consumer PRIVATE velmorutils::velmorutils)
CM
cmake -S "$work" -B "$work/build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/build" >/dev/null
LD_LIBRARY_PATH="$prefix/lib:${LD_LIBRARY_PATH:-}" "$work/build/consumer"
PKG_CONFIG_PATH="$prefix/lib/pkgconfig" g++ "$work/main.cpp" -o "$work/pc" $(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs velmorutils)
LD_LIBRARY_PATH="$prefix/lib" "$work/pc"
echo "installed package: find_package and pkg-config consumers build and run"
