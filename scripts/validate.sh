#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Validation against exact flows: builds panelflow, runs panelflow-validate and draws its sphere
# data with gnuplot, writing docs/validation.md, docs/validation-sphere.png and the table in
# docs/guide.md. The numbers come from the program's own output alone; running this again
# reproduces them.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
if ! command -v gnuplot >/dev/null; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get -o DPkg::Lock::Timeout=600 update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends gnuplot-nox
fi
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$here/build" -j"$(nproc)" --target panelflow-validate
data="$(mktemp)"
trap 'rm -f "$data"' EXIT
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
# The guide shows the same table between its two marker lines.
guide="$here/docs/guide.md"
awk -v table="$here/docs/validation.md" '
  /^<!-- validation table -->$/ { print; while ((getline line < table) > 0) if (line ~ /^\|/) print line; skip = 1; next }
  /^<!-- end of validation table -->$/ { skip = 0 }
  !skip { print }' "$guide" > "$guide.new"
mv "$guide.new" "$guide"
echo "wrote docs/validation.md, docs/validation-sphere.png and the table in docs/guide.md"
