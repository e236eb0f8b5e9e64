#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what panelflow needs to build and run, builds the two programs in build/ and starts
# the window in the current directory (the results file Axisym.txt is written there). Arguments
# go to the window program (panelflow --help). No test and no benchmark is built; a build/ that
# scripts/test.sh configured keeps its tests.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/install-deps.sh" runtime build
lean=()
if [ ! -f "$here/build/CMakeCache.txt" ]; then
  lean=(-DPANELFLOW_BUILD_TESTS=OFF -DPANELFLOW_BUILD_BENCH=OFF)
fi
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release "${lean[@]}"
cmake --build "$here/build" -j"$(nproc)" --target panelflow panelflow-batch
exec "$here/build/src/shell/panelflow" "$@"
