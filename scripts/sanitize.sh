#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the core, the batch program and their tests with the address and undefined-behaviour
# sanitizers (no window program, no benchmarks) in build-asan/ and runs the test suite there.
# Any report stops the program that made it (halt_on_error, -fno-sanitize-recover), so the suite
# passes only when no sanitizer reported anything. Debug with -O1: the arrays' bounds asserts are
# on as well.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh runtime build test
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DPANELFLOW_SANITIZE=ON \
  -DPANELFLOW_BUILD_GUI=OFF -DPANELFLOW_BUILD_BENCH=OFF -DPANELFLOW_WERROR="${PANELFLOW_WERROR:-OFF}"
cmake --build build-asan -j"$(nproc)"
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS="suppressions=$(pwd)/scripts/lsan-suppressions.txt"
cd build-asan
LANG=C LC_ALL=C ctest --output-on-failure -j"$(nproc)"
