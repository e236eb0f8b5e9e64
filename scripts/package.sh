#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building and packaging panelflow needs, builds the two programs as Debian builds
# a package (the hardening flags of dpkg-buildflags; SOURCE_DATE_EPOCH, the time of the
# changelog's latest entry, for every time stamp) and makes the Debian package
#   BUILD_DIR/panelflow_<version>_<architecture>.deb     (BUILD_DIR: build-deb/ by default)
# Install it with apt-get install ./that-file. Further arguments go to cmake.
#
# Usage: package.sh [BUILD_DIR [CMAKE_ARGUMENT...]]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
dir="$(realpath -m "${1:-$here/build-deb}")"
shift || true
bash "$here/scripts/install-deps.sh" runtime build package
cd "$here"
SOURCE_DATE_EPOCH="$(dpkg-parsechangelog -l packaging/changelog -STimestamp)"
export SOURCE_DATE_EPOCH
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# dpkg-buildflags maps the source tree's path out of the objects; the build directory's path,
# which may lie anywhere, is mapped to one name as well, so that it leaves no trace either.
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DPANELFLOW_BUILD_TESTS=OFF -DPANELFLOW_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS) -ffile-prefix-map=$dir=build" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DCMAKE_MODULE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" "$@"
cmake --build "$dir" -j"$(nproc)"
cd "$dir"
cpack -G DEB
