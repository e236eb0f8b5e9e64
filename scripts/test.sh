#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what panelflow needs to build and test, builds everything (programs, tests,
# benchmarks) in build/ and runs every test, under the C locale and again under a Turkish one
# (where a careless "1.5" would read as 1). PANELFLOW_WERROR=ON makes warnings errors (CI).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/install-deps.sh" runtime build test
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release -DPANELFLOW_BUILD_TESTS=ON -DPANELFLOW_BUILD_BENCH=ON \
  -DPANELFLOW_WERROR="${PANELFLOW_WERROR:-OFF}"
cmake --build "$here/build" -j"$(nproc)"
cd "$here/build"
export QT_QPA_PLATFORM=offscreen
LANG=C LC_ALL=C ctest --output-on-failure -j2
LANG=tr_TR.UTF-8 LC_ALL=tr_TR.UTF-8 ctest --output-on-failure -j2
