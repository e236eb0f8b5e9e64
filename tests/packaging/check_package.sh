#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package twice with scripts/package.sh, each time from nothing in a build
# directory of its own, and checks that the two .debs are identical byte for byte (the package
# is reproducible), and that lintian finds no error and no warning beyond the allow-list below.
# Takes a few minutes: CI runs it, not ctest. Arguments go to cmake (-DCMAKE_CXX_COMPILER_LAUNCHER=ccache).
#
# Usage: check_package.sh [CMAKE_ARGUMENT...]
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"

# lintian tags tolerated at error or warning level, each with the reason. None at present;
# add a tag only with a reason a Debian packager would accept.
allowed=(
)

bash "$here/scripts/install-deps.sh" runtime build package test
first="$here/build-deb-check-1" second="$here/build-deb-check-2"
trap 'rm -rf "$first" "$second"' EXIT
for dir in "$first" "$second"; do
  rm -rf "$dir"
  bash "$here/scripts/package.sh" "$dir" "$@" >"$dir.log" 2>&1 || {
    tail -n 40 "$dir.log"
    echo "check_package: building the package in $dir failed" >&2
    exit 1
  }
  rm -f "$dir.log"
done
debs=("$first"/panelflow_*.deb)
deb="${debs[0]}"
name="$(basename "$deb")"
if ! cmp "$deb" "$second/$name"; then
  echo "check_package: two builds of $name differ:" >&2
  diff <(dpkg-deb -c "$deb") <(dpkg-deb -c "$second/$name") >&2 || true
  exit 1
fi
echo "check_package: two builds of $name are identical"

suppress=()
if [ ${#allowed[@]} -gt 0 ]; then suppress=(--suppress-tags "$(IFS=,; echo "${allowed[*]}")"); fi
# lintian warns when it runs as root, which CI does; that line is not a finding.
lintian --fail-on error,warning "${suppress[@]}" "$deb" 2> >(grep -v 'running with root privileges' >&2)
echo "check_package: lintian finds no error and no warning in $name"
