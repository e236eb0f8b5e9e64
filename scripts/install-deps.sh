#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages of the groups named as arguments (all of them when none is):
#   runtime   what the programs need when they run (the build's -dev packages bring most of it)
#   build     what building the two programs needs
#   test      what the tests and the checks of the package need
#   package   what making the Debian package needs
#   fuzz      what the fuzz targets need (clang)
# The groups live here rather than in a debian/control: the package is made by CPack, not by
# dpkg-buildpackage, and a control file knows build dependencies only, not test or fuzz groups.
# Installing a group needs nothing but apt-get on a fresh Debian 12, so that scripts/run.sh can
# install the first two alone.
set -euo pipefail

# The libraries the programs load. On Wayland the window runs through XWayland; the package
# recommends qt6-wayland, which brings Qt Quick along, for a native window.
runtime=(
  libqt6widgets6 libqt6charts6 libqt6svg6 libopenblas0 libhmat-oss3
)
build=(
  build-essential cmake pkg-config
  qt6-base-dev libgl1-mesa-dev libxkbcommon-dev qt6-charts-dev libqt6opengl6-dev qt6-svg-dev
  libopenblas-dev
  libhmat-oss-dev        # hierarchical matrices, for bodies without symmetry
  pybind11-dev python3-dev   # the Python module (built by default)
)
test=(
  libgtest-dev
  locales                # the tests run under tr_TR.UTF-8 as well
  desktop-file-utils     # the menu entry is validated
  python3-vtk9           # the .vtp export is read back with VTK's own reader
  python3-numpy python3-pytest python3-matplotlib   # the Python module's tests and its guide's plot
  lintian appstream      # the package and its AppStream metadata are checked
  shared-mime-info       # the file types are checked
)
package=(
  dpkg-dev file          # cpack reads the package's dependencies off the programs
)
fuzz=(
  clang-14 libclang-rt-14-dev
)

groups=("$@")
if [ ${#groups[@]} -eq 0 ]; then groups=(runtime build test package fuzz); fi
missing=()
for group in "${groups[@]}"; do
  case "$group" in
    runtime | build | test | package | fuzz) ;;
    *) echo "install-deps.sh: unknown group \"$group\" (runtime, build, test, package, fuzz)" >&2; exit 2 ;;
  esac
  declare -n list="$group"
  for p in "${list[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  unset -n list
done
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get -o DPkg::Lock::Timeout=600 update -q
  $SUDO apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends "${missing[@]}"
fi

# The tests also run under a Turkish locale, where a decimal comma would show any number text
# that depends on the locale: the test group generates it (once) in /etc/locale.gen.
if [[ " ${groups[*]} " == *" test "* ]] && ! locale -a 2>/dev/null | grep -qi '^tr_TR\.utf8$'; then
  $SUDO sed -i 's/^# *tr_TR.UTF-8 UTF-8/tr_TR.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^tr_TR.UTF-8 UTF-8' /etc/locale.gen || echo 'tr_TR.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
