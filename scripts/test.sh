#!/usr/bin/env bash
# Installs what is needed, builds every test with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs them all, then the engine's tests with
# ThreadSanitizer and the scalar kernels, and a short fuzz run.
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

# The engine's tests under ThreadSanitizer, built with the plain scalar kernels
# (KA_SIMD=OFF): a data race between the threads that change parameters,
# prepare and process fails here, and the scalar build's fingerprint of the
# engine must equal the SIMD build's byte for byte.
tsan=build-tsan
cmake -S . -B "$tsan" -G Ninja \
    -DCMAKE_BUILD_TYPE=Debug \
    -DKA_TSAN=ON \
    -DKA_SIMD=OFF \
    -DKA_BUILD_TESTS=ON \
    -DKA_BUILD_BENCH=OFF \
    -DKA_BUILD_APP=OFF
cmake --build "$tsan" -j "$jobs" --target ka_engine_tests
KA_FINGERPRINT="$PWD/$tsan/fingerprint.bin" TSAN_OPTIONS="halt_on_error=1" "$tsan/tests/ka_engine_tests"
KA_FINGERPRINT="$PWD/$build/fingerprint.bin" "$build/tests/ka_engine_tests" --gtest_filter='Fingerprint.*'
cmp "$build/fingerprint.bin" "$tsan/fingerprint.bin"

# The fuzz targets (state blobs and presets, settings files): clang with libFuzzer,
# a short run of each.
fuzz=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKA_FUZZ=ON \
    -DKA_FUZZ_SECONDS="${KA_FUZZ_SECONDS:-60}"
cmake --build "$fuzz" -j "$jobs" --target ka_state_fuzzer ka_settings_fuzzer
ctest --test-dir "$fuzz" --output-on-failure
