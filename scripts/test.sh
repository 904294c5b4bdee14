#!/usr/bin/env bash
# Installs what is missing, builds Vexa with warnings as errors and runs every test; then
# builds again with AddressSanitizer and UndefinedBehaviorSanitizer and runs them once more.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== Build and test =="
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEXA_WERROR=ON
cmake --build build-test
ctest --test-dir build-test --output-on-failure -j "$jobs"

echo "== Build and test under AddressSanitizer and UndefinedBehaviorSanitizer =="
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEXA_WERROR=ON -DVEXA_SANITIZE=ON
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
