#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a while (60 s, or the
# first argument) on its stored corpus in tests/fuzz/corpus/<target>/. New inputs go to a
# scratch directory, so the stored corpus stays as it is; a crash, a sanitizer report or a
# broken promise of a target fails the script and leaves its input in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bash scripts/install-deps.sh runtime build fuzz
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPANELFLOW_BUILD_FUZZ=ON \
  -DPANELFLOW_BUILD_GUI=OFF -DPANELFLOW_BUILD_BENCH=OFF -DPANELFLOW_BUILD_TESTS=OFF -DPANELFLOW_WERROR="${PANELFLOW_WERROR:-OFF}"
cmake --build build-fuzz -j"$(nproc)"
mkdir -p build-fuzz/artifacts
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
run() {
  local target="$1"
  local corpus=(tests/fuzz/corpus/"$target")
  [ -d "${corpus[0]}" ] || corpus=()
  mkdir -p "$scratch/$target"
  build-fuzz/tests/fuzz/"$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20 \
    -dict=tests/fuzz/fields.dict -artifact_prefix=build-fuzz/artifacts/"$target"- -print_final_stats=1 \
    "$scratch/$target" "${corpus[@]}" >"$scratch/$target.log" 2>&1 || {
    tail -n 60 "$scratch/$target.log"
    echo "fuzz-smoke: $target failed" >&2
    return 1
  }
  echo "fuzz-smoke: $target: $(grep -m1 stat::number_of_executed_units "$scratch/$target.log" | awk '{print $2}') inputs in ${seconds} s, no finding"
}
# Two targets at a time: one per core of the CI machine.
status=0
targets=(fuzz_field_reader fuzz_body_profile fuzz_corner_points fuzz_reader_file fuzz_commands)
for ((t = 0; t < ${#targets[@]}; t += 2)); do
  pids=()
  for target in "${targets[@]:t:2}"; do
    run "$target" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || status=1; done
done
exit $status
