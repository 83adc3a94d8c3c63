#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKA_BUILD_TESTS=OFF -DKA_BUILD_BENCH=ON -DKA_BUILD_APP=OFF
cmake --build "$build" -j "$(nproc)" --target ka_bench
"$build/bench/ka_bench" "$@"
