#!/usr/bin/env bash
# Writes the expected coordinates of the PROJ component's tests with Debian's cs2cs (proj-bin).
# For each of five CRSs, COUNT points are spread over the CRS's area (a low-discrepancy sequence,
# so that no two runs of the script differ), given as latitude, longitude and height on the
# source CRS, and transformed by cs2cs. Each line of <name>.txt is
#   latitude longitude height  out1 out2 out3
# with cs2cs's own output order (written in the file's first lines: an EPSG projected CRS comes
# out easting first, a geographic one latitude first), which the tests must map to the library's.
#
#   tests/proj/data/make-expected.sh OUTDIR [COUNT]     # COUNT 10000 by default
#
# The files kept in the repository were made with COUNT=400; the tests run this script with
# 10000 points themselves where cs2cs is installed.
set -euo pipefail
out="$1"
count="${2:-10000}"
mkdir -p "$out"

# name | source CRS | target CRS | latitude range | longitude range | height range (metres) | what
sets=(
  "utm33|EPSG:4326|EPSG:32633|40 62|9 21|0 0|UTM zone 33N on WGS 84 (transverse Mercator, 6 degree zone; edges included)"
  "osgb|EPSG:4277|EPSG:27700|50 58.5|-7.5 1.7|0 0|British National Grid on OSGB36 (transverse Mercator national grid)"
  "lambert93|EPSG:4171|EPSG:2154|41.5 51|-4.5 8|0 0|RGF93 / Lambert-93 (Lambert conformal conic, two parallels)"
  "ca5ftus|EPSG:4269|EPSG:2229|32.7 35.8|-121 -114.2|0 0|NAD83 / California zone 5 (ftUS) (State Plane, US survey feet)"
  "wgs84egm96|EPSG:4979|EPSG:4326+5773|-60 70|-180 180|-100 4000|WGS 84 geographic 3D to WGS 84 with EGM96 heights (geoid)"
)

for set in "${sets[@]}"; do
  IFS='|' read -r name from to lats lons heights what <<<"$set"
  read -r lat0 lat1 <<<"$lats"
  read -r lon0 lon1 <<<"$lons"
  read -r h0 h1 <<<"$heights"
  {
    echo "# $what"
    echo "# cs2cs -f %.10f $from $to ($(cs2cs 2>&1 | head -n 1 | sed 's/^Rel\. //'))"
    echo "# latitude longitude height (on $from), then cs2cs's output in its own axis order"
    awk -v n="$count" -v a0="$lat0" -v a1="$lat1" -v o0="$lon0" -v o1="$lon1" -v h0="$h0" -v h1="$h1" '
      function frac(x) { return x - int(x) }
      BEGIN {
        for (i = 1; i <= n; ++i) {
          lat = a0 + (a1 - a0) * frac(i * 0.6180339887498949)
          lon = o0 + (o1 - o0) * frac(i * 0.7548776662466927)
          h = h0 + (h1 - h0) * frac(i * 0.5698402909980532)
          printf "%.9f %.9f %.4f\n", lat, lon, h
        }
      }' >"$out/$name.in"
    cs2cs -f %.10f "$from" "$to" <"$out/$name.in" | paste -d ' ' "$out/$name.in" - |
      awk '{ print $1, $2, $3, $4, $5, $6 }'
  } >"$out/$name.txt"
  rm -f "$out/$name.in"
done
