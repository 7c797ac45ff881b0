#!/usr/bin/env bash
# Checks an installed velmorutils the way its users meet it, with no library path set (the
# installed programs and libraries find their own through run paths relative to themselves):
# the installed velmor-road runs, also after the whole tree has moved, and tiny consumers build
# against the package with find_package and pkg-config and run.
#
#   scripts/check-install.sh PREFIX
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
prefix="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
unset LD_LIBRARY_PATH

# The installed tool: a stake-out of the built-in road and the list of a shipped example file.
tool_check() {
  local tool="$1/bin/velmor-road"
  "$tool" --version
  "$tool" stakeout --interval 100 --csv >"$work/stakes.csv"
  head -n 1 "$work/stakes.csv" | grep -q '^station,chainage_m,'
  "$tool" list "$root/examples/town-streets.xml" | grep -q 'Main Street'
}
tool_check "$prefix"
# The tree moved as a whole still runs.
cp -a "$prefix" "$work/moved"
tool_check "$work/moved"
rm -rf "$work/moved"
echo "installed package: velmor-road runs from the prefix and from a moved copy, no library path"

# Builds the consumer whose main.cpp stands in $work/NAME against the installed package, once with
# find_package (COMPONENTS, empty for the core, linking TARGET) and once by hand with pkg-config
# module PC (naming the prefix's library folder as its run path), and runs both with ARGS.
#   consume NAME COMPONENTS TARGET PC [ARGS...]
consume() {
  local dir="$work/$1" components="$2" target="$3" pc="$4"
  shift 4
  cat >"$dir/CMakeLists.txt" <<CM
cmake_minimum_required(VERSION 3.25)
project(consumer CXX)
find_package(velmorutils REQUIRED ${components:+COMPONENTS $components})
add_executable(consumer main.cpp)
target_link_libraries(consumer PRIVATE $target)
CM
  cmake -S "$dir" -B "$dir/build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
  cmake --build "$dir/build" >/dev/null
  "$dir/build/consumer" "$@"
  g++ -std=c++20 "$dir/main.cpp" -o "$dir/pc" \
    $(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs "$pc") -Wl,-rpath,"$prefix/lib"
  "$dir/pc" "$@"
}
mkdir -p "$work/core"
cat >"$work/core/main.cpp" <<'CPP'
#include <velmorutils/velmorutils.h>
#include <cstdio>
int main() {
    CMathAngle a(540.0);
    std::printf("%.1f %.4f\n", a.getDeg(), GetRadiusFromDegOfCurve(1.0));
    return a.getDeg() == 180.0 ? 0 : 1;
}
CPP
consume core "" velmorutils::velmorutils velmorutils

# The LandXML component: a consumer reads a small file (a 100 m line due north from 1000,500 at
# station 0+000) and prints the position at 0+040, which must be 1040,500.
cat >"$work/road.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<LandXML xmlns="http://www.landxml.org/schema/LandXML-1.2" version="1.2">
  <Units><Metric linearUnit="meter"/></Units>
  <Alignments><Alignment name="check" staStart="0" length="100"><CoordGeom>
    <Line length="100"><Start>1000 500</Start><End>1100 500</End></Line>
  </CoordGeom></Alignment></Alignments>
</LandXML>
XML
mkdir -p "$work/lx"
cat >"$work/lx/main.cpp" <<'CPP'
#include <velmorutils/landxml/AlignmentBuilder.h>
#include <velmorutils/landxml/Model.h>
#include <cmath>
#include <cstdio>
int main(int argc, char** argv) {
    zel_landxml::Document doc;
    std::string error;
    if (argc < 2 || !zel_landxml::readFile(argv[1], doc, error)) return std::puts(error.c_str()), 1;
    CAlnt road;
    zel_landxml::BuildReport report;
    if (!zel_landxml::buildAlignment(doc.alignments.front(), road, report, error))
        return std::puts(error.c_str()), 1;
    double n = 0, e = 0;
    if (!road.getPosNeAtChainExtr(40.0, n, e)) return 1;
    std::printf("0+040: N %.3f E %.3f\n", n, e);
    return std::fabs(n - 1040.0) < 1e-9 && std::fabs(e - 500.0) < 1e-9 ? 0 : 1;
}
CPP
consume lx landxml velmorutils::landxml velmorutils-landxml "$work/road.xml"

# Asking for a component that does not exist fails find_package cleanly.
sed -i 's/COMPONENTS landxml/COMPONENTS nosuch/' "$work/lx/CMakeLists.txt"
if cmake -S "$work/lx" -B "$work/lx/build2" -DCMAKE_PREFIX_PATH="$prefix" >"$work/lx/missing.log" 2>&1; then
  echo "find_package accepted an unknown component" >&2
  exit 1
fi
grep -q "unknown component 'nosuch'" "$work/lx/missing.log"
echo "installed package: find_package and pkg-config consumers build and run (core and landxml)"

# The GIS component, when it was built: a consumer writes the same small road as DXF and
# checks the drawing's unit and its one centre-line polyline.
if [[ -f "$prefix/lib/cmake/velmorutils/velmorutilsGisTargets.cmake" ]]; then
  mkdir -p "$work/gis"
  cat >"$work/gis/main.cpp" <<'CPP'
#include <velmorutils/gis/LayerWriter.h>
#include <velmorutils/landxml/AlignmentBuilder.h>
#include <cstdio>
int main(int argc, char** argv) {
    zel_landxml::Document doc;
    std::string error;
    if (argc < 2 || !zel_landxml::readFile(argv[1], doc, error)) return std::puts(error.c_str()), 1;
    CAlnt road;
    zel_landxml::BuildReport report;
    std::vector<zel_landxml::Layer> layers;
    if (!zel_landxml::buildAlignment(doc.alignments.front(), road, report, error) ||
        !zel_landxml::buildRoadLayers(road, zel_landxml::Stationing(), {}, layers, error))
        return std::puts(error.c_str()), 1;
    const std::string dxf = zel_gis::dxfText(layers, zel_landxml::LinearUnit::Meter);
    const bool ok = dxf.find("$INSUNITS\n 70\n6\n") != std::string::npos &&
                    dxf.find("POLYLINE") != std::string::npos;
    std::printf("gis: %zu layers, DXF of %zu bytes\n", layers.size(), dxf.size());
    return ok ? 0 : 1;
}
CPP
  consume gis gis velmorutils::gis velmorutils-gis "$work/road.xml"
  echo "installed package: find_package and pkg-config consumers build and run (gis)"
fi

# The proj component, when it was built: a consumer takes 52 N 15 E to UTM zone 33N, which must
# give easting 500000 (the central meridian) and northing 5761038.212, northing first.
if [[ -f "$prefix/lib/cmake/velmorutils/velmorutilsProjTargets.cmake" ]]; then
  mkdir -p "$work/pj"
  cat >"$work/pj/main.cpp" <<'CPP'
#include <velmorutils/proj/CrsTransform.h>
#include <cmath>
#include <cstdio>
int main() {
    zel_proj::CrsTransform t;
    std::string error;
    if (!t.create("EPSG:4326", "EPSG:32633", error)) return std::puts(error.c_str()), 1;
    double n = 52.0, e = 15.0;
    if (!t.forward(n, e, nullptr)) return 1;
    std::printf("52N 15E: N %.3f E %.3f\n", n, e);
    return std::fabs(n - 5761038.212) < 0.001 && std::fabs(e - 500000.0) < 0.001 ? 0 : 1;
}
CPP
  consume pj proj velmorutils::proj velmorutils-proj
  echo "installed package: find_package and pkg-config consumers of the proj component build and run"
fi

# The Python module, when it was built: it must import from a fresh shell with only the install
# prefix on the path (no build tree, no LD_LIBRARY_PATH: the module finds the libraries through
# its RPATH) and read the same file.
package="$(find "$prefix" -path '*-packages/velmorutils/__init__.py' -print -quit)"
if [[ -n "$package" ]]; then
  python_dir="$(dirname "$(dirname "$package")")"
  env -i HOME="$work" PATH=/usr/bin:/bin /usr/bin/python3 -I -c '
import sys
sys.path.insert(0, sys.argv[2])
import velmorutils
(road,) = velmorutils.read_landxml(sys.argv[1])
n, e = road.position(40.0)
assert abs(n - 1040.0) < 1e-9 and abs(e - 500.0) < 1e-9, (n, e)
assert velmorutils.__file__.startswith(sys.argv[2]), velmorutils.__file__
print("python: 0+040 N %.3f E %.3f from %s" % (n, e, velmorutils.__file__))
' "$work/road.xml" "$python_dir"
  echo "installed package: the Python module imports from the install prefix alone"
fi
