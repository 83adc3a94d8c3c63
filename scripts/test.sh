#!/usr/bin/env bash
# Installs what is needed, builds every test with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
build=build-test

cmake -S . -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=Debug \
    -DKA_SANITIZE=ON \
    -DKA_BUILD_TESTS=ON \
    -DKA_BUILD_BENCH=OFF \
    -DKA_BUILD_APP=ON
cmake --build "$build" -j "$jobs"

# Tests that need a display or a JACK server start their own; a developer's
# display must not leak into the ones that don't.
unset DISPLAY

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

ctest --test-dir "$build" --output-on-failure -j "$jobs"

# The fuzz targets (state blobs and presets, settings files): clang with libFuzzer,
# a short run of each.
fuzz=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKA_FUZZ=ON \
    -DKA_FUZZ_SECONDS="${KA_FUZZ_SECONDS:-60}"
cmake --build "$fuzz" -j "$jobs" --target ka_state_fuzzer ka_settings_fuzzer
ctest --test-dir "$fuzz" --output-on-failure
