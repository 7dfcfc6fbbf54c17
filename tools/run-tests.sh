#!/usr/bin/env bash
# Installs the dependencies, builds and runs the whole test suite: once in a
# normal build, once with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
(cd build && ctest --output-on-failure -j2 --timeout 600)

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVENTOLIX_SANITIZE=ON -DVENTOLIX_BUILD_APP=OFF >/dev/null
cmake --build build-asan -j2
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure -j2 --timeout 900 -L unit)

# Each fuzz target briefly on its corpus (clang, libFuzzer, sanitizers on).
tools/fuzz "${FUZZ_SECONDS:-60}"
