#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Validation against exact flows: builds panelflow, runs panelflow-validate and draws its sphere
# data with gnuplot, writing docs/validation.md, docs/validation-sphere.png and the table in
# docs/guide.md. Then the guide's example of the loads and the flow field: the loads table of a
# yawed 4:1 spheroid as panelflow-batch prints it, and docs/streamlines.png drawn from its .vts
# (scripts/draw_streamlines.py, VTK and matplotlib). The numbers come from the programs' own
# output alone; running this again reproduces them.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
missing=()
command -v gnuplot >/dev/null || missing+=(gnuplot-nox)
for p in python3-vtk9 python3-matplotlib; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get -o DPkg::Lock::Timeout=600 update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends "${missing[@]}"
fi
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$here/build" -j"$(nproc)" --target panelflow-validate panelflow-batch
data="$(mktemp)"
example="$(mktemp -d)"
trap 'rm -rf "$data" "$example"' EXIT
"$here/build/bench/panelflow-validate" "$here/docs/validation.md" "$data"
LC_ALL=C gnuplot <<GNUPLOT
set terminal pngcairo size 800,520 font ",11"
set output "$here/docs/validation-sphere.png"
set title "Sphere of diameter 1 in the unit stream along +x: 1 - Cp at the control points of one column"
set xlabel "x"
set ylabel "1 - Cp"
set key bottom center
set grid
plot "$data" index 3 with lines linewidth 2 linecolor rgb "black" title "exact 9/4 sin^2 theta", \
     "$data" index 0 with linespoints pointtype 4 title "8 x 8 panels", \
     "$data" index 1 with linespoints pointtype 6 title "16 x 16 panels", \
     "$data" index 2 with linespoints pointtype 2 title "32 x 32 panels"
GNUPLOT
# The guide shows the first table between its two marker lines.
guide="$here/docs/guide.md"
awk -v table="$here/docs/validation.md" '
  /^<!-- validation table -->$/ {
    print
    while ((getline line < table) > 0) { if (line ~ /^\|/) { print line; started = 1 } else if (started) break }
    skip = 1; next }
  /^<!-- end of validation table -->$/ { skip = 0 }
  !skip { print }' "$guide" > "$guide.new"
mv "$guide.new" "$guide"

# The guide's loads and flow field: the 4:1 spheroid of the examples yawed 10 degrees.
(cd "$example" && "$here/build/src/panelflow-batch" --no-tables --nj 32 \
  profile "$here/examples/prolate-4to1.BodyFoil" --stream 0.984807753012208,0.17364817766693033,0 hess \
  loads loads.json vtk body.vtp field -0.5:1.5:161,-0.5:0.5:81,0:0:1 flow.vts > table.txt)
/usr/bin/python3 "$here/scripts/draw_streamlines.py" "$example/flow.vts" "$example/body.vtp" \
  "$here/docs/streamlines.png" "4:1 prolate spheroid yawed 10°: streamlines and Cp in the plane z = 0"
awk -v table="$example/table.txt" '
  /^<!-- loads table -->$/ { print; print "```"; while ((getline line < table) > 0) print line; print "```"; skip = 1; next }
  /^<!-- end of loads table -->$/ { skip = 0 }
  !skip { print }' "$guide" > "$guide.new"
mv "$guide.new" "$guide"
echo "wrote docs/validation.md, docs/validation-sphere.png, docs/streamlines.png and the tables in docs/guide.md"
