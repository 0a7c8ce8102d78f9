#!/usr/bin/env bash
# Sets up, builds and runs every test: the optimised build with the end-to-end tests,
# then the sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer) with the unit tests,
# then the fuzz targets of the file loaders.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DFLIKKA_SANITIZE=ON -DFLIKKA_BENCH=OFF -DFLIKKA_E2E=OFF >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j"$jobs" -L unit)

# Matches stepped in two threads at once, under ThreadSanitizer (the core and its tests only).
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFLIKKA_TSAN=ON -DFLIKKA_LTO=OFF -DFLIKKA_BENCH=OFF -DFLIKKA_E2E=OFF >/dev/null
cmake --build build-tsan -j"$jobs" --target core_tests
TSAN_OPTIONS=halt_on_error=1 build-tsan/core_tests --gtest_filter='Snapshot.TwoMatchesInTwoThreads*'

# The file loaders under libFuzzer (clang, ASan + UBSan), each for 60 s.
bash tests/fuzz/run.sh build-fuzz 60
